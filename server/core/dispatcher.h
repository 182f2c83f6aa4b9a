// The command catalogue as data: one row per command code, saying what the dispatcher needs to
// know before it runs the handler. Adding a command is one row in protocol/commands.h (its
// reply and status key), one row in dispatcher.cpp and one handler declared in handlers.h.
#pragma once
#include <cstdint>

#include "server/core/context.h"

namespace ksv::server {


// The rights rule of a command: which bit of the session's rights it needs.
struct Rule {
  enum class Kind : uint8_t {
    kNone,
    kBit,             // bit a
    kOwnOrOther,      // bit a when the user named at offset 4 is the session's own, else bit b
    kOtherNeedsBoth,  // for another user both bits a and b; the own record needs none
    kOtherOnly,       // bit a, only when the named user is another user
  };
  Kind kind = Kind::kNone;
  int8_t a = 0, b = 0;

  // Rules whose outcome depends on whose record the command names.
  constexpr bool about_named_user() const {
    return kind == Kind::kOwnOrOther || kind == Kind::kOtherNeedsBoth || kind == Kind::kOtherOnly;
  }
};

constexpr Rule no_rule() { return {}; }
constexpr Rule bit(int n) { return {Rule::Kind::kBit, int8_t(n), 0}; }
constexpr Rule own_or_other(int own, int other) {
  return {Rule::Kind::kOwnOrOther, int8_t(own), int8_t(other)};
}
constexpr Rule other_needs_both(int x, int y) {
  return {Rule::Kind::kOtherNeedsBoth, int8_t(x), int8_t(y)};
}
constexpr Rule other_only(int n) { return {Rule::Kind::kOtherOnly, int8_t(n), 0}; }

struct CommandInfo {
  const char* status_key = nullptr;  // text key the desktop shows while the command runs
  bool login_free = false;           // accepted before a login
  bool signature = false;            // carries the client signature at 768 (checked)
  bool program_lock = false;         // refused with 253 while the program is open elsewhere
  Rule rule;
  Handler handler = nullptr;         // none: no effect, no answer
  bool known = false;                // listed in the catalogue
};

// The row of a command code; unknown codes get an empty row.
const CommandInfo& command_info(uint8_t code);

// Does the rule let a session with these rights run the command? `named_is_own`: the user
// named at offset 4 is the session's own (asked only by rules about a user record).
bool rule_allows(const Rule& rule, int64_t rights, bool named_is_own);

}  // namespace ksv::server
