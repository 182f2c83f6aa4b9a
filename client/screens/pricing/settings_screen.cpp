// Screen 76: the grid holds the two single values in its first row, the nine tiers with the
// four stitch classes and the two minimums, then one row for each extra.
#include "client/screens/pricing/settings_screen.h"

#include "client/frame.h"
#include "client/keys.h"
#include "client/screens/pricing/calculation.h"
#include "client/screens/pricing/calculation_screen.h"
#include "client/screens/pricing/settings_exchange.h"
#include "client/workspace.h"
#include "protocol/rights.h"
#include "toolkit/kit/grid_editor.h"
#include "toolkit/kit/picture_button.h"
#include "toolkit/toolkit.h"

namespace ksv::client::pricing {

namespace {

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 445;
constexpr int32_t kButtonX = -10, kButtonTop = 28, kButtonStep = 24;
constexpr int kCols = kClasses + 2, kMinimumCol = kClasses, kSpecialCol = kClasses + 1;
constexpr int kFirstTierRow = 1, kFirstExtraRow = kFirstTierRow + kTiers;
constexpr int kRows = kFirstExtraRow + kExtras;
constexpr toolkit::GridLayout kGrid{15, 62, 72, 20, kRows, kCols, 120, 20};
constexpr int kCalculationScreen = 74;

// The value behind a cell of the grid; nothing for the cells that hold none.
std::optional<Cell> cell_of(int row, int col) {
  if (row == 0) {
    if (col == 0) return Cell{Field::kExtraStitches};
    if (col == 1) return Cell{Field::kExtraPrice};
    return std::nullopt;
  }
  if (row < kFirstExtraRow) {
    const int tier = row - kFirstTierRow;
    if (col == kMinimumCol) return Cell{Field::kMinimum, tier};
    if (col == kSpecialCol) return Cell{Field::kSpecial, tier};
    return Cell{Field::kTable, tier, col};
  }
  if (col == 0) return Cell{Field::kExtra, row - kFirstExtraRow};
  return std::nullopt;
}

const char* input_key(Field f) {
  switch (f) {
    case Field::kExtraStitches: return "stehynavic";
    case Field::kExtraPrice: return "cenanavic";
    case Field::kMinimum:
    case Field::kSpecial: return "mincena";
    case Field::kTable: return "cenakalk";
    case Field::kExtra: break;
  }
  return "cenabaleni";
}

class SettingsScreen {
 public:
  SettingsScreen(Frame& f, TKalkulace& block)
      : f_(f), tk_(f.tk()), block_(block), s_(PriceSettings::from_block(block)),
        grid_(tk_, kRows, kCols, kGrid) {}
  void run();

 private:
  void build();
  void show_values();
  void edit(int row, int col);
  void save();

  Frame& f_;
  toolkit::Toolkit& tk_;
  TKalkulace& block_;
  PriceSettings s_;
  toolkit::GridEditor grid_;
  int window_ = -1;
  bool done_ = false, save_ = false;
  int edit_row_ = -1, edit_col_ = -1;
};

void SettingsScreen::build() {
  tk_.okna.SMAZOKNA();
  window_ = -1;
  if (f_.screen_left()) return;
  const int32_t h =
      tk_.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, "nastkalkulace", "");
  if (h == toolkit::kNoFreeWindow) return;
  window_ = h >> 8;
  int32_t y = kButtonTop;
  auto add = [&](const char* picture, uint8_t key, std::function<void()> action) {
    toolkit::picture_button(tk_, window_, picture, std::move(action), kButtonX, y, key);
    y += kButtonStep;
  };
  add("pomoc.bmp", keys::kF1, [this] { f_.defer([this] { f_.help(); }); });
  add("budiz.bmp", keys::kEscape, [this] { done_ = true; });
  add("uloz.bmp", 's', [this] { save_ = true; });

  grid_.row_label = [](int row) -> std::string {
    if (row == 0) return "navic";
    if (row < kFirstExtraRow) return tier_range(row - kFirstTierRow);
    return kExtraName[size_t(row - kFirstExtraRow)];
  };
  grid_.col_label = [](int col) -> std::string {
    if (col == kMinimumCol) return "min.";
    if (col == kSpecialCol) return "spec.";
    return col == 0 ? "0.." : std::to_string(kClassBound[size_t(col - 1)]) + "..";
  };
  grid_.cell_text = [this](int row, int col) -> std::string {
    std::optional<Cell> c = cell_of(row, col);
    if (!c) return "";
    const uint16_t v = value_at(s_, *c);
    if (c->field == Field::kExtraStitches) return std::to_string(v) + " st.";
    return std::to_string(v) + ",-";
  };
  grid_.cell_background = [this](int row, int col) {
    return cell_of(row, col) ? tk_.images.NAJDIBARVU(64, 64, 64) : tk_.images.NAJDIBARVU(0, 0, 64);
  };
  grid_.activate = [this](int row, int col) {
    edit_row_ = row;
    edit_col_ = col;
  };
  show_values();
}

void SettingsScreen::show_values() {
  if (window_ < 0) return;
  const int bg = tk_.images.NAJDIBARVU(0, 0, 64);
  tk_.okna.VYPISUDAJOKNO(window_, 15, 28, 255, bg, 24,
                         std::to_string(s_.extra_stitches) + " stehu navic");
  tk_.okna.VYPISUDAJOKNO(window_, 230, 28, 255, bg, 24,
                         std::to_string(s_.extra_price) + ",- Kc navic");
  tk_.okna.VYPISUDAJOKNO(window_, 15, 408, tk_.images.NAJDIBARVU(192, 192, 128), bg, 70,
                         f_.text("kalkjednotky"));
  grid_.draw();
}

void SettingsScreen::edit(int row, int col) {
  std::optional<Cell> c = cell_of(row, col);
  if (!c) return;
  InputResult in = f_.VSTUPNIDIALOG(input_key(c->field), 6);
  build();  // the dialog was drawn over the grid
  if (!in.confirmed) return;
  // A Word holds no more: a larger value is refused rather than stored cut.
  std::optional<uint16_t> v = parse_value(in.text);
  if (!v) {
    f_.status("kalkrozsah");
    return;
  }
  value_at(s_, *c) = *v;
  show_values();
}

void SettingsScreen::save() {
  const TKalkulace out = s_.into_block(block_);
  if (store_settings_block(f_, out)) {
    block_ = out;
    f_.status("kalkulozeno");
  }
}

void SettingsScreen::run() {
  build();
  while (window_ >= 0 && !done_ && !f_.screen_left()) {
    f_.event_step();
    grid_.poll();
    if (edit_row_ >= 0) {
      const int r = edit_row_, c = edit_col_;
      edit_row_ = edit_col_ = -1;
      edit(r, c);
    }
    if (save_) {
      save_ = false;
      save();
    }
  }
  tk_.okna.SMAZOKNA();
}

}  // namespace

void run_settings(Frame& f, TKalkulace& block) {
  SettingsScreen screen(f, block);
  screen.run();
}

// Entered by its number, the settings screen fetches the block itself and leads back to the
// calculation.
void build_settings(Frame& f, Workspace&) {
  std::optional<TKalkulace> block = fetch_settings_block(f);
  if (block && !f.screen_left()) run_settings(f, *block);
  if (!f.screen_left()) f.request_screen(kCalculationScreen);
}

}  // namespace ksv::client::pricing
