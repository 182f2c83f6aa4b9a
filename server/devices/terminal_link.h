// The line to the attendance terminal and alarm board: 16-bit words clocked bit by bit over the
// modem-control lines of a serial port (the server drives DTR and RTS and reads CTS and DSR),
// and the link thread that sends the mask and replies and receives the board's words.
// The lines sit behind ModemLines so the protocol runs against a simulated board in tests.
#pragma once
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "server/devices/alarm.h"

namespace ksv::server {

class ModemLines {
 public:
  virtual ~ModemLines() = default;
  virtual bool set_lines(bool dtr, bool rts) = 0;
  virtual bool get_lines(bool& cts, bool& dsr) = 0;
  virtual void pause_ms(int ms) = 0;
};

// A real serial port, driven with TIOCMGET / TIOCMSET.
class SerialPortLines final : public ModemLines {
 public:
  ~SerialPortLines() override;
  // False (with errno kept) when the port cannot be opened or has no modem lines.
  bool open(const std::string& device);
  bool set_lines(bool dtr, bool rts) override;
  bool get_lines(bool& cts, bool& dsr) override;
  void pause_ms(int ms) override;

 private:
  int fd_ = -1;
};

// Step limits of the line protocol.
constexpr int kReadyWaitMs = 100;
constexpr int kStartBitWaitMs = 20;
constexpr int kSendStepMs = 10;
constexpr int kSendSteps = 11;
constexpr int kReceiveAckStepMs = 20;
constexpr int kReceiveAckSteps = 9;
constexpr int kReceiveStepMs = 5;
constexpr int kReceiveSteps = 100;
constexpr int kLinkCycleMs = 300;

class TerminalLink {
 public:
  TerminalLink(ModemLines& lines, Alarm& alarm) : lines_(lines), alarm_(alarm) {}
  ~TerminalLink() { stop(); }

  // One word, least significant bit first; false when the board did not answer in time (the
  // word is dropped).
  bool send_word(uint16_t word);
  // A word from the board when it asks to send; nullopt when it does not or stops answering.
  std::optional<uint16_t> receive_word();
  // One cycle of the link: a word from the board, then the changed mask and the pending reply.
  void step();

  // The link thread: a cycle every 300 ms until stop().
  void start();
  void stop();
  bool running() const { return thread_.joinable(); }

 private:
  ModemLines& lines_;
  Alarm& alarm_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace ksv::server
