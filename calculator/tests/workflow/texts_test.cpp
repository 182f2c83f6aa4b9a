// The texts files of both desktop programs, checked line by line: a printed line that begins
// with "*" or "#" is read as a formatting code, so "*.jpg, *.bmp" would print as "jpg, *.bmp".
// Only real codes may stand at the start of a line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ksv::calculator::ui::testing {
namespace {

// Why the line would print other than it is written, or "" when it prints as written.
std::string format_trap(const std::string& line) {
  if (line.empty() || line.front() == '[' || line == ">>>") return "";
  if (line.front() == '*') {
    const std::string codes = "l!p=";
    if (line.size() < 2 || codes.find(line[1]) == std::string::npos)
      return "\"*\" followed by no placement code";
  }
  if (line.front() == '#') {
    const size_t end = line.find('#', 1);
    if (end == std::string::npos || end == 1 ||
        line.substr(1, end - 1).find_first_not_of("0123456789") != std::string::npos)
      return "\"#\" that is no colour code";
  }
  return "";
}

std::vector<std::string> traps_in(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::vector<std::string> found;
  std::string line;
  for (int n = 1; std::getline(in, line); ++n) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string why = format_trap(line);
    if (!why.empty()) found.push_back(path + ":" + std::to_string(n) + ": " + why + ": " + line);
  }
  return found;
}

TEST(TextsFiles, TheTrapIsRecognised) {
  EXPECT_NE(format_trap("*.jpg, *.bmp"), "");
  EXPECT_NE(format_trap("* prilohy"), "");
  EXPECT_NE(format_trap("#cislo"), "");
  EXPECT_EQ(format_trap("*l"), "");
  EXPECT_EQ(format_trap("#14#Pozor"), "");
  EXPECT_EQ(format_trap("Typy: *.jpg"), "");
}

TEST(TextsFiles, NoLineStartsWithAFalseFormattingCode) {
  const std::filesystem::path calculator_texts = KSV_CALCULATOR_TEXTS;
  std::vector<std::string> files{calculator_texts.string()};
  const auto fragments = calculator_texts.parent_path() / "dbtexty";
  for (const auto& entry : std::filesystem::directory_iterator(fragments))
    if (entry.path().extension() == ".dat") files.push_back(entry.path().string());
  EXPECT_GT(files.size(), 2U);
  for (const std::string& f : files)
    for (const std::string& trap : traps_in(f)) ADD_FAILURE() << trap;
}

}  // namespace
}  // namespace ksv::calculator::ui::testing
