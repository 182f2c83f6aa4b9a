// Where ksvserver takes its settings from: ksvserver.cfg in the data directory, or the file named
// by --config (an installed server keeps its settings under /etc, apart from its data).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/testsupport/temp_dir.h"
#include "server/core/cli.h"
#include "server/core/server.h"

namespace ksv::server::testing {
namespace {

// Holds a loopback port, so the server started by run_cli stops at its listening socket after
// it has read its settings, without opening a port to the network.
class BusyPort {
 public:
  BusyPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) == 0 && ::listen(fd_, 1) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) == 0)
      port_ = ntohs(a.sin_port);
  }
  ~BusyPort() {
    if (fd_ >= 0) ::close(fd_);
  }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

class ConfigOption : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(port.port(), 0);
    // The tree with its log folder exists before the run, so the settings' log lines land there.
    ASSERT_EQ(cli({"--list-users"}), 0);
    data.write_file("ksvserver.cfg", "in_data_tree = 1\n");
    etc.write_file("ksvserver.cfg", "# installed settings\nin_etc = 1\n");
  }
  int cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"ksvserver", "--dir", data.path()});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out;
    err.str("");
    return run_cli(int(argv.size()), argv.data(), out, err, nullptr);
  }
  int run_server(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"--port", std::to_string(port.port())};
    args.insert(args.end(), extra.begin(), extra.end());
    return cli(args);
  }
  std::string log_text() const {
    std::string all;
    for (const auto& e : std::filesystem::directory_iterator(data.path() + "log"))
      all += data.read_file("log/" + e.path().filename().string());
    return all;
  }
  BusyPort port;
  ksv::testing::TempDir data, etc;
  std::ostringstream err;
};

TEST_F(ConfigOption, NamedFileReplacesTheOneInTheDataTree) {
  EXPECT_EQ(run_server({"--config", etc.path() + "ksvserver.cfg"}), kExitSocket);
  std::string log = log_text();
  EXPECT_NE(log.find("neznamy klic in_etc"), std::string::npos) << log;
  EXPECT_EQ(log.find("in_data_tree"), std::string::npos) << log;
}

TEST_F(ConfigOption, WithoutTheOptionTheDataTreeFileIsRead) {
  EXPECT_EQ(run_server({}), kExitSocket);
  std::string log = log_text();
  EXPECT_NE(log.find("neznamy klic in_data_tree"), std::string::npos) << log;
  EXPECT_EQ(log.find("in_etc"), std::string::npos) << log;
}

TEST_F(ConfigOption, UnreadableNamedFileIsLoggedAndTheDefaultsApply) {
  EXPECT_EQ(run_server({"--config", etc.path() + "missing.cfg"}), kExitSocket);
  std::string log = log_text();
  EXPECT_NE(log.find("nelze cist " + etc.path() + "missing.cfg"), std::string::npos) << log;
  // Nothing falls back to the data tree's file behind the administrator's back.
  EXPECT_EQ(log.find("in_data_tree"), std::string::npos) << log;
}

TEST_F(ConfigOption, MissingOrEmptyFileNameIsAUsageError) {
  EXPECT_EQ(cli({"--config"}), kExitUsage);
  EXPECT_EQ(cli({"--config", ""}), kExitUsage);
  EXPECT_NE(err.str().find("--config"), std::string::npos);
}

}  // namespace
}  // namespace ksv::server::testing
