// The dispatcher's table against the rights table and admission sets written out by hand: every
// row, with no rights, all rights, each bit alone and each bit missing, for the user's own record
// and for another user's.
#include <map>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "server/core/dispatcher.h"

namespace ksv::server::testing {
namespace {

// The bits a command needs: for the session's own user record, and for another user's. Commands
// that name no user record need the same bits either way; commands not listed need none.
struct Needs {
  std::vector<int> own, other;
};
Needs same(std::vector<int> bits) { return {bits, bits}; }

const std::map<int, Needs>& rights_table() {
  static const std::map<int, Needs> t = {
      {40, same({0})},  {42, same({1})},  {35, same({6})},  {17, same({8})},  {16, same({9})},
      {19, same({9})},  {51, same({10})}, {52, same({11})}, {53, same({12})}, {54, same({13})},
      {55, same({14})}, {56, same({15})}, {60, same({16})}, {25, same({20})}, {26, same({21})},
      {45, same({24})}, {46, same({24})}, {47, same({24})}, {48, same({24})}, {49, same({25})},
      {9, same({49})},  {43, same({53})}, {44, same({53})}, {14, same({60})}, {62, same({62})},
      {15, same({63})},
      {61, {{17}, {19}}},     // set rights: own with 17, another user's with 19
      {27, {{}, {18, 22}}},   // user details: another user's needs both bits
      {28, {{}, {23}}},       // save user: another user's needs 23
  };
  return t;
}

bool has_all(int64_t rights, const std::vector<int>& bits) {
  for (int b : bits)
    if (!((uint64_t(rights) >> b) & 1u)) return false;
  return true;
}

TEST(Dispatcher, RightsRuleOfEveryRow) {
  std::vector<int64_t> sets = {0, -1};
  for (int n = 0; n < 64; ++n) {
    sets.push_back(int64_t(uint64_t(1) << n));
    sets.push_back(int64_t(~(uint64_t(1) << n)));
  }
  sets.push_back((int64_t(1) << 18) | (int64_t(1) << 22));
  sets.push_back((int64_t(1) << 17) | (int64_t(1) << 19));

  int rows = 0;
  for (int code = 0; code < 256; ++code) {
    const CommandInfo& cmd = command_info(uint8_t(code));
    if (!cmd.known) continue;
    ++rows;
    auto it = rights_table().find(code);
    const Needs needs = it == rights_table().end() ? Needs{} : it->second;
    for (bool own : {true, false})
      for (int64_t rights : sets) {
        SCOPED_TRACE(::testing::Message() << "code " << code << (own ? " own" : " other")
                                          << " rights " << std::hex << rights);
        EXPECT_EQ(rule_allows(cmd.rule, rights, own),
                  has_all(rights, own ? needs.own : needs.other));
      }
  }
  EXPECT_EQ(rows, 57);
  // Every code of the rights table has a row.
  for (const auto& [code, needs] : rights_table()) EXPECT_TRUE(command_info(uint8_t(code)).known);
}

TEST(Dispatcher, AdmissionSetsAndHandlers) {
  const std::set<int> login_free = {1, 7, 10, 11, 20, 64, 80, 121};
  const std::set<int> signature = {7, 10, 11};
  const std::set<int> locked = {14, 16, 30, 42};
  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    const CommandInfo& cmd = command_info(uint8_t(code));
    EXPECT_EQ(cmd.login_free, login_free.count(code) == 1);
    EXPECT_EQ(cmd.signature, signature.count(code) == 1);
    EXPECT_EQ(cmd.program_lock, locked.count(code) == 1);
    EXPECT_EQ(cmd.handler != nullptr, cmd.known);
  }
  EXPECT_STREQ(command_info(63).status_key, "listzak");
  EXPECT_STREQ(command_info(30).status_key, "");
}

}  // namespace
}  // namespace ksv::server::testing
