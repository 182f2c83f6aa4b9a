// Reading "ksvserver.cfg".
#include "server/util/config.h"

#include <fstream>

namespace ksv::server {

namespace {

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

}  // namespace

ServerConfig read_server_config(const std::string& path) {
  ServerConfig cfg;
  std::ifstream in(path);
  if (!in) return cfg;
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    std::string line = trim(raw);
    if (line.empty() || line[0] == '#') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      cfg.problems.push_back("radek " + std::to_string(number) + ": chybi '='");
      continue;
    }
    std::string key = trim(line.substr(0, eq));
    std::string value = trim(line.substr(eq + 1));
    if (key == "mail_command") cfg.mail_command = value;
    else if (key == "mail_from") cfg.mail_from = value;
    else if (key == "mail_reply_to") cfg.mail_reply_to = value;
    else if (key == "mail_reply_to_name") cfg.mail_reply_to_name = value;
    else if (key == "serial_port") cfg.serial_port = value;
    else if (key == "grabber_command") cfg.grabber_command = value;
    else cfg.problems.push_back("radek " + std::to_string(number) + ": neznamy klic " + key);
  }
  return cfg;
}

}  // namespace ksv::server
