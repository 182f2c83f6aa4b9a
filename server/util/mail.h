// E-mail notices: the mail text is written to "temp/e-mail.txt" in the data directory and fed
// to the configured mail program (by default /usr/sbin/ssmtp) with the recipient's address.
// The program runs as a child process the loop does not wait for: a mail program that hangs
// must not stop the server. The alarm and the maintenance pass use it; it sits under both.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "protocol/clock.h"
#include "server/util/config.h"
#include "server/util/log.h"

namespace ksv::server {

// Result codes of a notice.
constexpr int kMailHandedOver = 0;
constexpr int kMailNotWritten = 2;
// A mail program still running after this long is killed.
constexpr int kMailSeconds = 60;

class Mailer {
 public:
  // base_dir ends with "/".
  Mailer(std::string base_dir, const ServerConfig& config, Log& log, Clock& clock);
  ~Mailer();  // mail programs still running are left to finish on their own

  // Writes the text file and starts "<mail command> <address>" in the data directory with the
  // text as its input; the text file is deleted at once (the program reads it through its open
  // input). Logs the notice. 0 once the program has been started, 2 when the text file cannot
  // be written, the address is not one the shell may be given, or nothing could be started.
  int send(const std::string& address, const std::string& subject, const std::string& body);

  // Collects finished mail programs, logging those that failed, and kills those running longer
  // than kMailSeconds. Called on every pass of the loop.
  void reap();
  // Waits for every running mail program (tests, and a stop that wants its mail out).
  void wait_all();
  int running() const { return int(children_.size()); }

 private:
  struct Child {
    pid_t pid;
    int64_t started;  // epoch seconds
    std::string address;
  };
  void report(const Child& c, int status);

  std::string base_;
  std::string command_;
  std::string from_, reply_to_, reply_to_name_;
  Log& log_;
  Clock& clock_;
  std::vector<Child> children_;
};

// An address that can go on a command line: letters, digits and ". @ _ + - =" only, not starting
// with "-" (the mail program would read it as an option). Client-supplied addresses reach the
// shell, so anything else is refused.
bool is_safe_mail_address(const std::string& address);

// The text wrapped in single quotes for /bin/sh.
std::string shell_quote(const std::string& text);

}  // namespace ksv::server
