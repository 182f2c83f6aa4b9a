// The attendance screen's files on the user's computer: sheets saved and opened through the file
// browser, attendance files imported, and the report written and handed to the desktop.
#pragma once
#include <optional>
#include <string>

#include "client/screens/attendance/sheet_file.h"

namespace ksv::client {
class Frame;
}

namespace ksv::client::attendance {

// What became of an action, for the status line: a text key whose "%s" stands for the detail
// (a file name). An empty key: nothing to say (the user cancelled).
struct LocalResult {
  std::string status_key;
  std::string detail;
};

// The file name a typed sheet name stands for: ".dch" added when missing. Nothing for a name
// that would leave the folder chosen or is not a name at all ("", ".", "..", anything with "/").
std::optional<std::string> sheet_file_name(const std::string& typed);

// The report's file name from the text of its key, or "dochazka.txt" when that text is no plain
// file name.
std::string report_file_name(const std::string& key_text);

// Chooses a folder (or an existing sheet to replace) and a name, asks before replacing a file,
// and writes the sheet.
LocalResult save_sheet(Frame& f, const Sheet& sheet);
// Chooses a sheet and puts it in place of `sheet`; a file that is not a sheet changes nothing.
LocalResult open_sheet(Frame& f, Sheet& sheet);
// Chooses an attendance file and makes its records the lines of `sheet` (with the holidays of
// the server's calendar), for the sheet's user.
LocalResult import_records(Frame& f, Sheet& sheet);
// Writes the report into the temp directory and opens it on the desktop.
LocalResult write_and_open_report(Frame& f, const Sheet& sheet);

}  // namespace ksv::client::attendance
