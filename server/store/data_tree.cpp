// Start-up of the data tree and the retention rules of the nightly cleaning.
#include "server/store/data_tree.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "protocol/records/catalogues.h"
#include "protocol/records/users.h"
#include "server/store/users.h"

namespace ksv::server {

namespace {

// A single-record file: loaded when present, created with one zero record when missing.
template <class T>
void load_single(const std::string& path, T& rec) {
  if (file_exists(path)) {
    if (std::optional<T> r = read_record<T>(path, 0)) rec = *r;
    return;
  }
  rec = T{};
  write_records<T>(path, std::vector<T>{rec});
}

template <class T>
void create_if_missing(const std::string& path) {
  if (!file_exists(path)) write_records<T>(path, std::vector<T>{T{}});
}

bool starts_with(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// Removes one entry of a cleaned directory: a directory is emptied and removed, a file erased.
bool remove_entry(const std::string& dir, const DirEntry& e) {
  std::string p = dir + e.name;
  if (e.is_directory) {
    bool ok = clear_directory(p);
    return remove_directory(p) && ok;
  }
  return erase_file(p);
}

}  // namespace

std::string month_prefix(int year, int month) {
  char out[32];
  std::snprintf(out, sizeof out, "%04d-%02d", year, month);
  return out;
}

std::string previous_month_prefix(int year, int month) {
  return month == 1 ? month_prefix(year - 1, 12) : month_prefix(year, month - 1);
}

DataTree::DataTree(std::string base) : base_(std::move(base)) {
  if (base_.empty()) base_ = "./";
  if (base_.back() != '/') base_ += '/';
}

int DataTree::create() {
  static const struct {
    const char* name;
    int exit_code;
  } kDirs[] = {{"databaze", kExitDatabaze}, {"umisten", kExitUmisten}, {"dochazka", kExitDochazka},
               {"zpravy", kExitZpravy},     {"log", kExitLog},         {"alarm", kExitAlarm}};
  for (const auto& d : kDirs) {
    std::string p = path(d.name);
    if (!directory_exists(p) && !make_directory(p)) return d.exit_code;
  }
  if (!file_exists(path(kUserFile))) UserStore(path(kUserFile)).create_default();
  create_if_missing<TUmisteni>(path("umisten.dat"));
  create_if_missing<TBarva>(path("nite.dat"));
  create_if_missing<TMaterial>(path("material.dat"));
  load_single(path("alarm.dat"), alarm);
  load_single(path("kalkul.dat"), kalkulace);
  load_single(path("kamery.dat"), kamery);
  load_single(path("kalendar.dat"), kalendar);
  // The run-time marks of the camera plans mean nothing after a restart.
  for (TPlanKamer& plan : kamery.PLAN) plan.AKTZMENA = TPlanKamer::AktZmena{};
  return 0;
}

bool DataTree::prepare_transfer_dirs() {
  bool ok = true;
  for (const char* d : {"kamery", "kamery/0", "kamery/1", "temp"}) {
    std::string p = path(d);
    if (!directory_exists(p) && !make_directory(p)) ok = false;
  }
  return clear_directory(path("temp")) && ok;
}

bool DataTree::clean_camera_days(const DateTime& now) {
  std::string keep1 = month_prefix(now.year, now.month);
  std::string keep2 = previous_month_prefix(now.year, now.month);
  bool ok = true;
  for (const char* cam : {"kamery/0/", "kamery/1/"}) {
    std::string dir = path(cam);
    auto entries = list_directory(dir);
    if (!entries) continue;
    for (const DirEntry& e : *entries)
      if (!starts_with(e.name, keep1) && !starts_with(e.name, keep2))
        ok = remove_entry(dir, e) && ok;
  }
  return ok;
}

bool DataTree::clean_logs(const DateTime& now) {
  std::string keep1 = month_prefix(now.year, now.month);
  std::string keep2 = previous_month_prefix(now.year, now.month);
  std::string dir = path("log/");
  auto entries = list_directory(dir);
  if (!entries) return false;
  bool ok = true;
  for (const DirEntry& e : *entries)
    if (!starts_with(e.name, keep1) && !starts_with(e.name, keep2)) ok = remove_entry(dir, e) && ok;
  return ok;
}

bool DataTree::clean_attendance(const DateTime& now) {
  char y1[16], y2[16];
  std::snprintf(y1, sizeof y1, "%04d", now.year);
  std::snprintf(y2, sizeof y2, "%04d", now.year - 1);
  std::string dir = path("dochazka/");
  auto entries = list_directory(dir);
  if (!entries) return false;
  bool ok = true;
  for (const DirEntry& e : *entries)
    if (!starts_with(e.name, y1) && !starts_with(e.name, y2)) ok = remove_entry(dir, e) && ok;
  return ok;
}

bool DataTree::clean_temp() { return clear_directory(path("temp")); }

int DataTree::remove_leftovers() {
  namespace fs = std::filesystem;
  // Deep enough for a file in a program directory: databaze/<order>/<program>/<file>.
  constexpr int kDepth = 3;
  std::vector<fs::path> victims;
  std::error_code ec;
  fs::recursive_directory_iterator it(base_, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, std::strlen(kAtomicTempPrefix), kAtomicTempPrefix) == 0) {
      victims.push_back(it->path());
      it.disable_recursion_pending();
    } else if (it.depth() >= kDepth) {
      it.disable_recursion_pending();
    }
  }
  int removed = 0;
  for (const fs::path& p : victims) {
    std::error_code rm;
    fs::remove_all(p, rm);
    if (!rm) ++removed;
  }
  return removed;
}

}  // namespace ksv::server
