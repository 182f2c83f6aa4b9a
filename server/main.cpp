// ksvserver: the workshop's server. Everything lives in the server library; this file only
// connects the process's signals and streams to it.
#include <csignal>
#include <iostream>

#include "server/core/cli.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;  // the only thing a signal handler may touch
void on_signal(int) { g_stop = 1; }
}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  struct sigaction sa {};
  sa.sa_handler = on_signal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  return ksv::server::run_cli(argc, argv, std::cout, std::cerr, &g_stop);
}
