// Packet transport over TCP: socket helpers shared by server and clients (send-all, peek for a
// whole packet, receive one packet), and the client's connection object with its state
// INFOKLIENT, its one packet buffer BUFFERPACKET and the connect / disconnect routines.
#pragma once
#include <netinet/in.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "protocol/clock.h"
#include "protocol/packet.h"

namespace ksv {

constexpr uint16_t kDefaultPort = 12345;

// The TCP port of server and clients: KSV_PORT when set to a valid port, else 12345.
uint16_t default_port();

namespace net {

// How long a send may wait for room in the socket before the connection is taken as dead.
constexpr int kSendTimeoutMs = 5000;

// Puts all n bytes on the wire, waiting with poll() when the non-blocking socket is full.
// False when the peer is gone or the socket stays full for timeout_ms.
bool send_all(int fd, const void* data, size_t n, int timeout_ms = kSendTimeoutMs);

enum class Waiting {
  kNothing,  // no bytes waiting
  kPartial,  // 1..1023 bytes waiting: the packet is not complete yet
  kWhole,    // at least one whole packet is waiting
  kClosed,   // the peer closed the connection or the socket failed
};

// Peeks, without consuming, into buf. With a partial packet, byte 0 of buf is cleared so the
// peeked bytes can never be taken for a command.
Waiting peek_packet(int fd, Packet& buf);

// True when the peer has closed its side: whatever part of a packet is waiting can never be
// completed.
bool peer_closed(int fd);

// Takes exactly one packet; call only after peek_packet returned kWhole.
bool recv_packet(int fd, Packet& buf);

// Takes, in one read, the whole packets waiting at the front of the socket whose command is
// `code`: at most `max`, and none after one whose flag is True (the last block of a transfer).
// They are copied one after another to `out` (room for max packets); anything else stays
// waiting. Returns how many were taken, -1 when the connection is broken.
int take_packet_run(int fd, uint8_t code, int max, uint8_t* out);

bool set_nonblocking(int fd);

// The address as received (network byte order) in dotted form, and its first octet.
std::string dotted(uint32_t addr_net);
inline unsigned first_octet(uint32_t addr_net) { return addr_net & 0xFF; }

}  // namespace net

// A file name received over the wire that is safe to put under a directory: not empty, no "/",
// backslash, "..", NUL or control character, so it can never reach outside that directory.
bool is_safe_file_name(const std::string& name);

// Date and time of the last packet activity, six Words.
struct TPosledni {
  uint16_t DEN = 0, MES = 0, ROK = 0, H = 0, M = 0, S = 0;
};
// A liveness probe is outstanding (ANO) and when it was sent.
struct TPotvrz {
  bool ANO = false;
  uint16_t DEN = 0, MES = 0, ROK = 0, H = 0, M = 0, S = 0;
};

// The client's connection state; zeroed as a whole at start and at every disconnect.
struct TInfoKlient {
  std::string AKTSOUBOR;        // file being transferred; empty = no transfer
  std::FILE* DATSOUB = nullptr;  // the open file of the active transfer
  std::string JMENO;            // logged-in user's name
  int32_t MOJEID = 0;
  bool SPOJENO = false;
  bool PRIHLASEN = false;
  int32_t BLOKDAT = 0;
  int32_t VELIKOST = 0;
  int32_t PRENESENO = 0;
  TPosledni POSLEDNI;
  TPotvrz POTVRZ;
  int64_t MOJEPRAVA = 0;
  int32_t MUJPOZADAVEK = 0;
  int32_t POSLAKCE = 0;
};

int64_t seconds_between(const TPosledni& a, const DateTime& b);

// One desktop program's connection to the server. Single-threaded and polled: nothing here
// blocks on the network except the bounded connect and the completion of a short write.
class ClientConnection {
 public:
  explicit ClientConnection(Clock& clock);
  ~ClientConnection();
  ClientConnection(const ClientConnection&) = delete;
  ClientConnection& operator=(const ClientConnection&) = delete;

  // Error codes left in POSLCHYBA by a failed connect.
  static constexpr int32_t kNoSocket = 80;
  static constexpr int32_t kConnectFailed = 81;

  int32_t ODESLIPAKET(int32_t length);
  // Sends whole packets queued together (acknowledgements of a run of download blocks) in one
  // write; false when the connection is lost.
  bool send_packets(const void* data, size_t n);
  // Makes f the transfer's file (DATSOUB), closing the one before, with a buffer large enough
  // that a file goes to and from the disk in few large reads and writes.
  void take_transfer_file(std::FILE* f);
  // net::take_packet_run on the connection; a broken connection is ended and gives 0.
  int take_run(uint8_t code, int max, uint8_t* out);
  bool PRISELCELYPACKET();
  int32_t PRIJMIPAKET();
  int32_t THREADPRIPOJSENASERVER(void* unused = nullptr);
  int32_t THREADODPOJSE(void* unused = nullptr);

  // Stores the clock's present moment in POSLEDNI / POTVRZ.
  void stamp_activity();
  void stamp_probe();
  Clock& clock() { return clock_; }

  Packet BUFFERPACKET;
  TInfoKlient INFOKLIENT;
  int ZASUVKA = -1;
  std::vector<char> file_buf_;  // DATSOUB's buffer; outlives every close of it
  sockaddr_in ADRESASER{};
  std::string ADRESASERV = "127.0.0.1";     // the server inside the firm's network
  std::string EXTADRESASERV = "127.0.0.1";  // the server from outside
  bool LOKALNISERV = true;
  bool DOSLOKODPOJENI = false;
  int32_t POSLCHYBA = 0;
  uint16_t port = default_port();
  int connect_timeout_ms = 5000;

 private:
  // The socket failed or the server closed it: closed here, and noted for the program.
  void lost();

  Clock& clock_;
};

}  // namespace ksv
