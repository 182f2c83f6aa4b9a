// Screen 74: a job priced for the nine quantity tiers as it is typed, saved and reopened as a
// small text file, written as a report and added to the open order. The buttons only name what
// is to be done; the screen's loop does it, so no exchange runs inside the button poll.
//
// Sections: layout · the job on the screen · the actions · the loop.
#include <fstream>
#include <sstream>

#include "client/frame.h"
#include "client/keys.h"
#include "client/screens/pricing/calculation.h"
#include "client/screens/pricing/calculation_screen.h"
#include "client/screens/pricing/settings_exchange.h"
#include "client/screens/pricing/settings_screen.h"
#include "client/workspace.h"
#include "protocol/file_util.h"
#include "protocol/rights.h"
#include "toolkit/cp1250.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/report.h"
#include "toolkit/toolkit.h"

namespace ksv::client::pricing {

namespace {

// ---- layout -------------------------------------------------------------------------------------

constexpr int32_t kScreen = 74;
constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 445;
constexpr int32_t kLeftX = 15, kValueButtonX = 220, kTopY = 30, kRowStep = 20;
constexpr int32_t kTierY = 95, kPriceX = 145;
constexpr int32_t kFlagX = 300, kFlagButtonX = 480, kFlagY = 95;
constexpr int32_t kButtonX = -10, kButtonTop = 28, kButtonStep = 24;
constexpr int kSettingsRight = 49;
constexpr uint8_t kLongChars = 40;

enum class Action { kNone, kPieces, kStitches, kDescription, kFlag, kSmall, kLarge, kAdd, kSave,
                    kOpen, kReport, kSettings };

// The ten rows of switches and counts right of the tiers.
enum Row { kMinimumRow = kExtras + 2, kSpecialRow = kExtras + 3, kRows = kExtras + 4 };

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
    text.replace(at, what.size(), with);
  return text;
}

class CalculationScreen {
 public:
  CalculationScreen(Frame& f, Workspace& ws) : f_(f), ws_(ws), tk_(f.tk()) {}
  void run();

 private:
  bool order_open() const { return !ws_.AKTZAKAZKA.CISLO.empty(); }
  bool order_editable() const { return order_open() && !ws_.JENCIST && !ws_.AKTZAKAZKA.UZAVRENO; }
  void build();
  void show();
  void text_at(int32_t x, int32_t y, uint8_t chars, const std::string& text, bool bright = false);

  void enter_number(const char* key, int32_t& value);
  void enter_description();
  void toggle(int row);
  void add_to_order();
  void save();
  void open();
  void report();
  void settings();

  Frame& f_;
  Workspace& ws_;
  toolkit::Toolkit& tk_;
  int window_ = -1;
  Job job_;
  TKalkulace block_{};
  PriceSettings settings_;
  Action pending_ = Action::kNone;
  int pending_row_ = 0;
};

void CalculationScreen::build() {
  tk_.okna.SMAZOKNA();
  window_ = -1;
  if (f_.screen_left()) return;
  const char* key = order_open() && !order_editable() ? "kalkulacero" : "kalkulace";
  const int32_t h = tk_.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, key, "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  int32_t y = kButtonTop;
  auto later = [this](Action a, int row = 0) {
    return [this, a, row] {
      pending_ = a;
      pending_row_ = row;
    };
  };
  auto add = [&](const char* picture, uint8_t key, std::function<void()> action) {
    toolkit::picture_button(tk_, window_, picture, std::move(action), kButtonX, y, key);
    y += kButtonStep;
  };
  add("pomoc.bmp", keys::kF1, [this] { f_.defer([this] { f_.help(); }); });
  add("budiz.bmp", keys::kEscape,
      [this] { f_.request_screen(ws_.pop_return(kScreenMenu)); });
  // Only an order the editor can still save takes the job.
  if (order_editable()) add("pridat.bmp", 'a', later(Action::kAdd));
  add("uloz.bmp", 's', later(Action::kSave));
  add("otevri.bmp", 'o', later(Action::kOpen));
  add("export.bmp", 'e', later(Action::kReport));
  add("popis.bmp", 'p', later(Action::kDescription));
  if (TESTBIT(f_.info().MOJEPRAVA, kSettingsRight)) add("nastavit.bmp", 'n', later(Action::kSettings));

  toolkit::picture_button(tk_, window_, "zmen.bmp", later(Action::kPieces), kValueButtonX, kTopY,
                          'k');
  toolkit::picture_button(tk_, window_, "zmen.bmp", later(Action::kStitches), kValueButtonX,
                          kTopY + kRowStep + 4, 't');
  static constexpr uint8_t kFlagKeys[kRows] = {'1', '2', '3', '4', '5', '6', 'm', 'v', 'i', 'x'};
  for (int r = 0; r < kRows; ++r) {
    const Action a = r == kExtras ? Action::kSmall : r == kExtras + 1 ? Action::kLarge : Action::kFlag;
    toolkit::picture_button(tk_, window_, "zmena.bmp", later(a, r), kFlagButtonX,
                            kFlagY + kRowStep * r - 2, kFlagKeys[r], 40, 18);
  }
  show();
}

void CalculationScreen::text_at(int32_t x, int32_t y, uint8_t chars, const std::string& text,
                                bool bright) {
  const int32_t ink = bright ? tk_.images.NAJDIBARVU(255, 255, 128) : 255;
  tk_.okna.VYPISUDAJOKNO(window_, x, y, ink, tk_.images.NAJDIBARVU(0, 0, 64), chars, text);
}

void CalculationScreen::show() {
  if (window_ < 0) return;
  text_at(kLeftX, kTopY, 24, std::to_string(job_.pieces) + " kusu", true);
  text_at(kLeftX, kTopY + kRowStep + 4, 24, std::to_string(job_.stitches) + " st.", true);
  text_at(kLeftX, kTopY + 2 * kRowStep + 8, kLongChars + 20, job_.description);
  const auto p = prices(job_, settings_);
  const auto tier = tier_of(job_.pieces);
  for (int t = 0; t < kTiers; ++t) {
    const int32_t y = kTierY + kRowStep * t;
    text_at(kLeftX, y, 17, tier_range(t) + " kusu", tier && *tier == t);
    text_at(kLeftX + kPriceX, y, 13, money(p[size_t(t)]) + ",- Kc", tier && *tier == t);
  }
  // Pieces past the last tier have no price to add to an order.
  text_at(kLeftX, kTierY + kRowStep * kTiers + 6, 30, tier ? "" : f_.text("kalkmimo"));
  auto yes_no = [this](bool b) { return f_.text(b ? "ano" : "ne"); };
  for (int r = 0; r < kRows; ++r) {
    std::string line;
    if (r < kExtras)
      line = std::string(kExtraName[size_t(r)]) + ": " + yes_no(job_.extras[size_t(r)]);
    else if (r == kExtras)
      line = f_.text("kalkmale") + " " + std::to_string(job_.small_appliques);
    else if (r == kExtras + 1)
      line = f_.text("kalkvelke") + " " + std::to_string(job_.large_appliques);
    else if (r == kMinimumRow)
      line = std::string("Minimal.ceny: ") + yes_no(job_.minimum);
    else
      line = std::string("Spec.min.ceny: ") + yes_no(job_.special_minimum);
    text_at(kFlagX, kFlagY + kRowStep * r, 22, line);
  }
  tk_.tlacitka.NUTNOVYKRESLIT = true;
}

// ---- the actions --------------------------------------------------------------------------------

void CalculationScreen::enter_number(const char* key, int32_t& value) {
  InputResult in = f_.VSTUPNIDIALOG(key, 9);
  if (!in.confirmed) return;
  if (in.number < 0 || std::to_string(in.number) != in.text) {
    f_.status("kalkcislo");
    return;
  }
  value = in.number;
}

void CalculationScreen::enter_description() {
  InputResult in = f_.VSTUPNIDIALOG("popiskalk", uint8_t(kDescriptionChars));
  if (in.confirmed) job_.description = in.text.substr(0, kDescriptionChars);
}

void CalculationScreen::toggle(int row) {
  if (row < kExtras)
    job_.extras[size_t(row)] = !job_.extras[size_t(row)];
  else if (row == kMinimumRow)
    job_.minimum = !job_.minimum;
  else if (row == kSpecialRow)
    job_.special_minimum = !job_.special_minimum;
}

void CalculationScreen::add_to_order() {
  if (!order_editable()) return;
  std::optional<OrderNotes> notes =
      added_to_order(job_, settings_, ws_.AKTZAKAZKA.VELIKOST.str(), ws_.AKTZAKAZKA.KALKULACE.str());
  if (!notes) {
    f_.status("kalkmimo");
    return;
  }
  // The order's notes hold 255 characters; a longer one would be cut without a word.
  if (notes->size.size() > 255 || notes->calculation.size() > 255) {
    f_.status("kalkdlouhe");
    return;
  }
  ws_.AKTZAKAZKA.VELIKOST.assign(notes->size);
  ws_.AKTZAKAZKA.KALKULACE.assign(notes->calculation);
  f_.status("kalkpridano");
}

// Saved calculations live in the program's own folder: temp/ is emptied at every start.
std::string saved_path(Frame& f) {
  std::string name = f.text("_kalkulace");
  if (!is_plain_name(name)) name = "kalkulace.txt";
  return f.client().ADRESAREXE + "kalkulace/" + name;
}

void CalculationScreen::save() {
  const std::string dir = f_.client().ADRESAREXE + "kalkulace";
  if (!directory_exists(dir)) make_directory(dir);
  const std::string path = saved_path(f_);
  const std::string tmp = path + ".new";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << saved_text(job_);
    if (!out.flush()) {
      erase_file(tmp);
      f_.status("kalknelze");
      return;
    }
  }
  if (!rename_file(tmp, path)) {
    erase_file(tmp);
    f_.status("kalknelze");
    return;
  }
  f_.status("savekalk");
}

void CalculationScreen::open() {
  std::ifstream in(saved_path(f_), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::optional<Job> job = in ? job_from_text(text.str()) : std::nullopt;
  if (!job) {
    f_.status("kalknelze");
    return;
  }
  job_ = std::move(*job);
  f_.status("loadkalk");
}

void CalculationScreen::report() {
  std::string name = f_.text("_kalkulaceout");
  if (!is_plain_name(name)) name = "kalkulace_out.txt";
  const std::string path = f_.temp_path(name);
  if (toolkit::write_report(path, report_text(job_, settings_)) != toolkit::ReportResult::kDone) {
    f_.status("kalknelze");
    return;
  }
  if (f_.tk().opener.open(path) != toolkit::OpenResult::kStarted)
    f_.STAVOVYRADEK(replaced(f_.text("kalkkde"), "%s", "temp/" + name));
}

void CalculationScreen::settings() {
  if (!TESTBIT(f_.info().MOJEPRAVA, kSettingsRight)) return;
  run_settings(f_, block_);
  if (f_.screen_left()) return;
  settings_ = PriceSettings::from_block(block_);
  build();
}

// ---- the loop -----------------------------------------------------------------------------------

void CalculationScreen::run() {
  build();
  if (std::optional<TKalkulace> block = fetch_settings_block(f_)) {
    block_ = *block;
    settings_ = PriceSettings::from_block(block_);
  }
  show();
  while (window_ >= 0 && !f_.screen_left()) {
    f_.event_step();
    const Action a = pending_;
    pending_ = Action::kNone;
    switch (a) {
      case Action::kNone: continue;
      case Action::kPieces: enter_number("kusukalk", job_.pieces); break;
      case Action::kStitches: enter_number("stehukalk", job_.stitches); break;
      case Action::kDescription: enter_description(); break;
      case Action::kFlag: toggle(pending_row_); break;
      case Action::kSmall: enter_number("kalkmale", job_.small_appliques); break;
      case Action::kLarge: enter_number("kalkvelke", job_.large_appliques); break;
      case Action::kAdd: add_to_order(); break;
      case Action::kSave: save(); break;
      case Action::kOpen: open(); break;
      case Action::kReport: report(); break;
      case Action::kSettings: settings(); break;
    }
    show();
    pending_ = Action::kNone;
  }
  tk_.okna.SMAZOKNA();
}

}  // namespace

void build_calculation(Frame& f, Workspace& ws) {
  CalculationScreen screen(f, ws);
  screen.run();
}

}  // namespace ksv::client::pricing
