// The rules of the production screens that hold no screen state: the criteria the list is asked
// for (its entries are made by client/record_list.h) and what recording embroidered and handled
// pieces does to the program record. Plain functions, so each rule is tested without a screen.
#pragma once
#include <cstdint>
#include <string>

#include "protocol/datetime.h"
#include "protocol/records/criteria.h"
#include "protocol/records/orders.h"

namespace ksv::client::production {

// The criteria of the production list: the programs (mode 7) released to production, samples or
// not. With only_today the orders to be embroidered by today — so work that is overdue shows as
// well, and work already done today does not come back; otherwise any day. With everyone every
// operator's programs, otherwise only those `me` is to embroider.
TKriteria production_criteria(const TDatum& today, bool only_today, bool everyone, int32_t me);

// "&Vysito": `pieces` more embroidered (fewer when negative), never below 0; the operator and
// the day are recorded.
constexpr int32_t kMaxTypedPieces = 9999999;  // seven digits
void record_embroidered(TProgramZak& p, int32_t pieces, int32_t me, const TDatum& today);
// "&Manip.": the handled pieces as typed (0 included), with who and when.
void record_handled(TProgramZak& p, int32_t pieces, int32_t me, const TDatum& today);

// The size line of the card: "35 x 20 mm (5432st.)", millimetres rounded from tenths.
std::string size_text(const TProgramZak& p);

// The record as it was read and as it is now differ (something was recorded or changed).
bool record_changed(const TProgramZak& before, const TProgramZak& now);

}  // namespace ksv::client::production
