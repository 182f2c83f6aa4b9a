// The rules of the orders screens that hold no screen state: the search criteria each list starts
// from, the customer and the number of a new order as typed, and the copy request.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/dates.h"
#include "protocol/packet.h"
#include "protocol/records/criteria.h"
#include "protocol/records/orders.h"

namespace ksv::client::orders {

// ---- criteria ----------------------------------------------------------------------------------

// The browser's own criteria: orders (mode 6) made today, nothing else asked for.
TKriteria browser_criteria(const TDatum& today);
// What the search screen starts from: any date, programs examined, samples and programs already
// in production included, so a search finds an order by any of its programs.
TKriteria search_criteria();
// The programs of the open order, every one of them: mode 7, no date, no id, no text, samples
// and programs in production included.
TKriteria program_list_criteria();

// The customer as the form keeps it: typed as a number, it is stored as that number written
// plainly ("0042" is "42"); any other text as typed.
std::string customer_text(const std::string& typed);

// ---- new order and copy -------------------------------------------------------------------------

// The number a new order gets: a number typed with leading zeros is written plainly ("007" is
// "7"); any other text loses its accented letters.
std::string new_order_number(const std::string& typed);

// Places of the copy request: the k-th code (from 1) lies at kCopyCodes + 17 k.
constexpr int kCopyNumber = 300;
constexpr int kCopyCount = 600;
constexpr int kCopyCodes = 604;
constexpr int kMaxCopiedPrograms = 24;
// The longest code that still fits the packet at program k (from 1): the last place ends at
// the packet's end, so the 24th code may hold only 11 characters.
int max_code_length(int k);
// The first chosen code (index into `codes`) that does not fit its place; nullopt when all fit.
std::optional<size_t> code_that_does_not_fit(const std::vector<std::string>& codes);
// Puts the copy request's arguments into the packet; false (nothing sent) when a code does not
// fit or more than 24 are chosen.
bool put_copy_request(Packet& p, const std::string& source, const std::string& new_number,
                      const std::vector<std::string>& codes);

}  // namespace ksv::client::orders
