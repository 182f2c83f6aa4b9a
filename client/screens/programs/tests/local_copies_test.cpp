// Copies of the stitch file on this computer, the floppy clean-up and the reserved names.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "client/screens/programs/local_copies.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::client::programs::testing {
namespace {

using ksv::testing::TempDir;

TEST(Attachments, ReservedNamesAreRefusedWhateverTheirCase) {
  for (const char* n : {"PROG.DAT", "prog.dat", "Info.Dat", "prog.DST", "proglnk.dat",
                        "PROGLNK.UPD", "5%03.ksv", "12%07.KSV", "x%99.ksv"})
    EXPECT_TRUE(is_reserved_attachment(n)) << n;
  for (const char* n : {"prog.dat.txt", "myprog.dat", "5%3.ksv", "5%03.ksv.bak", "logo.ksv",
                        "50%.ksv", "%03.bmp", "faktura.pdf"})
    EXPECT_FALSE(is_reserved_attachment(n)) << n;
}

TEST(Copies, TheCodeNeverLeavesTheFolder) {
  EXPECT_EQ(stitch_copy_name("ABC-12"), "ABC-12.dst");
  EXPECT_EQ(stitch_copy_name("../x"), "___x.dst");
  EXPECT_EQ(stitch_copy_name("a/b\\c"), "a_b_c.dst");
  EXPECT_EQ(stitch_copy_name(".."), "__.dst");
  EXPECT_EQ(stitch_copy_name("v1.2"), "v1.2.dst");
  EXPECT_FALSE(stitch_copy_name(""));

  TempDir d;
  ::mkdir((d / "floppy").c_str(), 0755);
  d.write_file("prog.dst", "stitches");
  ASSERT_EQ(copy_stitch_file(d / "prog.dst", d / "floppy/", "../x"), CopyResult::kCopied);
  EXPECT_EQ(d.read_file("floppy/___x.dst"), "stitches");
  EXPECT_FALSE(d.exists("x.dst"));
}

TEST(Copies, EachFailureHasItsReasonAndLeavesNothingBehind) {
  TempDir d;
  ::mkdir((d / "m").c_str(), 0755);
  EXPECT_EQ(copy_stitch_file(d / "prog.dst", d / "m", "A1"), CopyResult::kNoSource);
  d.write_file("prog.dst", std::string(200000, 's'));
  EXPECT_EQ(copy_stitch_file(d / "prog.dst", d / "gone/", "A1"), CopyResult::kNoTarget);
  EXPECT_EQ(copy_stitch_file(d / "prog.dst", "", "A1"), CopyResult::kNoTarget);

  // An old copy is replaced only by a complete new one.
  d.write_file("m/A1.dst", "old");
  ASSERT_EQ(copy_stitch_file(d / "prog.dst", d / "m", "A1"), CopyResult::kCopied);
  EXPECT_EQ(d.file_size("m/A1.dst"), 200000);
  EXPECT_FALSE(d.exists("m/A1.dst.part"));

  // A full medium: the copy's working file leads to a device that is always full.
  d.write_file("m/B1.dst", "old");
  ASSERT_EQ(::symlink("/dev/full", (d / "m/B1.dst.part").c_str()), 0);
  EXPECT_EQ(copy_stitch_file(d / "prog.dst", d / "m", "B1"), CopyResult::kNoRoom);
  EXPECT_EQ(d.read_file("m/B1.dst"), "old");
  struct stat st {};
  EXPECT_NE(::lstat((d / "m/B1.dst.part").c_str(), &st), 0) << "the working file is gone";
}

TEST(Floppy, TheFolderComesFromItsFileOrDefaults) {
  TempDir d;
  EXPECT_EQ(floppy_folder(d.path()), d / "floppy/");
  d.write_file("disketa.cfg", "/media/disk\nignored\n");
  EXPECT_EQ(floppy_folder(d.path()), "/media/disk/");
}

TEST(Floppy, ClearingRefusesFoldersThatAreNotAFloppy) {
  TempDir d;
  for (const char* sub : {"prog", "prog/temp", "home", "tmp", "floppy"})
    ::mkdir((d / sub).c_str(), 0755);
  ProtectedFolders keep;
  keep.program_dir = d / "prog/";
  keep.temp_dir = d / "prog/temp/";
  keep.home = d / "home";
  keep.system_temp = d / "tmp";
  EXPECT_EQ(floppy_clean_refusal("", keep), CleanRefusal::kUnset);
  EXPECT_EQ(floppy_clean_refusal(d / "nothing/", keep), CleanRefusal::kMissing);
  for (const std::string& f :
       {std::string("/"), d / "prog", d / "prog/", d / "floppy/../prog", d / "prog/temp/",
        d / "home/", d / "tmp", std::string("//")}) {
    EXPECT_EQ(floppy_clean_refusal(f, keep), CleanRefusal::kProtected) << f;
  }
  ASSERT_EQ(::symlink((d / "home").c_str(), (d / "homelink").c_str()), 0);
  EXPECT_EQ(floppy_clean_refusal(d / "homelink", keep), CleanRefusal::kProtected);
  EXPECT_EQ(floppy_clean_refusal(d / "floppy/", keep), CleanRefusal::kNone);
}

TEST(Floppy, OnlyRegularFilesDirectlyInTheFolderAreDeleted) {
  TempDir d;
  ::mkdir((d / "floppy").c_str(), 0755);
  ::mkdir((d / "floppy/sub").c_str(), 0755);
  d.write_file("floppy/a.dst", "a");
  d.write_file("floppy/B.DST", "b");
  d.write_file("floppy/sub/keep.dst", "k");
  d.write_file("outside.txt", "o");
  ASSERT_EQ(::symlink((d / "outside.txt").c_str(), (d / "floppy/link.dst").c_str()), 0);
  CleanResult r = clean_floppy(d / "floppy/");
  EXPECT_TRUE(r.listed);
  EXPECT_EQ(r.deleted, 2);
  EXPECT_EQ(r.failed, 0);
  EXPECT_FALSE(d.exists("floppy/a.dst"));
  EXPECT_FALSE(d.exists("floppy/B.DST"));
  EXPECT_EQ(d.read_file("floppy/sub/keep.dst"), "k");
  EXPECT_EQ(d.read_file("outside.txt"), "o");
  EXPECT_EQ(d.read_file("floppy/link.dst"), "o") << "a link is not a file of the floppy";
  EXPECT_FALSE(clean_floppy(d / "gone").listed);
}

}  // namespace
}  // namespace ksv::client::programs::testing
