// Reading and writing the client's configuration files. Every failure falls back silently.
#include "client/config.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace ksv::client {

namespace {

constexpr size_t kMaxLine = 255;

bool is_directory(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Lines as the configuration files hold them: at most 255 characters each (the rest of a longer
// line is dropped), "\r\n" accepted as well as "\n". A final line without a line end counts.
std::vector<std::string> read_lines(const std::string& path, size_t max_lines) {
  std::vector<std::string> lines;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return lines;
  std::string line;
  bool pending = false;
  int c;
  while (lines.size() < max_lines && (c = std::fgetc(f)) != EOF) {
    pending = true;
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
      pending = false;
    } else if (line.size() < kMaxLine + 1) {  // one spare for a "\r" before the line end
      line.push_back(char(c));
    }
  }
  if (pending && lines.size() < max_lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  std::fclose(f);
  for (std::string& l : lines)
    if (l.size() > kMaxLine) l.resize(kMaxLine);
  return lines;
}

// Written beside the target and renamed over it: the old file stays whole until the new one is.
void write_atomically(const std::string& path, const std::string& content) {
  std::string tmp = path + ".new";
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return;
  bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
  ok = std::fflush(f) == 0 && ok;
  if (ok) ::fsync(fileno(f));
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) std::remove(tmp.c_str());
}

}  // namespace

bool read_first_line(const std::string& path, std::string& line) {
  std::vector<std::string> lines = read_lines(path, 1);
  if (lines.empty()) return false;
  line = lines[0];
  return true;
}

LocalConfig read_local_config(const std::string& dir) {
  LocalConfig c;

  // The file browser's last directory; the program directory when it is gone.
  if (!read_first_line(dir + "posladr.cfg", c.POSLEDNIADRESAR) || !is_directory(c.POSLEDNIADRESAR))
    c.POSLEDNIADRESAR = dir;

  // The machine directory; the temp directory when none is set or it is gone.
  if (!read_first_line(dir + "tajima.cfg", c.ADRESARSTROJE) || !is_directory(c.ADRESARSTROJE))
    c.ADRESARSTROJE = dir + "temp";

  // The signature: up to 256 bytes, the rest stays zero.
  if (std::FILE* f = std::fopen((dir + "signature").c_str(), "rb")) {
    size_t got = std::fread(c.PODPIS.data(), 1, c.PODPIS.size(), f);
    (void)got;  // a short file leaves the rest zero
    std::fclose(f);
  }

  // Favourites: a line that names no existing directory leaves its slot empty.
  std::vector<std::string> fav = read_lines(dir + "oblibene.cfg", kFavourites);
  for (size_t i = 0; i < fav.size(); ++i)
    if (!fav[i].empty() && is_directory(fav[i])) c.OBLIBENE[i] = fav[i];

  // Addresses: only a line with a dot replaces the built-in one; the second line is looked at
  // whatever the first held.
  std::vector<std::string> addr = read_lines(dir + "adresy.cfg", 2);
  if (addr.size() >= 1 && addr[0].find('.') != std::string::npos) c.internal_address = addr[0];
  if (addr.size() >= 2 && addr[1].find('.') != std::string::npos) c.external_address = addr[1];

  std::string clock_line;
  if (read_first_line(dir + "hodiny.cfg", clock_line)) c.set_machine_clock = clock_line == "1";
  return c;
}

void write_local_config(const std::string& dir, const LocalConfig& c) {
  write_atomically(dir + "posladr.cfg", c.POSLEDNIADRESAR + "\n");
  std::string fav;
  for (const std::string& f : c.OBLIBENE) fav += f + "\n";
  write_atomically(dir + "oblibene.cfg", fav);
}

}  // namespace ksv::client
