// Report: the text reports of the desktop programs (attendance, calculation, production plan).
// Their lines are put together in the workshop's code page like every other text the programs
// handle; the file is written in UTF-8, so an editor on Linux shows the accented letters. A
// report is written atomically (a reader never sees half of it, a failed write leaves the old
// one), and can be copied to a folder the user chooses, asking before a file there is replaced.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace ksv::toolkit {

enum class ReportResult {
  kDone,    // written, or copied
  kKept,    // the user chose not to replace the file already there; nothing was written
  kFailed,  // not written; the reason went to standard error
};

// The lines of one report, in the workshop's code page.
class Report {
 public:
  Report& line(std::string_view text = {});
  Report& blank(int count = 1);
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Writes the text (workshop's code page, lines ended by LF) as UTF-8 to `path`, replacing what
// was there.
ReportResult write_report(const std::string& path, std::string_view text);

// Asked with the full name of a file that is about to be replaced; true replaces it.
using ConfirmReplace = std::function<bool(const std::string& target)>;

// Copies the report at `path` into `folder` as `name` (a plain file name: no "/", not "." or
// ".."). A file of that name already there is replaced only when `confirm` says so. Copying a
// report onto itself writes nothing and succeeds.
ReportResult copy_report(const std::string& path, const std::string& folder,
                         const std::string& name, const ConfirmReplace& confirm);

}  // namespace ksv::toolkit
