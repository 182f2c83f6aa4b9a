// The frame's exchange with the server: one command and its reply, and the file transfers that
// follow replies (downloads) or carry the screens' files to the server (uploads). Every wait runs
// the whole event step, so the screen stays alive, and ends when the connection goes or the
// connection screen is requested.
#include <sys/stat.h>

#include <cstdio>

#include "client/frame.h"

namespace ksv::client {

namespace {

// Replies of the camera commands name their file as a plain string at 32; every other reply
// that names a file has it as a counted string at 4.
constexpr int kPlainNameOffset = 32;
bool names_file_plainly(int32_t reply) { return reply == 215 || reply == 216; }

}  // namespace

Packet& Frame::compose() {
  Packet& b = client_.conn.BUFFERPACKET;
  b.clear();
  return b;
}

// ------------------------------------------------------------------------- one command

bool Frame::begin_exchange(uint8_t code, const std::string& status_key) {
  // One command at a time: a second exchange started from inside a wait would overwrite the
  // request in the buffer.
  if (exchanging_ || !info().SPOJENO) return false;
  exchanging_ = true;
  status(status_key);
  client_.conn.BUFFERPACKET.NASTAVPRIKAZ(code, 0, true);
  requests_sent[code & 63]++;
  tk_.trace.event("send", std::to_string(code));
  return true;
}

int32_t Frame::wait_for_reply() {
  TInfoKlient& k = info();
  // A message pushed by the server may arrive between the request and its reply; it is stored
  // by the communication step and is not the answer this wait is for.
  auto waiting = [&] {
    int32_t c = k.POSLAKCE;
    return (in_progress(c) || c == 240) && POZADOVANAOBRAZOVKA != kScreenConnect && !ending() &&
           k.SPOJENO;
  };
  do {
    event_step();
  } while (waiting());
  if (!k.SPOJENO) request_screen(kScreenConnect);
  tk_.trace.event("reply", std::to_string(k.POSLAKCE));
  return k.POSLAKCE;
}

int32_t Frame::send_and_wait(uint8_t code, const std::string& status_key) {
  if (!begin_exchange(code, status_key)) return 0;
  int32_t reply = wait_for_reply();
  exchanging_ = false;
  return reply;
}

int32_t Frame::request(uint8_t code, const std::string& status_key) {
  return CEKEJNAODPOVED(code, status_key);
}

int32_t Frame::CEKEJNAODPOVED(uint8_t code, const std::string& status_key, bool report_errors,
                              bool expect_file) {
  received_file_.clear();
  if (!begin_exchange(code, status_key)) return 0;
  int32_t reply = wait_for_reply();
  if (report_errors) HLASENICHYBY();
  status("wait");
  exchanging_ = false;
  if (reply == 193 && expect_file && info().SPOJENO) {
    received_file_ = fetch_named_in_reply();
    if (report_errors) HLASENICHYBY();
  }
  return reply;
}

// ----------------------------------------------------------------------------- transfers

std::string Frame::reply_file_name() const {
  const Packet& b = client_.conn.BUFFERPACKET;
  if (names_file_plainly(client_.conn.INFOKLIENT.POSLAKCE))
    return b.ZISKEJRETEZEC(kPlainNameOffset, false);
  return b.ZISKEJRETEZEC(slot::kText, true);
}

std::string Frame::download_named_in_reply() {
  const std::string name = fetch_named_in_reply();
  HLASENICHYBY();
  return name;
}

bool Frame::download(const std::string& remote_name, const std::string& local_name) {
  const bool whole = fetch(remote_name, local_name) == Fetch::kWhole;
  HLASENICHYBY();
  return whole;
}

std::string Frame::fetch_named_in_reply() {
  const std::string name = reply_file_name();
  if (name.empty()) return "";
  switch (fetch(name, "")) {
    case Fetch::kWhole: return name;
    // A download that could not even start leaves whatever file of that name is there; the
    // screen reads it, as it always has.
    case Fetch::kNotStarted: return info().SPOJENO && is_safe_file_name(name) ? name : "";
    case Fetch::kFailed: return "";
  }
  return "";
}

Frame::Fetch Frame::fetch(const std::string& remote_name, const std::string& local_name) {
  const std::string local = local_name.empty() ? remote_name : local_name;
  // Both names end up in paths under temp/ (ours and the server's): nothing that could climb out.
  if (!is_safe_file_name(remote_name) || !is_safe_file_name(local)) return Fetch::kFailed;
  if (exchanging_ || !info().SPOJENO) return Fetch::kFailed;
  ::mkdir((client_.ADRESAREXE + "temp").c_str(), 0755);
  const std::string path = temp_path(local);
  if (client_.ZACNIPRIJIMAT(path) != 0) return Fetch::kNotStarted;
  // The request names the file by its local name; the server is asked for the remote one.
  client_.conn.BUFFERPACKET.ULOZRETEZEC(slot::kText, true, remote_name);
  download_path_ = path;
  exchanging_ = true;
  requests_sent[31]++;
  tk_.trace.event("send", "31");
  const bool whole = wait_for_transfer(false);
  exchanging_ = false;
  download_path_.clear();
  if (!whole) {
    // An incomplete file must not pass for the list it was meant to be (the user list is even
    // kept as a cache), so it goes.
    std::remove(path.c_str());
    return Fetch::kFailed;
  }
  struct stat st {};
  const long long bytes = ::stat(path.c_str(), &st) == 0 ? (long long)st.st_size : 0;
  tk_.trace.event("download", remote_name + " " + std::to_string(bytes));
  return Fetch::kWhole;
}

bool Frame::upload(const std::string& local_path, const std::string& remote_name,
                   const std::string& status_key) {
  if (!is_safe_file_name(remote_name)) return false;
  struct stat st {};
  if (::stat(local_path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (exchanging_ || !info().SPOJENO) return false;
  bool whole = false;
  if (st.st_size == 0) {
    // The transfer routine sends nothing for an empty file, and the server would keep the
    // previous contents while the screen believes the file saved. The opening request alone,
    // marked as the last block, makes the server store an empty file.
    Packet& b = compose();
    b.ULOZRETEZEC(slot::kText, true, remote_name);
    if (!begin_exchange(30, status_key)) return false;
    whole = wait_for_reply() == 221 && info().SPOJENO;
  } else {
    exchanging_ = true;
    status(status_key);
    if (client_.ZACNIODESILAT(local_path) != 0) {
      exchanging_ = false;
      status("wait");
      return false;
    }
    // The request names the file by its local name; the server is to store it under remote_name.
    client_.conn.BUFFERPACKET.ULOZRETEZEC(slot::kText, true, remote_name);
    requests_sent[30]++;
    tk_.trace.event("send", "30");
    whole = wait_for_transfer(true);
  }
  exchanging_ = false;
  HLASENICHYBY();
  status("wait");
  if (whole) tk_.trace.event("upload", remote_name + " " + std::to_string((long long)st.st_size));
  return whole;
}

bool Frame::wait_for_transfer(bool upload) {
  TInfoKlient& k = info();
  abort_requested_ = false;
  last_block_ = -1;
  // The step that ends the transfer leaves its code in POSLAKCE: the server's last 221 (upload)
  // or 220 (download) means the whole file went through; a refusal or a lost connection does not.
  const int32_t done_code = upload ? 221 : 220;
  while (client_.transfer_active()) {
    if (abort_requested_ || POZADOVANAOBRAZOVKA == kScreenConnect || ending()) break;
    event_step();
    if (!k.SPOJENO || in_error_set(k.POSLAKCE) || k.POSLAKCE == 197) break;
  }
  const bool whole = !client_.transfer_active() && k.SPOJENO && k.POSLAKCE == done_code &&
                     !(client_.transfer_failed && !upload);
  if (whole) return true;
  const bool tell_server = client_.transfer_active() && k.SPOJENO && !in_error_set(k.POSLAKCE);
  // A block that could not be written stopped the download, and its step told the server so;
  // the blocks sent ahead are still coming, and go before the confirmation does.
  const bool told_already = client_.transfer_failed && !upload && k.SPOJENO &&
                            !in_error_set(k.POSLAKCE) && k.POSLAKCE != 201;
  drop_transfer();
  if (tell_server) tell_server_to_stop();
  if (told_already) wait_for_stop();
  if (!k.SPOJENO) {
    status("disconnect");
    client_.conn.THREADODPOJSE();
    request_screen(kScreenConnect);
  }
  abort_requested_ = false;
  return false;
}

void Frame::tell_server_to_stop() {
  compose().NASTAVPRIKAZ(32, 0, true);
  requests_sent[32]++;
  tk_.trace.event("send", "32");
  wait_for_stop();
}

void Frame::wait_for_stop() {
  TInfoKlient& k = info();
  // Blocks may still be on their way; the wait is for the server's confirmation, not for them.
  do {
    event_step();
  } while (k.POSLAKCE != 201 && !in_error_set(k.POSLAKCE) && k.POSLAKCE != 197 && k.SPOJENO &&
           POZADOVANAOBRAZOVKA != kScreenConnect && !ending());
  tk_.trace.event("reply", std::to_string(k.POSLAKCE));
}

void Frame::drop_transfer() {
  if (!client_.transfer_active()) return;
  TInfoKlient& k = info();
  if (k.DATSOUB) std::fclose(k.DATSOUB);
  k.DATSOUB = nullptr;
  k.AKTSOUBOR.clear();
}

void Frame::abort_transfer() {
  if (exchanging_ && client_.transfer_active()) {
    abort_requested_ = true;  // the transfer's wait ends it on its next pass
    return;
  }
  if (!client_.transfer_active()) return;
  const bool download = !download_path_.empty();
  drop_transfer();
  if (download) std::remove(download_path_.c_str());
  download_path_.clear();
  if (info().SPOJENO && !exchanging_) {
    exchanging_ = true;
    tell_server_to_stop();
    exchanging_ = false;
  }
}

}  // namespace ksv::client
