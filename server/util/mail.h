// E-mail notices: the mail text is written to "temp/e-mail.txt" in the data directory and piped
// into the configured mail program (by default /usr/sbin/ssmtp) with the recipient's address.
// The alarm and the maintenance pass use it; it sits under both.
#pragma once
#include <string>

#include "server/util/config.h"
#include "server/util/log.h"

namespace ksv::server {

// Result codes of a notice.
constexpr int kMailHandedOver = 0;
constexpr int kMailNotWritten = 2;

class Mailer {
 public:
  // base_dir ends with "/".
  Mailer(std::string base_dir, const ServerConfig& config, Log& log);

  // Writes the text file, runs "cat temp/e-mail.txt | <mail command> <address>" in the data
  // directory, deletes the text file and logs the notice. 0 once the mail program has been run
  // (whether it delivered is its own business), 2 when the text file cannot be written or the
  // address is not one the shell may be given.
  int send(const std::string& address, const std::string& subject, const std::string& body);

 private:
  std::string base_;
  std::string command_;
  std::string from_, reply_to_, reply_to_name_;
  Log& log_;
};

// An address that can go on a command line: letters, digits and ". @ _ + - =" only, not starting
// with "-" (the mail program would read it as an option). Client-supplied addresses reach the
// shell, so anything else is refused.
bool is_safe_mail_address(const std::string& address);

// The text wrapped in single quotes for /bin/sh.
std::string shell_quote(const std::string& text);

}  // namespace ksv::server
