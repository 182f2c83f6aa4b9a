// Dates as the client's screens show and take them: typed and shown as dd.mm.yyyy in the order
// and program fields, written yyyy.mm.dd in the record lists (so they sort as text), and empty
// when the day is 0.
#pragma once
#include <string>

#include "protocol/datetime.h"

namespace ksv::client {

// A typed date. The text is split at the dots and the parts are taken in the order day, month,
// year, each only while it passes (day 1-31, month 1-12, year 1900-2098, all digits): parsing
// stops at the first part that fails and leaves it and the later parts 0. So "31.13.2026" keeps
// the day and clears month and year, and an empty text gives the empty date.
TDatum parse_date(const std::string& text);

// dd.mm.yyyy, zero-filled; "" for a date whose day is 0.
std::string format_date(const TDatum& d);
// yyyy.mm.dd, zero-filled, for list columns; "" for a date whose day is 0.
std::string list_date(const TDatum& d);

}  // namespace ksv::client
