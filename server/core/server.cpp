// The server object. Sections: blocked computers · start-up · accept · main loop · serve step ·
// stop.
#include "server/core/server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "protocol/commands.h"
#include "protocol/file_util.h"
#include "server/core/device_handlers.h"
#include "server/core/handlers.h"
#include "server/core/store_handlers.h"

namespace ksv::server {

// ---- blocked computers -------------------------------------------------------------------------

void BlockedTable::block(uint32_t address, const DateTime& now) {
  std::lock_guard<std::mutex> lock(mu_);
  for (Entry& e : entries_)
    if (!e.in_use) {
      e.in_use = true;
      e.when = to_posledni(now);
      e.address = address;
      return;
    }
}

bool BlockedTable::is_blocked(uint32_t address) const {
  std::lock_guard<std::mutex> lock(mu_);
  for (const Entry& e : entries_)
    if (e.in_use && e.address == address) return true;
  return false;
}

void BlockedTable::unblock_expired(const DateTime& now) {
  std::lock_guard<std::mutex> lock(mu_);
  for (Entry& e : entries_)
    if (e.in_use && seconds_between(e.when, now) > kBlockSeconds) e = Entry{};
}

int BlockedTable::count() const {
  std::lock_guard<std::mutex> lock(mu_);
  int n = 0;
  for (const Entry& e : entries_) n += e.in_use;
  return n;
}

// ---- start-up ----------------------------------------------------------------------------------

Server::Server(Clock& clock, ServerOptions options)
    : clock_(clock),
      opt_(std::move(options)),
      log_(clock, DataTree(opt_.base_dir).path("log/"), opt_.console_log),
      tree_(opt_.base_dir),
      users_(tree_.path(kUserFile)) {
  for (TKlient& s : sessions_) s.reset();
  buf_.clear();
}

Server::~Server() { shutdown(); }

int Server::start() {
  int rc = tree_.create();
  if (rc != 0) {
    log_.line("Nelze vytvorit datovy adresar (kod " + std::to_string(rc) + ")");
    return rc;
  }
  if (int n = tree_.remove_leftovers(); n > 0)
    log_.line("Odstraneny nedokoncene zapisy: " + std::to_string(n));
  // The camera system's start makes the camera and transfer directories and empties "temp".
  if (!tree_.prepare_transfer_dirs()) log_.line("Nelze pripravit adresar temp");
  if (units_) units_->start_cameras();

  rc = open_listening_socket();
  if (rc != 0) return rc;
  if (units_) units_->start_link();

  load_signature();
  stop_ = false;
  restart_request_ = false;
  if (file_exists(tree_.path("restart"))) erase_file(tree_.path("restart"));
  log_.line("Server KSV spusten: " + format_moment(clock_.now()));
  daily_ = DailyFlags{};
  if (opt_.console_keys) console_.open();
  started_ = true;
  return 0;
}

int Server::open_listening_socket() {
  for (TKlient& s : sessions_) s.reset();
  if (opt_.wait_before_listen) std::this_thread::sleep_for(std::chrono::seconds(10));
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listen_fd_ < 0) {
    log_.line("Chyba prikazu SOCKET!");
    return kExitSocket;
  }
  // A restarted server must find its port free at once: a stop is how a restart is asked for.
  int one = 1;
  ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(opt_.port);
  if (::inet_pton(AF_INET, opt_.listen_address.c_str(), &a.sin_addr) != 1)
    a.sin_addr.s_addr = htonl(INADDR_ANY);
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    log_.line("Chyba prikazu BIND! (" + std::to_string(errno) + ")");
    ::close(listen_fd_);
    listen_fd_ = -1;
    return kExitSocket;
  }
  if (::listen(listen_fd_, kMaxSessions) != 0) {
    log_.line("Chyba prikazu LISTEN! (" + std::to_string(errno) + ")");
    ::close(listen_fd_);
    listen_fd_ = -1;
    return kExitSocket;
  }
  socklen_t len = sizeof a;
  ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &len);
  bound_port_ = ntohs(a.sin_port);
  net::set_nonblocking(listen_fd_);
  if (::pipe2(wake_pipe_, O_NONBLOCK | O_CLOEXEC) != 0) wake_pipe_[0] = wake_pipe_[1] = -1;
  session_count_ = 0;
  accepting_ = false;
  buf_.clear();
  return 0;
}

void Server::load_signature() {
  std::memset(signature_, 0, sizeof signature_);
  signature_count_ = 0;
  if (std::FILE* f = std::fopen(tree_.path("signature").c_str(), "rb")) {
    signature_count_ = int(std::fread(signature_, 1, kSignatureSize, f));
    std::fclose(f);
  }
  log_.line("Nahrano " + std::to_string(signature_count_) + " bytu signatury.");
}

// ---- accept ------------------------------------------------------------------------------------

// Takes one waiting connection into the lowest free slot. With `wait`, waits for one (the accept
// thread), ending early when the server closes.
bool Server::accept_one(bool wait) {
  if (session_count_ >= kMaxSessions) return false;
  int slot = -1;
  for (int i = 0; i < kMaxSessions; ++i)
    if (!sessions_[i].in_use.load(std::memory_order_acquire)) {
      slot = i;
      break;
    }
  if (slot < 0) return false;

  int fd = -1;
  sockaddr_in peer{};
  for (;;) {
    if (closing_) return false;
    socklen_t len = sizeof peer;
    fd = ::accept4(listen_fd_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
    if (fd >= 0) break;
    if (!wait) return false;
    pollfd pfd{listen_fd_, POLLIN, 0};
    ::poll(&pfd, 1, 200);
  }

  uint32_t address = peer.sin_addr.s_addr;
  if (blocked_.is_blocked(address)) {
    log_.line("Blokuji pocitac z adresy " + net::dotted(address));
    ::close(fd);
    return true;
  }
  net::set_nonblocking(fd);
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, 1 /* TCP_NODELAY */, &one, sizeof one);
  TKlient& s = sessions_[slot];
  s.reset();
  s.socket = fd;
  s.address = address;
  s.user_id = -1;
  s.last_activity = to_posledni(clock_.now());
  log_.line("Pripojen novy klient cislo " + std::to_string(slot) + " z adresy " +
            net::dotted(address));
  s.in_use.store(true, std::memory_order_release);
  session_count_.fetch_add(1);
  if (wake_pipe_[1] >= 0) {
    char c = 1;
    [[maybe_unused]] ssize_t n = ::write(wake_pipe_[1], &c, 1);
  }
  return true;
}

void Server::start_accepting() {
  if (opt_.accept_thread) {
    if (accepting_ || session_count_ >= kMaxSessions) return;
    if (accept_thread_.joinable()) accept_thread_.join();
    accepting_ = true;
    accept_thread_ = std::thread([this] {
      accept_one(true);
      accepting_ = false;
    });
    return;
  }
  while (session_count_ < kMaxSessions && accept_one(false)) {
  }
}

// ---- main loop ---------------------------------------------------------------------------------

void Server::pass() {
  start_accepting();

  bool transfer = false;
  if (session_count_ > 0)
    for (int slot = 0; slot < kMaxSessions; ++slot) {
      if (!sessions_[slot].in_use.load(std::memory_order_acquire)) continue;
      serve(slot);
      if (sessions_[slot].in_use && sessions_[slot].transfer_active()) transfer = true;
    }

  if (opt_.pauses) wait_for_activity(transfer ? kTransferPauseMs : kIdlePauseMs);

  if (units_) units_->poll();
  maintenance_pass();
  blocked_.unblock_expired(clock_.now());

  if (opt_.external_stop && *opt_.external_stop) stop_ = true;
  if (console_.active() && console_.escape_pressed()) stop_ = true;
}

// Waits at most timeout_ms, but returns as soon as a packet (or a new client, or a key) arrives,
// so a request is served at the next pass without waiting out the idle pause.
void Server::wait_for_activity(int timeout_ms) {
  std::vector<pollfd> fds;
  for (const TKlient& s : sessions_)
    if (s.in_use.load(std::memory_order_acquire))
      fds.push_back({s.socket, short(POLLIN | (s.outbox.empty() ? 0 : POLLOUT)), 0});
  if (wake_pipe_[0] >= 0) fds.push_back({wake_pipe_[0], POLLIN, 0});
  if (console_.active()) fds.push_back({STDIN_FILENO, POLLIN, 0});
  int r;
  do {
    r = ::poll(fds.data(), fds.size(), timeout_ms);
  } while (r < 0 && errno == EINTR && !(opt_.external_stop && *opt_.external_stop));
  if (wake_pipe_[0] >= 0) {
    char drain[64];
    while (::read(wake_pipe_[0], drain, sizeof drain) > 0) {
    }
  }
}

int Server::run() {
  int rc = start();
  if (rc != 0) {
    shutdown();
    return rc;
  }
  while (!stop_) pass();
  if (opt_.pauses) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  log_.line("Server KSV ukoncen " + format_moment(clock_.now()));
  shutdown();
  return 0;
}

// ---- serve step --------------------------------------------------------------------------------

void Server::serve(int slot) {
  TKlient& s = sessions_[slot];
  if (!s.in_use.load(std::memory_order_acquire)) return;
  s.last_request = 0;
  s.last_reply = 0;
  // No send waits for a client: what its socket does not take now stays in its outbox and goes
  // out on later passes, while the other sessions are served.
  if (!flush(slot)) {
    buf_.clear();
    return;
  }
  if (s.close_when_sent && s.outbox.empty()) {
    disconnect(slot);
    buf_.clear();
    return;
  }
  if (buf_.code() != 0) {
    // Something composed for this client (a message) goes out first.
    if (!send_packet(slot)) {
      buf_.clear();
      return;
    }
    buf_.NASTAVPRIKAZ(0, 0, true);
  }
  // A client that does not take its replies gets no new ones: its requests wait in its socket.
  if (!s.outbox.empty() || s.close_when_sent) {
    s.nothing_to_send = false;
    buf_.clear();
    return;
  }
  // Acknowledgements of a download come in runs; the rest of a run is taken in the same pass,
  // so the transfer is not held to one block per pass.
  if (take_packet(slot) && s.in_use && s.outbox.empty()) take_ack_run(slot);
  if (s.in_use) fill_download_window(slot);
  buf_.NASTAVPRIKAZ(0, 0, true);
}

void Server::take_ack_run(int slot) {
  TKlient& s = sessions_[slot];
  if (ack_run_.empty()) ack_run_.resize(size_t(kDownloadWindow) * kPacketSize);
  const int n = net::take_packet_run(s.socket, req::kDownloadAck, kDownloadWindow, ack_run_.data());
  if (n < 0) {
    disconnect(slot);
    buf_.clear();
    return;
  }
  for (int i = 0; i < n && s.in_use; ++i) {
    std::memcpy(buf_.bytes, ack_run_.data() + size_t(i) * kPacketSize, kPacketSize);
    if (execute(slot) != 0 && s.in_use) queue_packet(slot);
  }
  buf_.clear();
  if (s.in_use && !s.outbox.empty()) flush(slot);
}

bool Server::take_packet(int slot) {
  TKlient& s = sessions_[slot];
  // The buffer is shared by all sessions: nothing of another client's packet may travel in a
  // reply composed for this one.
  buf_.clear();
  net::Waiting w = net::peek_packet(s.socket, buf_);
  // Part of a packet from a peer that has closed can never be completed: the slot is as free
  // as after a plain close, not held until the liveness timeout.
  if (w == net::Waiting::kPartial && net::peer_closed(s.socket)) w = net::Waiting::kClosed;
  if (w == net::Waiting::kClosed) {
    // The program is gone without logging off; its slot is free at once.
    log_.line("Klient cislo " + std::to_string(slot) + " zavrel spojeni");
    disconnect(slot);
    buf_.clear();
    return false;
  }
  if (w == net::Waiting::kWhole && !net::recv_packet(s.socket, buf_)) {
    disconnect(slot);
    buf_.clear();
    return false;
  }
  if (w != net::Waiting::kWhole) buf_.bytes[0] = 0;

  uint8_t answer = execute(slot);
  if (!s.in_use) return false;
  if (answer != 0) {
    s.nothing_to_send = false;
    if (!send_packet(slot)) {
      buf_.clear();
      return false;
    }
  } else {
    s.nothing_to_send = true;
  }
  if (buf_.code() == rep::kLoginRefused || buf_.code() == rep::kSessionEnded) {
    if (s.outbox.empty())
      disconnect(slot);
    else
      s.close_when_sent = true;
    return false;
  }
  return s.last_request == req::kDownloadAck;
}

void Server::fill_download_window(int slot) {
  TKlient& s = sessions_[slot];
  if (s.transfer != Transfer::kDownload || s.close_when_sent) return;
  bool queued = false;
  while (s.blocks_in_flight < kDownloadWindow) {
    buf_.clear();
    if (!next_download_block(s, buf_)) break;
    queue_packet(slot);
    queued = true;
  }
  buf_.clear();
  if (queued) flush(slot);
}

void Server::queue_packet(int slot) {
  TKlient& s = sessions_[slot];
  if (s.outbox.empty()) s.outbox_stuck_since = to_posledni(clock_.now());
  s.outbox.append(reinterpret_cast<const char*>(buf_.bytes), kPacketSize);
}

bool Server::send_packet(int slot) {
  queue_packet(slot);
  return flush(slot);
}

bool Server::flush(int slot) {
  TKlient& s = sessions_[slot];
  size_t sent = 0;
  while (sent < s.outbox.size()) {
    ssize_t r = ::send(s.socket, s.outbox.data() + sent, s.outbox.size() - sent,
                       MSG_NOSIGNAL | MSG_DONTWAIT);
    if (r > 0) {
      sent += size_t(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    disconnect(slot);
    return false;
  }
  if (sent > 0) {
    s.outbox.erase(0, sent);
    s.outbox_stuck_since = to_posledni(clock_.now());
  }
  if (!s.outbox.empty() &&
      seconds_between(s.outbox_stuck_since, clock_.now()) > kUnsentReplySeconds) {
    log_.line("Klient cislo " + std::to_string(slot) + " neprebira odpovedi - odpojen");
    disconnect(slot);
    return false;
  }
  return true;
}

// ---- stop --------------------------------------------------------------------------------------

void Server::disconnect(int slot) {
  if (slot < 0 || slot >= kMaxSessions) return;
  TKlient& s = sessions_[slot];
  if (!s.in_use.load(std::memory_order_acquire)) return;
  store_session_closing(*this, slot);
  // Whatever was sent is delivered before the close; the peer reads the reply, then the end.
  ::shutdown(s.socket, SHUT_WR);
  ::close(s.socket);
  if (s.transfer_file) std::fclose(s.transfer_file);
  // An upload cut off with the connection leaves the file it was to replace untouched.
  if (!s.transfer_temp.empty()) erase_file(s.transfer_temp);
  s.reset();
  s.in_use.store(false, std::memory_order_release);
  session_count_.fetch_sub(1);
}

void Server::block_and_close(int slot, const std::string& prefix) {
  TKlient& s = sessions_[slot];
  log_.line(prefix + std::to_string(s.address));
  buf_.bytes[0] = 0;
  blocked_.block(s.address, clock_.now());
  disconnect(slot);
}

void Server::shutdown() {
  closing_ = true;
  if (accept_thread_.joinable()) accept_thread_.join();
  for (int i = 0; i < kMaxSessions; ++i) disconnect(i);
  if (listen_fd_ >= 0) ::close(listen_fd_);
  listen_fd_ = -1;
  for (int& fd : wake_pipe_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  console_.close();
}

}  // namespace ksv::server
