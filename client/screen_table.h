// The screen table: every screen of the client as one row — its number, the key of its main
// window, its entry in the main menu, who may open it, and the routine that builds it. The menu,
// the notice for a screen still being built and the rights check before a build all read it.
//
// Each area keeps its rows in its own folder (client/screens/<area>/rows.cpp) and hands them out
// through the function declared for it below, so adding a screen is one row there and one file
// with its builder; the areas never edit each other's rows.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ksv::client {

class Frame;
class Workspace;

// Who may see a menu entry or open a screen, by the bits of the own rights (MOJEPRAVA).
struct RightsRule {
  uint64_t all_of = 0;      // every one of these bits
  uint64_t any_of = 0;      // at least one of these bits (0: no such condition)
  bool admin_only = false;  // the login name is exactly "admin"

  bool allows(int64_t rights, std::string_view login_name) const;
};

constexpr uint64_t bit_mask(std::initializer_list<int> bits) {
  uint64_t m = 0;
  for (int b : bits) m |= uint64_t(1) << b;
  return m;
}
constexpr RightsRule always() { return {}; }
constexpr RightsRule all_bits(std::initializer_list<int> bits) { return {bit_mask(bits), 0, false}; }
constexpr RightsRule any_bit(std::initializer_list<int> bits) { return {0, bit_mask(bits), false}; }
constexpr RightsRule admin_name() { return {0, 0, true}; }

// Builds a screen: removes the windows, makes its own and returns to the main loop, or runs a
// modal loop of its own until another screen is requested.
using ScreenBuilder = void (*)(Frame&, Workspace&);
// Runs when the screen's menu entry is chosen, in place of simply requesting the screen (for
// example to fetch a record the screen opens on).
using MenuAction = void (*)(Frame&, Workspace&);

// A screen's button in the main menu (window "menu", 50 × 20 at x offset 0).
struct MenuEntry {
  const char* picture = nullptr;  // in guidata/; nullptr: the screen is not in the menu
  int32_t y = 0;                  // offset in the menu window, negative from the bottom
  uint8_t key = 0;                // hot key
  RightsRule shown{};             // the entry exists only for users this rule allows
  MenuAction action = nullptr;    // nullptr: request the screen
};

struct ScreenRow {
  int32_t number;
  const char* window_key;  // title of its main window, also of the "being built" notice
  MenuEntry menu;
  RightsRule rule;         // who may open the screen at all
  ScreenBuilder build;     // nullptr: the screen is still being built; a notice says so
};

// The rows of each area (client/screens/<area>/rows.cpp).
std::span<const ScreenRow> session_screens();     // connection, login, menu
std::span<const ScreenRow> users_screens();
std::span<const ScreenRow> attendance_screens();
std::span<const ScreenRow> devices_screens();
std::span<const ScreenRow> orders_screens();
std::span<const ScreenRow> programs_screens();
std::span<const ScreenRow> production_screens();
std::span<const ScreenRow> messages_screens();
std::span<const ScreenRow> catalogues_screens();
std::span<const ScreenRow> pricing_screens();

// All rows of all areas, ordered by screen number.
const std::vector<ScreenRow>& screen_table();
// The row of a screen, nullptr for a number no area has.
const ScreenRow* find_screen(int32_t number);
// Screen numbers that two rows claim; empty when the table is sound.
std::vector<int32_t> duplicate_screens(std::span<const ScreenRow> rows);

// Registers a builder with the frame for every row: the rights check, then the row's builder or
// the notice that the screen is still being built.
void install_screens(Frame& frame, Workspace& ws);

}  // namespace ksv::client
