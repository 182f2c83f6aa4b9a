// The e-mail sender.
#include "server/util/mail.h"

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

Mailer::Mailer(std::string base_dir, const ServerConfig& config, Log& log)
    : base_(std::move(base_dir)),
      command_(config.mail_command),
      from_(config.mail_from),
      reply_to_(config.mail_reply_to),
      reply_to_name_(config.mail_reply_to_name),
      log_(log) {
  if (base_.empty()) base_ = "./";
  if (base_.back() != '/') base_ += '/';
}

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
  // The mail program reads the text before the pipe ends, so the file can go afterwards.
  std::string cmd = "cd " + shell_quote(base_) + " && cat temp/e-mail.txt | " + command_ + " " +
                    shell_quote(address);
  [[maybe_unused]] int rc = std::system(cmd.c_str());
  erase_file(text_path);
  log_.line("Odesilam e-mail uzivateli: " + address);
  return kMailHandedOver;
}

}  // namespace ksv::server
