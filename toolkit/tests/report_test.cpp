// Reports: the text reaches the file as UTF-8, rewrites leave no half files behind, and a copy
// into a chosen folder replaces nothing without the user's word and never leaves that folder.
#include "toolkit/report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "protocol/testsupport/temp_dir.h"

namespace ksv::toolkit {
namespace {

std::vector<std::string> names_in(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(Report, LinesInTheWorkshopCodePageAreWrittenAsUtf8) {
  ksv::testing::TempDir dir;
  Report r;
  r.line("*** Nov\xE1\xE8" "ek ***").blank(2).line("OBDOBI: \xE8" "erven").line();
  ASSERT_EQ(write_report(dir / "dochazka.txt", r.text()), ReportResult::kDone);
  EXPECT_EQ(dir.read_file("dochazka.txt"),
            "*** Nov\xC3\xA1\xC4\x8D" "ek ***\n\n\nOBDOBI: \xC4\x8D" "erven\n\n");

  // A second report replaces the first whole, and no temporary file stays beside it.
  ASSERT_EQ(write_report(dir / "dochazka.txt", Report().line("kratsi").text()), ReportResult::kDone);
  EXPECT_EQ(dir.read_file("dochazka.txt"), "kratsi\n");
  EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"dochazka.txt"});

  EXPECT_EQ(write_report(dir / "missing/dochazka.txt", "x"), ReportResult::kFailed);
  EXPECT_FALSE(dir.exists("missing"));
}

struct CopyTest : ::testing::Test {
  CopyTest() {
    dir.write_file("temp/vyroba.txt", "plan\n");
    std::filesystem::create_directory(dir / "chosen");
    report = dir / "temp/vyroba.txt";
  }
  ConfirmReplace answer(bool yes) {
    return [this, yes](const std::string& target) {
      asked.push_back(target);
      return yes;
    };
  }
  ksv::testing::TempDir dir;
  std::string report;
  std::vector<std::string> asked;
};

TEST_F(CopyTest, ANewFileIsCopiedWithoutAsking) {
  EXPECT_EQ(copy_report(report, dir / "chosen", "vyroba.txt", answer(false)), ReportResult::kDone);
  EXPECT_EQ(dir.read_file("chosen/vyroba.txt"), "plan\n");
  // The folder as the browser hands it back, with its trailing "/".
  EXPECT_EQ(copy_report(report, dir / "chosen/", "kopie.txt", answer(false)), ReportResult::kDone);
  EXPECT_EQ(dir.read_file("chosen/kopie.txt"), "plan\n");
  EXPECT_TRUE(asked.empty());
}

TEST_F(CopyTest, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
  dir.write_file("chosen/vyroba.txt", "older plan, keep me\n");
  EXPECT_EQ(copy_report(report, dir / "chosen", "vyroba.txt", answer(false)), ReportResult::kKept);
  EXPECT_EQ(dir.read_file("chosen/vyroba.txt"), "older plan, keep me\n");
  EXPECT_EQ(asked, std::vector<std::string>{dir / "chosen/vyroba.txt"});
  // Without a way to ask, nothing is replaced either.
  EXPECT_EQ(copy_report(report, dir / "chosen", "vyroba.txt", nullptr), ReportResult::kKept);
  EXPECT_EQ(dir.read_file("chosen/vyroba.txt"), "older plan, keep me\n");

  EXPECT_EQ(copy_report(report, dir / "chosen", "vyroba.txt", answer(true)), ReportResult::kDone);
  EXPECT_EQ(dir.read_file("chosen/vyroba.txt"), "plan\n");
  EXPECT_EQ(names_in(dir / "chosen"), std::vector<std::string>{"vyroba.txt"});
}

TEST_F(CopyTest, NamesThatLeaveTheChosenFolderAreRefused) {
  for (const std::string name : {"../vyroba.txt", "sub/vyroba.txt", "..", ".", ""}) {
    EXPECT_EQ(copy_report(report, dir / "chosen", name, answer(true)), ReportResult::kFailed)
        << name;
  }
  EXPECT_TRUE(asked.empty());
  EXPECT_FALSE(dir.exists("vyroba.txt"));
  EXPECT_TRUE(names_in(dir / "chosen").empty());
}

TEST_F(CopyTest, CopyOntoItselfKeepsTheReportAndAFolderIsNeverReplaced) {
  EXPECT_EQ(copy_report(report, dir / "temp", "vyroba.txt", answer(true)), ReportResult::kDone);
  EXPECT_EQ(dir.read_file("temp/vyroba.txt"), "plan\n");
  EXPECT_TRUE(asked.empty());

  std::filesystem::create_directory(dir / "chosen/vyroba.txt");
  EXPECT_EQ(copy_report(report, dir / "chosen", "vyroba.txt", answer(true)), ReportResult::kFailed);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "chosen/vyroba.txt"));

  EXPECT_EQ(copy_report(dir / "temp/none.txt", dir / "chosen", "x.txt", answer(true)),
            ReportResult::kFailed);
  EXPECT_EQ(copy_report(report, dir / "nowhere", "x.txt", answer(true)), ReportResult::kFailed);
}

}  // namespace
}  // namespace ksv::toolkit
