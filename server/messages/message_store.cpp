// The message store and the administrator's commands.
#include "server/messages/message_store.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "protocol/file_util.h"
#include "protocol/record_file.h"

namespace ksv::server {

MessageStore::MessageStore(std::string dir) : dir_(std::move(dir)), random_(std::random_device{}()) {
  if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
}

std::optional<std::string> MessageStore::store(const TZprava& message) {
  std::uniform_int_distribution<int> pick(0, kMessageNames - 1);
  // With the store nearly full a free name gets hard to hit: give up rather than loop forever.
  for (int attempt = 0; attempt < 4 * kMessageNames; ++attempt) {
    std::string name = std::to_string(pick(random_));
    std::string path = dir_ + name;
    if (file_exists(path) || directory_exists(path)) continue;
    if (!write_records<TZprava>(path, std::vector<TZprava>{message})) return std::nullopt;
    if (indexed_) index_[message.KOMU].push_back(name);
    return name;
  }
  return std::nullopt;
}

std::vector<std::string> MessageStore::names() const {
  std::vector<std::string> out;
  std::optional<std::vector<DirEntry>> entries = list_directory(dir_);
  if (!entries) return out;
  std::vector<DirEntry> files;
  for (DirEntry& e : *entries)
    if (!e.is_directory) files.push_back(std::move(e));
  std::sort(files.begin(), files.end(), [](const DirEntry& a, const DirEntry& b) {
    return a.mtime != b.mtime ? a.mtime < b.mtime : a.name < b.name;
  });
  for (DirEntry& e : files) out.push_back(std::move(e.name));
  return out;
}

std::optional<TZprava> MessageStore::read(const std::string& name) const {
  if (!is_plain_name(name)) return std::nullopt;
  return read_record<TZprava>(dir_ + name, 0);
}

bool MessageStore::erase(const std::string& name) {
  if (!is_plain_name(name)) return false;
  for (auto& [recipient, names] : index_) {
    auto it = std::find(names.begin(), names.end(), name);
    if (it != names.end()) {
      names.erase(it);
      break;
    }
  }
  return erase_file(dir_ + name);
}

bool MessageStore::erase_all() {
  index_.clear();
  indexed_ = false;  // what could not be removed is found again at the next look
  return clear_directory(dir_);
}

void MessageStore::build_index() {
  index_.clear();
  // A file that cannot be read names no recipient; it is left where it is.
  for (const std::string& name : names())
    if (std::optional<TZprava> m = read(name)) index_[m->KOMU].push_back(name);
  indexed_ = true;
}

std::vector<std::string> MessageStore::waiting_for(int32_t recipient) {
  if (!indexed_) build_index();
  auto it = index_.find(recipient);
  return it == index_.end() ? std::vector<std::string>{} : it->second;
}

TZprava make_message(int32_t to, const std::string& text, int32_t from, bool receipt) {
  TZprava m{};
  m.KOMU = to;
  m.OBSAH.assign(text.substr(0, 255));
  m.ODKOHO = from;
  m.DORUCENKA = receipt ? 1 : 0;
  return m;
}

namespace {

// The file named by a client-given path, when it lies inside the data tree. The path must be
// relative and free of ".." parts, and its real location (links resolved) must still be under
// the tree: the administrator's command is meant for the server's own files, not the machine's.
std::optional<std::string> path_inside(const std::string& base_dir, const std::string& path) {
  if (path.empty() || path[0] == '/' || path.find('\0') != std::string::npos) return std::nullopt;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (path.compare(start, slash - start, "..") == 0 && slash - start == 2) return std::nullopt;
    start = slash + 1;
  }
  char base_real[PATH_MAX], file_real[PATH_MAX];
  if (!::realpath(base_dir.c_str(), base_real)) return std::nullopt;
  std::string full = base_dir + path;
  if (!::realpath(full.c_str(), file_real)) return std::nullopt;
  std::string root = std::string(base_real);
  if (root.back() != '/') root += '/';
  if (std::string(file_real).compare(0, root.size(), root) != 0) return std::nullopt;
  return full;
}

}  // namespace

std::string run_admin_command(const std::string& command, const std::string& base_dir,
                              MessageStore& store) {
  std::string word = command.substr(0, command.find(' '));
  if (word == "help") return "delmes; get dir/file";
  if (word == "delmes") {
    store.erase_all();
    return "delmes OK";
  }
  if (word == "get") {
    std::string path = command.size() > 4 ? command.substr(4) : "";
    std::string bare = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::optional<std::string> from = path_inside(base_dir, path);
    if (!from || !is_plain_name(bare) || !file_exists(*from)) return "get FAIL";
    // A file that already lies in "temp" under its name needs no copy (nor can it be copied
    // over itself).
    const std::string to = base_dir + "temp/" + bare;
    char from_real[PATH_MAX], to_real[PATH_MAX];
    const bool same = ::realpath(from->c_str(), from_real) && ::realpath(to.c_str(), to_real) &&
                      std::string(from_real) == to_real;
    if (!same && !copy_file(*from, to)) return "get FAIL";
    return "$download " + bare;
  }
  return "Neznamy prikaz";
}

}  // namespace ksv::server
