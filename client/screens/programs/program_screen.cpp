// The program editor (screen 73).
//
// Sections: layout and fields · drawing · the record (save, close, leave) · the stitch file
// (upload, download, preview, copies) · attachments · links · history · the builder.
#include "client/screens/programs/program_screen.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "client/keys.h"
#include "client/pickers.h"
#include "client/screens/programs/attachments.h"
#include "client/screens/programs/line_picker.h"
#include "client/screens/programs/dst.h"
#include "client/screens/programs/local_copies.h"
#include "client/screens/programs/preview.h"
#include "client/screens/programs/program_rules.h"
#include "protocol/record_file.h"
#include "protocol/records/file_list.h"
#include "protocol/rights.h"
#include "toolkit/browser.h"
#include "toolkit/cp1250.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::programs {

namespace {

using namespace keys;

// ---------------------------------------------------------------- layout and fields

constexpr int32_t kWinX = 5, kWinY = 3, kWinW = 630, kWinH = 450;
constexpr int32_t kTop = 28, kRowH = 16;
constexpr int32_t kCol1 = 8, kCol2 = 250, kValueX = 58, kValueChars = 21;
constexpr int32_t kCol2Rows = 13;  // the second column ends above the preview
constexpr int32_t kPictureX = 496, kPictureY = 140;      // placement picture, 125 x 110
constexpr int32_t kPreviewX = 255, kPreviewY = 240;      // stitch preview, 230 x 150
constexpr int32_t kThreadsX = 496, kThreadsY = 28;       // the thread codes, beside the picture
constexpr uint16_t kPreviewSlot = 0, kPictureSlot = 2, kScratchSlot = 40;

constexpr int32_t kOrderScreen = 71;
constexpr int kSaveRight = 1;  // saving, approval and production
constexpr size_t kLinkEntries = 24;
constexpr const char* kStitchFileName = "prog.dst";

enum class Kind { kShow, kText, kNumber, kDate, kUser, kMaterial, kPlacement, kThreads, kToggle };

struct Field {
  const char* label;
  Kind kind;
};

// Every field of the form in the order the field cursor visits them; the first column holds
// kFirstColumn of them.
constexpr Field kFields[] = {
    {"kod", Kind::kShow},        {"autor", Kind::kShow},     {"datum", Kind::kShow},
    {"cas", Kind::kShow},        {"prog.", Kind::kToggle},   {"vzor.", Kind::kToggle},
    {"potvr", Kind::kToggle},    {"a.vz.", Kind::kUser},     {"schv.", Kind::kToggle},
    {"vyrob", Kind::kToggle},    {"ok:", Kind::kShow},       {"mater", Kind::kMaterial},
    {"umist", Kind::kPlacement}, {"popis", Kind::kText},     {"kusu", Kind::kNumber},
    {"faktr", Kind::kText},      {"bar.", Kind::kText},      {"barvy", Kind::kThreads},
    {"sicka", Kind::kUser},      {"vysil", Kind::kUser},     {"vysit", Kind::kDate},
    {"sito", Kind::kNumber},     {"mani", Kind::kUser},      {"man.", Kind::kDate},
    {"manip", Kind::kNumber},    {"stehu", Kind::kShow},     {"barev", Kind::kShow},
    {"sirka", Kind::kShow},      {"vyska", Kind::kShow},
};
constexpr int kFieldCount = int(sizeof kFields / sizeof kFields[0]);
constexpr int kFirstColumn = kFieldCount - kCol2Rows;

std::string yes_no(uint8_t b) { return b ? "ano" : "ne"; }

std::string tenths_mm(int32_t v) {
  char b[24];
  std::snprintf(b, sizeof b, "%d.%d mm", v / 10, (v < 0 ? -v : v) % 10);
  return b;
}

// ---------------------------------------------------------------- the editor

class Editor {
 public:
  Editor(Frame& f, Workspace& ws) : f_(f), ws_(ws), tk_(f.tk()), p_(ws.AKTPROGRAM) {}
  void run();

 private:
  bool may_save() const { return TESTBIT(f_.info().MOJEPRAVA, kSaveRight); }
  bool read_only() const { return ws_.JENCIST || p_.UZAVRENO; }
  bool any_right(std::initializer_list<int> bits) const {
    for (int b : bits)
      if (TESTBIT(f_.info().MOJEPRAVA, b)) return true;
    return false;
  }
  int32_t me() const { return f_.info().MOJEID; }
  void redraw() { tk_.tlacitka.NUTNOVYKRESLIT = true; }
  // A client-side refusal through the error dialog, "%U" naming the subject.
  void refuse(int32_t code, const std::string& subject = "") {
    f_.subject_name = subject;
    f_.info().POSLAKCE = code;
    f_.HLASENICHYBY();
  }
  void say(const std::string& key, const std::string& subject = "") {
    std::string t = f_.text(key);
    const size_t at = t.find("%U");
    if (at != std::string::npos) t.replace(at, 2, subject);
    f_.STAVOVYRADEK(t);
  }

  void build_window();
  void draw_fields();
  std::string value_of(int field);
  std::string user_name(int32_t id);
  void edit_field();
  void next_field(int step);

  void save();
  bool send_record();
  void close_program();
  void leave();

  void upload_stitch_file();
  bool fetch_stitch_file();
  void show_preview();
  void show_placement_picture();
  void copy_to(const std::string& folder, const char* status_key);
  void clear_floppy();

  void choose_material();
  void choose_placement();
  void choose_threads();
  void attachments();
  void attach();
  void links();
  void history();
  const std::vector<TBarva>& threads();

  Frame& f_;
  Workspace& ws_;
  toolkit::Toolkit& tk_;
  TProgramZak& p_;
  int window_ = -1;
  int field_ = 0;
  std::optional<std::vector<TBarva>> threads_;
  std::function<void()> action_;
};

// ---------------------------------------------------------------- drawing

std::string Editor::user_name(int32_t id) {
  return id == -1 ? "-" : user_name_of(f_, ws_, id);
}

std::string Editor::value_of(int field) {
  const std::string label = kFields[field].label;
  if (label == "kod") return p_.KOD.str();
  if (label == "autor") return user_name(p_.AUTOR);
  if (label == "datum") return date_text(p_.DATUM);
  if (label == "cas") {
    char b[16];
    std::snprintf(b, sizeof b, "%02u:%02u", unsigned(p_.CAS.HOD), unsigned(p_.CAS.MIN));
    return b;
  }
  if (label == "prog.") return f_.text(kind_text_key(p_.DATABANKA));
  if (label == "vzor.") return yes_no(p_.VZOREK);
  if (label == "potvr") return yes_no(p_.SCHVALILZAK);
  if (label == "a.vz.") return user_name(p_.VZOROVAL);
  if (label == "schv.") return yes_no(p_.SCHVALENO);
  if (label == "vyrob") return yes_no(p_.VYROBNI);
  if (label == "ok:") return user_name(p_.SCHVALIL);
  if (label == "mater")
    return p_.MATERIAL == -1 ? "-" : ws_.materials.name_or_unknown(p_.MATERIAL);
  if (label == "umist")
    return p_.UMISTENI == -1 ? "-" : ws_.placements.name_or_unknown(p_.UMISTENI);
  if (label == "popis") return p_.POPISMATERIALU.str();
  if (label == "kusu") return std::to_string(p_.KUSU);
  if (label == "faktr") return p_.FAKTURA.str();
  if (label == "bar.") return p_.BAREVNOST.str();
  if (label == "barvy") return std::to_string(used_thread_slots(p_)) + " / " + std::to_string(p_.BAREV);
  if (label == "sicka") return user_name(p_.MASIT);
  if (label == "vysil") return user_name(p_.VYSIL);
  if (label == "vysit") return date_text(p_.VYSITOKDY);
  if (label == "sito") return std::to_string(p_.KUSUSITI);
  if (label == "mani") return user_name(p_.MANIPULACE);
  if (label == "man.") return date_text(p_.MANIPUL);
  if (label == "manip") return std::to_string(p_.KUSUMAN);
  if (label == "stehu") return std::to_string(p_.STEHU);
  if (label == "barev") return std::to_string(p_.BAREV);
  if (label == "sirka") return tenths_mm(p_.X);
  if (label == "vyska") return tenths_mm(p_.Y);
  return "";
}

void Editor::draw_fields() {
  const uint8_t ink = tk_.images.NAJDIBARVU(0, 0, 64), paper = tk_.images.NAJDIBARVU(255, 255, 255);
  const uint8_t mark = tk_.images.NAJDIBARVU(255, 255, 160), grey = tk_.images.NAJDIBARVU(96, 96, 96);
  for (int i = 0; i < kFieldCount; ++i) {
    const bool first = i < kFirstColumn;
    const int32_t x = first ? kCol1 : kCol2;
    const int32_t y = kTop + kRowH * (first ? i : i - kFirstColumn);
    tk_.okna.VYPISUDAJOKNO(window_, x, y, grey, 255, 6, f_.text(kFields[i].label));
    std::string v = value_of(i).substr(0, kValueChars);
    tk_.okna.VYPISUDAJOKNO(window_, x + kValueX, y, ink, i == field_ ? mark : paper,
                           uint8_t(kValueChars), v);
  }
  // The thread codes of the first sixteen colour blocks, two to a row.
  const int n = used_thread_slots(p_);
  for (int i = 0; i < 8; ++i) {
    std::string line;
    for (int k : {i, i + 8}) {
      std::string code = k < n ? p_.BARVY[k].str() : "";
      code.resize(8, ' ');
      line += code;
    }
    tk_.okna.VYPISUDAJOKNO(window_, kThreadsX, kThreadsY + 13 * i, ink, paper, 16, line);
  }
  tk_.okna.VLOZOBRAZEKDOOKNA(window_, kPictureSlot, kPictureX, kPictureY);
  tk_.okna.VLOZOBRAZEKDOOKNA(window_, kPreviewSlot, kPreviewX, kPreviewY);
  redraw();
}

void Editor::next_field(int step) {
  field_ = (field_ + step + kFieldCount) % kFieldCount;
  draw_fields();
}

// ---------------------------------------------------------------- editing

void Editor::edit_field() {
  if (read_only()) return;
  const std::string label = kFields[field_].label;
  switch (kFields[field_].kind) {
    case Kind::kShow:
      return;
    case Kind::kToggle:
      if (label == "prog.") cycle_kind(p_);
      if (label == "vzor.") toggle_sample(p_);
      if (label == "potvr") toggle_customer_approval(p_);
      if (label == "schv." && may_save()) approve(p_, me());
      if (label == "vyrob" && may_save()) {
        const CheckResult r = release_to_production(p_, threads(), me());
        if (r.code != 0) refuse(r.code, r.subject);
      }
      break;
    case Kind::kUser: {
      std::optional<int32_t> id = pick_user_id(f_, ws_, "uzivatel");
      if (!id) break;
      if (label == "a.vz.") p_.VZOROVAL = *id;
      if (label == "sicka") p_.MASIT = *id;
      if (label == "vysil") p_.VYSIL = *id;
      if (label == "mani") p_.MANIPULACE = *id;
      break;
    }
    case Kind::kMaterial: choose_material(); break;
    case Kind::kPlacement: choose_placement(); break;
    case Kind::kThreads: choose_threads(); break;
    case Kind::kText: {
      const uint8_t len = label == "faktr" ? 16 : 255;
      InputResult in = f_.VSTUPNIDIALOG(label, len);
      if (!in.confirmed) break;
      if (label == "popis") p_.POPISMATERIALU.assign(in.text);
      if (label == "faktr") p_.FAKTURA.assign(in.text);
      if (label == "bar.") p_.BAREVNOST.assign(in.text);
      break;
    }
    case Kind::kNumber: {
      InputResult in = f_.VSTUPNIDIALOG(label, 9);
      if (!in.confirmed) break;
      if (label == "kusu") p_.KUSU = in.number;
      if (label == "sito") p_.KUSUSITI = in.number;
      if (label == "manip") p_.KUSUMAN = in.number;
      break;
    }
    case Kind::kDate: {
      InputResult in = f_.VSTUPNIDIALOG(label, 10);
      if (!in.confirmed) break;
      if (label == "vysit") p_.VYSITOKDY = parse_date_text(in.text);
      if (label == "man.") p_.MANIPUL = parse_date_text(in.text);
      break;
    }
  }
  if (!f_.screen_left()) draw_fields();
}

const std::vector<TBarva>& Editor::threads() {
  if (!threads_) threads_ = fetch_threads(f_, ws_);
  static const std::vector<TBarva> kNone;
  return threads_ ? *threads_ : kNone;
}

void Editor::choose_material() {
  std::optional<TMaterial> m = pick_material(f_, ws_);
  if (!m || f_.screen_left()) return;
  const int32_t before = p_.UMISTENI;
  set_material(p_, m->ID, me());
  if (p_.UMISTENI != before) show_placement_picture();
}

void Editor::choose_placement() {
  if (p_.MATERIAL == -1) return;
  std::optional<TUmisteni> u = pick_placement(f_, ws_, p_.MATERIAL);
  if (!u || f_.screen_left()) return;
  set_placement(p_, u->ID, me());
  show_placement_picture();
}

void Editor::choose_threads() {
  const int n = used_thread_slots(p_);
  // One thread per colour block, in the order the machine stitches them.
  for (int i = 0; i < n && !f_.screen_left(); ++i) {
    say("barvac", std::to_string(i + 1));
    std::optional<TBarva> t = pick_thread(f_, ws_);
    if (!t) break;
    p_.BARVY[i] = t->KOD;
  }
  threads_.reset();
  show_preview();
}

// ---------------------------------------------------------------- the record

void Editor::save() {
  if (!may_save() || read_only()) return;
  send_record();
}

bool Editor::send_record() {
  const std::string path = f_.temp_path("prog.dat");
  if (!write_file_atomic(path, &p_, sizeof p_)) {
    say("nelzeulozit", "prog.dat");
    return false;
  }
  return f_.upload(path, "prog.dat", "savepzak");
}

void Editor::close_program() {
  if (read_only() || !may_save()) return;
  if (!f_.POTVRZENI()) return;
  // A closed program is read-only here, so no later save could carry the mark: it is saved now,
  // with whatever else was changed.
  p_.UZAVRENO = 1;
  if (!send_record()) p_.UZAVRENO = 0;
  build_window();
}

bool keeps_program_open(int32_t next) { return next == 10 || next == 11 || next == 12; }

void Editor::leave() {
  const int32_t next = f_.POZADOVANAOBRAZOVKA;
  if (keeps_program_open(next) || next == kScreenConnect || !f_.info().SPOJENO) return;
  f_.compose();
  f_.request(41, "closepzak");
}

// ---------------------------------------------------------------- the stitch file

void Editor::upload_stitch_file() {
  if (read_only() || !may_save()) return;
  LocalConfig& c = f_.config();
  toolkit::BrowserPlaces places{c.POSLEDNIADRESAR, {}};
  for (int i = 0; i < toolkit::kFavourites && i < kFavourites; ++i) places.OBLIBENE[i] = c.OBLIBENE[i];
  toolkit::Browser browser(tk_, [this] { f_.event_step(); });
  std::optional<toolkit::BrowserChoice> choice = browser.run({{"DST"}, false}, places);
  c.POSLEDNIADRESAR = places.POSLEDNIADRESAR;
  for (int i = 0; i < toolkit::kFavourites && i < kFavourites; ++i) c.OBLIBENE[i] = places.OBLIBENE[i];
  if (!choice || f_.screen_left()) return;
  std::optional<std::string> bytes = read_whole_file(choice->path());
  std::optional<DstFigures> figures;
  if (bytes) figures = read_dst_header(*bytes);
  if (!figures) {
    // Nothing is sent for a file whose header cannot be read.
    say("dstchyba", toolkit::utf8_to_cp1250(choice->name));
    return;
  }
  const std::string local = f_.temp_path(kStitchFileName);
  if (!write_file_atomic(local, bytes->data(), bytes->size())) {
    say("nelzeulozit", kStitchFileName);
    return;
  }
  Packet& b = f_.compose();
  b.ULOZCISLO(4, figures->stitches);
  b.ULOZCISLO(8, figures->colours);
  b.ULOZCISLO(12, figures->width);
  b.ULOZCISLO(16, figures->height);
  if (f_.request(33, "aktual") != 213) return;
  // The server keeps the new figures; so must the copy a later save writes back.
  apply_figures(p_, *figures);
  f_.upload(local, kStitchFileName, "sendfile");
  show_preview();
}

bool Editor::fetch_stitch_file() {
  Packet& b = f_.compose();
  b.ULOZCISLO(slot::kText, 3);
  if (f_.request(63, "diradr") != 252) return false;
  const std::string list = f_.download_named_in_reply();
  if (list.empty()) return false;
  std::optional<std::vector<TSeznamSoub>> files = read_records<TSeznamSoub>(f_.temp_path(list));
  if (!files) return false;
  for (const TSeznamSoub& s : *files)
    if (s.JMENO == kStitchFileName) return f_.download(kStitchFileName);
  say("nicdst");
  return false;
}

void Editor::show_preview() {
  std::optional<std::string> bytes = read_whole_file(f_.temp_path(kStitchFileName));
  f_.status("render");
  PreviewImage img = render_preview(bytes ? decode_dst_stitches(*bytes) : std::vector<Stitch>{},
                                    block_colours(p_, threads()));
  images::TOBRAZEK& slot = tk_.images.OBRAZKY[kPreviewSlot];
  if (slot.BUFFER && slot.MAXX >= img.width && slot.MAXY >= img.height) {
    slot.VELX = img.width;
    slot.VELY = img.height;
    slot.BPP = 0;
    for (int y = 0; y < img.height; ++y)
      std::copy_n(img.pixels.data() + size_t(y) * size_t(img.width), size_t(img.width),
                  slot.BUFFER + size_t(y) * size_t(slot.MAXX));
  }
  f_.status("wait");
  if (window_ >= 0) tk_.okna.VLOZOBRAZEKDOOKNA(window_, kPreviewSlot, kPreviewX, kPreviewY);
  redraw();
}

void Editor::show_placement_picture() {
  images::Obrazky& im = tk_.images;
  im.VYMAZBUFFER(kPictureSlot, 255);
  if (p_.UMISTENI != -1) {
    TUmisteni u{};
    u.ID = p_.UMISTENI;
    u.MATERIAL = p_.MATERIAL;
    if (std::optional<std::string> n = ws_.placements.find(p_.UMISTENI)) u.POPIS.assign(*n);
    Packet& b = f_.compose();
    b.put_raw(slot::kText, &u, sizeof u);
    // A placement without a picture (or one deleted since) is no error: the slot stays blank.
    if (f_.send_and_wait(37, "recvobrum") == 237) {
      const std::string name = f_.download_named_in_reply();
      if (!name.empty() && im.ZALOZOBRAZEK(kScratchSlot, 640, 480, 1) == images::kOk) {
        if (im.NAHRAJOBRAZEK(kScratchSlot, f_.temp_path(name)) == images::kOk)
          im.ZMENSIPOMVEL(kScratchSlot, kPictureSlot);
        im.ZRUSOBRAZEK(kScratchSlot);
      }
    }
    f_.status("wait");
  }
  if (window_ >= 0) tk_.okna.VLOZOBRAZEKDOOKNA(window_, kPictureSlot, kPictureX, kPictureY);
  redraw();
}

void Editor::copy_to(const std::string& folder, const char* status_key) {
  struct stat st {};
  if (::stat(f_.temp_path(kStitchFileName).c_str(), &st) != 0 && !fetch_stitch_file()) return;
  f_.status(status_key);
  switch (copy_stitch_file(f_.temp_path(kStitchFileName), folder, p_.KOD.view())) {
    case CopyResult::kCopied: say("zkopirovano", stitch_copy_name(p_.KOD.view()).value_or("")); break;
    case CopyResult::kNoSource: say("nicdst"); break;
    case CopyResult::kNoTarget: say("nenicil", toolkit::utf8_to_cp1250(folder)); break;
    case CopyResult::kNoRoom: say("nevejde"); break;
    case CopyResult::kFailed: say("kopiechyba"); break;
  }
}

void Editor::clear_floppy() {
  const std::string folder = floppy_folder(f_.client().ADRESAREXE);
  switch (floppy_clean_refusal(folder, protected_folders(f_.client().ADRESAREXE))) {
    case CleanRefusal::kNone: break;
    case CleanRefusal::kUnset:
    case CleanRefusal::kMissing: say("nenicil", toolkit::utf8_to_cp1250(folder)); return;
    case CleanRefusal::kProtected: say("nemazat", toolkit::utf8_to_cp1250(folder)); return;
  }
  if (!f_.POTVRZENI()) return;
  f_.status("clearfdd");
  const CleanResult r = clean_floppy(folder);
  say(r.failed == 0 && r.listed ? "smazano" : "kopiechyba", std::to_string(r.deleted));
}

// ---------------------------------------------------------------- attachments

void Editor::attachments() { show_attachments(f_); }

void Editor::attach() {
  if (!read_only()) attach_file(f_);
}

// ---------------------------------------------------------------- links

void Editor::links() {
  if (read_only() || !may_save()) return;
  // The program codes of the order: list mode 7 over the open order, ids -1, nothing else set.
  Packet& b = f_.compose();
  b.ULOZCISLO(4, 7);
  for (int at : {304, 580, 648, 652, 912, 956}) b.ULOZCISLO(at, -1);
  b.ULOZCISLO(636, 1);
  b.ULOZCISLO(640, 1);
  if (f_.request(63, "listzak") != 252) return;
  const std::string list = f_.download_named_in_reply();
  if (list.empty()) return;
  std::vector<std::string> codes;
  for (const TSeznamDatabanky& r :
       read_records<TSeznamDatabanky>(f_.temp_path(list)).value_or(std::vector<TSeznamDatabanky>{})) {
    // The program itself is never offered: a program linked to itself would copy onto itself.
    if (r.KOD.empty() || r.KOD.same_text(p_.KOD)) continue;
    if (codes.size() < kLinkEntries) codes.push_back(r.KOD.str());
  }
  // The table in force, as the server keeps it.
  TLinkovani table{};
  f_.compose();
  if (f_.download("proglnk.dat")) {
    if (auto t = read_record<TLinkovani>(f_.temp_path("proglnk.dat"), 0)) table = *t;
  }
  std::vector<bool> on(codes.size(), false);
  for (size_t i = 0; i < codes.size(); ++i)
    for (const auto& c : table.codes)
      if (!c.empty() && toolkit::DOWNSTRING(c.str()) == toolkit::DOWNSTRING(codes[i])) on[i] = true;

  enum { kWaiting, kDone, kCancelled } answer = kWaiting;
  const bool wide = codes.size() > 12;
  const uint8_t ink = tk_.images.NAJDIBARVU(0, 0, 64), paper = tk_.images.NAJDIBARVU(255, 255, 255);
  std::function<void(toolkit::Window&)> setup = [&](toolkit::Window& w) {
    auto draw_line = [&, wi = w.index()](size_t i) {
      const int32_t x = 40 + (i >= 12 ? 200 : 0), y = 30 + 22 * int32_t(i % 12);
      tk_.okna.VYPISUDAJOKNO(wi, x, y, ink, paper, 20, std::string(on[i] ? "A " : "N ") + codes[i]);
    };
    for (size_t i = 0; i < codes.size(); ++i) {
      const int32_t x = 10 + (i >= 12 ? 200 : 0), y = 30 + 22 * int32_t(i % 12);
      toolkit::picture_button(tk_, w.index(), "zmena.bmp", [&, i, draw_line] {
        on[i] = !on[i];
        draw_line(i);
        redraw();
      }, x, y, uint8_t('a' + i), 22, 20);  // a, b, c ... toggle from the keyboard
      draw_line(i);
    }
    toolkit::picture_button(tk_, w.index(), "Budiz.bmp", [&] { answer = kDone; }, 10, -10, kEnter);
    toolkit::picture_button(tk_, w.index(), "Zrusit.bmp", [&] { answer = kCancelled; }, -10, -10,
                            kEscape);
  };
  f_.DIALOGOTEVREN = true;
  const int32_t rows = std::max<int32_t>(1, std::min<int32_t>(12, int32_t(codes.size())));
  f_.dialog(Modal::kInput, "link", {wide ? 420 : 220, 30 + 22 * rows + 40, "link"}, setup,
            [&] { return answer != kWaiting || f_.screen_left(); });
  f_.DIALOGOTEVREN = false;
  if (answer != kDone || f_.screen_left()) return;
  TLinkovani out{};
  size_t k = 0;
  for (size_t i = 0; i < codes.size(); ++i)
    if (on[i]) out.codes[k++].assign(codes[i]);
  const std::string path = f_.temp_path("proglnk.upd");
  if (!write_file_atomic(path, &out, sizeof out)) return;
  f_.upload(path, "proglnk.upd", "linkprg");
}

// ---------------------------------------------------------------- history

void Editor::history() {
  std::vector<std::string> lines;
  for (const THistorie& h : p_.HISTORIE) {
    if (h.ZMENA < 0 || h.ZMENA > 255) continue;
    // The change's own text ("akce1" ...), or the general one with its number.
    std::string t = f_.text("akce" + std::to_string(h.ZMENA));
    if (t.empty()) {
      t = f_.text("akce");
      const size_t at = t.find("%u");
      if (at != std::string::npos) t.replace(at, 2, std::to_string(h.ZMENA));
    }
    lines.push_back(t + " " + user_name(h.UZIVATEL));
  }
  if (lines.empty()) lines.push_back("-");
  pick_line(f_, "historie", lines);
}

// ---------------------------------------------------------------- the builder

void Editor::build_window() {
  tk_.okna.SMAZOKNA();
  const std::string title = read_only() ? "podzakazkaro" : "podzakazka";
  const int32_t h = tk_.okna.VYTVOROKNO(kWinX, kWinY, kWinW, kWinH, false, title, "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  const int w = window_;
  // A button only notes its action; the editor's own loop runs it, never a wait loop of an
  // exchange that happens to poll the buttons meanwhile.
  auto act = [this](std::function<void()> a) { return [this, a] { action_ = a; }; };
  auto button = [&](const char* pic, std::function<void()> a, int32_t x, int32_t y, uint8_t key) {
    toolkit::picture_button(tk_, w, pic, act(std::move(a)), x, y, key);
  };
  // Bottom row: help, the record, the stitch file; the row above: the rest.
  button("pomoc.bmp", [this] { f_.help(); }, 10, -8, kF1);
  button("budiz.bmp", [this] { f_.request_screen(ws_.pop_return(kOrderScreen)); }, -10, -8, kEscape);
  button("stranap.bmp", [this] { next_field(-1); }, 65, -8, kUp);
  button("stranad.bmp", [this] { next_field(1); }, 120, -8, kDown);
  button("zmen.bmp", [this] { edit_field(); }, 175, -8, kEnter);
  button("historie.bmp", [this] { history(); }, 230, -8, 'h');
  button("otevri.bmp", [this] { if (fetch_stitch_file()) show_preview(); }, 285, -8, 'o');
  button("zobrazit.bmp", [this] { show_preview(); }, 340, -8, 'z');
  button("predej.bmp", [this] { copy_to(f_.config().ADRESARSTROJE, "copyfile"); }, 395, -8, 't');
  button("export.bmp", [this] { copy_to(floppy_folder(f_.client().ADRESAREXE), "storefdd"); }, 450, -8, 'f');
  button("smaz.bmp", [this] { clear_floppy(); }, 505, -8, kCtrlD);
  if (may_list_attachments(f_))
    button("prilohy.bmp", [this] { attachments(); }, 10, -32, '*');
  if (!read_only() && may_attach(f_))
    button("prilozit.bmp", [this] { attach(); }, 65, -32, '+');
  button("material.bmp", [this] { choose_material(); draw_fields(); }, 120, -32, 'm');
  button("umisteni.bmp", [this] { choose_placement(); draw_fields(); }, 175, -32, 'u');
  button("barva.bmp", [this] { choose_threads(); draw_fields(); }, 230, -32, 'b');
  if (may_save() && !read_only()) {
    button("uloz.bmp", [this] { save(); }, -65, -8, kF2);
    button("pridat.bmp", [this] { upload_stitch_file(); draw_fields(); }, 285, -32, kInsert);
    button("linkuj.bmp", [this] { links(); }, 340, -32, 12);
    button("uzavrit.bmp", [this] { close_program(); }, 395, -32, kCtrlQ);
  }
  draw_fields();
}

void Editor::run() {
  threads_.reset();
  build_window();
  show_placement_picture();
  show_preview();
  draw_fields();
  while (!f_.screen_left()) {
    f_.event_step();
    if (action_ && !f_.screen_left()) {
      std::function<void()> a = std::move(action_);
      action_ = nullptr;
      a();
    }
  }
  leave();
}

}  // namespace

void build_program_screen(Frame& f, Workspace& ws) {
  Editor e(f, ws);
  e.run();
}

}  // namespace ksv::client::programs
