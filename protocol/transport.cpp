// Socket helpers and the client's connection: every send puts the whole 1024-byte packet on the
// wire (a short write on the non-blocking socket is completed with poll), and a packet is only
// taken when all of its bytes have arrived.
#include "protocol/transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace ksv {

uint16_t default_port() {
  const char* env = std::getenv("KSV_PORT");
  if (!env || !*env) return kDefaultPort;
  char* end = nullptr;
  long v = std::strtol(env, &end, 10);
  if (*end != '\0' || v <= 0 || v > 65535) return kDefaultPort;
  return uint16_t(v);
}

namespace net {

bool send_all(int fd, const void* data, size_t n, int timeout_ms) {
  const auto* p = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < n) {
    ssize_t r = ::send(fd, p + done, n - done, MSG_NOSIGNAL);
    if (r > 0) {
      done += size_t(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd pfd{fd, POLLOUT, 0};
      int pr = ::poll(&pfd, 1, timeout_ms);
      if (pr < 0 && errno == EINTR) continue;
      if (pr <= 0 || (pfd.revents & (POLLERR | POLLHUP | POLLNVAL))) return false;
      continue;
    }
    return false;
  }
  return true;
}

Waiting peek_packet(int fd, Packet& buf) {
  ssize_t r;
  do {
    r = ::recv(fd, buf.bytes, kPacketSize, MSG_PEEK | MSG_DONTWAIT);
  } while (r < 0 && errno == EINTR);
  if (r == 0) {
    buf.bytes[0] = 0;
    return Waiting::kClosed;
  }
  if (r < 0) {
    buf.bytes[0] = 0;
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? Waiting::kNothing : Waiting::kClosed;
  }
  if (r < kPacketSize) {
    buf.bytes[0] = 0;
    return Waiting::kPartial;
  }
  return Waiting::kWhole;
}

bool peer_closed(int fd) {
  pollfd pfd{fd, POLLRDHUP, 0};
  int r;
  do {
    r = ::poll(&pfd, 1, 0);
  } while (r < 0 && errno == EINTR);
  return r > 0 && (pfd.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

bool recv_packet(int fd, Packet& buf) {
  size_t got = 0;
  while (got < size_t(kPacketSize)) {
    ssize_t r = ::recv(fd, buf.bytes + got, kPacketSize - got, MSG_DONTWAIT);
    if (r > 0) {
      got += size_t(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    // The peek promised a whole packet; anything else is a broken connection.
    buf.bytes[0] = 0;
    return false;
  }
  return true;
}

int take_packet_run(int fd, uint8_t code, int max, uint8_t* out) {
  const size_t room = size_t(max) * kPacketSize;
  ssize_t r;
  do {
    r = ::recv(fd, out, room, MSG_PEEK | MSG_DONTWAIT);
  } while (r < 0 && errno == EINTR);
  if (r < 0) return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
  int n = 0;
  while (n < max && size_t(n + 1) * kPacketSize <= size_t(r)) {
    const uint8_t* p = out + size_t(n) * kPacketSize;
    if (p[0] != code) break;
    ++n;
    if (p[3] == 0) break;  // flag True: the transfer's last block
  }
  // The peek showed these bytes whole; reading them cannot come up short on a sound stream.
  size_t want = size_t(n) * kPacketSize, got = 0;
  while (got < want) {
    r = ::recv(fd, out + got, want - got, MSG_DONTWAIT);
    if (r > 0) {
      got += size_t(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    return -1;
  }
  return n;
}

bool set_nonblocking(int fd) {
  int fl = ::fcntl(fd, F_GETFL, 0);
  return fl >= 0 && ::fcntl(fd, F_SETFL, fl | O_NONBLOCK) == 0;
}

std::string dotted(uint32_t addr_net) {
  char out[INET_ADDRSTRLEN] = {};
  in_addr a{};
  a.s_addr = addr_net;
  ::inet_ntop(AF_INET, &a, out, sizeof out);
  return out;
}

}  // namespace net

int64_t seconds_between(const TPosledni& a, const DateTime& b) {
  return CASOVYROZDIL(a.H, a.M, a.S, a.DEN, a.MES, a.ROK, uint16_t(b.hour), uint16_t(b.minute),
                      uint16_t(b.second), uint16_t(b.day), uint16_t(b.month), uint16_t(b.year));
}

ClientConnection::ClientConnection(Clock& clock) : clock_(clock) { BUFFERPACKET.clear(); }

ClientConnection::~ClientConnection() { THREADODPOJSE(); }

void ClientConnection::stamp_activity() {
  DateTime n = clock_.now();
  INFOKLIENT.POSLEDNI = {uint16_t(n.day),  uint16_t(n.month),  uint16_t(n.year),
                         uint16_t(n.hour), uint16_t(n.minute), uint16_t(n.second)};
}

void ClientConnection::stamp_probe() {
  DateTime n = clock_.now();
  INFOKLIENT.POTVRZ = {true,
                       uint16_t(n.day),
                       uint16_t(n.month),
                       uint16_t(n.year),
                       uint16_t(n.hour),
                       uint16_t(n.minute),
                       uint16_t(n.second)};
}

int32_t ClientConnection::ODESLIPAKET(int32_t length) {
  if (!INFOKLIENT.SPOJENO) return 0;
  if (length < 0 || length > kPacketSize) return 0;
  return send_packets(BUFFERPACKET.bytes, size_t(length)) ? length : 0;
}

void ClientConnection::lost() {
  THREADODPOJSE();
  DOSLOKODPOJENI = true;
}

void ClientConnection::take_transfer_file(std::FILE* f) {
  if (INFOKLIENT.DATSOUB) std::fclose(INFOKLIENT.DATSOUB);
  if (file_buf_.empty()) file_buf_.resize(kTransferFileBuffer);
  std::setvbuf(f, file_buf_.data(), _IOFBF, file_buf_.size());
  INFOKLIENT.DATSOUB = f;
}

int ClientConnection::take_run(uint8_t code, int max, uint8_t* out) {
  if (!INFOKLIENT.SPOJENO) return 0;
  int n = net::take_packet_run(ZASUVKA, code, max, out);
  if (n < 0) {
    lost();
    return 0;
  }
  return n;
}

bool ClientConnection::send_packets(const void* data, size_t n) {
  if (!INFOKLIENT.SPOJENO) return false;
  if (!net::send_all(ZASUVKA, data, n)) {
    // The peer is gone or stuck: the connection is of no further use.
    lost();
    return false;
  }
  return true;
}

bool ClientConnection::PRISELCELYPACKET() {
  if (!INFOKLIENT.SPOJENO) return false;
  net::Waiting w = net::peek_packet(ZASUVKA, BUFFERPACKET);
  if (w == net::Waiting::kClosed) {
    // The server closed the connection (after 195/197, or it stopped): nothing more can come.
    lost();
    BUFFERPACKET.bytes[0] = 0;
    return false;
  }
  return w == net::Waiting::kWhole;
}

int32_t ClientConnection::PRIJMIPAKET() {
  if (!INFOKLIENT.SPOJENO) return 0;
  if (!net::recv_packet(ZASUVKA, BUFFERPACKET)) {
    lost();
    return 0;
  }
  return kPacketSize;
}

int32_t ClientConnection::THREADPRIPOJSENASERVER(void*) {
  if (INFOKLIENT.SPOJENO) return 0;
  ZASUVKA = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (ZASUVKA < 0) {
    POSLCHYBA = kNoSocket;
    return 0;
  }
  ADRESASER = sockaddr_in{};
  ADRESASER.sin_family = AF_INET;
  ADRESASER.sin_port = htons(port);
  const std::string& addr = LOKALNISERV ? ADRESASERV : EXTADRESASERV;
  bool ok = ::inet_pton(AF_INET, addr.c_str(), &ADRESASER.sin_addr) == 1;
  // Connect without blocking the program for minutes on an unreachable address: the socket is
  // non-blocking from here on, and the connect is waited for with a bound.
  if (ok) ok = net::set_nonblocking(ZASUVKA);
  if (ok) {
    int r = ::connect(ZASUVKA, reinterpret_cast<sockaddr*>(&ADRESASER), sizeof ADRESASER);
    if (r < 0 && errno == EINPROGRESS) {
      pollfd pfd{ZASUVKA, POLLOUT, 0};
      int pr;
      do {
        pr = ::poll(&pfd, 1, connect_timeout_ms);
      } while (pr < 0 && errno == EINTR);
      int err = 0;
      socklen_t len = sizeof err;
      ok = pr > 0 && ::getsockopt(ZASUVKA, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
    } else {
      ok = r == 0;
    }
  }
  if (!ok) {
    ::close(ZASUVKA);
    ZASUVKA = -1;
    POSLCHYBA = kConnectFailed;
    return 0;
  }
  // Requests are single packets and often follow one at once (the last acknowledgement of a
  // download, then the next request): without this the second waits for the server's delayed
  // acknowledgement, some 40 ms on every such exchange.
  int one = 1;
  ::setsockopt(ZASUVKA, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  stamp_activity();
  INFOKLIENT.SPOJENO = true;
  return 0;
}

int32_t ClientConnection::THREADODPOJSE(void*) {
  if (!INFOKLIENT.SPOJENO) return 0;
  ::close(ZASUVKA);
  ZASUVKA = -1;
  if (INFOKLIENT.DATSOUB) std::fclose(INFOKLIENT.DATSOUB);
  INFOKLIENT = TInfoKlient{};
  return 0;
}

}  // namespace ksv

namespace ksv {

bool is_safe_file_name(const std::string& name) {
  if (name.empty() || name == "." || name.find("..") != std::string::npos) return false;
  for (unsigned char c : name)
    if (c < 32 || c == 127 || c == '/' || c == '\\') return false;
  return true;
}

}  // namespace ksv
