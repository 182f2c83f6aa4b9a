// The client's configuration files: every fallback, and what the exit procedure writes back.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "client/config.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv::client {
namespace {

TEST(LocalConfig, NoFilesGiveTheBuiltInValues) {
  ksv::testing::TempDir d;
  LocalConfig c = read_local_config(d.path());
  EXPECT_EQ(c.POSLEDNIADRESAR, d.path());
  EXPECT_EQ(c.ADRESARSTROJE, d.path() + "temp");
  for (uint8_t b : c.PODPIS) EXPECT_EQ(b, 0);
  for (const std::string& f : c.OBLIBENE) EXPECT_EQ(f, "");
  EXPECT_EQ(c.internal_address, "");
  EXPECT_EQ(c.external_address, "");
  EXPECT_FALSE(c.set_machine_clock);
}

TEST(LocalConfig, AddressLineWithoutADotKeepsTheBuiltInOne) {
  ksv::testing::TempDir d;
  d.write_file("adresy.cfg", "serverdilna\r\n10.0.0.7\r\n");
  LocalConfig c = read_local_config(d.path());
  EXPECT_EQ(c.internal_address, "");
  EXPECT_EQ(c.external_address, "10.0.0.7");
  d.write_file("adresy.cfg", "192.168.1.5");  // one line, no line end
  c = read_local_config(d.path());
  EXPECT_EQ(c.internal_address, "192.168.1.5");
  EXPECT_EQ(c.external_address, "");
}

TEST(LocalConfig, DirectoriesThatAreGoneFallBackAndComeBackEmpty) {
  ksv::testing::TempDir d;
  ::mkdir((d / "stroj").c_str(), 0755);
  ::mkdir((d / "a").c_str(), 0755);
  ::mkdir((d / "c").c_str(), 0755);
  d.write_file("posladr.cfg", d / "smazany\n");
  d.write_file("tajima.cfg", d / "stroj\n");
  d.write_file("oblibene.cfg", d / "a\n" + d / "b\n\n" + d / "c\n");
  LocalConfig c = read_local_config(d.path());
  EXPECT_EQ(c.POSLEDNIADRESAR, d.path());
  EXPECT_EQ(c.ADRESARSTROJE, d / "stroj");
  // Only three lines are read: the empty third line takes slot 3, "c" is past the end.
  EXPECT_EQ(c.OBLIBENE[0], d / "a");
  EXPECT_EQ(c.OBLIBENE[1], "");
  EXPECT_EQ(c.OBLIBENE[2], "");

  write_local_config(d.path(), c);
  EXPECT_EQ(d.read_file("posladr.cfg"), d.path() + "\n");
  EXPECT_EQ(d.read_file("oblibene.cfg"), d / "a\n\n\n");
  EXPECT_FALSE(d.exists("oblibene.cfg.new"));
  EXPECT_EQ(d.read_file("tajima.cfg"), d / "stroj\n");  // never written
}

TEST(LocalConfig, ShortSignatureLeavesTheRestZero) {
  ksv::testing::TempDir d;
  d.write_file("signature", "abc");
  LocalConfig c = read_local_config(d.path());
  EXPECT_EQ(c.PODPIS[0], 'a');
  EXPECT_EQ(c.PODPIS[2], 'c');
  for (size_t i = 3; i < c.PODPIS.size(); ++i) EXPECT_EQ(c.PODPIS[i], 0) << i;
  std::string longer(300, 'x');
  d.write_file("signature", longer);
  c = read_local_config(d.path());
  EXPECT_EQ(c.PODPIS[255], 'x');
}

TEST(LocalConfig, LongLinesAreCutTo255Characters) {
  ksv::testing::TempDir d;
  std::string line;
  EXPECT_FALSE(read_first_line(d / "none", line));
  d.write_file("x.cfg", std::string(300, 'q') + "\nsecond\n");
  ASSERT_TRUE(read_first_line(d / "x.cfg", line));
  EXPECT_EQ(line, std::string(255, 'q'));
}

TEST(LocalConfig, MachineClockOnlyWhenEnabled) {
  ksv::testing::TempDir d;
  d.write_file("hodiny.cfg", "0\n");
  EXPECT_FALSE(read_local_config(d.path()).set_machine_clock);
  d.write_file("hodiny.cfg", "1\n");
  EXPECT_TRUE(read_local_config(d.path()).set_machine_clock);
}

TEST(LocalConfig, UnwritableDirectoryIsSkippedSilently) {
  LocalConfig c;
  write_local_config("/nonexistent-ksv-dir/", c);  // must neither fail nor create anything
  struct stat st {};
  EXPECT_NE(::stat("/nonexistent-ksv-dir", &st), 0);
}

}  // namespace
}  // namespace ksv::client
