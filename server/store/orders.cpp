// Orders and programs on disk: names, create, copy, delete, stitch data and links.
#include "server/store/orders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "protocol/file_util.h"
#include "protocol/record_file.h"

namespace ksv::server {

namespace {

// A real directory, not a link to one: deleting an order must never empty a directory that a
// link inside it points to.
bool is_real_directory(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Copies every file (not directory) of `from` into `to`; both end in "/".
bool copy_files(const std::string& from, const std::string& to) {
  std::optional<std::vector<DirEntry>> entries = list_directory(from);
  if (!entries) return false;
  for (const DirEntry& e : *entries) {
    if (e.is_directory) continue;
    if (!copy_file(from + e.name, to + e.name)) return false;
  }
  return true;
}

template <class T>
bool write_single(const std::string& path, const T& rec) {
  return write_records<T>(path, std::vector<T>{rec});
}

// Orders and programs change as whole directories: a new one is built under a temporary name
// beside its final place and renamed into it, a deleted one is renamed away before it is torn
// down. A crash therefore leaves the old state or the new one, plus at most a directory with
// our temporary prefix, which listings skip and the next start removes.

// A fresh empty directory with our temporary prefix inside `parent` (ending in "/").
std::optional<std::string> staging_dir(const std::string& parent) {
  std::string name = parent + kAtomicTempPrefix + "XXXXXX";
  if (!::mkdtemp(name.data())) return std::nullopt;
  return name + "/";
}

bool remove_tree(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
  return !ec;
}

// Makes a rename in `dir` durable.
void sync_directory(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string without_slash(std::string p) {
  if (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

// Puts a finished staging directory in place; the target must not exist yet.
bool publish(const std::string& stage, const std::string& target, const std::string& parent) {
  if (directory_exists(target)) return false;
  if (::rename(without_slash(stage).c_str(), without_slash(target).c_str()) != 0) return false;
  sync_directory(parent);
  return true;
}

// Takes `dir` out of sight in one step, then removes it with whatever it holds. False when it
// could not be taken away, and then nothing has changed.
bool retire(const std::string& dir, const std::string& parent) {
  std::optional<std::string> grave = staging_dir(parent);
  if (!grave) return false;
  const std::string to = *grave + "x";
  if (::rename(without_slash(dir).c_str(), to.c_str()) != 0) {
    remove_tree(*grave);
    return false;
  }
  sync_directory(parent);
  // What cannot be removed now is a leftover for the next start; the order is gone already.
  remove_tree(*grave);
  return true;
}

}  // namespace

std::string lower_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

std::string cut_code(std::string_view s) {
  return std::string(s.substr(0, std::min(s.size(), kCodeLength)));
}

std::optional<std::string> directory_key(std::string_view name) {
  std::string key = lower_ascii(cut_code(name));
  if (key.empty() || key == "." || key.find("..") != std::string::npos) return std::nullopt;
  // Our temporary names are removed at every start; an order or program may not take one.
  if (key.rfind(kAtomicTempPrefix, 0) == 0) return std::nullopt;
  for (unsigned char c : key)
    if (c < 32 || c == 127 || c == '/' || c == '\\') return std::nullopt;
  return key;
}

TProgramZak new_program_record(const std::string& code, int32_t author, const DateTime& now) {
  TProgramZak p{};
  p.KOD.assign(cut_code(code));
  p.DATUM = now.datum();
  p.CAS = now.cas();
  p.AUTOR = author;
  p.SCHVALIL = p.MATERIAL = p.VZOROVAL = p.VYSIL = p.MASIT = p.MANIPULACE = p.UMISTENI = -1;
  clear_history(p);
  return p;
}

void reset_copied_program(TProgramZak& p, int32_t author, const DateTime& now) {
  p.AUTOR = author;
  p.DATUM = now.datum();
  p.CAS = now.cas();
  p.UZAVRENO = p.VYROBNI = p.SCHVALILZAK = p.VZOREK = p.SCHVALENO = 0;
  p.DATABANKA = 2;
  p.VZOROVAL = p.VYSIL = p.MASIT = p.MANIPULACE = p.SCHVALIL = -1;
  p.VYSITOKDY = TDatum{};
  p.MANIPUL = TDatum{};
  clear_history(p);
}

OrderStore::OrderStore(std::string base) : base_(std::move(base)) {
  if (base_.empty()) base_ = "./";
  if (base_.back() != '/') base_ += '/';
}

std::string OrderStore::order_dir(const std::string& order) const {
  return databaze() + order + "/";
}

std::string OrderStore::program_dir(const std::string& order, const std::string& program) const {
  return order_dir(order) + program + "/";
}

bool OrderStore::order_exists(const std::string& order) const {
  return directory_exists(order_dir(order));
}

bool OrderStore::program_exists(const std::string& order, const std::string& program) const {
  return directory_exists(program_dir(order, program));
}

bool OrderStore::create_order(const std::string& number, int32_t author) {
  std::optional<std::string> key = directory_key(number);
  if (!key || directory_exists(order_dir(*key))) return false;
  std::optional<std::string> stage = staging_dir(databaze());
  if (!stage) return false;
  TPolozkaDatabanky info{};
  info.CISLO.assign(cut_code(number));
  info.AUTOR = author;
  if (write_single(*stage + kOrderFile, info) && publish(*stage, order_dir(*key), databaze()))
    return true;
  remove_tree(*stage);
  return false;
}

bool OrderStore::delete_order(const std::string& order) {
  const std::string dir = order_dir(order);
  if (!is_real_directory(without_slash(dir))) return false;
  return retire(dir, databaze());
}

bool OrderStore::copy_order(const std::string& source, const std::string& new_number,
                            const std::vector<std::string>& codes, int32_t author,
                            const DateTime& now) {
  std::optional<std::string> target = directory_key(new_number);
  if (!target) return false;
  const std::string from = order_dir(source), to = order_dir(*target);
  if (!directory_exists(from) || directory_exists(to)) return false;
  std::optional<std::string> stage = staging_dir(databaze());
  if (!stage) return false;
  if (build_copy(source, *stage, new_number, codes, author, now) &&
      publish(*stage, to, databaze()))
    return true;
  remove_tree(*stage);
  return false;
}

bool OrderStore::build_copy(const std::string& source, const std::string& to,
                            const std::string& new_number, const std::vector<std::string>& codes,
                            int32_t author, const DateTime& now) {
  if (!copy_files(order_dir(source), to)) return false;
  int32_t copied = 0;
  const int n = int(codes.size());
  if (n >= 1 && n <= kMaxCopiedPrograms) {
    std::vector<std::string> done;
    for (const std::string& code : codes) {
      if (std::find(done.begin(), done.end(), code) != done.end()) continue;
      done.push_back(code);
      const std::string pfrom = program_dir(source, code), pto = to + code + "/";
      if (!directory_exists(pfrom) || !make_directory(pto) || !copy_files(pfrom, pto))
        return false;
      const std::string rec = pto + kProgramFile;
      std::optional<TProgramZak> p = read_record<TProgramZak>(rec, 0);
      if (!p) return false;
      reset_copied_program(*p, author, now);
      if (!write_single(rec, *p)) return false;
      ++copied;
    }
  }

  const std::string info_path = to + kOrderFile;
  std::optional<TPolozkaDatabanky> info = read_record<TPolozkaDatabanky>(info_path, 0);
  if (!info) return false;
  // The count of programs the copy really holds: a repeated code is copied once.
  info->PROGRAMU = copied;
  info->CISLO.assign(cut_code(new_number));
  info->AUTOR = author;
  info->UZAVRENO = 0;
  return write_single(info_path, *info);
}

bool OrderStore::create_program(const std::string& order, const std::string& code,
                                int32_t author, const DateTime& now) {
  std::optional<std::string> key = directory_key(code);
  if (!key) return false;
  const std::string info_path = order_dir(order) + kOrderFile;
  // The counter is read first, so a broken order gets no program it cannot count.
  std::optional<TPolozkaDatabanky> info = read_record<TPolozkaDatabanky>(info_path, 0);
  if (!info) return false;
  const std::string dir = program_dir(order, *key);
  if (directory_exists(dir)) return false;
  std::optional<std::string> stage = staging_dir(order_dir(order));
  if (!stage) return false;
  if (!write_single(*stage + kProgramFile, new_program_record(code, author, now)) ||
      !publish(*stage, dir, order_dir(order))) {
    remove_tree(*stage);
    return false;
  }
  // The program counts only once the order says so; a counter that cannot be written takes
  // the new program away again.
  info->PROGRAMU += 1;
  if (write_single(info_path, *info)) return true;
  retire(dir, order_dir(order));
  return false;
}

std::optional<TLinkovani> OrderStore::load_links(const std::string& order,
                                                 const std::string& program) {
  const std::string path = program_dir(order, program) + kLinkFile;
  if (file_exists(path)) {
    // A damaged table links nothing; it is left on disk as it is.
    return read_record<TLinkovani>(path, 0).value_or(TLinkovani{});
  }
  TLinkovani empty{};
  if (!write_single(path, empty)) return std::nullopt;
  return empty;
}

std::optional<TLinkovani> OrderStore::replace_links(const std::string& order,
                                                    const std::string& program,
                                                    const std::string& uploaded) {
  std::optional<std::string> bytes = read_whole_file(uploaded);
  if (!bytes || bytes->size() != sizeof(TLinkovani)) return std::nullopt;
  TLinkovani links{};
  std::memcpy(&links, bytes->data(), sizeof links);
  for (const auto& code : links.codes) {
    // A length past the field is a damaged table, not a code to be cut.
    if (code.len > kCodeLength) return std::nullopt;
    if (code.empty()) continue;
    std::optional<std::string> key = directory_key(code.view());
    if (!key || *key == program) return std::nullopt;
  }
  if (!write_single(program_dir(order, program) + kLinkFile, links)) return std::nullopt;
  return links;
}

std::vector<std::string> OrderStore::linked_keys(const TLinkovani& links,
                                                 const std::string& self) const {
  std::vector<std::string> out;
  for (const auto& code : links.codes) {
    if (code.empty()) continue;
    // The table is a file on disk: an entry that is not a plain name is ignored.
    std::optional<std::string> key = directory_key(code.view());
    if (!key || *key == self) continue;
    if (std::find(out.begin(), out.end(), *key) == out.end()) out.push_back(*key);
  }
  return out;
}

bool OrderStore::set_stitch_data(const std::string& order, const std::string& program,
                                 const StitchData& d, const TLinkovani& links) {
  auto apply = [&](const std::string& prog) {
    const std::string path = program_dir(order, prog) + kProgramFile;
    std::optional<TProgramZak> p = read_record<TProgramZak>(path, 0);
    if (!p) return false;
    p->STEHU = d.stitches;
    p->BAREV = d.colours;
    p->X = d.width;
    p->Y = d.height;
    return write_single(path, *p);
  };
  if (!apply(program)) return false;
  for (const std::string& key : linked_keys(links, program))
    if (file_exists(program_dir(order, key) + kProgramFile)) apply(key);
  return true;
}

void OrderStore::copy_stitch_file_to_links(const std::string& order, const std::string& program,
                                           const TLinkovani& links) {
  const std::string src = program_dir(order, program) + kStitchFile;
  for (const std::string& key : linked_keys(links, program))
    if (is_real_directory(program_dir(order, key)))
      copy_file(src, program_dir(order, key) + kStitchFile);
}

}  // namespace ksv::server
