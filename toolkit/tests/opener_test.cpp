// The desktop opener: what it starts, with which argument, and what it says when it cannot.
#include "toolkit/opener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "protocol/testsupport/temp_dir.h"

namespace ksv::toolkit {
namespace {

struct OpenerTest : ::testing::Test {
  OpenerTest() { trace.open(dir / "trace.txt"); }

  // A stand-in opener that writes its argument count and first argument to a file.
  std::string recording_program() {
    dir.write_file("fake-open", "#!/bin/sh\nprintf '%s\\n%s\\n' \"$#\" \"$1\" > '" +
                                    (dir / "args.txt") + "'\n");
    ::chmod((dir / "fake-open").c_str(), 0755);
    return dir / "fake-open";
  }
  // Waits for the one opener started, so its output is complete.
  static void wait_child() {
    int status = 0;
    ASSERT_GT(::waitpid(-1, &status, 0), 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }

  ksv::testing::TempDir dir;
  Trace trace;
};

TEST_F(OpenerTest, HandsTheExactPathToTheLauncherAndTracesEveryAttempt) {
  dir.write_file("report.txt", "x");
  Opener opener(trace);
  std::vector<std::string> launched;
  opener.launcher = [&](const std::string& p) {
    launched.push_back(p);
    return OpenResult::kNoOpener;
  };
  EXPECT_EQ(opener.open(dir / "report.txt"), OpenResult::kNoOpener);
  // A missing file is refused before anything is started, but the attempt is still traced.
  EXPECT_EQ(opener.open(dir / "missing.txt"), OpenResult::kFailed);
  EXPECT_EQ(opener.open(""), OpenResult::kFailed);
  EXPECT_EQ(launched, std::vector<std::string>{dir / "report.txt"});

  trace.close();
  const std::string t = dir.read_file("trace.txt");
  EXPECT_NE(t.find("\topen\t" + (dir / "report.txt") + "\n"), std::string::npos);
  EXPECT_NE(t.find("\topen\t" + (dir / "missing.txt") + "\n"), std::string::npos);
}

TEST_F(OpenerTest, StartsTheProgramWithThePathAsOneArgumentAndNoShell) {
  // Quotes, spaces, a command substitution and a separator: a shell would split this name or
  // run "touch"; the opener must see it as it stands.
  const std::string name = "a b'; touch pwned; $(touch pwned2) \"c\".txt";
  dir.write_file(name, "x");
  Opener opener(trace);
  opener.program = recording_program();
  ASSERT_EQ(opener.open(dir / name), OpenResult::kStarted);
  wait_child();
  EXPECT_EQ(dir.read_file("args.txt"), "1\n" + (dir / name) + "\n");
  EXPECT_FALSE(dir.exists("pwned"));
  EXPECT_FALSE(dir.exists("pwned2"));
}

TEST_F(OpenerTest, ARelativeNameBeginningWithADashIsNotTakenForAnOption) {
  dir.write_file("-h.txt", "x");
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  Opener opener(trace);
  opener.program = recording_program();
  ASSERT_EQ(opener.open("-h.txt"), OpenResult::kStarted);
  wait_child();
  EXPECT_EQ(dir.read_file("args.txt"), "1\n./-h.txt\n");
  ASSERT_EQ(::chdir(cwd), 0);
}

TEST_F(OpenerTest, AMissingOpenerProgramIsToldApartFromOtherFailures) {
  dir.write_file("report.txt", "x");
  Opener opener(trace);
  opener.program = "ksv-no-such-opener";  // looked up on PATH
  EXPECT_EQ(opener.open(dir / "report.txt"), OpenResult::kNoOpener);
  opener.program = dir / "nowhere/opener";
  EXPECT_EQ(opener.open(dir / "report.txt"), OpenResult::kNoOpener);
  // A file that exists but cannot be run is a failure, not a missing opener.
  dir.write_file("not-runnable", "#!/bin/sh\n");
  ::chmod((dir / "not-runnable").c_str(), 0644);
  opener.program = dir / "not-runnable";
  EXPECT_EQ(opener.open(dir / "report.txt"), OpenResult::kFailed);
}

}  // namespace
}  // namespace ksv::toolkit
