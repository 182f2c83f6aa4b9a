// Reading and thinning out the shared message file.
#include "client/screens/messages/message_file.h"

#include <unistd.h>

#include <cstdio>

#include "protocol/file_util.h"

namespace ksv::client {

namespace {

// The file's lines without their line ends ("\r\n" as written by other programs too).
std::vector<std::string_view> lines_of(std::string_view contents) {
  std::vector<std::string_view> lines;
  while (!contents.empty()) {
    size_t end = contents.find('\n');
    std::string_view line = contents.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    contents.remove_prefix(end + 1);
  }
  return lines;
}

// A line addressed to `name`: its part up to and including the first ":" is the name and ":".
bool addressed_to(std::string_view line, std::string_view name) {
  const size_t colon = line.find(':');
  return colon != std::string_view::npos && line.substr(0, colon) == name;
}

bool read_whole(const std::string& path, std::string& out) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return false;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) out.append(buf, n);
  const bool ok = !std::ferror(in);
  std::fclose(in);
  return ok;
}

}  // namespace

std::vector<std::string> messages_for(std::string_view contents, std::string_view own_name) {
  std::vector<std::string> shown;
  for (std::string_view line : lines_of(contents)) {
    if (line.empty() || !addressed_to(line, own_name)) continue;
    line.remove_prefix(own_name.size() + 1);
    const size_t colon = line.find(':');
    std::string_view sender = line.substr(0, colon);
    std::string_view text = colon == std::string_view::npos ? "" : line.substr(colon + 1);
    if (sender.size() > kSenderShown) sender = sender.substr(0, kSenderShown);
    shown.push_back(std::string(sender) + ":" + std::string(text));
  }
  return shown;
}

std::vector<std::string> read_messages(const std::string& path, std::string_view own_name) {
  std::string contents;
  if (!read_whole(path, contents)) return {};
  return messages_for(contents, own_name);
}

bool remove_messages_of(const std::string& path, std::string_view own_name) {
  std::string contents;
  if (!read_whole(path, contents)) return !file_exists(path);
  std::string kept;
  for (std::string_view line : lines_of(contents)) {
    if (line.empty() || addressed_to(line, own_name)) continue;
    kept.append(line);
    kept.push_back('\n');
  }
  if (kept.empty()) return erase_file(path);
  const std::string temporary = path + ".new";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(kept.data(), 1, kept.size(), out) == kept.size();
  ok = std::fflush(out) == 0 && ok;
  ok = ::fsync(fileno(out)) == 0 && ok;
  ok = std::fclose(out) == 0 && ok;
  if (!ok || !rename_file(temporary, path)) {
    erase_file(temporary);
    return false;
  }
  return true;
}

}  // namespace ksv::client
