// The rules of the orders screens that hold no screen state: the search criteria each list starts
// from, the list lines built from search records, the pages of a list file, the dates as the
// editor shows and reads them, the number of a new order and the copy request.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/dates.h"
#include "protocol/packet.h"
#include "protocol/records/criteria.h"
#include "protocol/records/orders.h"

namespace ksv::client {
class NameCache;
}

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

// ---- list lines --------------------------------------------------------------------------------

// One entry of the one list: its name and its columns, each ended by a code 0.
struct ListLine {
  std::string name;
  std::string spec;
};

// Column widths of the right-aligned number columns: the list sorts texts byte by byte, and
// numbers padded on the left to one width sort as numbers.
constexpr int kCountWidth = 4;
constexpr int kStitchWidth = 8;

// v right-aligned in width characters (never cut).
std::string right_aligned(int32_t v, int width);
// An order line (mode 6): CISLO; DATUM, customer (10), PROGRAMU, VYSIT, TERMIN, UZAVRENA 0/1.
ListLine order_line(const TSeznamDatabanky& r);
// A program line (mode 7): KOD; material (13), placement, material text (10), state bits
// UZAVRENO + 2 VYROBNI + 4 VZOREK + 8 SCHVALENO, "WxH" in millimetres, STEHU.
ListLine program_line(const TSeznamDatabanky& r, const NameCache& materials,
                      const NameCache& placements);
// A record that makes no line: an order without a number, a program line without a code.
bool skipped(const TSeznamDatabanky& r, int32_t mode);

// ---- pages of a list file ----------------------------------------------------------------------

constexpr int kPageSize = 4096;  // the one list's size

// Pages a list of `records` records fills; at least 1.
uint16_t page_count(int32_t records);

struct ListPage {
  int32_t records = 0;                  // in the whole file
  std::vector<TSeznamDatabanky> lines;  // those of the page asked for
};
// Reads page `page` of a file of TSeznamDatabanky records; a page past the end is empty. A
// missing file is an empty list; a torn last record is left out.
ListPage read_list_page(const std::string& path, uint16_t page);

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
