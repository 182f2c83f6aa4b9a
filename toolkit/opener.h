// Opener: hands a file (a report, an attachment) to the desktop, which shows it with the
// program the user has chosen for its kind. The desktop's opener is "xdg-open"; it is started
// without a shell, with the path as its one argument, and not waited for, so the screens keep
// polling while the user reads. Where no opener is installed the caller shows the path instead.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/trace.h"

namespace ksv::toolkit {

enum class OpenResult {
  kStarted,   // the opener runs and shows the file in a window of its own
  kNoOpener,  // this machine has no opener program: tell the user where the file is
  kFailed,    // the opener could not be started (no such file, out of processes, ...)
};

class Opener {
 public:
  // Starts the opener on one path; tests put a recorder here instead of a real program.
  using Launcher = std::function<OpenResult(const std::string& path)>;

  explicit Opener(Trace& trace);
  ~Opener();
  Opener(const Opener&) = delete;
  Opener& operator=(const Opener&) = delete;

  // Shows the file; traces "open PATH" for every attempt. A path that does not name a file is
  // refused before anything is started, so the desktop never gets to guess what was meant.
  OpenResult open(const std::string& path);

  // The program started by the default launcher, looked up on PATH unless it names a path.
  std::string program = "xdg-open";
  Launcher launcher;

 private:
  OpenResult spawn(const std::string& path);
  // Collects the exit status of openers that have finished, so none stays a zombie.
  void reap();

  Trace& trace_;
  std::vector<pid_t> children_;
};

}  // namespace ksv::toolkit
