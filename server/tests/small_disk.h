// Runs part of a test on a nearly full disk: in a child process with a mount namespace of its
// own, a small tmpfs is mounted over /tmp, so everything the test creates there (the rig's data
// tree included) lives on it. The machine's own mounts are never touched. Where namespaces or
// tmpfs are not available the part is skipped.
#pragma once
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace ksv::server::testing {

enum class DiskRun { kPassed, kFailed, kSkipped };

inline DiskRun on_small_disk(const std::function<void()>& body, const char* size = "4m") {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return DiskRun::kSkipped;
  if (pid == 0) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", "/tmp", "tmpfs", 0, (std::string("size=") + size).c_str()) != 0)
      ::_exit(77);
    body();
    std::fflush(nullptr);
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return DiskRun::kFailed;
  if (WEXITSTATUS(status) == 77) return DiskRun::kSkipped;
  return WEXITSTATUS(status) == 0 ? DiskRun::kPassed : DiskRun::kFailed;
}

// Fills the file system of `dir` until a write fails; the filler stays.
inline void fill_disk(const std::string& dir) {
  std::FILE* f = std::fopen((dir + "filler").c_str(), "wb");
  if (!f) return;
  static char block[4096] = {};
  while (std::fwrite(block, 1, sizeof block, f) == sizeof block) {
  }
  std::fclose(f);
  // Small writes may still find room in the last page; take that too.
  for (int i = 0; i < 64; ++i) {
    std::FILE* g = std::fopen((dir + "filler" + std::to_string(i)).c_str(), "wb");
    if (!g) break;
    std::fputc(0, g);
    std::fclose(g);
  }
}

#define KSV_ON_SMALL_DISK(body)                                                        \
  do {                                                                                 \
    DiskRun r = on_small_disk(body);                                                   \
    if (r == DiskRun::kSkipped) GTEST_SKIP() << "no private tmpfs can be mounted here"; \
    EXPECT_EQ(r, DiskRun::kPassed);                                                    \
  } while (0)

}  // namespace ksv::server::testing
