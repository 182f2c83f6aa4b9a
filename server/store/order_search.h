// Lists of command 63: the file lists of an order or program (modes 0-5, TSeznamSoub records)
// and the order and program search (modes 6 and 7, TSeznamDatabanky records) with the filter the
// orders browser sends.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/packet.h"
#include "protocol/records/orders.h"

namespace ksv::server {

// A file list stops once it holds more than this many entries.
inline constexpr int kFileListLimit = 1024;

// The filter as it travels in the packet. Text criteria are plain strings (length byte and
// characters) at fixed offsets; IDs are -1 and texts and dates empty when not given.
struct SearchFilter {
  int32_t mode = 6;            //   4
  std::string number;          //   8  order number (substring)
  std::string description;     //  32  order description (substring)
  TDatum from{}, to{};         // 288, 296  range of the order directory's date
  int32_t author = -1;         // 304  order author
  std::string customer;        // 308  customer (substring)
  TDatum due{};                // 564  TERMIN not after
  TDatum embroider_by{};       // 572  VYSIT not after
  int32_t material = -1;       // 580
  bool production = false;     // 636  programs released to production are included
  bool without_sample = false; // 640  programs without a sample are included
  bool programs = false;       // 644  mode 6 examines the programs too
  int32_t to_embroider = -1;   // 648  MASIT
  int32_t embroidered_by = -1; // 652  VYSIL
  std::string material_text;   // 656  POPISMATERIALU (substring)
  int32_t program_author = -1; // 912  program AUTOR
  TDatum created{};            // 916  program DATUM equals
  std::string code;            // 924  program KOD (substring)
  int32_t handled_by = -1;     // 956  MANIPULACE
  std::string invoice;         // 960  FAKTURA (substring)
  TDatum embroidered_on{};     // 992  VYSITOKDY equals
};

// Packet offsets of the filter's fields.
namespace filter_slot {
constexpr int kMode = 4, kNumber = 8, kDescription = 32, kFrom = 288, kTo = 296, kAuthor = 304,
              kCustomer = 308, kDue = 564, kEmbroiderBy = 572, kMaterial = 580,
              kProduction = 636, kWithoutSample = 640, kPrograms = 644, kToEmbroider = 648,
              kEmbroideredBy = 652, kMaterialText = 656, kProgramAuthor = 912, kCreated = 916,
              kCode = 924, kHandledBy = 956, kInvoice = 960, kEmbroideredOn = 992;
}

// Reads the filter; a text longer than its field (or than the packet) is cut to what fits.
SearchFilter read_filter(const Packet& p);
// Writes the filter (the client's side, and tests).
void write_filter(Packet& p, const SearchFilter& f);

// Modes 0-5: the files of `dir` (ending in "/") whose names match the mode's patterns, record
// files left out, into `out_path`. False for another mode or when the directory or the list file
// fails.
bool write_file_list(const std::string& dir, int mode, const std::string& out_path);

// Modes 6 and 7 over the orders of `databaze` (ending in "/"), or over the one order `order`
// (a directory key) when given. False when the list file cannot be written or the scope cannot
// be read.
bool search_orders(const std::string& databaze, const std::optional<std::string>& order,
                   const SearchFilter& f, const std::string& out_path);

}  // namespace ksv::server
