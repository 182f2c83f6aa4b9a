#include "client/screens/programs/attachments.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "client/screens/programs/line_picker.h"
#include "client/screens/programs/local_copies.h"
#include "protocol/record_file.h"
#include "protocol/records/file_list.h"
#include "protocol/rights.h"
#include "toolkit/browser.h"
#include "toolkit/cp1250.h"

namespace ksv::client::programs {

namespace {

// A status text whose "%U" names the file concerned.
void say(Frame& f, const std::string& key, const std::string& subject) {
  std::string t = f.text(key);
  const size_t at = t.find("%U");
  if (at != std::string::npos) t.replace(at, 2, subject);
  f.STAVOVYRADEK(t);
}

bool any_of(Frame& f, int a, int b) {
  const int64_t rights = f.info().MOJEPRAVA;
  return TESTBIT(rights, a) || TESTBIT(rights, b);
}

}  // namespace

bool may_list_attachments(Frame& f) { return any_of(f, 2, 4); }
bool may_attach(Frame& f) { return any_of(f, 3, 5); }

void show_attachments(Frame& f) {
  Packet& b = f.compose();
  b.ULOZCISLO(slot::kText, 0);
  if (f.request(63, "diradr") != 252) return;
  const std::string list = f.download_named_in_reply();
  if (list.empty()) return;
  std::vector<TSeznamSoub> files = read_records<TSeznamSoub>(f.temp_path(list)).value_or(
      std::vector<TSeznamSoub>{});
  std::vector<std::string> lines;
  for (const TSeznamSoub& s : files) {
    char when[64];
    std::snprintf(when, sizeof when, " %d %02u:%02u %02u.%02u.%04u", s.VEL, unsigned(s.CAS.HOD),
                  unsigned(s.CAS.MIN), unsigned(s.DATUM.DEN), unsigned(s.DATUM.MES),
                  unsigned(s.DATUM.ROK));
    lines.push_back(toolkit::utf8_to_cp1250(s.JMENO.str()) + when);
  }
  std::optional<size_t> at = pick_line(f, "prilohy", lines);
  if (!at || *at >= files.size()) return;
  const std::string name = files[*at].JMENO.str();
  if (!is_safe_file_name(name) || !f.download(name)) return;
  if (f.tk().opener.open(f.temp_path(name)) != toolkit::OpenResult::kStarted)
    say(f, "prilohakde", toolkit::utf8_to_cp1250("temp/" + name));
}

void attach_file(Frame& f) {
  LocalConfig& c = f.config();
  toolkit::BrowserPlaces places{c.POSLEDNIADRESAR, {}};
  toolkit::Browser browser(f.tk(), [&f] { f.event_step(); });
  std::optional<toolkit::BrowserChoice> choice = browser.run({{"*"}, false}, places);
  c.POSLEDNIADRESAR = places.POSLEDNIADRESAR;
  if (!choice || f.screen_left()) return;
  if (is_reserved_attachment(choice->name) || !is_safe_file_name(choice->name)) {
    say(f, "rezervovano", toolkit::utf8_to_cp1250(choice->name));
    return;
  }
  f.upload(choice->path(), choice->name, "sendfile");
}

}  // namespace ksv::client::programs
