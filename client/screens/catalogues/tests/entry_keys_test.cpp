// Catalogue records as the editors send them: the ID of the entry they replace, keys compared
// as the server compares them, and the preview size of a placement picture.
#include "client/screens/catalogues/entry_keys.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ksv::client::catalogues {
namespace {

TMaterial material(const char* name, int32_t id, int32_t speed = 0) {
  TMaterial m{};
  m.ID = id;
  m.NAZEV.assign(name);
  m.RYCHLOST = speed;
  return m;
}
TUmisteni placement(const char* text, int32_t material, int32_t id = 0) {
  TUmisteni u{};
  u.ID = id;
  u.POPIS.assign(text);
  u.MATERIAL = material;
  return u;
}
TBarva thread(const char* code, bool thin) {
  TBarva b{};
  b.KOD.assign(code);
  b.SLABA = thin;
  return b;
}

TEST(EntryKeys, ReplacingAMaterialKeepsItsId) {
  const std::vector<TMaterial> listed = {material("bavlna", 4), material("Polyester", 7)};
  TMaterial sent = material_to_send(material("BAVLNA", 0, 650), listed);
  EXPECT_EQ(sent.ID, 4);
  EXPECT_EQ(sent.RYCHLOST, 650);
  EXPECT_EQ(sent.NAZEV.str(), "BAVLNA");
  EXPECT_EQ(material_to_send(material("Len", 99), listed).ID, 0) << "a new one gets its ID from the server";
  EXPECT_EQ(material_to_send(material("bavlna ", 0), listed).ID, 0) << "a space is part of the key";
}

TEST(EntryKeys, PlacementKeyIsDescriptionWithMaterial) {
  const std::vector<TUmisteni> listed = {placement("hrud", 4, 10), placement("HRUD", 7, 11)};
  EXPECT_EQ(placement_to_send(placement("Hrud", 7), listed).ID, 11);
  EXPECT_EQ(placement_to_send(placement("Hrud", 4), listed).ID, 10);
  EXPECT_EQ(placement_to_send(placement("Hrud", 5, 10), listed).ID, 0);
}

TEST(EntryKeys, ThinAndStrongThreadsWithOneCodeAreTwoEntries) {
  const std::vector<TBarva> listed = {thread("1800", false), thread("1800", true)};
  EXPECT_EQ(listed_at(thread("1800", true), listed), 1u);
  EXPECT_EQ(listed_at(thread("1800", false), listed), 0u);
  EXPECT_FALSE(listed_at(thread("1801", false), listed));
}

TEST(EntryKeys, MaterialNameLeavesTheSpeedAlone) {
  TMaterial m = material("", 1, 900);
  m.NAZEV.assign(std::string(300, 'x'));
  EXPECT_EQ(m.NAZEV.size(), kMaterialNameChars);
  EXPECT_EQ(m.RYCHLOST, 900);
  EXPECT_EQ(material_speed(m), 900);
  m.RYCHLOST = 0;
  EXPECT_EQ(material_speed(m), kDefaultMaterialSpeed);
  m.RYCHLOST = -5;
  EXPECT_EQ(material_speed(m), kDefaultMaterialSpeed);
  // A record from before the speed: a 255-character name whose tail reads as a large number.
  m.NAZEV.len = 255;
  std::memcpy(&m.RYCHLOST, "xxxx", 4);
  EXPECT_EQ(material_speed(m), kDefaultMaterialSpeed);
}

TEST(EntryKeys, PicturesFitThePreviewKeepingTheirShape) {
  EXPECT_EQ(fitted({100, 50}), (Size{100, 50})) << "never enlarged";
  EXPECT_EQ(fitted({460, 150}), (Size{230, 75}));
  EXPECT_EQ(fitted({230, 300}), (Size{115, 150}));
  EXPECT_EQ(fitted({640, 480}), (Size{200, 150}));
  EXPECT_EQ(fitted({10000, 1}), (Size{230, 1}));
  EXPECT_EQ(fitted({0, 10}), (Size{1, 1}));
}

}  // namespace
}  // namespace ksv::client::catalogues
