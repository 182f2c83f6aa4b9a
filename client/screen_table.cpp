// The screen table assembled from the areas' rows, and the builders the frame runs for them: the
// rights check before every build, and the notice for a screen that is still being built.
#include "client/screen_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client {

namespace {

using AreaRows = std::span<const ScreenRow> (*)();

// One line per area; the order does not matter, the table is sorted by number.
constexpr AreaRows kAreas[] = {
    session_screens,    users_screens,     attendance_screens, devices_screens,
    orders_screens,     programs_screens,  production_screens, messages_screens,
    catalogues_screens, pricing_screens,
};

std::vector<ScreenRow> assemble() {
  std::vector<ScreenRow> rows;
  for (AreaRows area : kAreas)
    for (const ScreenRow& row : area()) rows.push_back(row);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const ScreenRow& a, const ScreenRow& b) { return a.number < b.number; });
  // Two areas claiming one number would make one of the screens unreachable without a word; a
  // client built that way must not start.
  for (int32_t n : duplicate_screens(rows)) {
    std::fprintf(stderr, "KSVDB: screen %d is in the screen table twice\n", int(n));
    std::abort();
  }
  return rows;
}

// Where a screen that may not or cannot be shown sends the user back to.
void back_to_menu(Frame& f) {
  if (f.POZADOVANAOBRAZOVKA == f.AKTUALNIOBRAZOVKA)
    f.request_screen(f.info().PRIHLASEN ? kScreenMenu : kScreenConnect);
}

void build_row(Frame& f, Workspace& ws, const ScreenRow& row) {
  const TInfoKlient& k = f.info();
  if (!row.rule.allows(k.MOJEPRAVA, k.JMENO)) {
    // The server would refuse the screen's commands anyway; say so at once, as it would.
    f.tk().okna.SMAZOKNA();
    f.notice(row.window_key, "error231");
    back_to_menu(f);
    return;
  }
  if (!row.build) {
    f.tk().okna.SMAZOKNA();
    f.notice(row.window_key, "pripravuje");
    back_to_menu(f);
    return;
  }
  row.build(f, ws);
}

}  // namespace

bool RightsRule::allows(int64_t rights, std::string_view login_name) const {
  const uint64_t have = uint64_t(rights);
  if ((have & all_of) != all_of) return false;
  if (any_of != 0 && (have & any_of) == 0) return false;
  return !admin_only || login_name == "admin";
}

const std::vector<ScreenRow>& screen_table() {
  static const std::vector<ScreenRow> rows = assemble();
  return rows;
}

const ScreenRow* find_screen(int32_t number) {
  const std::vector<ScreenRow>& rows = screen_table();
  auto it = std::lower_bound(rows.begin(), rows.end(), number,
                             [](const ScreenRow& r, int32_t n) { return r.number < n; });
  return it != rows.end() && it->number == number ? &*it : nullptr;
}

std::vector<int32_t> duplicate_screens(std::span<const ScreenRow> rows) {
  std::vector<int32_t> numbers, twice;
  for (const ScreenRow& r : rows) numbers.push_back(r.number);
  std::sort(numbers.begin(), numbers.end());
  for (size_t i = 1; i < numbers.size(); ++i)
    if (numbers[i] == numbers[i - 1] && (twice.empty() || twice.back() != numbers[i]))
      twice.push_back(numbers[i]);
  return twice;
}

void install_screens(Frame& frame, Workspace& ws) {
  for (const ScreenRow& row : screen_table())
    frame.set_builder(row.number, [&frame, &ws, &row] { build_row(frame, ws, row); });
}

}  // namespace ksv::client
