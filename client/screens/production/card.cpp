// The production card (screen 81) and the way into it: one program of the production list with
// what the operator at the machine needs — size and stitches, material, placement, pieces, the
// threads and a preview of the design — the embroidered and handled pieces recorded, and the
// stitch file copied for the machine or onto the floppy.
//
// Sections: opening · the card (drawing, pieces, copies, saving and leaving) · the builder.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "client/dates.h"
#include "client/keys.h"
#include "client/pickers.h"
#include "client/screens/production/count_dialog.h"
#include "client/screens/production/production.h"
#include "client/screens/production/production_rules.h"
#include "client/screens/programs/dst.h"
#include "client/screens/programs/local_copies.h"
#include "client/screens/programs/preview.h"
#include "client/screens/programs/program_rules.h"
#include "protocol/commands.h"
#include "protocol/record_file.h"
#include "protocol/records/file_list.h"
#include "protocol/rights.h"
#include "toolkit/cp1250.h"
#include "toolkit/kit/kit.h"

namespace ksv::client::production {

namespace {

using namespace keys;

constexpr const char* kStitchFile = "prog.dst";

// ---------------------------------------------------------------- opening

// A fresh copy of a record file from the server; nothing when it did not arrive whole.
template <class T>
std::optional<T> fetch_record(Frame& f, const char* name, const char* status_key) {
  const std::string path = f.temp_path(name);
  // A copy left from an earlier card must never pass for this one.
  std::remove(path.c_str());
  f.status(status_key);
  if (!f.download(name)) return std::nullopt;
  return read_record<T>(path, 0);
}

// Only the session that opened them can close them: after a lost connection or a logout the
// server has released them already, and a new session would wait for a reply in vain.
bool same_session(Frame& f) { return f.info().SPOJENO && f.info().PRIHLASEN; }

void close_program(Frame& f) {
  if (!same_session(f)) return;
  f.compose();
  f.request(req::kCloseProgram, "closepzak");
}

void close_order(Frame& f) {
  if (!same_session(f)) return;
  f.compose();
  f.request(req::kCloseOrder, "closezak");
}

// The open program's stitch file into temp/, when it has one (list kind 3 names it).
bool fetch_stitch_file(Frame& f) {
  std::remove(f.temp_path(kStitchFile).c_str());
  f.compose().ULOZCISLO(slot::kText, 3);
  if (f.request(req::kList, "diradr") != rep::kListFile) return false;
  const std::string list = f.download_named_in_reply();
  if (list.empty()) return false;
  std::optional<std::vector<TSeznamSoub>> files = read_records<TSeznamSoub>(f.temp_path(list));
  if (!files) return false;
  for (const TSeznamSoub& s : *files)
    if (s.JMENO.str() == kStitchFile) return f.download(kStitchFile);
  return false;
}

}  // namespace

bool open_card(Frame& f, Workspace& ws, const std::string& order, const std::string& program) {
  ws.AKTZAKAZKA = TPolozkaDatabanky{};
  ws.AKTZAKAZKA.CISLO.assign(order);
  f.compose().ULOZRETEZEC(slot::kText, true, ws.AKTZAKAZKA.CISLO.view());
  const int32_t opened = f.send_and_wait(req::kOpenOrder, "openzak");
  f.status("wait");
  if (opened == rep::kFailed) {
    // The server refuses an order another session holds; a bare "refused" would leave the
    // operator guessing.
    f.notice("zakazka", "zakjinde");
    return false;
  }
  f.HLASENICHYBY();
  if (opened != rep::kOrderOpened) return false;
  const bool order_read_only = f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kText) == 1;
  std::optional<TPolozkaDatabanky> header = fetch_record<TPolozkaDatabanky>(f, "info.dat", "getvyr");
  if (!header) {
    close_order(f);
    return false;
  }
  ws.AKTZAKAZKA = *header;

  // From here on the order is open: whatever fails closes it again, and only it — a program
  // that did not open is not closed.
  TProgramZak code{};
  code.KOD.assign(program);
  f.compose().ULOZRETEZEC(slot::kText, true, code.KOD.view());
  if (f.request(req::kOpenProgram, "openpzak") != rep::kProgramOpened) {
    close_order(f);
    return false;
  }
  const bool program_read_only = f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kText) == 1;
  std::optional<TProgramZak> record = fetch_record<TProgramZak>(f, "prog.dat", "getpzak");
  if (!record) {
    close_program(f);
    close_order(f);
    return false;
  }
  ws.AKTPROGRAM = *record;
  ws.JENCIST = order_read_only || program_read_only;
  // The preview and the copies for the machine need the stitch file; a program without one
  // still has its card.
  fetch_stitch_file(f);
  f.status("wait");
  f.request_screen(kScreenCard);
  return true;
}

namespace {

// ---------------------------------------------------------------- the card

constexpr int32_t kWinX = 5, kWinY = 3, kWinW = 630, kWinH = 450;
constexpr int32_t kLabelX = 10, kValueX = 90, kTop = 30, kRowH = 17, kValueChars = 34;
constexpr int32_t kThreadsTop = 235, kThreadRowH = 14, kThreadRows = 11, kThreadColumnW = 122;
constexpr int32_t kThreadChars = 14;
constexpr int32_t kPreviewX = 390, kPreviewY = 30;   // 230 x 150
constexpr uint16_t kPreviewSlot = 0;

class Card {
 public:
  Card(Frame& f, Workspace& ws)
      : f_(f), ws_(ws), tk_(f.tk()), p_(ws.AKTPROGRAM), original_(ws.AKTPROGRAM) {}
  void run();

 private:
  bool may(int bit) const { return TESTBIT(f_.info().MOJEPRAVA, bit); }
  bool read_only() const { return ws_.JENCIST || p_.UZAVRENO; }
  bool may_record() const { return !read_only() && may(kRightOpenProgram); }
  int32_t me() const { return f_.info().MOJEID; }
  TDatum today() const { return f_.client().conn.clock().now().datum(); }
  // A message in the status line, "%U" naming its subject.
  void say(const std::string& key, const std::string& subject = "") {
    std::string t = f_.text(key);
    const size_t at = t.find("%U");
    if (at != std::string::npos) t.replace(at, 2, subject);
    f_.STAVOVYRADEK(t);
  }

  void build_window();
  void draw();
  void draw_threads();
  void show_preview();
  void embroidered();
  void handled();
  void copy_to(const std::string& folder, const char* status_key);
  void clear_floppy();
  bool save();
  void leave();
  void close_on_server();

  Frame& f_;
  Workspace& ws_;
  toolkit::Toolkit& tk_;
  TProgramZak& p_;
  TProgramZak original_;  // as the server has it: leaving asks to save when they differ
  std::vector<TBarva> threads_;
  int window_ = -1;
  bool closed_ = false;  // 41 and 18 sent
  std::function<void()> action_;
};

void Card::draw() {
  const uint8_t label = tk_.images.NAJDIBARVU(96, 96, 96);
  const uint8_t ink = tk_.images.NAJDIBARVU(0, 0, 64), paper = tk_.images.NAJDIBARVU(255, 255, 255);
  auto material = [&](int32_t id) { return id == -1 ? std::string("-") : ws_.materials.name_or_unknown(id); };
  auto placement = [&](int32_t id) { return id == -1 ? std::string("-") : ws_.placements.name_or_unknown(id); };
  auto person = [&](int32_t id) { return id == -1 ? std::string("-") : user_name_of(f_, ws_, id); };
  auto counted = [&](int32_t n, int32_t who, const TDatum& when) {
    std::string s = std::to_string(n);
    if (who != -1) s += "  (" + person(who) + (when.DEN ? " " + format_date(when) : "") + ")";
    return s;
  };
  const std::pair<const char*, std::string> rows[] = {
      {"vzakazka", ws_.AKTZAKAZKA.CISLO.str() + " - " + ws_.AKTZAKAZKA.ZAKAZNIK.str()},
      {"vprogram", p_.KOD.str()},
      {"vvelikost", size_text(p_)},
      {"vmaterial", material(p_.MATERIAL)},
      {"vpopis", p_.POPISMATERIALU.str()},
      {"vumisteni", placement(p_.UMISTENI)},
      {"vkusu", std::to_string(p_.KUSU) + " kusu"},
      {"vvysito", counted(p_.KUSUSITI, p_.VYSIL, p_.VYSITOKDY)},
      {"vmanip", counted(p_.KUSUMAN, p_.MANIPULACE, p_.MANIPUL)},
      {"vsicka", person(p_.MASIT)},
  };
  int32_t y = kTop;
  for (const auto& [key, value] : rows) {
    tk_.okna.VYPISUDAJOKNO(window_, kLabelX, y, label, 255, 10, f_.text(key));
    tk_.okna.VYPISUDAJOKNO(window_, kValueX, y, ink, paper, kValueChars,
                           value.substr(0, kValueChars));
    y += kRowH;
  }
  draw_threads();
  tk_.okna.VLOZOBRAZEKDOOKNA(window_, kPreviewSlot, kPreviewX, kPreviewY);
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// One line per thread of the design: its code, its description from the catalogue and " sl."
// for a thin thread.
void Card::draw_threads() {
  const uint8_t label = tk_.images.NAJDIBARVU(96, 96, 96);
  const uint8_t ink = tk_.images.NAJDIBARVU(0, 0, 64), paper = tk_.images.NAJDIBARVU(255, 255, 255);
  const int n = programs::used_thread_slots(p_);
  tk_.okna.VYPISUDAJOKNO(window_, kLabelX, kThreadsTop - kRowH, label, 255, 10,
                         f_.text("vnite") + " " + std::to_string(n));
  for (int i = 0; i < n; ++i) {
    const std::string code = p_.BARVY[size_t(i)].str();
    std::string line = code;
    if (const TBarva* t = programs::find_thread(threads_, code)) {
      if (!t->PANTONE.empty()) line += " " + t->PANTONE.str();
      line = line.substr(0, kThreadChars - (t->SLABA ? 4 : 0));
      if (t->SLABA) line += " sl.";
    }
    const int32_t x = kLabelX + (i / kThreadRows) * kThreadColumnW;
    const int32_t y = kThreadsTop + (i % kThreadRows) * kThreadRowH;
    tk_.okna.VYPISUDAJOKNO(window_, x, y, ink, paper, kThreadChars, line.substr(0, kThreadChars));
  }
}

void Card::show_preview() {
  const std::optional<std::string> bytes = read_whole_file(f_.temp_path(kStitchFile));
  f_.status("render");
  const programs::PreviewImage img = programs::render_preview(
      bytes ? programs::decode_dst_stitches(*bytes) : std::vector<programs::Stitch>{},
      programs::block_colours(p_, threads_));
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
}

void Card::embroidered() {
  if (!may_record()) return;
  std::optional<int32_t> n = ask_count(f_, "zmensiti", -kMaxTypedPieces, kMaxTypedPieces);
  if (!n || f_.screen_left()) return;
  record_embroidered(p_, *n, me(), today());
  draw();
}

void Card::handled() {
  if (!may_record()) return;
  std::optional<int32_t> n = ask_count(f_, "zmenman", 0, kMaxTypedPieces, p_.KUSUMAN);
  if (!n || f_.screen_left()) return;
  record_handled(p_, *n, me(), today());
  draw();
}

void Card::copy_to(const std::string& folder, const char* status_key) {
  f_.status(status_key);
  using programs::CopyResult;
  switch (programs::copy_stitch_file(f_.temp_path(kStitchFile), folder, p_.KOD.view())) {
    case CopyResult::kCopied:
      say("zkopirovano", programs::stitch_copy_name(p_.KOD.view()).value_or(""));
      break;
    case CopyResult::kNoSource: say("nicdst"); break;
    case CopyResult::kNoTarget: say("nenicil", toolkit::utf8_to_cp1250(folder)); break;
    case CopyResult::kNoRoom: say("nevejde"); break;
    case CopyResult::kFailed: say("kopiechyba"); break;
  }
}

void Card::clear_floppy() {
  const std::string& dir = f_.client().ADRESAREXE;
  const std::string folder = programs::floppy_folder(dir);
  using programs::CleanRefusal;
  switch (programs::floppy_clean_refusal(folder, programs::protected_folders(dir))) {
    case CleanRefusal::kNone: break;
    case CleanRefusal::kUnset:
    case CleanRefusal::kMissing: say("nenicil", toolkit::utf8_to_cp1250(folder)); return;
    case CleanRefusal::kProtected: say("nemazat", toolkit::utf8_to_cp1250(folder)); return;
  }
  f_.status("vymazat");
  if (!f_.POTVRZENI()) {
    f_.status("wait");
    return;
  }
  f_.status("clearfdd");
  const programs::CleanResult r = programs::clean_floppy(folder);
  say(r.failed == 0 && r.listed ? "smazano" : "kopiechyba", std::to_string(r.deleted));
}

// The record goes back whole as "prog.dat"; true when the server has it.
bool Card::save() {
  const std::string path = f_.temp_path("prog.dat");
  if (!write_file_atomic(path, &p_, sizeof p_) || !f_.upload(path, "prog.dat", "savepzak")) {
    say("kartaneulozena");
    return false;
  }
  original_ = p_;
  f_.status("wait");
  return true;
}

void Card::close_on_server() {
  if (closed_) return;
  closed_ = true;
  close_program(f_);
  close_order(f_);
}

// Pieces recorded on the card are only the card's until saved: leaving asks, and a save that
// fails keeps the card open so nothing recorded is lost unseen.
void Card::leave() {
  if (record_changed(original_, p_) && !read_only()) {
    f_.status("ulozitkartu");
    if (f_.POTVRZENI()) {
      if (!save()) return;
    } else {
      f_.status("wait");
    }
    if (f_.screen_left()) return;
  }
  close_on_server();
  f_.request_screen(kScreenList);
}

void Card::build_window() {
  tk_.okna.SMAZOKNA();
  const int32_t h = tk_.okna.VYTVOROKNO(kWinX, kWinY, kWinW, kWinH, false,
                                        read_only() ? "vyrobniro" : "vyrobni", "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  auto act = [this](std::function<void()> a) { return [this, a] { action_ = a; }; };
  auto picture = [&](const char* pic, std::function<void()> a, int32_t x, uint8_t key) {
    toolkit::picture_button(tk_, window_, pic, act(std::move(a)), x, -14, key);
  };
  auto text = [&](const char* label, std::function<void()> a, int32_t x, uint8_t key) {
    tk_.okna.PRIPRAVTLACPROOKNO(window_, label, act(std::move(a)), x, -8, 0, 0, key);
  };
  picture("pomoc.bmp", [this] { f_.help(); }, 10, kF1);
  picture("budiz.bmp", [this] { leave(); }, -10, kEscape);
  if (!read_only() && may(kRightSaveProgram)) picture("uloz.bmp", [this] { save(); }, -65, kF2);
  if (may_record()) {
    text("&Vysito", [this] { embroidered(); }, 70, 'v');
    text("&Manip.", [this] { handled(); }, 140, 'm');
  }
  text("&Nahrat", [this] { copy_to(programs::floppy_folder(f_.client().ADRESAREXE), "storefdd"); },
       230, 'n');
  text("&HDD", [this] { copy_to(f_.config().ADRESARSTROJE, "copyfile"); }, 300, 'h');
  text("&Vymaz", [this] { clear_floppy(); }, 370, 'y');
}

void Card::run() {
  // The card's own window and buttons first: the list's are gone before anything waits for the
  // server, and a key pressed meanwhile is the card's.
  build_window();
  // The list fetched the catalogues its lines needed; a card whose entries are newer fetches
  // them again.
  if (p_.MATERIAL != -1 && !ws_.materials.find(p_.MATERIAL)) fetch_materials(f_, ws_);
  if (p_.UMISTENI != -1 && !ws_.placements.find(p_.UMISTENI)) fetch_placements(f_, ws_);
  threads_ = fetch_threads(f_, ws_).value_or(std::vector<TBarva>{});
  show_preview();
  if (window_ >= 0 && !f_.screen_left()) draw();
  while (!f_.screen_left()) {
    f_.event_step();
    if (action_ && !f_.screen_left()) {
      std::function<void()> a = std::move(action_);
      action_ = nullptr;
      a();
    }
  }
  // Left some other way (logout, another screen): the server must not keep them open.
  if (f_.POZADOVANAOBRAZOVKA != kScreenConnect) close_on_server();
}

}  // namespace

void build_card(Frame& f, Workspace& ws) {
  Card c(f, ws);
  c.run();
}

}  // namespace ksv::client::production
