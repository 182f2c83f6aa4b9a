// The line protocol and the link thread.
#include "server/devices/terminal_link.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace ksv::server {

// ---- serial port -------------------------------------------------------------------------------

SerialPortLines::~SerialPortLines() {
  if (fd_ >= 0) ::close(fd_);
}

bool SerialPortLines::open(const std::string& device) {
  fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return false;
  int status = 0;
  if (::ioctl(fd_, TIOCMGET, &status) != 0) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return set_lines(false, false);
}

bool SerialPortLines::set_lines(bool dtr, bool rts) {
  int status = 0;
  if (::ioctl(fd_, TIOCMGET, &status) != 0) return false;
  status = dtr ? status | TIOCM_DTR : status & ~TIOCM_DTR;
  status = rts ? status | TIOCM_RTS : status & ~TIOCM_RTS;
  return ::ioctl(fd_, TIOCMSET, &status) == 0;
}

bool SerialPortLines::get_lines(bool& cts, bool& dsr) {
  int status = 0;
  if (::ioctl(fd_, TIOCMGET, &status) != 0) return false;
  cts = status & TIOCM_CTS;
  dsr = status & TIOCM_DSR;
  return true;
}

void SerialPortLines::pause_ms(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---- words -------------------------------------------------------------------------------------

bool TerminalLink::send_word(uint16_t word) {
  bool cts = false, dsr = false;
  lines_.set_lines(true, true);
  lines_.pause_ms(kReadyWaitMs);
  if (!lines_.get_lines(cts, dsr) || !cts || !dsr) {
    lines_.set_lines(false, false);
    return false;
  }
  lines_.set_lines(true, false);
  lines_.pause_ms(kStartBitWaitMs);
  for (int i = 0; i < 16; ++i) {
    const bool bit = (word >> i) & 1;
    const bool clock = i % 2;
    lines_.set_lines(bit, clock);
    bool acked = false;
    for (int step = 0; step < kSendSteps && !acked; ++step) {
      lines_.pause_ms(kSendStepMs);
      acked = lines_.get_lines(cts, dsr) && cts == clock;
    }
    if (!acked) {
      lines_.set_lines(false, false);
      return false;
    }
  }
  lines_.set_lines(false, true);
  return true;
}

std::optional<uint16_t> TerminalLink::receive_word() {
  bool cts = false, dsr = false;
  if (!lines_.get_lines(cts, dsr) || !cts || !dsr) return std::nullopt;
  lines_.set_lines(true, true);
  bool fell = false;
  for (int step = 0; step < kReceiveAckSteps && !fell; ++step) {
    lines_.pause_ms(kReceiveAckStepMs);
    fell = lines_.get_lines(cts, dsr) && !cts;
  }
  lines_.set_lines(false, true);
  if (!fell) {
    lines_.set_lines(false, false);
    return std::nullopt;
  }
  uint16_t word = 0;
  for (int j = 0; j < 16; ++j) {
    const bool level = j % 2;
    bool clocked = false;
    for (int step = 0; step < kReceiveSteps && !clocked; ++step) {
      clocked = lines_.get_lines(cts, dsr) && cts != level;
      if (!clocked) lines_.pause_ms(kReceiveStepMs);
    }
    if (!clocked) {
      lines_.set_lines(false, false);
      return std::nullopt;
    }
    if (dsr) word = uint16_t(word | 1u << j);
    lines_.set_lines(false, !level);
  }
  return word;
}

// ---- the link ----------------------------------------------------------------------------------

// The board's word is taken first: right after a word of ours the board may still hold CTS and
// DSR up from its last acknowledgement, which would read as a request to send.
void TerminalLink::step() {
  if (std::optional<uint16_t> w = receive_word()) alarm_.receive_word(*w);
  uint16_t mask_word = 0;
  if (alarm_.take_mask_word(mask_word)) {
    send_word(mask_word);
    lines_.pause_ms(10);
  }
  for (uint16_t w : alarm_.take_reply_words()) send_word(w);
}

void TerminalLink::start() {
  if (thread_.joinable()) return;
  stop_ = false;
  thread_ = std::thread([this] {
    while (!stop_) {
      step();
      lines_.pause_ms(kLinkCycleMs);
    }
  });
}

void TerminalLink::stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

}  // namespace ksv::server
