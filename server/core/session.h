// One client session (TKlient) of the fixed table of eight, and the table of blocked computers.
// The accept thread fills a free slot and then publishes it through `in_use`; everything else in
// a slot is read and written by the main thread only.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/clock.h"
#include "protocol/transport.h"

namespace ksv::server {

constexpr int kMaxSessions = 8;
constexpr int kMaxBlocked = 16;
constexpr int kBlockSeconds = 600;
constexpr int kIdleProbeSeconds = 60;
constexpr int kProbeTimeoutSeconds = 30;
// A client that takes none of its replies for this long is closed.
constexpr int kUnsentReplySeconds = 10;
// Download blocks on their way before the first of them is acknowledged. Waiting for each
// acknowledgement would hold a list to one round trip per kilobyte; 64 KiB in flight keeps a
// LAN busy, and the client still acknowledges every block.
constexpr int kDownloadWindow = 64;

enum class Transfer { kNone, kUpload, kDownload };

struct TKlient {
  std::atomic<bool> in_use{false};  // published last by the accept thread
  int32_t user_id = -1;
  int socket = -1;
  uint32_t address = 0;  // as received: network byte order, first octet in the lowest byte
  std::string transfer_name;  // full path of the file being transferred; empty = none
  // An upload is written here, beside transfer_name, and renamed over it after the last block.
  std::string transfer_temp;
  std::FILE* transfer_file = nullptr;
  std::vector<char> transfer_buf;  // transfer_file's stdio buffer; kept for the slot's next use
  Transfer transfer = Transfer::kNone;
  std::string message_in_delivery;
  int64_t block_counter = -1;
  int blocks_in_flight = 0;  // download blocks sent and not yet acknowledged
  int64_t size = 0;
  int64_t transferred = 0;
  TPosledni last_activity;
  uint8_t failed_logins = 0;
  TPotvrz probe;
  int64_t rights = 0;
  int64_t delegated_rights = 0;
  TDatum delegation_until{};
  int32_t last_request = 0;
  int32_t last_reply = 0;
  std::string open_order;    // String[16]
  std::string open_program;  // String[16]
  bool program_in_use_elsewhere = false;
  bool nothing_to_send = false;
  // Reply bytes the socket has not taken yet, sent as it accepts them; since when nothing of
  // them has gone out; and whether the session ends once they are out (after 195 or 197).
  std::string outbox;
  TPosledni outbox_stuck_since;
  bool close_when_sent = false;

  bool logged_in() const { return user_id != -1; }
  bool transfer_active() const { return !transfer_name.empty(); }

  // Zeroes the record, as a disconnect does; the socket and file must be closed already.
  void reset() {
    user_id = -1;
    socket = -1;
    address = 0;
    transfer_name.clear();
    transfer_temp.clear();
    transfer_file = nullptr;
    transfer = Transfer::kNone;
    message_in_delivery.clear();
    block_counter = -1;
    blocks_in_flight = 0;
    size = transferred = 0;
    last_activity = TPosledni{};
    failed_logins = 0;
    probe = TPotvrz{};
    rights = delegated_rights = 0;
    delegation_until = TDatum{};
    last_request = last_reply = 0;
    open_order.clear();
    open_program.clear();
    program_in_use_elsewhere = false;
    nothing_to_send = false;
    outbox.clear();
    outbox_stuck_since = TPosledni{};
    close_when_sent = false;
  }
};

// Addresses blocked for ten minutes. The accept thread reads the table while the main thread
// blocks and unblocks, so the table has its own lock.
class BlockedTable {
 public:
  // A full table silently records nothing more.
  void block(uint32_t address, const DateTime& now);
  bool is_blocked(uint32_t address) const;
  // Frees every entry blocked more than 600 seconds ago.
  void unblock_expired(const DateTime& now);
  int count() const;

 private:
  struct Entry {
    bool in_use = false;
    TPosledni when;
    uint32_t address = 0;
  };
  mutable std::mutex mu_;
  Entry entries_[kMaxBlocked];
};

inline TPosledni to_posledni(const DateTime& n) {
  return {uint16_t(n.day),  uint16_t(n.month),  uint16_t(n.year),
          uint16_t(n.hour), uint16_t(n.minute), uint16_t(n.second)};
}

}  // namespace ksv::server
