// The message store "zpravy": one TZprava per file, named by a random number below 100000 that
// is not in use yet; and the administrator's "$" commands, whose answers travel as messages.
#pragma once
#include <cstdint>
#include <map>
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

  // The messages waiting for one recipient, oldest first. The store is read once, at the first
  // call; after that an index kept up to date by store() and erase() answers, so delivery costs
  // nothing for the messages of users who are not connected.
  std::vector<std::string> waiting_for(int32_t recipient);

  const std::string& dir() const { return dir_; }

 private:
  void build_index();

  std::string dir_;
  std::mt19937 random_;
  bool indexed_ = false;
  std::map<int32_t, std::vector<std::string>> index_;  // recipient -> names, oldest first
};

// Builds a message with OBSAH cut to what the record holds.
TZprava make_message(int32_t to, const std::string& text, int32_t from, bool receipt);

// Runs an administrator command (the text after "$") for the data directory `base_dir` and
// returns the answer text. "get PATH" copies a file of the data tree into "temp" under its bare
// name; paths that leave the tree (absolute, "..", or a link pointing outside) are refused.
std::string run_admin_command(const std::string& command, const std::string& base_dir,
                              MessageStore& store);

}  // namespace ksv::server
