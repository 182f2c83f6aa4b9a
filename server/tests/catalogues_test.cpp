// Catalogue commands: keys compared in upper case (with SLABA and MATERIAL), right 59 to
// replace, IDs from the header, deletion with shift, and the placement pictures from the upload
// name of 38 to the copy of 37.
#include "protocol/records/catalogues.h"
#include "server/store/catalogues.h"
#include "server/tests/store_rig.h"

namespace ksv::server::testing {
namespace {

namespace sl = ksv::slot;

constexpr int64_t kAllBut59 = ~(int64_t(1) << 59);

TMaterial material(const char* name, int32_t id = 0) {
  TMaterial m{};
  m.ID = id;
  m.NAZEV.assign(name);
  return m;
}
TBarva thread(const char* code, bool thin, const char* pantone = "") {
  TBarva b{};
  b.KOD.assign(code);
  b.SLABA = thin;
  b.PANTONE.assign(pantone);
  return b;
}
TUmisteni placement(const char* description, int32_t material_id, int32_t id = 0) {
  TUmisteni u{};
  u.ID = id;
  u.POPIS.assign(description);
  u.MATERIAL = material_id;
  return u;
}

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    st.seat(0, "mistr");
    st.seat(1, "ucen", kAllBut59);
  }
  StoreRig st;
};

// The speed rides in the record's last four bytes: stored as sent, no part of the key.
TEST_F(Catalogue, MaterialSpeedIsStoredAndIsNoPartOfTheKey) {
  TMaterial m = material("Bavlna");
  m.RYCHLOST = 650;
  ASSERT_EQ(st.record(0, 53, m), 206);
  auto all = st.read_all<TMaterial>("material.dat");
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].RYCHLOST, 650);
  EXPECT_EQ(material_speed(all[1]), 650);

  m = material("BAVLNA", all[1].ID);
  m.RYCHLOST = 0;
  ASSERT_EQ(st.record(0, 53, m), 206);
  all = st.read_all<TMaterial>("material.dat");
  ASSERT_EQ(all.size(), 2u) << "another speed is the same material";
  EXPECT_EQ(all[1].ID, 1);
  EXPECT_EQ(material_speed(all[1]), kDefaultMaterialSpeed) << "0 is unknown";
}

TEST_F(Catalogue, MaterialsTakeIdsFromTheHeaderAndAreKeyedByTheirNameInUpperCase) {
  ASSERT_EQ(st.record(0, 53, material("BAVLNA", 99)), 206);
  ASSERT_EQ(st.record(0, 53, material("Polyester")), 206);
  auto all = st.read_all<TMaterial>("material.dat");
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].ID, 2) << "the header holds the last ID given out";
  EXPECT_EQ(all[1].ID, 1) << "a fresh file gives ID 1, whatever the client sent";
  EXPECT_EQ(all[2].ID, 2);

  // bavlna is BAVLNA: without right 59 nothing changes, with it the record replaces the entry.
  const std::string before = st.rig.dir.read_file("material.dat");
  EXPECT_EQ(st.record(1, 53, material("bavlna", 1)), 237);
  EXPECT_EQ(st.rig.dir.read_file("material.dat"), before);
  ASSERT_EQ(st.record(0, 53, material("bavlna", 1)), 206);
  all = st.read_all<TMaterial>("material.dat");
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[1].NAZEV.str(), "bavlna");
  EXPECT_EQ(all[0].ID, 2);

  // An entry with an empty name is still an entry, never the header.
  ASSERT_EQ(st.record(0, 53, material("")), 206);
  ASSERT_EQ(st.record(0, 53, material("", 0)), 206);
  all = st.read_all<TMaterial>("material.dat");
  EXPECT_EQ(all[0].ID, 3);
  EXPECT_EQ(all.size(), 4u);

  // Delete by key moves the later entries up; an unknown key changes nothing.
  ASSERT_EQ(st.record(0, 54, material("BAVLNA")), 206);
  all = st.read_all<TMaterial>("material.dat");
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[1].NAZEV.str(), "Polyester");
  const std::string now = st.rig.dir.read_file("material.dat");
  EXPECT_EQ(st.record(0, 54, material("Len")), 206);
  EXPECT_EQ(st.rig.dir.read_file("material.dat"), now);
  EXPECT_EQ(st.record(1, 54, material("Polyester")), 206) << "deleting needs bit 13, not 59";
}

TEST_F(Catalogue, ThinAndStrongThreadsWithOneCodeAreTwoEntries) {
  ASSERT_EQ(st.record(0, 51, thread("1800", false, "modra")), 205);
  ASSERT_EQ(st.record(0, 51, thread("1800", true, "modra slaba")), 205);
  auto all = st.read_all<TBarva>("nite.dat");
  ASSERT_EQ(all.size(), 3u) << "the initial empty entry stays";
  EXPECT_EQ(all[1].SLABA, 0);
  EXPECT_EQ(all[2].SLABA, 1);

  EXPECT_EQ(st.record(1, 51, thread("1800", true, "jina")), 237);
  ASSERT_EQ(st.record(0, 51, thread("1800", true, "jina")), 205);
  all = st.read_all<TBarva>("nite.dat");
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[2].PANTONE.str(), "jina");
  EXPECT_EQ(all[1].PANTONE.str(), "modra");

  ASSERT_EQ(st.record(0, 51, thread("ab1", false)), 205);
  ASSERT_EQ(st.record(0, 52, thread("AB1", false)), 205);
  ASSERT_EQ(st.record(0, 52, thread("1800", false)), 205);
  all = st.read_all<TBarva>("nite.dat");
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].SLABA, 1);
}

TEST_F(Catalogue, ListsAreCopiesOfTheFilesNamedForTheSlot) {
  ASSERT_EQ(st.record(0, 53, material("BAVLNA")), 206);
  for (auto [code, stem, file, reply] :
       {std::tuple{57, "nite", "nite.dat", 205}, std::tuple{58, "mat", "material.dat", 206},
        std::tuple{59, "umist", "umisten.dat", 207}}) {
    st.compose(uint8_t(code));
    ASSERT_EQ(st.run(1), reply);
    EXPECT_EQ(st.reply_text(), std::string(stem) + "1");
    EXPECT_EQ(st.rig.dir.read_file(std::string("temp/") + stem + "1"), st.rig.dir.read_file(file));
  }
  EXPECT_EQ(st.rig.dir.file_size("temp/mat1"), 2 * 260);
}

TEST_F(Catalogue, PlacementPicturesFromUploadNameToDeletion) {
  ASSERT_EQ(st.record(0, 55, placement("Hrudnik vlevo", 3)), 207);
  ASSERT_EQ(st.record(0, 55, placement("Zada", 3)), 207);
  ASSERT_EQ(st.record(0, 55, placement("Zada", 4)), 207) << "another material, another entry";
  EXPECT_EQ(st.read_all<TUmisteni>("umisten.dat").size(), 4u);

  // 38 finds the entry by its exact description and names the upload "<id>%<slot>.ksv".
  ASSERT_EQ(st.record(1, 38, placement("Zada", 3)), 237);
  EXPECT_EQ(st.reply_text(), "2%01.ksv");
  EXPECT_EQ(st.record(1, 38, placement("ZADA", 3)), 254);
  EXPECT_EQ(st.record(1, 38, placement("Zada", 5)), 254);

  // Without a picture, 37 answers 207; an unknown placement 254.
  EXPECT_EQ(st.record(1, 37, placement("zada", 3)), 207);
  EXPECT_EQ(st.record(1, 37, placement("Kapsa", 3)), 254);

  // The finished upload becomes the picture, and the uploaded file goes away.
  st.rig.dir.write_file("temp/2%01.ksv", "KSV picture");
  store_upload_finished(st.server(), 1, st.path("temp/2%01.ksv"));
  EXPECT_EQ(st.rig.dir.read_file("umisten/2.ksv"), "KSV picture");
  EXPECT_FALSE(st.rig.dir.exists("temp/2%01.ksv"));

  ASSERT_EQ(st.record(1, 37, placement("zada", 3)), 237);
  EXPECT_EQ(st.reply_text(), "nahl1.ksv");
  EXPECT_EQ(st.rig.dir.read_file("temp/nahl1.ksv"), "KSV picture");

  // Deleting the placement erases its picture; one without a picture deletes fine.
  ASSERT_EQ(st.record(0, 56, placement("ZADA", 3)), 207);
  EXPECT_FALSE(st.rig.dir.exists("umisten/2.ksv"));
  ASSERT_EQ(st.record(0, 56, placement("hrudnik VLEVO", 3)), 207);
  auto all = st.read_all<TUmisteni>("umisten.dat");
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1].MATERIAL, 4);
  EXPECT_EQ(all[0].ID, 3);
}

TEST_F(Catalogue, OnlyAnUploadNamedForThisSlotAndANumberBecomesAPicture) {
  for (const char* name : {"2%02.ksv", "%01.ksv", "x2%01.ksv", "2%01.ksvx", "2%01.bmp"}) {
    SCOPED_TRACE(name);
    st.rig.dir.write_file(std::string("temp/") + name, "data");
    store_upload_finished(st.server(), 1, st.path(std::string("temp/") + name));
    EXPECT_TRUE(st.rig.dir.exists(std::string("temp/") + name));
  }
  EXPECT_EQ(picture_upload_id("12%03.ksv", 3), 12);
  EXPECT_EQ(picture_upload_name(12, 3), "12%03.ksv");
  EXPECT_FALSE(picture_upload_id("12%03.ksv", 4));
}

}  // namespace
}  // namespace ksv::server::testing
