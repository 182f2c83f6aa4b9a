// The production plan (screen 75, from the orders browser): the orders of the search in force
// with their programs' sums are fetched as a list of their own, written by deadline as the
// report "zaklist.txt" in temp/, copied into a folder the user chooses (asking before a file
// there is replaced) and shown on the desktop. Then back to the screen it came from.
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "client/pickers.h"
#include "client/screens/production/plan.h"
#include "client/screens/production/production.h"
#include "protocol/commands.h"
#include "protocol/record_file.h"
#include "protocol/records/catalogues.h"
#include "toolkit/browser.h"
#include "toolkit/cp1250.h"
#include "toolkit/kit/kit.h"
#include "toolkit/report.h"

namespace ksv::client::production {

namespace {

constexpr const char* kReportName = "zaklist.txt";
// The plan's list gets a name of its own in temp/: the browser's list, named by the server
// alike, must still be there when the browser shows it again.
constexpr const char* kPlanList = "zaklist.dat";
constexpr const char* kDefaultCopyName = "vyroba.txt";

bool plain_name(const std::string& n) {
  return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos &&
         n.find('\0') == std::string::npos;
}

// The text of a key with "%U" naming its subject.
std::string text_of(Frame& f, const std::string& key, const std::string& subject) {
  std::string t = f.text(key);
  const size_t at = t.find("%U");
  if (at != std::string::npos) t.replace(at, 2, subject);
  return t;
}

void say(Frame& f, const std::string& key, const std::string& subject) {
  f.STAVOVYRADEK(text_of(f, key, subject));
}

// What the user must read before the screen goes back — the browser it returns to rewrites
// the status line at once: a window with the text, the file below it, and one button.
void tell(Frame& f, const std::string& key, const std::string& path) {
  constexpr size_t kChars = 56;
  std::string line = text_of(f, key, "");
  while (!line.empty() && line.back() == ' ') line.pop_back();
  // A long path keeps its end, where the file's name is.
  std::string shown = path;
  if (shown.size() > kChars) shown = "..." + shown.substr(shown.size() - (kChars - 3));
  toolkit::Toolkit& tk = f.tk();
  const uint8_t ink = tk.images.NAJDIBARVU(0, 0, 64), paper = tk.images.NAJDIBARVU(255, 255, 255);
  bool closed = false;
  f.DIALOGOTEVREN = true;
  f.dialog(
      Modal::kNotice, key, {460, 100, "planvyroby"},
      [&](toolkit::Window& w) {
        tk.okna.VYPISUDAJOKNO(w.index(), 10, 28, ink, paper, uint8_t(kChars), line);
        tk.okna.VYPISUDAJOKNO(w.index(), 10, 46, ink, paper, uint8_t(kChars), shown);
        toolkit::picture_button(tk, w.index(), "budiz.bmp", [&closed] { closed = true; }, 0, -5,
                                13);
      },
      [&] { return closed || f.screen_left(); });
  f.DIALOGOTEVREN = false;
}

// The plan's search lines; nothing when the list did not arrive (the user has been told).
std::optional<std::vector<TSeznamDatabanky>> fetch_plan_list(Frame& f, const Workspace& ws) {
  write_criteria(f.compose(), plan_criteria(ws.KRITERIA));
  if (f.request(req::kList, "makevyr") != rep::kListFile) return std::nullopt;
  const std::string remote = f.reply_file_name();
  const std::string local = f.temp_path(kPlanList);
  std::remove(local.c_str());
  if (remote.empty() || !f.download(remote, kPlanList)) return std::nullopt;
  return read_records<TSeznamDatabanky>(local).value_or(std::vector<TSeznamDatabanky>{});
}

// The stitches a minute of each material the catalogue gives one for.
std::map<int32_t, int32_t> material_speeds(Frame& f, Workspace& ws) {
  std::map<int32_t, int32_t> speeds;
  if (std::optional<std::vector<TMaterial>> v = fetch_materials(f, ws))
    for (const TMaterial& m : *v) speeds[m.ID] = material_speed(m);
  return speeds;
}

// Copies the report where the user chooses and shows it; the copy's path, or nothing.
void copy_and_show(Frame& f, const std::string& report) {
  LocalConfig& c = f.config();
  toolkit::BrowserPlaces places{c.POSLEDNIADRESAR, {}};
  for (int i = 0; i < toolkit::kFavourites && i < kFavourites; ++i) places.OBLIBENE[i] = c.OBLIBENE[i];
  toolkit::Browser browser(f.tk(), [&f] { f.event_step(); });
  toolkit::BrowserFilter filter;
  filter.extensions = {"txt"};
  filter.folder_choice = true;
  std::optional<toolkit::BrowserChoice> choice = browser.run(filter, places, "planslozka");
  c.POSLEDNIADRESAR = places.POSLEDNIADRESAR;
  for (int i = 0; i < toolkit::kFavourites && i < kFavourites; ++i) c.OBLIBENE[i] = places.OBLIBENE[i];
  if (f.screen_left()) return;
  if (!choice) {
    say(f, "plankde", toolkit::utf8_to_cp1250(std::string("temp/") + kReportName));
    return;
  }
  std::string name = choice->name;
  if (name.empty()) {
    name = f.text("_vyrobaout");
    if (!plain_name(name)) name = kDefaultCopyName;
  }
  const auto confirm = [&f](const std::string&) {
    f.status("prepsat");
    return f.POTVRZENI();
  };
  const std::string target = choice->folder + name;
  switch (toolkit::copy_report(report, choice->folder, name, confirm)) {
    case toolkit::ReportResult::kDone: break;
    case toolkit::ReportResult::kKept: say(f, "plankde", toolkit::utf8_to_cp1250(report)); return;
    case toolkit::ReportResult::kFailed: tell(f, "plannelze", toolkit::utf8_to_cp1250(target)); return;
  }
  if (f.tk().opener.open(target) == toolkit::OpenResult::kStarted)
    say(f, "planhotov", toolkit::utf8_to_cp1250(target));
  else
    tell(f, "plankde", toolkit::utf8_to_cp1250(target));  // no desktop to show it: say where
}

}  // namespace

void build_plan(Frame& f, Workspace& ws) {
  const int32_t back = ws.pop_return(kScreenOrders);
  toolkit::Toolkit& tk = f.tk();
  tk.okna.SMAZOKNA();
  tk.okna.VYTVOROKNO(-1, -1, 300, 60, false, "makevyr", "");
  f.status("makevyr");
  std::optional<std::vector<TSeznamDatabanky>> lines = fetch_plan_list(f, ws);
  if (f.screen_left()) return;
  if (lines) {
    const std::map<int32_t, int32_t> speeds = material_speeds(f, ws);
    const auto speed = [&speeds](int32_t material) {
      auto it = speeds.find(material);
      return it == speeds.end() ? kDefaultMaterialSpeed : it->second;
    };
    const std::string text = plan_report(*lines, speed, {f.text("_vyroba"), f.text("bezterminu")});
    const std::string report = f.temp_path(kReportName);
    f.status("wait");
    if (toolkit::write_report(report, text) == toolkit::ReportResult::kDone)
      copy_and_show(f, report);
    else
      tell(f, "plannelze", toolkit::utf8_to_cp1250(std::string("temp/") + kReportName));
  }
  if (f.screen_left()) return;
  f.request_screen(back);
}

}  // namespace ksv::client::production
