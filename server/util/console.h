// Console keys for the server: when standard input is a terminal it is switched to raw,
// non-blocking reading so Escape can be noticed between passes; the terminal is restored when
// the object goes away. On anything other than a terminal the keys are ignored.
#pragma once
#include <termios.h>

namespace ksv::server {

class ConsoleKeys {
 public:
  ConsoleKeys() = default;
  ~ConsoleKeys() { close(); }
  ConsoleKeys(const ConsoleKeys&) = delete;
  ConsoleKeys& operator=(const ConsoleKeys&) = delete;

  bool open();   // false when stdin is not a terminal
  void close();  // restores the terminal
  bool active() const { return raw_; }
  // Reads every waiting key; true when one of them was Escape (27). Other keys are dropped.
  bool escape_pressed();

 private:
  bool raw_ = false;
  termios saved_{};
};

}  // namespace ksv::server
