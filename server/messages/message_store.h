// The message store "zpravy": one TZprava per file, named by a random number below 100000 that
// is not in use yet; and the administrator's "$" commands, whose answers travel as messages.
#pragma once
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "protocol/records/messages.h"

namespace ksv::server {

constexpr int kMessageNames = 100000;

class MessageStore {
 public:
  // dir is the "zpravy" directory, with a trailing "/".
  explicit MessageStore(std::string dir);

  // Writes the message under a fresh random name; the name, or nullopt on a file error.
  std::optional<std::string> store(const TZprava& message);
  // The message files, oldest first (the order they were stored in, as far as the file times
  // tell), so a user reads a conversation in order.
  std::vector<std::string> names() const;
  std::optional<TZprava> read(const std::string& name) const;
  bool erase(const std::string& name);
  // "$delmes": every message goes.
  bool erase_all();

  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
  std::mt19937 random_;
};

// Builds a message with OBSAH cut to what the record holds.
TZprava make_message(int32_t to, const std::string& text, int32_t from, bool receipt);

// Runs an administrator command (the text after "$") for the data directory `base_dir` and
// returns the answer text. "get PATH" copies a file of the data tree into "temp" under its bare
// name; paths that leave the tree (absolute, "..", or a link pointing outside) are refused.
std::string run_admin_command(const std::string& command, const std::string& base_dir,
                              MessageStore& store);

}  // namespace ksv::server
