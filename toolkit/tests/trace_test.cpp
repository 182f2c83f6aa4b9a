#include "toolkit/trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/testsupport/temp_dir.h"

namespace ksv::toolkit {
namespace {

std::vector<std::vector<std::string>> read_lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::vector<std::string>> lines;
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream ss(line);
    std::string f;
    while (std::getline(ss, f, '\t')) fields.push_back(f);
    if (!line.empty() && line.back() == '\t') fields.push_back("");
    lines.push_back(fields);
  }
  return lines;
}

TEST(Trace, AppendsThreeFieldLinesAndKeepsEarlierContent) {
  ksv::testing::TempDir dir;
  const std::string path = dir.path() + "trace.txt";
  {
    std::ofstream(path) << "0\tstart\tbefore\n";
  }
  Trace t;
  ASSERT_TRUE(t.open(path));
  t.event("screen", "2");
  t.event("dialog", "bad\tkey\nwith breaks");
  t.event("reply");
  t.close();
  auto lines = read_lines(path);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0][2], "before");
  EXPECT_EQ(lines[1], (std::vector<std::string>{lines[1][0], "screen", "2"}));
  EXPECT_EQ(lines[2].size(), 3u);
  EXPECT_EQ(lines[2][2], "bad key with breaks");
  EXPECT_EQ(lines[3].size(), 3u);
  EXPECT_EQ(lines[3][2], "");
  EXPECT_GE(std::stol(lines[3][0]), std::stol(lines[1][0]));
}

TEST(Trace, OffWithoutFileAndWhenTheFileCannotBeOpened) {
  Trace t;
  EXPECT_FALSE(t.on());
  t.event("screen", "1");  // nothing to write to, nothing happens
  EXPECT_TRUE(t.open(""));
  EXPECT_FALSE(t.on());
  EXPECT_FALSE(t.open("/nonexistent-dir/trace.txt"));
  EXPECT_FALSE(t.on());
}

}  // namespace
}  // namespace ksv::toolkit
