// Screen 12. The buttons only name what is to be done; the screen's loop does it, so no exchange
// and no dialog runs inside the button poll. While a drawing tool is taken up, the same loop
// hands every mouse sample over the picture to the pen.
//
// Sections: layout · the picture on the screen · the actions · saving · the loop.
#include "client/screens/catalogues/placement_editor.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "client/frame.h"
#include "client/keys.h"
#include "client/pickers.h"
#include "client/screens/catalogues/entry_keys.h"
#include "client/screens/catalogues/entry_store.h"
#include "client/screens/catalogues/field_dialog.h"
#include "client/screens/catalogues/palette.h"
#include "client/screens/catalogues/placement_pen.h"
#include "client/screens/catalogues/placement_picture.h"
#include "client/workspace.h"
#include "protocol/commands.h"
#include "toolkit/browser.h"
#include "toolkit/cp1250.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/kit/style_guard.h"
#include "toolkit/toolkit.h"

namespace ksv::client::catalogues {

namespace {

// ---- layout -------------------------------------------------------------------------------------

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 445;
constexpr int32_t kLeftX = 15, kTopY = 30, kRowStep = 24;
constexpr int32_t kPictureX = 16, kPictureY = 91;  // inside a one-pixel frame
constexpr int32_t kSideX = kPictureX + kPreview.w + 20;
constexpr int32_t kButtonX = -10, kButtonTop = 28, kButtonStep = 24;
constexpr uint8_t kFieldChars = 50;
// The description holds 32 characters, as the record does.
constexpr uint8_t kDescriptionChars = 32;
// The mark of a drawing tool taken up; a texts file would read its stars as a format code.
constexpr const char* kDrawMark = "*** draw ***";
constexpr const char* kPictureFile = "umisteni.ksv";  // the picture as it is sent, in temp/

enum class Action { kNone, kLeave, kDescription, kMaterial, kPicture, kColour, kPencil, kLine, kSave };

// Where the picture shown came from.
enum class Source { kNone, kServer, kMade };

std::string with_name(std::string text, const std::string& name) {
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, name);
  return text;
}

// The slot the picture lives in while the editor is open; the preview slots of the program
// editor are not borrowed, since the editor is entered from it and it goes on showing them.
class PictureSlot {
 public:
  explicit PictureSlot(toolkit::Toolkit& tk) : im_(tk.images) {
    const uint16_t s = tk.tlacitka.NAJDIOBR();
    if (s < images::kSlotCount && im_.ZALOZOBRAZEK(s, kPreview.w, kPreview.h, 1) == images::kOk) {
      slot_ = s;
      clear();
    }
  }
  ~PictureSlot() {
    if (ok()) im_.ZRUSOBRAZEK(slot_);
  }
  PictureSlot(const PictureSlot&) = delete;
  PictureSlot& operator=(const PictureSlot&) = delete;

  bool ok() const { return slot_ < images::kSlotCount; }
  uint16_t slot() const { return slot_; }
  images::TOBRAZEK& picture() { return im_.OBRAZKY[slot_]; }
  void clear() {
    picture().VELX = picture().VELY = 0;
    picture().BPP = 0;
  }

 private:
  images::Obrazky& im_;
  uint16_t slot_ = images::kSlotCount;
};

class PlacementEditor {
 public:
  PlacementEditor(Frame& f, Workspace& ws) : f_(f), ws_(ws), tk_(f.tk()), slot_(tk_) {}
  void run();

 private:
  void build();
  void show();
  void show_picture();
  void text_at(int32_t x, int32_t y, uint8_t chars, const std::string& text, bool bright = false);
  int32_t screen_x(int32_t x) const { return tk_.okna.MISTOX(window_, kWindowX) + x; }
  int32_t screen_y(int32_t y) const { return tk_.okna.MISTOY(window_, kWindowY) + y; }

  void enter_description();
  void choose_material();
  void load_picture();
  void choose_colour();
  void leave();
  void take_tool(Tool tool);
  void draw_pass();
  void key_changed();
  void fetch_server_picture();
  void save();
  bool send_picture(const TUmisteni& sent);

  Frame& f_;
  Workspace& ws_;
  toolkit::Toolkit& tk_;
  PictureSlot slot_;
  int window_ = -1;
  TUmisteni rec_{};
  std::vector<TUmisteni> listed_;
  Source source_ = Source::kNone;
  Pen pen_;
  Action pending_ = Action::kNone;
};

// ---- the picture on the screen --------------------------------------------------------------------

void PlacementEditor::build() {
  tk_.okna.SMAZOKNA();
  window_ = -1;
  if (f_.screen_left()) return;
  const int32_t h = tk_.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, "umisteni2", "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  int32_t y = kButtonTop;
  auto later = [this](Action a) { return [this, a] { pending_ = a; }; };
  auto add = [&](const char* picture, uint8_t key, std::function<void()> action) {
    toolkit::picture_button(tk_, window_, picture, std::move(action), kButtonX, y, key);
    y += kButtonStep;
  };
  add("pomoc.bmp", keys::kF1, [this] { f_.defer([this] { f_.help(); }); });
  add("budiz.bmp", keys::kEscape, later(Action::kLeave));
  add("popis.bmp", 'p', later(Action::kDescription));
  add("material.bmp", 'm', later(Action::kMaterial));
  add("obrazek.bmp", 'o', later(Action::kPicture));
  add("barva.bmp", 'b', later(Action::kColour));
  add("tuzka.bmp", 't', later(Action::kPencil));
  add("cara.bmp", 'c', later(Action::kLine));
  add("pridat.bmp", 'a', later(Action::kSave));
  show();
}

void PlacementEditor::text_at(int32_t x, int32_t y, uint8_t chars, const std::string& text,
                              bool bright) {
  const int32_t ink = bright ? tk_.images.NAJDIBARVU(255, 255, 128) : 255;
  // An empty field melts into the window, so a mark that is off is not an empty box.
  const int32_t ground = text.empty() ? tk_.images.NAJDIBARVU(64, 64, 64) : tk_.images.NAJDIBARVU(0, 0, 64);
  tk_.okna.VYPISUDAJOKNO(window_, x, y, ink, ground, chars, text);
}

void PlacementEditor::show() {
  if (window_ < 0) return;
  text_at(kLeftX, kTopY, kFieldChars, f_.text("umpopis") + " " + rec_.POPIS.str(), true);
  const std::string material =
      rec_.MATERIAL > 0 ? ws_.materials.name_or_unknown(rec_.MATERIAL) : std::string();
  text_at(kLeftX, kTopY + kRowStep, kFieldChars, f_.text("ummaterial") + " " + material, true);
  const char* state = source_ == Source::kMade     ? "umobrnovy"
                      : source_ == Source::kServer ? "umobrserver"
                                                   : "umobrzadny";
  text_at(kLeftX, kPictureY + kPreview.h + 12, kFieldChars, f_.text(state));

  text_at(kSideX, kPictureY, 14, f_.text("umbarva"));
  {
    draw::Graph& g = tk_.graph;
    toolkit::StyleGuard style(g);
    const int32_t x = screen_x(kSideX + 120), yy = screen_y(kPictureY);
    g.SETFILLSTYLE(1, 255);
    g.BAR(x - 1, yy - 1, x + 30, yy + 16);
    g.SETFILLSTYLE(1, pen_.colour());
    g.BAR(x, yy, x + 29, yy + 15);
  }
  const bool drawing = pen_.tool() != Tool::kNone;
  text_at(kSideX, kPictureY + kRowStep, 14, drawing ? kDrawMark : "", true);
  text_at(kSideX, kPictureY + 2 * kRowStep, 14,
          pen_.tool() == Tool::kPencil ? f_.text("umtuzka")
          : pen_.tool() == Tool::kLine ? f_.text("umcara")
                                       : "");
  show_picture();
}

void PlacementEditor::show_picture() {
  if (window_ < 0) return;
  {
    draw::Graph& g = tk_.graph;
    toolkit::StyleGuard style(g);
    const int32_t x = screen_x(kPictureX), y = screen_y(kPictureY);
    // The frame shows the preview's whole size, so a small picture is seen to be small.
    g.SETFILLSTYLE(1, tk_.images.NAJDIBARVU(160, 160, 160));
    g.BAR(x - 1, y - 1, x + kPreview.w, y + kPreview.h);
    g.SETFILLSTYLE(1, tk_.images.NAJDIBARVU(32, 32, 32));
    g.BAR(x, y, x + kPreview.w - 1, y + kPreview.h - 1);
  }
  if (slot_.ok() && holds_picture(slot_.picture()))
    tk_.okna.VLOZOBRAZEKDOOKNA(window_, slot_.slot(), kPictureX, kPictureY);
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// ---- the actions --------------------------------------------------------------------------------

// A picture loaded or drawn and not yet on the server would be lost without a word.
void PlacementEditor::leave() {
  if (source_ == Source::kMade && !f_.POTVRZENI()) return;
  f_.request_screen(ws_.pop_return(kScreenMenu));
}

void PlacementEditor::enter_description() {
  std::optional<std::string> typed =
      ask_text(f_, "popisumist", kDescriptionChars, kDescriptionChars, rec_.POPIS.str());
  if (!typed) return;
  rec_.POPIS.assign(*typed);
  key_changed();
}

void PlacementEditor::choose_material() {
  std::optional<TMaterial> m = pick_material(f_, ws_);
  if (!m) return;
  rec_.MATERIAL = m->ID;
  key_changed();
}

// A placement already in the catalogue shows the picture the server holds for it — unless the
// user has made one of their own, which is never thrown away for it.
void PlacementEditor::key_changed() {
  if (source_ == Source::kMade) return;
  const bool listed = std::any_of(listed_.begin(), listed_.end(),
                                  [this](const TUmisteni& u) { return same_key(u, rec_); });
  if (listed) {
    fetch_server_picture();
  } else if (source_ == Source::kServer) {
    slot_.clear();
    source_ = Source::kNone;
  }
}

void PlacementEditor::fetch_server_picture() {
  if (!slot_.ok()) return;
  Packet& b = f_.compose();
  b.put_raw(slot::kText, &rec_, sizeof rec_);
  const int32_t reply = f_.send_and_wait(req::kPlacementPicture, "recvobrum");
  if (reply == rep::kPicture) {
    const std::string name = f_.download_named_in_reply();
    const uint16_t scratch = tk_.tlacitka.NAJDIOBR();
    if (!name.empty() && load_fitted(tk_.images, slot_.slot(), scratch, f_.temp_path(name)) == images::kOk) {
      source_ = Source::kServer;
      pen_.reset();
    } else {
      slot_.clear();
      source_ = Source::kNone;
      f_.status("umobrchybi");
      return;
    }
  } else {
    // The entry has no picture (207), or it is gone since the list was fetched: nothing to show,
    // and an earlier entry's picture must not stay on the screen as if it were this one's.
    f_.HLASENICHYBY();
    slot_.clear();
    source_ = Source::kNone;
  }
  f_.status("wait");
}

void PlacementEditor::load_picture() {
  if (!slot_.ok()) return;
  LocalConfig& c = f_.config();
  toolkit::BrowserPlaces places{c.POSLEDNIADRESAR, {}};
  for (int i = 0; i < toolkit::kFavourites && i < kFavourites; ++i) places.OBLIBENE[i] = c.OBLIBENE[i];
  toolkit::Browser browser(tk_, [this] { f_.event_step(); });
  std::optional<toolkit::BrowserChoice> choice =
      browser.run({{"bmp", "jpg", "gif", "ksv", "pcx", "tga"}, false}, places);
  c.POSLEDNIADRESAR = places.POSLEDNIADRESAR;
  for (int i = 0; i < toolkit::kFavourites && i < kFavourites; ++i) c.OBLIBENE[i] = places.OBLIBENE[i];
  if (!choice || f_.screen_left()) return;
  f_.status("umnacitam");
  const uint16_t scratch = tk_.tlacitka.NAJDIOBR();
  if (load_fitted(tk_.images, slot_.slot(), scratch, choice->path()) != images::kOk) {
    f_.STAVOVYRADEK(with_name(f_.text("umobrchyba"), toolkit::utf8_to_cp1250(choice->name)));
    return;
  }
  source_ = Source::kMade;
  pen_.reset();
  f_.status("wait");
}

void PlacementEditor::choose_colour() {
  std::optional<uint8_t> colour = pick_colour(f_, pen_.colour(), "paletakresby");
  pen_.reset();
  if (colour) pen_.set_colour(*colour);
}

void PlacementEditor::take_tool(Tool tool) {
  // The same button again puts the tool down.
  pen_.set_tool(pen_.tool() == tool ? Tool::kNone : tool);
  if (pen_.tool() != Tool::kNone && slot_.ok() && !holds_picture(slot_.picture())) {
    make_blank(tk_.images, slot_.slot());
    source_ = Source::kMade;
  }
}

void PlacementEditor::draw_pass() {
  if (pen_.tool() == Tool::kNone || window_ < 0 || !slot_.ok()) return;
  const toolkit::Tlacitka& b = tk_.tlacitka;
  const Point p{b.MYSX - screen_x(kPictureX), b.MYSY - screen_y(kPictureY)};
  if (!pen_.feed(view_of(slot_.picture()), p, (b.TLACM & 1) != 0)) return;
  if (source_ != Source::kMade) {
    source_ = Source::kMade;
    show();
  }
  tk_.okna.VLOZOBRAZEKDOOKNA(window_, slot_.slot(), kPictureX, kPictureY);
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// ---- saving -------------------------------------------------------------------------------------

void PlacementEditor::save() {
  if (rec_.POPIS.empty()) {
    f_.status("umbezpopisu");
    return;
  }
  if (rec_.MATERIAL <= 0) {
    f_.status("umbezmat");
    return;
  }
  pen_.reset();
  const EntrySave saved = save_placement(f_, ws_, rec_);
  if (const std::optional<std::vector<TUmisteni>> now = fetch_placements(f_, ws_)) listed_ = *now;
  if (!saved.saved) {
    // Without the entry the picture has no place to go; above all, a refused replace must not
    // replace the existing entry's picture behind the user's back.
    if (saved.reply == rep::kNeedsRight) f_.status("umneulozeno");
    return;
  }
  if (source_ != Source::kMade) {
    f_.status("umulozeno");
    return;
  }
  TUmisteni sent = rec_;
  sent.ID = saved.id;
  if (!send_picture(sent)) return;
  // What the catalogue now holds is what the user sees.
  fetch_server_picture();
  f_.status("umobrulozen");
}

bool PlacementEditor::send_picture(const TUmisteni& sent) {
  const std::string local = f_.temp_path(kPictureFile);
  // The file is made before the server is asked for a name, so nothing is announced that
  // cannot follow.
  if (tk_.images.ULOZKSV(slot_.slot(), local) != images::kOk) {
    f_.status("umobrnelze");
    return false;
  }
  Packet& b = f_.compose();
  b.put_raw(slot::kText, &sent, sizeof sent);
  if (f_.request(req::kPictureUploadName, "addobrum") != rep::kPicture) {
    f_.status("umobrneodeslan");
    return false;
  }
  const std::string name = f_.reply_file_name();
  if (name.empty() || !f_.upload(local, name, "sendfile")) {
    f_.status("umobrneodeslan");
    return false;
  }
  return true;
}

// ---- the loop -----------------------------------------------------------------------------------

void PlacementEditor::run() {
  // A placement belongs to a material: the one of the program being edited is the likely one.
  if (!ws_.AKTPROGRAM.KOD.empty() && ws_.AKTPROGRAM.MATERIAL > 0) rec_.MATERIAL = ws_.AKTPROGRAM.MATERIAL;
  fetch_materials(f_, ws_);
  if (std::optional<std::vector<TUmisteni>> v = fetch_placements(f_, ws_)) listed_ = *v;
  build();
  while (window_ >= 0 && !f_.screen_left()) {
    f_.event_step();
    if (f_.screen_left()) break;
    draw_pass();
    const Action a = pending_;
    pending_ = Action::kNone;
    switch (a) {
      case Action::kNone: continue;
      case Action::kLeave: leave(); break;
      case Action::kDescription: enter_description(); break;
      case Action::kMaterial: choose_material(); break;
      case Action::kPicture: load_picture(); break;
      case Action::kColour: choose_colour(); break;
      case Action::kPencil: take_tool(Tool::kPencil); break;
      case Action::kLine: take_tool(Tool::kLine); break;
      case Action::kSave: save(); break;
    }
    // The pop-ups put back what they covered; the values and the picture may have changed.
    if (!f_.screen_left()) show();
  }
  tk_.okna.SMAZOKNA();
}

}  // namespace

}  // namespace ksv::client::catalogues

namespace ksv::client {

void build_placement_editor(Frame& f, Workspace& ws) {
  catalogues::PlacementEditor editor(f, ws);
  editor.run();
}

}  // namespace ksv::client
