// Command-line parsing and the local user administration.
#include "server/core/cli.h"

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "protocol/clock.h"
#include "protocol/transport.h"
#include "server/core/device_handlers.h"
#include "server/core/server.h"
#include "server/core/store_handlers.h"

namespace ksv::server {

namespace {

const char* kUsage =
    "Usage: ksvserver [/w] [--dir DIR] [--port PORT] [--config FILE]\n"
    "       ksvserver [--dir DIR] --add-user NAME PASSWORD [--rights all|none|N,N,...] "
    "[--code CODE]\n"
    "       ksvserver [--dir DIR] --passwd NAME PASSWORD\n"
    "       ksvserver [--dir DIR] --list-users\n"
    "\n"
    "Runs the KSV workshop server, or edits its user file on this machine.\n"
    "\n"
    "  /w                 wait 10 seconds before opening the listening socket\n"
    "  --dir DIR          data directory (default: the directory of the executable)\n"
    "  --port PORT        TCP port (default: $KSV_PORT, else 12345)\n"
    "  --config FILE      settings file (default: ksvserver.cfg in the data directory)\n"
    "  --add-user NAME PASSWORD\n"
    "                     add a user; --rights gives its rights (default: none),\n"
    "                     --code its attendance terminal code\n"
    "  --passwd NAME PASSWORD\n"
    "                     set a user's password\n"
    "  --list-users       print the users with their IDs and rights\n"
    "  --help             this text\n"
    "\n"
    "The server stops on Escape (when run on a terminal), on SIGINT/SIGTERM, when the file\n"
    "'restart' appears in the data directory, or on the administrator's restart command.\n"
    "Log lines go to the console and to DIR/log/yyyy-mm-dd.log.\n"
    "Exit codes: 0 stopped normally, 1 refused, 2 socket error, 10-15 data directory error,\n"
    "64 usage error.\n";

std::string rights_text(int64_t r) {
  if (r == -1) return "all";
  std::string out;
  for (int i = 0; i < 64; ++i)
    if ((uint64_t(r) >> i) & 1u) out += (out.empty() ? "" : ",") + std::to_string(i);
  return out.empty() ? "none" : out;
}

}  // namespace

std::optional<int64_t> parse_rights(const std::string& text) {
  if (text == "all") return -1;
  if (text == "none") return 0;
  if (text.empty()) return std::nullopt;
  int64_t r = 0;
  size_t i = 0;
  while (i <= text.size()) {
    size_t comma = text.find(',', i);
    if (comma == std::string::npos) comma = text.size();
    std::string part = text.substr(i, comma - i);
    if (part.empty() || part.size() > 2 || part.find_first_not_of("0123456789") != std::string::npos)
      return std::nullopt;
    int bit = std::stoi(part);
    if (bit > 63) return std::nullopt;
    r |= int64_t(uint64_t(1) << bit);
    i = comma + 1;
  }
  return r;
}

std::string executable_dir() {
  std::vector<char> buf(4096);
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return "./";
  std::string p(buf.data(), size_t(n));
  size_t cut = p.rfind('/');
  return cut == std::string::npos ? "./" : p.substr(0, cut + 1);
}

int run_cli(int argc, char** argv, std::ostream& out, std::ostream& err,
            const volatile std::sig_atomic_t* stop_flag) {
  ServerOptions opt;
  opt.base_dir = executable_dir();
  enum class Action { kRun, kAddUser, kPasswd, kList } action = Action::kRun;
  std::string name, password, code;
  std::string config_file;  // empty: ksvserver.cfg inside the data directory
  int64_t rights = 0;

  std::vector<std::string> args(argv + 1, argv + argc);
  auto usage_error = [&](const std::string& why) {
    err << "ksvserver: " << why << "\n" << kUsage;
    return kExitUsage;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto need = [&](size_t count) { return i + count < args.size(); };
    if (a == "--help" || a == "-h") {
      out << kUsage;
      return 0;
    } else if (a == "/w" && i == 0) {
      opt.wait_before_listen = true;
    } else if (a == "--dir" && need(1)) {
      opt.base_dir = args[++i];
    } else if (a == "--port" && need(1)) {
      const std::string& p = args[++i];
      if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos ||
          std::stoi(p) < 1 || std::stoi(p) > 65535)
        return usage_error("bad port: " + p);
      opt.port = uint16_t(std::stoi(p));
    } else if (a == "--config" && need(1)) {
      config_file = args[++i];
      if (config_file.empty()) return usage_error("empty --config file name");
    } else if (a == "--add-user" && need(2)) {
      action = Action::kAddUser;
      name = args[++i];
      password = args[++i];
    } else if (a == "--passwd" && need(2)) {
      action = Action::kPasswd;
      name = args[++i];
      password = args[++i];
    } else if (a == "--list-users") {
      action = Action::kList;
    } else if (a == "--rights" && need(1)) {
      std::optional<int64_t> r = parse_rights(args[++i]);
      if (!r) return usage_error("bad rights: " + args[i]);
      rights = *r;
    } else if (a == "--code" && need(1)) {
      code = args[++i];
    } else {
      return usage_error("unknown or incomplete argument: " + a);
    }
  }

  // A data directory named on the command line is made when missing, with its parents, as the
  // workshop's installation would; the tree inside it is the server's own start-up work.
  if (!opt.base_dir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(opt.base_dir, ec);
  }

  if (action == Action::kRun) {
    RealClock clock;
    opt.console_keys = true;
    opt.external_stop = stop_flag;
    Server server(clock, opt);
    // Messages, mail, cameras and the alarm with its terminal link, as "ksvserver.cfg" sets them.
    // An installed server keeps its settings apart from its data (--config); a file named there
    // that cannot be read is worth a log line, as the defaults may not be what was meant.
    std::string config_path =
        config_file.empty() ? DataTree(opt.base_dir).path(kConfigFile) : config_file;
    if (!config_file.empty() && ::access(config_file.c_str(), R_OK) != 0)
      server.log().line(std::string(kConfigFile) + ": nelze cist " + config_file +
                        ", plati vychozi nastaveni");
    ServerUnits units(server, read_server_config(config_path));
    return server.run();
  }

  DataTree tree(opt.base_dir);
  if (int rc = tree.create(); rc != 0) {
    err << "ksvserver: cannot create the data directory " << tree.base() << " (exit code " << rc
        << ")\n";
    return rc;
  }
  UserStore users(tree.path(kUserFile));
  switch (action) {
    case Action::kAddUser: {
      int32_t id = -1;
      UserResult r = users.create(name, password, code, rights, &id);
      if (r != UserResult::kOk) {
        err << "ksvserver: user '" << name << "' not added"
            << (r == UserResult::kRefused ? " (empty or existing name, or code in use)\n"
                                          : " (cannot write the user file)\n");
        return kExitRefused;
      }
      out << "added user '" << name << "' with ID " << id << ", rights " << rights_text(rights)
          << "\n";
      return 0;
    }
    case Action::kPasswd:
      if (users.set_password(name, password) != UserResult::kOk) {
        err << "ksvserver: no user '" << name << "' (or the user file cannot be written)\n";
        return kExitRefused;
      }
      out << "password of '" << name << "' changed\n";
      return 0;
    case Action::kList: {
      std::optional<std::vector<TPrava>> all = users.all();
      if (!all) {
        err << "ksvserver: cannot read " << users.path() << "\n";
        return kExitRefused;
      }
      for (size_t i = 1; i < all->size(); ++i)
        out << (*all)[i].ID << "\t" << (*all)[i].UZIVATEL.view() << "\t"
            << rights_text((*all)[i].PRAVA) << "\n";
      return 0;
    }
    case Action::kRun: break;
  }
  return 0;
}

}  // namespace ksv::server
