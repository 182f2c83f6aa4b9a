// Reports: converted to UTF-8 at the one place they leave the program, written and copied
// through the atomic rewrite of the record files.
#include "toolkit/report.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "toolkit/cp1250.h"

namespace ksv::toolkit {

Report& Report::line(std::string_view text) {
  text_.append(text);
  text_ += '\n';
  return *this;
}

Report& Report::blank(int count) {
  for (int i = 0; i < count; ++i) text_ += '\n';
  return *this;
}

ReportResult write_report(const std::string& path, std::string_view text) {
  const std::string utf8 = cp1250_to_utf8(text);
  if (!write_file_atomic(path, utf8.data(), utf8.size())) {
    std::fprintf(stderr, "report: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return ReportResult::kFailed;
  }
  return ReportResult::kDone;
}

ReportResult copy_report(const std::string& path, const std::string& folder,
                         const std::string& name, const ConfirmReplace& confirm) {
  // The name may have been typed: it must not lead out of the folder the user chose.
  if (!is_plain_name(name) || folder.empty()) {
    std::fprintf(stderr, "report: '%s' in '%s' is not a file name to copy to\n", name.c_str(),
                 folder.c_str());
    return ReportResult::kFailed;
  }
  const std::string target = folder + (folder.back() == '/' ? "" : "/") + name;

  struct stat src {};
  if (::stat(path.c_str(), &src) != 0) {
    std::fprintf(stderr, "report: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
    return ReportResult::kFailed;
  }
  struct stat dst {};
  if (::lstat(target.c_str(), &dst) == 0) {
    struct stat followed {};
    const bool resolves = ::stat(target.c_str(), &followed) == 0;
    if (resolves && S_ISDIR(followed.st_mode)) {
      std::fprintf(stderr, "report: %s is a folder\n", target.c_str());
      return ReportResult::kFailed;
    }
    // Already the report itself: there is nothing to copy, and nothing to ask about.
    if (resolves && followed.st_dev == src.st_dev && followed.st_ino == src.st_ino)
      return ReportResult::kDone;
    if (!confirm || !confirm(target)) return ReportResult::kKept;
  }

  const std::optional<std::string> bytes = read_whole_file(path);
  if (!bytes) {
    std::fprintf(stderr, "report: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
    return ReportResult::kFailed;
  }
  if (!write_file_atomic(target, bytes->data(), bytes->size())) {
    std::fprintf(stderr, "report: cannot write %s: %s\n", target.c_str(), std::strerror(errno));
    return ReportResult::kFailed;
  }
  return ReportResult::kDone;
}

}  // namespace ksv::toolkit
