// The e-mail sender.
#include "server/util/mail.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "protocol/file_util.h"

namespace ksv::server {

bool is_safe_mail_address(const std::string& address) {
  if (address.empty() || address[0] == '-') return false;
  for (char c : address) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '.' || c == '@' || c == '_' || c == '+' || c == '-' || c == '=';
    if (!ok) return false;
  }
  return true;
}

std::string shell_quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

Mailer::Mailer(std::string base_dir, const ServerConfig& config, Log& log, Clock& clock)
    : base_(std::move(base_dir)),
      command_(config.mail_command),
      from_(config.mail_from),
      reply_to_(config.mail_reply_to),
      reply_to_name_(config.mail_reply_to_name),
      log_(log),
      clock_(clock) {
  if (base_.empty()) base_ = "./";
  if (base_.back() != '/') base_ += '/';
}

Mailer::~Mailer() = default;

int Mailer::send(const std::string& address, const std::string& subject,
                 const std::string& body) {
  if (!is_safe_mail_address(address)) {
    log_.line("Neplatna e-mailova adresa: " + address);
    return kMailNotWritten;
  }
  const std::string text_path = base_ + "temp/e-mail.txt";
  std::FILE* f = std::fopen(text_path.c_str(), "wb");
  if (!f) return kMailNotWritten;
  std::string text = "Reply-To: " + reply_to_name_ + " <" + reply_to_ + ">\n" +
                     "From: Databazovy system <" + from_ + ">\n" + "Subject: " + subject +
                     "\n\n" + body + "\n\n";
  bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  written = std::fclose(f) == 0 && written;
  if (!written) {
    erase_file(text_path);
    return kMailNotWritten;
  }
  // The program reads the text through its own open input, so the file can go at once and the
  // next notice may write it afresh while this one is still being sent.
  const int text_fd = ::open(text_path.c_str(), O_RDONLY | O_CLOEXEC);
  erase_file(text_path);
  if (text_fd < 0) return kMailNotWritten;
  const std::string cmd = command_ + " " + shell_quote(address);
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Its own process group, so a hanging pipeline can be killed as a whole.
    ::setpgid(0, 0);
    if (::chdir(base_.c_str()) != 0 || ::dup2(text_fd, STDIN_FILENO) < 0) ::_exit(127);
    ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(text_fd);
  if (pid < 0) {
    log_.line("Nelze spustit postovni program pro " + address);
    return kMailNotWritten;
  }
  children_.push_back({pid, clock_.epoch_seconds(), address});
  log_.line("Odesilam e-mail uzivateli: " + address);
  return kMailHandedOver;
}

void Mailer::report(const Child& c, int status) {
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
  const std::string how = WIFEXITED(status) ? "kod " + std::to_string(WEXITSTATUS(status))
                                            : "signal " + std::to_string(WTERMSIG(status));
  log_.line("Postovni program selhal (" + how + ") pro " + c.address);
}

void Mailer::reap() {
  const int64_t now = clock_.epoch_seconds();
  for (size_t i = 0; i < children_.size();) {
    Child& c = children_[i];
    int status = 0;
    pid_t r = ::waitpid(c.pid, &status, WNOHANG);
    if (r == 0 && now - c.started > kMailSeconds) {
      log_.line("Postovni program neodpovida, ukoncuji ho: " + c.address);
      ::kill(-c.pid, SIGKILL);
      ::kill(c.pid, SIGKILL);
      r = ::waitpid(c.pid, &status, 0);
    }
    if (r == 0) {
      ++i;
      continue;
    }
    if (r == c.pid) report(c, status);
    children_.erase(children_.begin() + long(i));
  }
}

void Mailer::wait_all() {
  for (const Child& c : children_) {
    int status = 0;
    if (::waitpid(c.pid, &status, 0) == c.pid) report(c, status);
  }
  children_.clear();
}

}  // namespace ksv::server
