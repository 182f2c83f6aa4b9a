// Sheets, imports and the report on the user's computer.
#include "client/screens/attendance/local_files.h"

#include "client/frame.h"
#include "client/screens/attendance/fetch.h"
#include "client/screens/attendance/report.h"
#include "protocol/file_util.h"
#include "toolkit/browser.h"
#include "toolkit/cp1250.h"
#include "toolkit/report.h"

namespace ksv::client::attendance {

namespace {

constexpr uint8_t kSheetNameLength = 32;
constexpr const char* kDefaultReportName = "dochazka.txt";

bool plain_name(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

// The browser over the frame's wait loop, with the folders the configuration keeps.
std::optional<toolkit::BrowserChoice> browse(Frame& f, toolkit::BrowserFilter filter) {
  LocalConfig& c = f.config();
  toolkit::BrowserPlaces places{c.POSLEDNIADRESAR, {}};
  for (int i = 0; i < toolkit::kFavourites && i < kFavourites; ++i)
    places.OBLIBENE[i] = c.OBLIBENE[i];
  toolkit::Browser browser(f.tk(), [&f] { f.event_step(); });
  std::optional<toolkit::BrowserChoice> choice = browser.run(filter, places);
  c.POSLEDNIADRESAR = places.POSLEDNIADRESAR;
  for (int i = 0; i < toolkit::kFavourites && i < kFavourites; ++i)
    c.OBLIBENE[i] = places.OBLIBENE[i];
  if (f.screen_left()) return std::nullopt;
  return choice;
}

// A file name as the status line shows it.
std::string shown(const std::string& linux_name) {
  return toolkit::utf8_to_cp1250(linux_name);
}

}  // namespace

std::optional<std::string> sheet_file_name(const std::string& typed) {
  std::string name = typed;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  if (!plain_name(name)) return std::nullopt;
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || toolkit::DOWNSTRING(name.substr(dot)) != ".dch") name += ".dch";
  return name;
}

std::string report_file_name(const std::string& key_text) {
  return plain_name(key_text) ? key_text : kDefaultReportName;
}

LocalResult save_sheet(Frame& f, const Sheet& sheet) {
  toolkit::BrowserFilter filter;
  filter.extensions = {"dch"};
  filter.folder_choice = true;
  std::optional<toolkit::BrowserChoice> choice = browse(f, filter);
  if (!choice) return {};

  std::string name = choice->name;
  if (name.empty()) {
    InputResult typed = f.VSTUPNIDIALOG("jmsoub", kSheetNameLength);
    if (!typed.confirmed) return {};
    std::optional<std::string> checked = sheet_file_name(typed.text);
    if (!checked) return {"dchjmeno", typed.text};
    // Typed in the code page; the file system names files in UTF-8.
    name = toolkit::cp1250_to_utf8(*checked);
  }
  const std::string path = choice->folder + name;
  if (file_exists(path) && !f.POTVRZENI()) return {};
  if (!save_dch(path, sheet)) return {"dchchyba", shown(name)};
  return {"dchulozeno", shown(name)};
}

LocalResult open_sheet(Frame& f, Sheet& sheet) {
  toolkit::BrowserFilter filter;
  filter.extensions = {"dch"};
  std::optional<toolkit::BrowserChoice> choice = browse(f, filter);
  if (!choice || choice->name.empty()) return {};
  std::optional<Sheet> loaded = load_dch(choice->path());
  if (!loaded) return {"dchnelze", shown(choice->name)};
  sheet = std::move(*loaded);
  return {"dchotevreno", shown(choice->name)};
}

LocalResult import_records(Frame& f, Sheet& sheet) {
  toolkit::BrowserFilter filter;
  filter.extensions = {"adc"};
  std::optional<toolkit::BrowserChoice> choice = browse(f, filter);
  if (!choice || choice->name.empty()) return {};
  std::optional<std::vector<TDoch>> records = read_adc(choice->path());
  if (!records) return {"dchnelze", shown(choice->name)};
  const TKalendar calendar = fetch_calendar(f);
  sheet.lines = build_day_lines(std::move(*records), &calendar);
  sheet.period = period_of_lines(sheet.lines);
  return {"adcnacteno", shown(choice->name)};
}

LocalResult write_and_open_report(Frame& f, const Sheet& sheet) {
  MonthNames months;
  for (int m = 1; m <= 12; ++m) months[size_t(m - 1)] = f.text("mesic" + std::to_string(m));
  const std::string name = report_file_name(f.text("_dochout"));
  const std::string path = f.temp_path(name);
  if (toolkit::write_report(path, report_text(sheet, months)) != toolkit::ReportResult::kDone)
    return {"dochreportchyba", shown(name)};
  switch (f.tk().opener.open(path)) {
    case toolkit::OpenResult::kStarted:
      return {"dochreport", shown(name)};
    // Without a desktop to show it the report is still there; say where.
    case toolkit::OpenResult::kNoOpener:
    case toolkit::OpenResult::kFailed:
      break;
  }
  return {"dochreportkde", shown("temp/" + name)};
}

}  // namespace ksv::client::attendance
