// Raw, non-blocking console keys.
#include "server/util/console.h"

#include <poll.h>
#include <unistd.h>

namespace ksv::server {

bool ConsoleKeys::open() {
  if (raw_ || !::isatty(STDIN_FILENO)) return false;
  if (::tcgetattr(STDIN_FILENO, &saved_) != 0) return false;
  termios raw = saved_;
  // Keys arrive one by one without echo; Ctrl+C still raises its signal.
  raw.c_lflag &= tcflag_t(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  if (::tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) return false;
  raw_ = true;
  return true;
}

void ConsoleKeys::close() {
  if (!raw_) return;
  ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  raw_ = false;
}

bool ConsoleKeys::escape_pressed() {
  if (!raw_) return false;
  bool escape = false;
  for (;;) {
    pollfd pfd{STDIN_FILENO, POLLIN, 0};
    if (::poll(&pfd, 1, 0) <= 0 || !(pfd.revents & POLLIN)) break;
    unsigned char c;
    if (::read(STDIN_FILENO, &c, 1) != 1) break;
    // An arrow or function key also starts with 27 but brings more bytes at once; only a lone
    // Escape stops the server.
    if (c == 27) {
      pollfd more{STDIN_FILENO, POLLIN, 0};
      if (::poll(&more, 1, 0) <= 0) escape = true;
      else {
        unsigned char rest[16];
        [[maybe_unused]] ssize_t n = ::read(STDIN_FILENO, rest, sizeof rest);
      }
    }
  }
  return escape;
}

}  // namespace ksv::server
