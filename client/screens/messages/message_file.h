// The message file: temp/zpravy.txt, where the transport appends every message the server
// pushes, one line each as recipient ":" sender ":" text. Every user who logs in on this
// computer shares the file, so each reads only his own lines and deleting takes away only his.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace ksv::client {

// A sender's name is shown cut to this many characters.
constexpr size_t kSenderShown = 13;

// The messages of `own_name` in the file's contents, in file order, as they are shown: the
// sender (cut to 13 characters), ":", the text. Empty lines, lines without ":" and lines for
// other users are left out.
std::vector<std::string> messages_for(std::string_view contents, std::string_view own_name);

// The same, read from the file at `path` (none when it is missing).
std::vector<std::string> read_messages(const std::string& path, std::string_view own_name);

// Takes the lines of `own_name` out of the file at `path`, keeping everyone else's; the file
// goes when nothing remains. The rewrite replaces the file in one step, so a failure leaves it
// as it was. False when the file could not be read or rewritten (a missing file is no failure).
bool remove_messages_of(const std::string& path, std::string_view own_name);

}  // namespace ksv::client
