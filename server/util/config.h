// The server's deployment settings: "ksvserver.cfg" in the data directory, one "key = value"
// per line, "#" starting a comment. A missing file or key means the built-in default, so a
// server copied alone into an empty directory runs as it always did.
#pragma once
#include <string>
#include <vector>

namespace ksv::server {

inline constexpr const char* kConfigFile = "ksvserver.cfg";

struct ServerConfig {
  // E-mail notices: the program the mail text is piped into, with the recipient appended.
  std::string mail_command = "/usr/sbin/ssmtp";
  std::string mail_from = "ksv@localhost";
  std::string mail_reply_to = "ksv@localhost";
  std::string mail_reply_to_name = "KSV";
  // Serial port of the attendance terminal and alarm board; empty = the link does not start.
  std::string serial_port;
  // Run for every camera shot with "%d" replaced by the camera number; empty = an outside
  // grabber keeps "SpcaPict.jpg" fresh on its own.
  std::string grabber_command;

  // Lines that could not be used (unknown key, no "="), for the log.
  std::vector<std::string> problems;
};

// Reads the settings; a missing file gives the defaults and no problems.
ServerConfig read_server_config(const std::string& path);

}  // namespace ksv::server
