// Client command execution: the communication step, the packet execution with liveness,
// download blocks (220), upload steps (221), pushed messages (240) and the file routines.
#include "protocol/client.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "protocol/commands.h"

namespace ksv {

namespace {

std::string bare_name(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string with_slash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

Client::Client(Clock& clock, std::string program_dir)
    : conn(clock), ADRESAREXE(with_slash(std::move(program_dir))) {}

Client::~Client() { KONECKOMUNIKKLI(); }

int Client::expected_reply(int request) { return ksv::expected_reply(request); }

bool Client::answered(int request) const {
  int got = conn.INFOKLIENT.POSLAKCE;
  if (got == 0) return false;
  if (request == 0) return true;
  return is_failure_reply(got) || got == ksv::expected_reply(request);
}

bool Client::AKCEPOTVRZENA() const {
  int32_t mine = conn.INFOKLIENT.MUJPOZADAVEK;
  if (mine == 0 || is_failure_reply(mine)) return true;
  int want = ksv::expected_reply(mine);
  return want != 0 && conn.INFOKLIENT.POSLAKCE == want;
}

void Client::OBSLUHAKOMUNIKACE() {
  TInfoKlient& k = conn.INFOKLIENT;
  if (!k.SPOJENO) return;
  k.MUJPOZADAVEK = 0;
  uint8_t code = conn.BUFFERPACKET.code();
  if (code >= 1 && code <= 63) {
    conn.ODESLIPAKET(kPacketSize);
    k.MUJPOZADAVEK = code;
    k.POSLAKCE = 0;
    conn.BUFFERPACKET.NASTAVPRIKAZ(0, 0, true);
  }
  if (conn.PRISELCELYPACKET()) conn.PRIJMIPAKET();
  uint8_t answer = PROVEDPRIKAZ();
  if (answer == req::kDownloadAck && transfer_active()) {
    drain_download();
  } else if (answer != 0) {
    conn.ODESLIPAKET(kPacketSize);
  }
  conn.BUFFERPACKET.bytes[0] = 0;
}

// The server sends download blocks ahead of their acknowledgements; the ones already here are
// written in this step and acknowledged together, instead of one block per pass of the screen.
// Anything but a download block waits for the next step, as every packet does.
void Client::drain_download() {
  Packet& b = conn.BUFFERPACKET;
  std::string acks(reinterpret_cast<const char*>(b.bytes), kPacketSize);
  if (run_.empty()) run_.resize(size_t(kDrainBlocks) * kPacketSize);
  const int n = conn.take_run(rep::kDownloadBlock, kDrainBlocks, run_.data());
  for (int i = 0; i < n; ++i) {
    std::memcpy(b.bytes, run_.data() + size_t(i) * kPacketSize, kPacketSize);
    if (PROVEDPRIKAZ() != 0) acks.append(reinterpret_cast<const char*>(b.bytes), kPacketSize);
  }
  conn.send_packets(acks.data(), acks.size());
}

void Client::end_transfer() {
  TInfoKlient& k = conn.INFOKLIENT;
  if (k.DATSOUB) std::fclose(k.DATSOUB);
  k.DATSOUB = nullptr;
  k.AKTSOUBOR.clear();
}

uint8_t Client::on_download_block() {
  TInfoKlient& k = conn.INFOKLIENT;
  Packet& b = conn.BUFFERPACKET;
  uint16_t block = b.block();
  bool flag = b.flag();
  // A block without a download of ours is stray; writing it anywhere would be wrong. So is a
  // block out of sequence: the server sends blocks ahead, and those of a download given up are
  // still on their way when the next one starts at block 0.
  if (k.AKTSOUBOR.empty() || !k.DATSOUB || block != next_block_) return 0;
  int32_t n = b.ZISKEJCISLO(slot::kText);
  bool ok = n >= 0 && n <= kTransferBlock;
  if (ok && n > 0) ok = std::fwrite(b.bytes + slot::kData, 1, size_t(n), k.DATSOUB) == size_t(n);
  if (!ok) {
    // Bad length or a local write failure: the file would be incomplete, so stop the transfer
    // on both sides rather than let the screen take it as received.
    end_transfer();
    transfer_failed = true;
    b.NASTAVPRIKAZ(req::kAbortTransfer, 0, true);
    return 32;
  }
  bool last = n == 0 || flag;
  if (last) {
    if (std::fclose(k.DATSOUB) != 0) transfer_failed = true;
    k.DATSOUB = nullptr;
  }
  k.VELIKOST += n;
  k.PRENESENO = k.VELIKOST;
  k.BLOKDAT = block;
  next_block_ = uint16_t(block + 1);
  if (last) k.AKTSOUBOR.clear();
  b.NASTAVPRIKAZ(req::kDownloadAck, block, last);
  return req::kDownloadAck;
}

uint8_t Client::on_upload_request(bool& skip_end) {
  TInfoKlient& k = conn.INFOKLIENT;
  Packet& b = conn.BUFFERPACKET;
  if (k.AKTSOUBOR.empty() || !k.DATSOUB) return 0;
  uint16_t block = b.block();
  if (k.PRENESENO >= k.VELIKOST) {
    end_transfer();
    skip_end = true;
    return 0;
  }
  int32_t n = k.VELIKOST - k.PRENESENO;
  bool last = n <= kTransferBlock;
  if (!last) n = kTransferBlock;
  size_t got = std::fread(b.bytes + slot::kData, 1, size_t(n), k.DATSOUB);
  if (got < size_t(n)) {
    // The file shrank while it was being sent: send what is there and finish.
    n = int32_t(got);
    last = true;
    k.PRENESENO = k.VELIKOST;
  } else {
    k.PRENESENO += n;
  }
  b.ULOZCISLO(slot::kText, n);
  k.BLOKDAT += 1;
  b.NASTAVPRIKAZ(req::kUploadBlock, uint16_t(block + 1), last);
  return req::kUploadBlock;
}

uint8_t Client::PROVEDPRIKAZ() {
  TInfoKlient& k = conn.INFOKLIENT;
  Packet& b = conn.BUFFERPACKET;
  uint8_t code = b.code();
  k.POSLAKCE = code;

  if (code == 0) {
    // Liveness: probe after a minute of silence, give up half a minute after an unanswered probe.
    if (!k.SPOJENO) return 0;
    DateTime now = conn.clock().now();
    if (!k.POTVRZ.ANO && seconds_between(k.POSLEDNI, now) > 60) {
      b.NASTAVPRIKAZ(req::kProbe, 0, true);
      conn.stamp_probe();
      return req::kProbe;
    }
    if (k.POTVRZ.ANO) {
      TPosledni sent{k.POTVRZ.DEN, k.POTVRZ.MES, k.POTVRZ.ROK, k.POTVRZ.H, k.POTVRZ.M, k.POTVRZ.S};
      if (seconds_between(sent, now) > 30) {
        conn.THREADODPOJSE();
        conn.DOSLOKODPOJENI = true;
      }
    }
    return 0;
  }

  bool skip_end = false;
  switch (code) {
    case rep::kProbe:
      b.NASTAVPRIKAZ(req::kProbeAnswer, 0, true);
      k.POTVRZ.ANO = false;
      break;
    case rep::kAlive:
      k.POTVRZ.ANO = false;
      break;
    case rep::kLoggedIn:
      k.PRIHLASEN = true;
      break;
    case rep::kTime:
      server_second = b.get_word(slot::kDate);
      server_minute = b.get_word(slot::kDate + 2);
      server_hour = b.get_word(slot::kDate + 4);
      if (clock_setter && server_hour < 24 && server_minute < 60 && server_second < 60)
        clock_setter(server_hour, server_minute, server_second);
      break;
    case rep::kDownloadBlock:
      on_download_block();
      break;
    case rep::kUploadNext:
      on_upload_request(skip_end);
      break;
    case rep::kMessage: {
      std::string text, sender;
      b.ZISKEJRETEZEC(slot::kText2, true, text);
      b.ZISKEJRETEZEC(slot::kData, true, sender);
      if (text.compare(0, 9, "$download") == 0 && sender == "admin" && k.MOJEID == 0) {
        run_download_order(text.size() > 10 ? text.substr(10) : std::string());
      } else {
        store_message(sender, text);
        b.NASTAVPRIKAZ(req::kMessageReceived, 0, true);
        PRIJATANOVAZPRAVA = true;
      }
      break;
    }
    case rep::kFailed:
      if (!k.AKTSOUBOR.empty()) end_transfer();
      break;
    default:
      break;  // below 128 nothing is executed; other replies are read by the screens
  }
  if (skip_end) return 0;

  conn.stamp_activity();
  k.MUJPOZADAVEK = b.code();
  if (k.MUJPOZADAVEK == k.POSLAKCE) b.bytes[0] = 0;
  return b.bytes[0];
}

void Client::store_message(const std::string& sender, const std::string& text) {
  ::mkdir((ADRESAREXE + "temp").c_str(), 0755);
  std::string line = conn.INFOKLIENT.JMENO + ":" + sender + ":" + text + "\n";
  std::FILE* f = std::fopen(message_store_path().c_str(), "ab");
  if (!f) f = std::fopen(message_store_path().c_str(), "wb");
  if (!f) return;
  std::fwrite(line.data(), 1, line.size(), f);
  std::fclose(f);
}

bool Client::run_download_order(const std::string& file_name) {
  // The name comes from the server; it must stay inside our temp directory.
  if (!is_safe_file_name(file_name)) return false;
  ::mkdir((ADRESAREXE + "temp").c_str(), 0755);
  if (ZACNIPRIJIMAT(ADRESAREXE + "temp/" + file_name) != 0) return false;
  while (transfer_active()) {
    OBSLUHAKOMUNIKACE();
    if (!conn.INFOKLIENT.SPOJENO || conn.INFOKLIENT.POSLAKCE == rep::kSessionEnded) {
      conn.THREADODPOJSE();
      return false;
    }
    if (!transfer_active()) break;
    if (wait_pass) {
      wait_pass();
    } else {
      pollfd pfd{conn.ZASUVKA, POLLIN, 0};
      ::poll(&pfd, 1, 1);
    }
  }
  return true;
}

uint8_t Client::ZACNIODESILAT(const std::string& file_name) {
  std::FILE* f = std::fopen(file_name.c_str(), "rb");
  if (!f) return 1;
  struct stat st {};
  if (::fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > INT32_MAX) {
    std::fclose(f);
    return 1;
  }
  if (st.st_size == 0) {
    std::fclose(f);
    return 0;
  }
  TInfoKlient& k = conn.INFOKLIENT;
  conn.take_transfer_file(f);
  k.AKTSOUBOR = file_name;
  conn.BUFFERPACKET.NASTAVPRIKAZ(req::kUploadStart, 0, false);
  k.VELIKOST = int32_t(st.st_size);
  k.PRENESENO = 0;
  k.BLOKDAT = 0;
  conn.BUFFERPACKET.ULOZRETEZEC(slot::kText, true, bare_name(file_name));
  return 0;
}

uint8_t Client::ZACNIPRIJIMAT(const std::string& file_name) {
  std::FILE* f = std::fopen(file_name.c_str(), "wb");
  if (!f) return 2;
  TInfoKlient& k = conn.INFOKLIENT;
  conn.take_transfer_file(f);
  k.AKTSOUBOR = file_name;
  transfer_failed = false;
  next_block_ = 0;
  conn.BUFFERPACKET.NASTAVPRIKAZ(req::kDownloadStart, 0, true);
  k.VELIKOST = 0;
  k.PRENESENO = 0;
  k.BLOKDAT = 0;
  conn.BUFFERPACKET.ULOZRETEZEC(slot::kText, true, bare_name(file_name));
  return 0;
}

void Client::KONECKOMUNIKKLI() {
  if (conn.INFOKLIENT.SPOJENO) {
    conn.BUFFERPACKET.NASTAVPRIKAZ(req::kDisconnect, 0, true);
    OBSLUHAKOMUNIKACE();
  }
  conn.THREADODPOJSE();
}

std::string Client::ZJISTITYPAKCE(int32_t n) const {
  return texts ? texts("akce" + std::to_string(n)) : std::string();
}

std::string Client::ZJISTIPRAVO(uint8_t n) const {
  return texts ? texts("bit" + std::to_string(n)) : std::string();
}

void system_clock_setter(int hour, int minute, int second) {
  struct timeval tv {};
  ::gettimeofday(&tv, nullptr);
  time_t t = tv.tv_sec;
  struct tm tm {};
  localtime_r(&t, &tm);
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  struct timespec ts {};
  ts.tv_sec = mktime(&tm);
  ::clock_settime(CLOCK_REALTIME, &ts);
}

bool ZKOPIRUJSOUBOR(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return false;
  std::FILE* out = std::fopen(to.c_str(), "wb");
  if (!out) {
    std::fclose(in);
    return false;
  }
  char block[512];
  bool ok = true;
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, in)) > 0)
    if (std::fwrite(block, 1, n, out) != n) {
      ok = false;
      break;
    }
  if (std::ferror(in)) ok = false;
  std::fclose(in);
  if (std::fclose(out) != 0) ok = false;
  return ok;
}

bool PRESUNSOUBOR(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  // Across file systems a move is a copy followed by removing the original.
  if (errno != EXDEV) return false;
  if (!ZKOPIRUJSOUBOR(from, to)) {
    std::remove(to.c_str());
    return false;
  }
  return std::remove(from.c_str()) == 0;
}

bool VEJDESENADISK(const std::string& file_name, uint8_t drive, const std::string& floppy_dir) {
  struct stat st {};
  if (::stat(file_name.c_str(), &st) != 0 || ::access(file_name.c_str(), R_OK) != 0) return false;
  std::string where;
  if (drive == 0)
    where = ".";
  else if (drive == 1)
    where = floppy_dir;
  else
    return false;
  struct statvfs vfs {};
  if (::statvfs(where.c_str(), &vfs) != 0) return false;
  return uint64_t(st.st_size) <= uint64_t(vfs.f_bavail) * vfs.f_frsize;
}

void ODSTRANDIAKRITIKU(std::string& s) {
  static constexpr uint8_t kAccented[] = {
      0xD8, 0xE7, 0x9F, 0xFD, 0xA7, 0xEC, 0xA0, 0xA1, 0x82, 0x85, 0xA3, 0xEC, 0x9A, 0xE8,
      0xF8, 0x9E, 0xFD, 0xE1, 0xED, 0xE9, 0xFA, 0xF9, 0xF6, 0x9D, 0xEF, 0xF2, 0xCC, 0x8A,
      0xC8, 0xD8, 0x8E, 0xDD, 0xC1, 0xCD, 0xC9, 0xDA, 0xD9, 0xD3, 0xCF, 0x8D, 0xD2};
  for (uint8_t a : kAccented)
    for (char& c : s)
      if (uint8_t(c) == a) c = '_';
}

}  // namespace ksv
