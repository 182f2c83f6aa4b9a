// KSVDB: the workshop's desktop client. Everything lives in the client library; this file only
// connects the process's arguments and signals to it.
#include <poll.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "client/app.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;  // the only thing a signal handler may touch
void on_signal(int) { g_stop = 1; }

std::string executable_path(const char* argv0) {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return argv0;
  return std::string(buf, size_t(n));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf(
        "usage: KSVDB\n"
        "The workshop's desktop client. Connects to ksvserver (port $KSV_PORT, else 12345) at\n"
        "the addresses of adresy.cfg beside the program (internal on line 1, external on 2).\n"
        "KSV_VIDEO=headless runs without a window; KSV_SCRIPT=FILE replays the steps of FILE\n"
        "(keys, text, mouse, waits, screenshots).\n"
        "Exit status: 0 after the exit button or closing the window, 1 when the graphics\n"
        "cannot be opened, 2 for a bad argument or script.\n");
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr, "KSVDB: unknown argument %s (try --help)\n", argv[1]);
    return 2;
  }
  std::signal(SIGPIPE, SIG_IGN);
  struct sigaction sa {};
  sa.sa_handler = on_signal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);

  ksv::RealClock clock;
  ksv::client::ClientApp app(ksv::draw::make_backend(), clock, executable_path(argv[0]));
  if (app.open() != 0) {
    std::fprintf(stderr, "KSVDB: cannot open the graphics window\n");
    return 1;
  }
  // Each event step waits for the server's socket for at most a millisecond; a signal ends the
  // program through the main loop, so the configuration is still written back.
  app.frame.idle = [&app] {
    ksv::TInfoKlient& k = app.client.conn.INFOKLIENT;
    if (k.SPOJENO) {
      pollfd p{app.client.conn.ZASUVKA, POLLIN, 0};
      ::poll(&p, 1, 1);
    } else {
      app.graph.DELAY(1);
    }
    if (g_stop) app.frame.end_program(0);
  };
  int code = app.run();
  app.finish();
  return code;
}
