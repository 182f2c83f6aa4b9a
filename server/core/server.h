// The server object: start-up, the main-loop pass, the eight sessions with their serve step, the
// blocked computers, the maintenance pass and the stop. A test drives it pass by pass with a
// fake clock; the program calls run().
//
// Sections of server.cpp: start-up · accept · main loop · serve step · stop.
// The dispatcher front (admission) is in dispatcher.cpp, maintenance in maintenance.cpp.
#pragma once
#include <atomic>
#include <csignal>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "protocol/clock.h"
#include "protocol/packet.h"
#include "protocol/transport.h"
#include "server/core/session.h"
#include "server/store/data_store.h"
#include "server/store/data_tree.h"
#include "server/store/users.h"
#include "server/util/console.h"
#include "server/util/log.h"

namespace ksv::server {

constexpr int kExitSocket = 2;
constexpr int kSignatureSize = 256;
constexpr int kIdlePauseMs = 100;
constexpr int kTransferPauseMs = 1;

struct ServerOptions {
  std::string base_dir = "./";  // the data tree; normally the executable's directory
  uint16_t port = default_port();  // 0 = any free port (tests read port())
  std::string listen_address = "0.0.0.0";
  bool accept_thread = true;    // false: a pass accepts waiting connections itself (tests)
  bool pauses = true;           // false: a pass never waits (tests drive passes themselves)
  bool wait_before_listen = false;  // the "/w" argument: 10 s before the socket opens
  bool console_log = true;
  bool console_keys = false;    // Escape on a terminal stops the server
  // Set by a signal handler of the program: stop at the end of the pass.
  const volatile std::sig_atomic_t* external_stop = nullptr;
};

class ServerUnits;

// The four nightly cleanings, each done once per night.
struct DailyFlags {
  bool cameras = false, attendance = false, log = false, temp = false;
};

class Server {
 public:
  Server(Clock& clock, ServerOptions options);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Start-up in order; 0, or the exit code the program must end with.
  int start();
  // One pass of the main loop.
  void pass();
  // start(), passes until the stop, then the orderly stop; the program's exit code.
  int run();
  // Disconnects every slot, ends the accept thread, closes the listening socket.
  void shutdown();

  bool stop_requested() const { return stop_; }
  uint16_t port() const { return bound_port_; }

  // ---- what handlers and units work with ------------------------------------------------------
  Packet& buffer() { return buf_; }
  TKlient& session(int slot) { return sessions_[slot]; }
  int session_count() const { return session_count_.load(); }
  Clock& clock() { return clock_; }
  Log& log() { return log_; }
  DataTree& tree() { return tree_; }
  UserStore& users() { return users_; }
  DataStore& store() { return store_; }
  BlockedTable& blocked() { return blocked_; }
  const uint8_t* signature() const { return signature_; }
  int signature_count() const { return signature_count_; }
  DailyFlags& daily_flags() { return daily_; }

  // Frees a slot: closes its socket and transfer file and zeroes the record.
  void disconnect(int slot);
  // Blocks the slot's address and ends the session, logging `prefix` + the decimal address.
  void block_and_close(int slot, const std::string& prefix);
  // Command 2 from the administrator: the next maintenance pass stops the server.
  void request_restart() { restart_request_ = true; }
  // One serve step for a slot (the message delivery runs it too).
  void serve(int slot);
  // Executes the packet in the buffer for the slot: admission, handler, end of execution.
  // The result is the code left to send, 0 for none.
  uint8_t execute(int slot);
  // The maintenance pass (also called by tests at chosen moments of the fake clock).
  void maintenance_pass();

  // The units beside the core (messages, mail, cameras, alarm) attach themselves here; the loop
  // calls them in a fixed order and the dispatcher hands them to the handlers. Without them the
  // core runs alone and their commands are refused.
  void attach_units(ServerUnits* units) { units_ = units; }
  ServerUnits* units() { return units_; }

 private:
  int open_listening_socket();
  void load_signature();
  void start_accepting();
  bool accept_one(bool wait);
  void wait_for_activity(int timeout_ms);
  // Queues the packet in the buffer for the slot, behind what its socket has not taken yet.
  void queue_packet(int slot);
  // Queues the packet in the buffer for the slot and sends what the socket takes now.
  bool send_packet(int slot);
  // Sends what the socket takes of the slot's unsent bytes; false when the connection is broken
  // or has taken nothing for kUnsentReplySeconds (the slot is then freed).
  bool flush(int slot);
  // Takes one whole packet waiting from the slot (or none) and answers it; true when it was a
  // download acknowledgement, so that the next one may be taken in the same pass.
  bool take_packet(int slot);
  // Takes the acknowledgements of a download waiting after the one just taken, in one read,
  // and queues the block answering each; the blocks leave in one write.
  void take_ack_run(int slot);
  // Sends download blocks ahead until kDownloadWindow of them are unacknowledged.
  void fill_download_window(int slot);
  bool escape_pressed();
  void nightly_cleaning(const DateTime& now);

  Clock& clock_;
  ServerOptions opt_;
  Log log_;
  DataTree tree_;
  UserStore users_;
  DataStore store_;
  BlockedTable blocked_;
  TKlient sessions_[kMaxSessions];
  std::atomic<int> session_count_{0};
  Packet buf_;
  std::vector<uint8_t> ack_run_;  // one run of acknowledgements, allocated at the first download

  int listen_fd_ = -1;
  uint16_t bound_port_ = 0;
  int wake_pipe_[2] = {-1, -1};  // the accept thread wakes the main loop's wait through it
  std::thread accept_thread_;
  std::atomic<bool> accepting_{false};
  std::atomic<bool> closing_{false};

  bool stop_ = false;
  bool restart_request_ = false;
  DailyFlags daily_;
  uint8_t signature_[kSignatureSize] = {};
  int signature_count_ = 0;
  ConsoleKeys console_;
  bool started_ = false;
  ServerUnits* units_ = nullptr;
};

}  // namespace ksv::server
