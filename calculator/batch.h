// The calculator's batch mode: one picture, the answers the dialogs would ask for given as
// options, an optional replay of segment-page edits, and the stitch count printed (plain or as
// one JSON object). Used to quote many logos at once and to replay a desktop session.
#pragma once
#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ksv::calculator {

// Exit statuses of the batch mode.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;        // bad arguments (one line and "try --help")
constexpr int kExitCalculator = 2;   // a calculator error (5, 100, 101, 103, 104)
constexpr int kExitWriteFailed = 3;  // the result picture could not be written

// One replayed segment-page action.
struct EditOp {
  enum Kind { kSet, kTyp, kStyl, kBarva, kHole, kClearHoles, kDel, kGroup, kGarment } kind;
  int32_t n = 0;       // segment number (kGroup: 16/32/64, kGarment: garment index)
  int32_t a = 0, b = 0;  // kSet: TYP, SMER (-1 = keep); kBarva: index; kHole: x, y
};

struct BatchOptions {
  std::string picture;
  std::optional<std::pair<int32_t, int32_t>> size_mm;
  std::optional<std::array<int32_t, 4>> area;
  bool light = true;
  int quality = 1;
  // Each background colour as given: a palette index, or an RGB triple to map.
  struct Colour {
    bool rgb = false;
    int32_t index = 0, r = 0, g = 0, b = 0;
  };
  std::vector<Colour> backgrounds;
  uint8_t marker = 0;
  uint8_t garment = 0;
  bool delete_small = false;
  std::vector<EditOp> edits;
  bool json = false;
  std::string save_result;
  bool help = false;
};

// Parses the arguments that follow "--batch". Returns an error text, or nothing on success.
std::optional<std::string> parse_batch_args(const std::vector<std::string>& args,
                                            BatchOptions& out);
std::optional<std::string> parse_edit(const std::string& text, EditOp& out);

// The usage text of the whole program (batch mode and --help).
std::string usage_text();

// Runs the batch mode on parsed options; program_dir holds SUPPORT/ for the converters.
int run_batch(const BatchOptions& options, const std::string& program_dir, std::ostream& out,
              std::ostream& err);
// Parses and runs; bad arguments print one line and "try --help" to err (with --json also
// {"error": "usage", "message": ...} to out) and return kExitUsage.
int run_batch(const std::vector<std::string>& args, const std::string& program_dir,
              std::ostream& out, std::ostream& err);

}  // namespace ksv::calculator
