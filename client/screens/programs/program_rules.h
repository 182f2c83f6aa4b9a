// What the program editor does to the program record when the user presses its toggles and
// pickers: the history entries, the sample and approval flags, the kind, material and placement
// changes, the checks before a program goes to production, and the stitch figures the server
// confirmed. Plain functions over TProgramZak, so each rule is tested without a screen.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "client/screens/programs/dst.h"
#include "protocol/records/catalogues.h"
#include "protocol/records/orders.h"

namespace ksv::client::programs {

// History codes the editor writes (the history window shows them with the text "akce" + code).
inline constexpr int32_t kHistoryMaterial = 1;
inline constexpr int32_t kHistoryPlacement = 2;
inline constexpr int32_t kHistoryApproval = 5;

inline constexpr int kHistorySlots = 64;
inline constexpr int kThreadSlots = 32;

// Error codes of the checks before production; the dialog's text is the key "error" + code.
inline constexpr int32_t kErrSampleNotApproved = 132;
inline constexpr int32_t kErrNoStitches = 133;
inline constexpr int32_t kErrNoPlacement = 134;
inline constexpr int32_t kErrNoMaterial = 135;
inline constexpr int32_t kErrNoPieces = 136;
inline constexpr int32_t kErrNoColours = 137;
inline constexpr int32_t kErrUnknownThread = 138;  // "%U" names the thread code

// How many of the 32 BARVY entries belong to the design: BAREV clamped to 0..32. BAREV comes
// from the stitch file (colour changes + 1) and may well exceed the table.
int used_thread_slots(const TProgramZak& p);

// The catalogue entry of a thread code, compared in upper case; null when there is none.
const TBarva* find_thread(const std::vector<TBarva>& threads, std::string_view code);

// Adds a history entry in the first slot whose ZMENA is not a change code (outside 0..255).
// False, and nothing stored, when all 64 slots are taken.
bool add_history(TProgramZak& p, int32_t change, int32_t user);

// The sample toggle flips VZOREK.
void toggle_sample(TProgramZak& p);
// The customer-approval toggle flips SCHVALILZAK, only while VZOREK is set.
void toggle_customer_approval(TProgramZak& p);
// The kind cycles 0, 1, 2 (texts "novy", "uprava", "datab.").
void cycle_kind(TProgramZak& p);
// The text key of the kind.
const char* kind_text_key(uint8_t databanka);

// Approval: refused while the program is a sample the customer has not approved, or has no
// stitches; otherwise sets SCHVALENO once, with history entry 5. True when anything changed.
bool approve(TProgramZak& p, int32_t user);

// A new material: UMISTENI goes back to -1 (placements belong to a material), and a change by
// someone other than the program's author is written into the history.
void set_material(TProgramZak& p, int32_t material, int32_t user);
// A new placement, with a history entry under the same rule.
void set_placement(TProgramZak& p, int32_t placement, int32_t user);

// The first failed check before production, in the fixed order 132..138; code 0 when the
// program may go to production. For 138, subject is the unknown thread code.
struct CheckResult {
  int32_t code = 0;
  std::string subject;
};
CheckResult production_check(const TProgramZak& p, const std::vector<TBarva>& threads);

// The production toggle: runs the checks; when they pass and VYROBNI is not yet set, sets it
// and SCHVALIL := user. The flag is never cleared here.
CheckResult release_to_production(TProgramZak& p, const std::vector<TBarva>& threads,
                                  int32_t user);

// A date as the editor shows it, dd.mm.yyyy; empty for a date with day 0.
std::string date_text(const TDatum& d);
// A typed dd.mm.yyyy: the date is cleared, then day (1-31), month (1-12) and year (1900-2098)
// are stored in that order as each passes; parsing stops at the first part that fails.
TDatum parse_date_text(const std::string& text);

// After the server confirmed the figures of a new stitch file (reply 213) the editor's copy
// must carry them too, or the next save would write the old ones back.
void apply_figures(TProgramZak& p, const DstFigures& f);

}  // namespace ksv::client::programs
