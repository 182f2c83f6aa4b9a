// Lists of command 63: the file lists of an order or program (modes 0-5, TSeznamSoub records)
// and the order and program search (modes 6 and 7, TSeznamDatabanky records) with the criteria the
// orders browser sends.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/records/criteria.h"
#include "protocol/records/orders.h"

namespace ksv::server {

// A file list stops once it holds more than this many entries.
inline constexpr int kFileListLimit = 1024;

// Modes 0-5: the files of `dir` (ending in "/") whose names match the mode's patterns, record
// files left out, into `out_path`. False for another mode or when the directory or the list file
// fails.
bool write_file_list(const std::string& dir, int mode, const std::string& out_path);

// Modes 6 and 7 over the orders of `databaze` (ending in "/"), or over the one order `order`
// (a directory key) when given. False when the list file cannot be written or the scope cannot
// be read.
bool search_orders(const std::string& databaze, const std::optional<std::string>& order,
                   const TKriteria& f, const std::string& out_path);

}  // namespace ksv::server
