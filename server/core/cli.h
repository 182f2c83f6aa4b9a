// The ksvserver command line: run the server, or administer the user file locally (the first
// usable user of a fresh install has to be made on the server's own machine, because the
// administrator may only log in from the workshop network).
#pragma once
#include <csignal>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace ksv::server {

constexpr int kExitUsage = 64;
constexpr int kExitRefused = 1;

// "all", "none" or a comma-separated list of bit numbers 0..63; nullopt when malformed.
std::optional<int64_t> parse_rights(const std::string& text);

// The directory of the running executable, with a trailing "/".
std::string executable_dir();

// Runs what the arguments ask for and returns the program's exit code.
int run_cli(int argc, char** argv, std::ostream& out, std::ostream& err,
            const volatile std::sig_atomic_t* stop_flag);

}  // namespace ksv::server
