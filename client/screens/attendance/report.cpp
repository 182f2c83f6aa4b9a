// The attendance report text.
#include "client/screens/attendance/report.h"

#include <cstdint>
#include <cstdio>

namespace ksv::client::attendance {

namespace {

// What is added up over a month and over the whole period.
struct Totals {
  int64_t minutes = 0;
  int64_t vacation_days = 0;
};

class ReportWriter {
 public:
  explicit ReportWriter(const MonthNames& months) : months_(months) {}

  void line(const std::string& text = "") { out_ += text + "\n"; }
  void blank(int n) {
    for (int i = 0; i < n; ++i) line();
  }

  void heading(const TDatum& d) {
    const std::string name = d.MES >= 1 && d.MES <= 12 ? months_[d.MES - 1] : "";
    line("* " + upper_case(name) + " " + std::to_string(d.ROK) + " *");
  }

  void totals(const Totals& t) {
    char b[96];
    std::snprintf(b, sizeof b, "CELKEM: %4lld minut (%lld hodin)",
                  static_cast<long long>(t.minutes), static_cast<long long>(t.minutes / 60));
    line(b);
  }

  // The month's block: its totals beside the vacation days of the months before it.
  void month_block(const Totals& month, const Totals& before) {
    line();
    totals(month);
    line("DOVOLENA: " + std::to_string(month.vacation_days) + " (" +
         std::to_string(before.vacation_days) + ")");
    blank(2);
  }

  void day(const DayLine& d, int32_t credit) {
    const char* label = d.holiday ? "SVATEK" : d.vacation ? "DOVOLENA" : "";
    char b[160];
    std::snprintf(b, sizeof b, "%s  %-8s  %4d min.", date_text(d.date).c_str(), label, credit);
    std::string text = b;
    if (!d.holiday && !d.vacation) text += "  " + clock_text(d.first) + " - " + clock_text(d.last);
    line(text);
  }

  std::string take() { return std::move(out_); }

 private:
  const MonthNames& months_;
  std::string out_;
};

}  // namespace

std::string upper_case(std::string text) {
  for (char& ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    unsigned char u = c;
    if (c >= 'a' && c <= 'z') u = c - 0x20;
    // Windows-1250: š ś ť ž ź sit 0x10 above their capitals, ą ł ľ ż have their own, and the
    // block from 0xE0 is the block from 0xC0 in lower case (0xF7 is the division sign).
    else if (c == 0x9A || c == 0x9C || c == 0x9D || c == 0x9E || c == 0x9F)
      u = c - 0x10;
    else if (c == 0xB3)
      u = 0xA3;
    else if (c == 0xB9)
      u = 0xA5;
    else if (c == 0xBE)
      u = 0xBC;
    else if (c == 0xBF)
      u = 0xAF;
    else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
      u = c - 0x20;
    ch = static_cast<char>(u);
  }
  return text;
}

std::string report_text(const Sheet& sheet, const MonthNames& months) {
  ReportWriter w(months);
  w.line("*** " + sheet.user + " ***");
  w.blank(2);
  w.line("OBDOBI: " + sheet.period);
  w.blank(3);

  Totals month, all;
  const TDatum* shown = nullptr;  // the month now being written
  for (const DayLine& d : sheet.lines) {
    if (shown == nullptr) {
      w.heading(d.date);
    } else if (shown->MES != d.date.MES || shown->ROK != d.date.ROK) {
      w.month_block(month, all);
      w.line(std::string(31, '-'));
      w.blank(2);
      w.heading(d.date);
      all.minutes += month.minutes;
      all.vacation_days += month.vacation_days;
      month = Totals{};
    }
    shown = &d.date;

    const int32_t credit = credited_minutes(d);
    if (!d.holiday && d.vacation) ++month.vacation_days;
    month.minutes += credit;
    w.day(d, credit);
  }
  if (shown != nullptr) {
    w.month_block(month, all);
    all.minutes += month.minutes;
    all.vacation_days += month.vacation_days;
  }

  w.line(std::string(31, '='));
  w.blank(2);
  w.totals(all);
  w.line("DOVOLENA: " + std::to_string(all.vacation_days));
  return w.take();
}

}  // namespace ksv::client::attendance
