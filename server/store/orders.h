// The orders tree under "databaze": one directory per order (named by the order number in lower
// case) with "info.dat", one subdirectory per program with "prog.dat", "proglnk.dat" and the
// stitch file "prog.dst". Creating, copying and deleting orders and programs, the stitch data
// shared by linked programs, and the checks on names that come from clients.
//
// Sessions and their locks are the server core's; this unit only works on the files.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/clock.h"
#include "protocol/records/orders.h"

namespace ksv::server {

// Order numbers and program codes are String[16].
inline constexpr size_t kCodeLength = 16;
// A copied order carries at most this many programs (the link table's size as well).
inline constexpr int kMaxCopiedPrograms = 24;

inline constexpr const char* kOrderFile = "info.dat";
inline constexpr const char* kProgramFile = "prog.dat";
inline constexpr const char* kLinkFile = "proglnk.dat";
inline constexpr const char* kStitchFile = "prog.dst";
// The links dialog uploads a new link table under this name; the server checks it and makes it
// the program's "proglnk.dat" (which no upload may replace directly).
inline constexpr const char* kLinkUploadFile = "proglnk.upd";

// ASCII letters only: the workshop's code page keeps its accented letters as they are.
std::string lower_ascii(std::string_view s);
std::string upper_ascii(std::string_view s);

// The text as a String[16] holds it (longer texts are cut).
std::string cut_code(std::string_view s);

// The directory name of an order number or program code: cut to 16 characters and lower-cased.
// Nothing when the name could leave "databaze" or is not a plain name: empty, ".", containing
// "..", "/", "\", NUL or another control character.
std::optional<std::string> directory_key(std::string_view name);

// The four values of "set stitch data".
struct StitchData {
  int32_t stitches = 0;  // STEHU
  int32_t colours = 0;   // BAREV
  int32_t width = 0;     // X
  int32_t height = 0;    // Y
};

class OrderStore {
 public:
  // base: the data tree, ending in "/".
  explicit OrderStore(std::string base);

  // Full paths ending in "/"; keys are directory keys (already checked).
  std::string databaze() const { return base_ + "databaze/"; }
  std::string order_dir(const std::string& order) const;
  std::string program_dir(const std::string& order, const std::string& program) const;

  bool order_exists(const std::string& order) const;
  bool program_exists(const std::string& order, const std::string& program) const;

  // Each change below is all or nothing, also across a crash: on failure nothing of it is left.

  // A new order directory with "info.dat": all zero but CISLO and AUTOR. Fails when the
  // directory exists or cannot be made.
  bool create_order(const std::string& number, int32_t author);

  // The order directory with everything in it, whatever it holds. False when it could not be
  // taken away; the order is then unchanged.
  bool delete_order(const std::string& order);

  // A copy of the order's files under the new number, with the listed programs copied and reset
  // for new work (see the .cpp). Fails when the new number exists.
  // `codes` holds directory keys; repeated keys are copied once. Programs are copied only when
  // 1 <= codes.size() <= 24.
  bool copy_order(const std::string& source, const std::string& new_number,
                  const std::vector<std::string>& codes, int32_t author, const DateTime& now);

  // A new program directory with its "prog.dat", and PROGRAMU of the order one higher.
  bool create_program(const std::string& order, const std::string& code, int32_t author,
                      const DateTime& now);

  // The program's link table; a missing "proglnk.dat" is created all zero. Nothing when the
  // file is missing and cannot be created.
  std::optional<TLinkovani> load_links(const std::string& order, const std::string& program);

  // Replaces the program's link table atomically with the uploaded file's, when the file is
  // exactly one table whose every entry is empty or a plain program code other than the
  // program's own; the table written, or nothing (and the old table stays).
  std::optional<TLinkovani> replace_links(const std::string& order, const std::string& program,
                                          const std::string& uploaded);

  // Sets STEHU, BAREV, X and Y of the program and of every linked program of the same order
  // (a linked program that does not exist is skipped). False when the program's own record
  // cannot be read or written.
  bool set_stitch_data(const std::string& order, const std::string& program, const StitchData& d,
                       const TLinkovani& links);

  // Copies the program's "prog.dst" to every linked program that exists.
  void copy_stitch_file_to_links(const std::string& order, const std::string& program,
                                 const TLinkovani& links);

 private:
  // The copy of copy_order(), built in the directory `to` (ending in "/").
  bool build_copy(const std::string& source, const std::string& to, const std::string& new_number,
                  const std::vector<std::string>& codes, int32_t author, const DateTime& now);
  // The directory keys of the table's non-empty, well-formed entries other than `self`.
  std::vector<std::string> linked_keys(const TLinkovani& links, const std::string& self) const;

  std::string base_;
};

// A program record as it starts: zero, with the "nobody" IDs -1 and an unused history.
TProgramZak new_program_record(const std::string& code, int32_t author, const DateTime& now);

// What a copied program keeps and what it starts afresh.
void reset_copied_program(TProgramZak& p, int32_t author, const DateTime& now);

}  // namespace ksv::server
