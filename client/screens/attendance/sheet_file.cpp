// The ".dch" sheet text, its file, and the ".adc" import.
#include "client/screens/attendance/sheet_file.h"

#include "protocol/record_file.h"

namespace ksv::client::attendance {

namespace {

constexpr const char* kMagic = "DCH1";

std::string escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::optional<std::string> unescaped(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i == s.size()) return std::nullopt;
    switch (s[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    size_t at = s.find(sep, from);
    parts.push_back(s.substr(from, at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

std::string short_date(int day, int month, int year) {
  return std::to_string(day) + "." + std::to_string(month) + "." + std::to_string(year);
}

}  // namespace

std::string dch_text(const Sheet& sheet) {
  std::string out =
      std::string(kMagic) + "\t" + escaped(sheet.user) + "\t" + escaped(sheet.period) + "\n";
  for (const DayLine& line : sheet.lines) {
    out += line_name(line) + "\t";
    // The list columns, each ended by code 0, become tab-separated fields.
    for (char c : line_columns(line)) out += c == '\0' ? '\t' : c;
    out.back() = '\n';
  }
  return out;
}

std::optional<Sheet> parse_dch(const std::string& text) {
  if (text.empty() || text.back() != '\n') return std::nullopt;
  std::vector<std::string> rows = split(text.substr(0, text.size() - 1), '\n');
  if (rows.size() - 1 > kMaxSheetLines) return std::nullopt;

  std::vector<std::string> header = split(rows[0], '\t');
  if (header.size() != 3 || header[0] != kMagic) return std::nullopt;
  std::optional<std::string> user = unescaped(header[1]), period = unescaped(header[2]);
  if (!user || !period) return std::nullopt;

  Sheet sheet{*user, *period, {}};
  for (size_t r = 1; r < rows.size(); ++r) {
    std::vector<std::string> fields = split(rows[r], '\t');
    std::optional<DayLine> line =
        line_from_columns(fields[0], std::vector<std::string>(fields.begin() + 1, fields.end()));
    if (!line) return std::nullopt;
    sheet.lines.push_back(*line);
  }
  return sheet;
}

bool save_dch(const std::string& path, const Sheet& sheet) {
  const std::string text = dch_text(sheet);
  return write_file_atomic(path, text.data(), text.size());
}

std::optional<Sheet> load_dch(const std::string& path) {
  // A full sheet is some 160 kB; anything far larger is not one of ours.
  constexpr uint64_t kMaxBytes = 128 * (kMaxSheetLines + 8);
  std::optional<uint64_t> size = readable_file_size(path);
  if (!size || *size > kMaxBytes) return std::nullopt;
  std::optional<std::string> text = read_whole_file(path);
  if (!text) return std::nullopt;
  return parse_dch(*text);
}

std::optional<std::vector<TDoch>> read_adc(const std::string& path) {
  std::optional<uint64_t> size = readable_file_size(path);
  if (!size || *size / sizeof(TDoch) > kMaxSheetLines) return std::nullopt;
  return read_records<TDoch>(path);
}

std::string month_period(int month, int year) {
  return short_date(1, month, year) + " - " + short_date(days_in_month(month, year), month, year);
}

std::string year_period(int year) {
  return short_date(1, 1, year) + " - " + short_date(31, 12, year);
}

std::string period_of_lines(const std::vector<DayLine>& lines) {
  if (lines.empty()) return "";
  const TDatum& a = lines.front().date;
  const TDatum& b = lines.back().date;
  return short_date(a.DEN, a.MES, a.ROK) + " - " + short_date(b.DEN, b.MES, b.ROK);
}

}  // namespace ksv::client::attendance
