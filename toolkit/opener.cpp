// The desktop opener: posix_spawnp of the opener program with the path as its only argument.
#include "toolkit/opener.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace ksv::toolkit {

Opener::Opener(Trace& trace) : trace_(trace) {
  launcher = [this](const std::string& path) { return spawn(path); };
}

Opener::~Opener() { reap(); }

OpenResult Opener::open(const std::string& path) {
  trace_.event("open", path);
  reap();
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    std::fprintf(stderr, "open: %s: %s\n", path.c_str(),
                 path.empty() ? "no file named" : std::strerror(errno));
    return OpenResult::kFailed;
  }
  return launcher(path);
}

OpenResult Opener::spawn(const std::string& path) {
  // A relative name beginning with "-" would be read as an option by the opener.
  const std::string arg = path[0] == '-' ? "./" + path : path;

  // The opener reads nothing from us: its input is /dev/null, not the terminal we may run in.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(arg.c_str()), nullptr};
  pid_t pid = -1;
  const int err = ::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) {
    std::fprintf(stderr, "open: cannot start %s: %s\n", program.c_str(), std::strerror(err));
    return err == ENOENT ? OpenResult::kNoOpener : OpenResult::kFailed;
  }
  children_.push_back(pid);
  return OpenResult::kStarted;
}

void Opener::reap() {
  for (size_t i = 0; i < children_.size();) {
    int status = 0;
    const pid_t r = ::waitpid(children_[i], &status, WNOHANG);
    if (r == 0) {
      ++i;  // still running
      continue;
    }
    if (r == children_[i] && WIFEXITED(status) && WEXITSTATUS(status) != 0)
      std::fprintf(stderr, "open: %s ended with status %d\n", program.c_str(), WEXITSTATUS(status));
    children_.erase(children_.begin() + static_cast<long>(i));
  }
}

}  // namespace ksv::toolkit
