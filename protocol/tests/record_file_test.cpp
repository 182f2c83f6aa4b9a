// Record files and file utilities against a real directory: whole-record reads, the atomic
// rewrite behind every change, deletion with shift, damaged files, copying and clearing.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "protocol/file_util.h"
#include "protocol/record_file.h"
#include "protocol/records/records.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv {
namespace {

using ksv::testing::TempDir;

std::vector<TMaterial> materials(std::initializer_list<int> ids) {
  std::vector<TMaterial> v;
  for (int id : ids) {
    TMaterial m;
    m.ID = id;
    m.NAZEV.assign("mat" + std::to_string(id));
    v.push_back(m);
  }
  return v;
}

std::vector<int> ids_in(const std::string& path) {
  std::vector<int> ids;
  if (auto recs = read_records<TMaterial>(path)) {
    for (const TMaterial& m : *recs) ids.push_back(m.ID);
  }
  return ids;
}

ino_t inode_of(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::vector<std::string> names_in(const std::string& dir) {
  std::vector<std::string> names;
  if (auto entries = list_directory(dir)) {
    for (const DirEntry& e : *entries) names.push_back(e.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Every name in the directory, temporary files included (list_directory hides those).
std::vector<std::string> raw_names_in(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(RecordFile, ReadsCountsAndRefusesWhatIsNotThere) {
  TempDir dir;
  const std::string path = dir / "material.dat";
  EXPECT_FALSE(read_records<TMaterial>(path));
  EXPECT_FALSE(count_records<TMaterial>(path));
  EXPECT_FALSE(read_record<TMaterial>(path, 0));
  EXPECT_FALSE(find_record<TMaterial>(path, [](const TMaterial&) { return true; }).readable());

  ASSERT_TRUE(write_records(path, materials({0, 1, 2})));
  EXPECT_EQ(dir.file_size("material.dat"), 3 * 260);
  EXPECT_EQ(count_records<TMaterial>(path), 3u);
  EXPECT_EQ(read_record<TMaterial>(path, 2)->NAZEV.str(), "mat2");
  EXPECT_FALSE(read_record<TMaterial>(path, 3));
  EXPECT_FALSE(read_record<TMaterial>(path, size_t(-1)));  // offset arithmetic must not wrap

  // A directory is not a record file.
  EXPECT_FALSE(read_records<TMaterial>(dir.path()));
  EXPECT_FALSE(count_records<TMaterial>(dir.path()));

  // An empty file is a readable file without records.
  ASSERT_TRUE(write_records(dir / "empty.dat", std::vector<TMaterial>{}));
  EXPECT_EQ(count_records<TMaterial>(dir / "empty.dat"), 0u);
  EXPECT_EQ(find_record<TMaterial>(dir / "empty.dat", [](const TMaterial&) { return true; }).status,
            ScanStatus::kNotFound);
}

TEST(RecordFile, FindReturnsTheFirstMatchFromTheStartingRecord) {
  TempDir dir;
  const std::string path = dir / "m.dat";
  auto recs = materials({0, 5, 6, 5});
  recs[3].NAZEV.assign("second five");
  ASSERT_TRUE(write_records(path, recs));
  auto is5 = [](const TMaterial& m) { return m.ID == 5; };

  ScanResult<TMaterial> hit = find_record<TMaterial>(path, is5);
  ASSERT_TRUE(hit.found());
  EXPECT_EQ(hit.index, 1u);
  EXPECT_EQ(hit.record.NAZEV.str(), "mat5");

  hit = find_record<TMaterial>(path, is5, 2);
  ASSERT_TRUE(hit.found());
  EXPECT_EQ(hit.index, 3u);
  EXPECT_EQ(hit.record.NAZEV.str(), "second five");

  hit = find_record<TMaterial>(path, [](const TMaterial& m) { return m.ID == 42; });
  EXPECT_TRUE(hit.readable());
  EXPECT_FALSE(hit.found());
  EXPECT_FALSE(find_record<TMaterial>(path, is5, 99).found());
}

TEST(RecordFile, DeleteShiftsLaterRecordsForwardAndShrinksTheFile) {
  TempDir dir;
  const std::string path = dir / "material.dat";
  ASSERT_TRUE(write_records(path, materials({0, 11, 12, 13, 14})));

  ASSERT_TRUE(delete_record<TMaterial>(path, 2));  // a middle record
  EXPECT_EQ(ids_in(path), (std::vector<int>{0, 11, 13, 14}));
  EXPECT_EQ(dir.file_size("material.dat"), 4 * 260);
  EXPECT_EQ(read_record<TMaterial>(path, 2)->NAZEV.str(), "mat13");

  ASSERT_TRUE(delete_record<TMaterial>(path, 3));  // the last record
  EXPECT_EQ(ids_in(path), (std::vector<int>{0, 11, 13}));
  EXPECT_EQ(dir.file_size("material.dat"), 3 * 260);

  EXPECT_FALSE(delete_record<TMaterial>(path, 3));  // no such record: nothing changes
  EXPECT_EQ(ids_in(path), (std::vector<int>{0, 11, 13}));
  EXPECT_FALSE(delete_record<TMaterial>(dir / "missing.dat", 0));
  EXPECT_FALSE(dir.exists("missing.dat"));

  ASSERT_TRUE(delete_record<TMaterial>(path, 0));
  ASSERT_TRUE(delete_record<TMaterial>(path, 0));
  ASSERT_TRUE(delete_record<TMaterial>(path, 0));
  EXPECT_EQ(dir.file_size("material.dat"), 0);
}

TEST(RecordFile, WriteAndAppendChangeOnlyExistingFiles) {
  TempDir dir;
  const std::string path = dir / "m.dat";
  ASSERT_TRUE(write_records(path, materials({0, 1})));

  TMaterial m = materials({7})[0];
  ASSERT_TRUE(write_record(path, 1, m));
  EXPECT_EQ(ids_in(path), (std::vector<int>{0, 7}));
  EXPECT_FALSE(write_record(path, 2, m));  // writing past the end is not an append
  EXPECT_EQ(dir.file_size("m.dat"), 2 * 260);

  ASSERT_TRUE(append_record(path, m));
  EXPECT_EQ(ids_in(path), (std::vector<int>{0, 7, 7}));

  // A record file that is gone is an error for the command, not something to recreate.
  EXPECT_FALSE(append_record(dir / "gone.dat", m));
  EXPECT_FALSE(write_record(dir / "gone.dat", 0, m));
  EXPECT_FALSE(dir.exists("gone.dat"));
}

TEST(RecordFile, UpdateThatDeclinesLeavesTheFileAlone) {
  TempDir dir;
  const std::string path = dir / "m.dat";
  ASSERT_TRUE(write_records(path, materials({0, 1})));
  const ino_t before = inode_of(path);

  EXPECT_TRUE(update_records<TMaterial>(path, [](std::vector<TMaterial>& v) {
    v.clear();
    return false;
  }));
  EXPECT_EQ(inode_of(path), before);  // not rewritten at all
  EXPECT_EQ(ids_in(path), (std::vector<int>{0, 1}));

  EXPECT_TRUE(update_records<TMaterial>(path, [](std::vector<TMaterial>& v) { v[1].ID = 3; }));
  EXPECT_EQ(ids_in(path), (std::vector<int>{0, 3}));
}

TEST(RecordFile, AtomicRewriteReplacesContentAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir / "kalkul.dat";
  dir.write_file("kalkul.dat", std::string(5000, 'x'));  // longer than the new content
  ::chmod(path.c_str(), 0600);
  const ino_t before = inode_of(path);

  TKalkulace k;
  for (size_t i = 0; i < sizeof k.REZERVA; ++i) k.REZERVA[i] = uint8_t(i);
  ASSERT_TRUE(write_records<TKalkulace>(path, {k}));

  EXPECT_EQ(dir.file_size("kalkul.dat"), 1016);
  EXPECT_EQ(read_record<TKalkulace>(path, 0)->REZERVA[1015], uint8_t(1015));
  EXPECT_NE(inode_of(path), before);  // a new file was renamed over the old one
  EXPECT_EQ(raw_names_in(dir.path()), (std::vector<std::string>{"kalkul.dat"}));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);  // permissions carried over

  // A file with no directory to live in cannot be written, and nothing is left behind.
  EXPECT_FALSE(write_records<TKalkulace>(dir / "nodir/kalkul.dat", {k}));
  EXPECT_FALSE(write_records<TKalkulace>(dir.path(), {k}));
  ASSERT_TRUE(make_directory(dir / "sub"));
  EXPECT_FALSE(write_records<TKalkulace>(dir / "sub", {k}));  // a directory is not replaced
  EXPECT_TRUE(directory_exists(dir / "sub"));
  EXPECT_EQ(raw_names_in(dir.path()), (std::vector<std::string>{"kalkul.dat", "sub"}));
}

// Holds the process's file-size limit low for one scope, so a write fails half way as it would
// on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead
    rlimit lim = saved_;
    lim.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit saved_{};
  void (*old_handler_)(int) = nullptr;
};

TEST(RecordFile, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir / "material.dat";
  ASSERT_TRUE(write_records(path, materials({0, 1})));
  dir.write_file("big", std::string(100000, 'b'));
  dir.write_file("small", "keep me");
  {
    FileSizeLimit limit(4096);
    EXPECT_FALSE(write_records(path, materials({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14,
                                                15, 16, 17, 18, 19})));
    EXPECT_FALSE(copy_file(dir / "big", dir / "small"));
  }
  EXPECT_EQ(ids_in(path), (std::vector<int>{0, 1}));
  EXPECT_EQ(dir.read_file("small"), "keep me");
  EXPECT_EQ(raw_names_in(dir.path()), (std::vector<std::string>{"big", "material.dat", "small"}));
}

TEST(RecordFile, TrailingPartialRecordIsNeverReadAndIsReported) {
  TempDir dir;
  const std::string path = dir / "nite.dat";
  std::vector<TBarva> threads(2);
  threads[0].KOD.assign("1001");
  threads[1].KOD.assign("1002");
  std::string raw(reinterpret_cast<const char*>(threads.data()), 2 * sizeof(TBarva));
  raw += std::string(20, '\x07');  // a damaged tail: 20 of 35 bytes
  dir.write_file("nite.dat", raw);

  bool partial = false;
  auto recs = read_records<TBarva>(path, &partial);
  ASSERT_TRUE(recs);
  EXPECT_TRUE(partial);
  ASSERT_EQ(recs->size(), 2u);
  EXPECT_EQ((*recs)[1].KOD.str(), "1002");
  EXPECT_EQ(count_records<TBarva>(path), 2u);
  EXPECT_FALSE(read_record<TBarva>(path, 2));
  EXPECT_FALSE(find_record<TBarva>(path, [](const TBarva& b) { return b.KOD.str() == ""; })
                   .found());  // the tail is not a record with an empty code

  // The next change writes whole records only; the damaged tail is gone.
  TBarva t;
  t.KOD.assign("1003");
  ASSERT_TRUE(append_record(path, t));
  EXPECT_EQ(dir.file_size("nite.dat"), 3 * 35);
  recs = read_records<TBarva>(path, &partial);
  EXPECT_FALSE(partial);
  EXPECT_EQ((*recs)[2].KOD.str(), "1003");
}

TEST(FileUtil, CopyReplacesTheDestinationWholeOrNotAtAll) {
  TempDir dir;
  std::string big(65536 * 3 + 123, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char((i * 2654435761u) >> 13);
  dir.write_file("src.dst", big);
  dir.write_file("old", std::string(300000, 'o'));  // longer than the source

  ASSERT_TRUE(copy_file(dir / "src.dst", dir / "old"));
  EXPECT_EQ(dir.read_file("old"), big);
  ASSERT_TRUE(copy_file(dir / "src.dst", dir / "new"));
  EXPECT_EQ(dir.read_file("new"), big);

  dir.write_file("empty", "");
  ASSERT_TRUE(copy_file(dir / "empty", dir / "new"));
  EXPECT_EQ(dir.file_size("new"), 0);

  // Failures leave an existing destination as it was.
  EXPECT_FALSE(copy_file(dir / "missing", dir / "old"));
  EXPECT_FALSE(copy_file(dir / "src.dst", dir / "nodir/x"));
  EXPECT_FALSE(copy_file(dir.path(), dir / "old"));  // a directory is not a source
  EXPECT_FALSE(copy_file(dir / "old", dir / "old"));  // onto itself
  EXPECT_FALSE(copy_file(dir / "old", dir.path() + "./old"));
  EXPECT_EQ(dir.read_file("old"), big);
  EXPECT_EQ(raw_names_in(dir.path()), (std::vector<std::string>{"empty", "new", "old", "src.dst"}));
}

TEST(FileUtil, ClearDirectoryDeletesFilesButNotSubdirectories) {
  TempDir dir;
  dir.write_file("temp/seznd3", "a");
  dir.write_file("temp/.hidden", "b");
  dir.write_file("temp/keep/inner", "c");
  dir.write_file("outside/target", "d");
  ASSERT_EQ(::symlink((dir / "outside").c_str(), (dir / "temp/link").c_str()), 0);

  EXPECT_TRUE(clear_directory(dir / "temp/"));  // the trailing "/" is dropped
  EXPECT_EQ(raw_names_in(dir / "temp"), (std::vector<std::string>{"keep"}));
  EXPECT_EQ(dir.read_file("temp/keep/inner"), "c");
  EXPECT_EQ(dir.read_file("outside/target"), "d");  // a link is removed, not followed

  EXPECT_TRUE(clear_directory(dir / "temp"));  // nothing left to delete is fine
  EXPECT_FALSE(clear_directory(dir / "nothere"));
}

TEST(FileUtil, ExistenceAndOneLevelDirectories) {
  TempDir dir;
  dir.write_file("f", "x");
  EXPECT_TRUE(file_exists(dir / "f"));
  EXPECT_FALSE(file_exists(dir / "g"));
  EXPECT_FALSE(file_exists(dir.path()));  // a directory is not a file
  EXPECT_TRUE(directory_exists(dir.path()));
  EXPECT_FALSE(directory_exists(dir / "f"));

  EXPECT_TRUE(make_directory(dir / "databaze"));
  EXPECT_FALSE(make_directory(dir / "databaze"));
  EXPECT_FALSE(make_directory(dir / "a/b"));  // one level only
  dir.write_file("databaze/a-100/info.dat", "x");
  EXPECT_FALSE(remove_directory(dir / "databaze"));  // not empty
  EXPECT_FALSE(erase_file(dir / "databaze"));        // and not a file
  EXPECT_TRUE(erase_file(dir / "databaze/a-100/info.dat"));
  EXPECT_FALSE(erase_file(dir / "databaze/a-100/info.dat"));
  EXPECT_TRUE(remove_directory(dir / "databaze/a-100"));
  EXPECT_TRUE(remove_directory(dir / "databaze"));

  EXPECT_TRUE(rename_file(dir / "f", dir / "h"));
  EXPECT_FALSE(file_exists(dir / "f"));
  EXPECT_FALSE(rename_file(dir / "f", dir / "h"));
}

TEST(FileUtil, ListingMatchesPatternsAndHidesRewritesInProgress) {
  TempDir dir;
  dir.write_file("d/12-00-01.jpg", "1");
  dir.write_file("d/12-00-02.JPG", "22");
  dir.write_file("d/notes.txt", "333");
  dir.write_file("d/.x.jpg", "4");
  dir.write_file(std::string("d/") + kAtomicTempPrefix + "abc123", "5");
  dir.write_file("d/2026-01-15/a", "");

  EXPECT_EQ(names_in(dir / "d"), (std::vector<std::string>{".x.jpg", "12-00-01.jpg",
                                                           "12-00-02.JPG", "2026-01-15",
                                                           "notes.txt"}));
  auto jpg = list_directory(dir / "d/", "*.jpg");
  ASSERT_TRUE(jpg);
  EXPECT_EQ(jpg->size(), 2u);  // case-sensitive by default: .x.jpg and 12-00-01.jpg
  auto any_case = list_directory(dir / "d", "*.jpg", true);
  ASSERT_TRUE(any_case);
  EXPECT_EQ(any_case->size(), 3u);

  auto days = list_directory(dir / "d", "2026-01-*");
  ASSERT_TRUE(days);
  ASSERT_EQ(days->size(), 1u);
  EXPECT_TRUE((*days)[0].is_directory);

  auto txt = list_directory(dir / "d", "*.txt");
  ASSERT_EQ(txt->size(), 1u);
  EXPECT_FALSE((*txt)[0].is_directory);
  EXPECT_EQ((*txt)[0].size, 3u);
  EXPECT_GT((*txt)[0].mtime, 0);

  EXPECT_FALSE(list_directory(dir / "none"));
}

TEST(FileUtil, PlainNamesStayInsideTheirDirectory) {
  EXPECT_TRUE(is_plain_name("prog.dst"));
  EXPECT_TRUE(is_plain_name("12%03.ksv"));
  EXPECT_TRUE(is_plain_name("..hidden"));
  EXPECT_FALSE(is_plain_name(""));
  EXPECT_FALSE(is_plain_name("."));
  EXPECT_FALSE(is_plain_name(".."));
  EXPECT_FALSE(is_plain_name("../uzivatel.dat"));
  EXPECT_FALSE(is_plain_name("a/b"));
  EXPECT_FALSE(is_plain_name("/etc"));
  EXPECT_FALSE(is_plain_name(std::string_view("a\0b", 3)));
}

}  // namespace
}  // namespace ksv
