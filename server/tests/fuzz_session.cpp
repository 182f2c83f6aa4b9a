// Fuzz target: arbitrary packets from one logged-in session of an in-process server over
// loopback. Whatever arrives, the server must not crash, and nothing may appear beside the data
// tree (the data tree is the only entry of its parent directory).
#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "protocol/clock.h"
#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "protocol/transport.h"
#include "server/core/server.h"

namespace {

using namespace ksv;
using namespace ksv::server;

class Harness {
 public:
  Harness() : clock_(2026, 3, 10, 10, 0, 0) {
    char tmpl[] = "/tmp/ksvfuzz.XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    root_ = std::string(tmpl) + "/";
    data_ = root_ + "data/";
    make_directory(data_);
    ServerOptions o;
    o.base_dir = data_;
    o.port = 0;
    o.listen_address = "127.0.0.1";
    o.accept_thread = false;
    o.pauses = false;
    o.console_log = false;
    server_ = std::make_unique<Server>(clock_, o);
    if (server_->start() != 0) std::abort();
    server_->users().create("fuzz", "heslo", "", -1);
    users_ = read_whole_file(data_ + "uzivatel.dat").value_or("");
  }
  ~Harness() {
    close_client();
    server_.reset();
    std::string cmd = "rm -rf '" + root_ + "'";
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", root_.c_str());
  }

  void run(const uint8_t* data, size_t size) {
    if (!ensure_session()) return;
    for (size_t off = 0; off < size && off < 64 * kPacketSize; off += kPacketSize) {
      Packet p;
      std::memcpy(p.bytes, data + off, std::min(size - off, size_t(kPacketSize)));
      if (fd_ < 0 || !net::send_all(fd_, p.bytes, kPacketSize, 100)) break;
      server_->pass();
      drain();
    }
    server_->pass();
    drain();
    check_nothing_outside();
  }

 private:
  bool ensure_session() {
    if (fd_ >= 0 && server_->session_count() == 1 && server_->session(0).logged_in()) return true;
    close_client();
    server_->pass();  // notices the closed socket
    // The input may have changed the user file (passwords, rights); start from the known one.
    write_file_atomic(data_ + "uzivatel.dat", users_.data(), users_.size());
    clock_.advance(601);  // any block from the last input has run out
    server_->pass();
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(server_->port());
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) std::abort();
    net::set_nonblocking(fd_);
    server_->pass();
    Packet p;
    p.NASTAVPRIKAZ(11, 0, true);
    p.ULOZRETEZEC(4, true, "fuzz");
    p.ULOZRETEZEC(300, true, "heslo");
    p.SIFRUJHESLO();
    std::memcpy(p.bytes + 768, server_->signature(), 256);
    net::send_all(fd_, p.bytes, kPacketSize);
    server_->pass();
    drain();
    return server_->session_count() == 1 && server_->session(0).logged_in();
  }

  void drain() {
    if (fd_ < 0) return;
    uint8_t buf[4096];
    for (;;) {
      ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
      if (n > 0) continue;
      if (n == 0) close_client();
      break;
    }
  }

  void close_client() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  void check_nothing_outside() {
    DIR* d = ::opendir(root_.c_str());
    if (!d) std::abort();
    while (dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != ".." && n != "data") {
        std::fprintf(stderr, "file created outside the data tree: %s\n", n.c_str());
        std::abort();
      }
    }
    ::closedir(d);
  }

  FakeClock clock_;
  std::string root_, data_, users_;
  std::unique_ptr<Server> server_;
  int fd_ = -1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Harness harness;  // one server for the whole run, removed at exit
  harness.run(data, size);
  return 0;
}
