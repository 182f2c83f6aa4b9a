// Saving and deleting catalogue entries against a real server: a replacement keeps the entry's
// ID (so programs keep their material), a replacement without right 59 changes nothing and says
// why, nothing is sent when the list to look the key up in did not come, and a thin and a
// strong thread with one code stay two entries.
#include "client/screens/catalogues/entry_store.h"

#include "client/pickers.h"
#include "client/tests/fixture.h"
#include "protocol/rights.h"

namespace ksv::client::testing {
namespace {

using catalogues::EntrySave;

template <class T>
std::string records(std::initializer_list<T> list) {
  std::string out;
  for (const T& r : list) out.append(reinterpret_cast<const char*>(&r), sizeof r);
  return out;
}

template <class T>
std::vector<T> file_records(const std::string& bytes) {
  std::vector<T> out(bytes.size() / sizeof(T));
  if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
  return out;
}

TMaterial material(int32_t id, const char* name, int32_t speed = 0) {
  TMaterial m{};
  m.ID = id;
  m.NAZEV.assign(name);
  m.RYCHLOST = speed;
  return m;
}

TBarva thread(const char* code, bool thin, uint8_t colour) {
  TBarva b{};
  b.KOD.assign(code);
  b.SLABA = thin;
  b.BARVA = colour;
  return b;
}

int64_t rights(std::initializer_list<int> bits) {
  int64_t r = 0;
  for (int b : bits) NASTAVBIT(r, b);
  return r;
}

class EntryStore : public ClientTest {
 protected:
  void start(int64_t user_rights) {
    start_server();
    add_user("novak", "n", user_rights);
    open_client();
    login_directly();
    // Record 0 is the ID header: the last ID given out was 2.
    dir.write_file("server/material.dat",
                   records({material(2, ""), material(1, "BAVLNA", 500), material(2, "Flis")}));
  }
  Workspace& ws() { return app->workspace; }
  std::vector<TMaterial> materials_on_server() {
    return file_records<TMaterial>(dir.read_file("server/material.dat"));
  }
};

TEST_F(EntryStore, ReplacingAMaterialKeepsItsIdAndNewOnesGetTheNext) {
  start(rights({12, 59}));
  TMaterial edited = material(0, "bavlna", 650);
  EntrySave s = catalogues::save_material(f(), ws(), edited);
  EXPECT_TRUE(s.saved);
  EXPECT_TRUE(s.replaced);
  EXPECT_EQ(s.id, 1);
  std::vector<TMaterial> disk = materials_on_server();
  ASSERT_EQ(disk.size(), 3u);
  EXPECT_EQ(disk[1].ID, 1) << "the programs of material 1 would lose it";
  EXPECT_EQ(disk[1].NAZEV.str(), "bavlna");
  EXPECT_EQ(material_speed(disk[1]), 650);

  // A program's material column names it by its ID from the list fetched anew.
  ws().materials.clear();
  ASSERT_TRUE(fetch_materials(f(), ws()));
  EXPECT_EQ(ws().materials.name_or_unknown(1), "bavlna");

  s = catalogues::save_material(f(), ws(), material(0, "Len", 0));
  EXPECT_TRUE(s.saved);
  EXPECT_FALSE(s.replaced);
  disk = materials_on_server();
  ASSERT_EQ(disk.size(), 4u);
  EXPECT_EQ(disk[0].ID, 3);
  EXPECT_EQ(disk[3].ID, 3);
  EXPECT_EQ(material_speed(disk[3]), kDefaultMaterialSpeed);
  EXPECT_TRUE(seen.empty()) << seen.front();
  EXPECT_FALSE(timed_out);
}

TEST_F(EntryStore, ReplacingWithoutRight59ChangesNothingAndSaysSo) {
  start(rights({12}));
  const std::string before = dir.read_file("server/material.dat");
  when_modal(Modal::kError, [this] { key(13); });
  EntrySave s = catalogues::save_material(f(), ws(), material(0, "Bavlna", 900));
  EXPECT_FALSE(s.saved);
  EXPECT_EQ(s.reply, 237);
  EXPECT_TRUE(s.replaced);
  EXPECT_EQ(dir.read_file("server/material.dat"), before);
  EXPECT_EQ(seen, (std::vector<std::string>{"error237"}));

  // A new name needs no right 59.
  EXPECT_TRUE(catalogues::save_material(f(), ws(), material(0, "Saten", 0)).saved);
  EXPECT_FALSE(timed_out);
}

TEST_F(EntryStore, NothingIsSentWithoutTheListToLookTheKeyUpIn) {
  start(rights({12, 59}));
  // The server cannot copy a list it has lost: the save must not guess the ID.
  ASSERT_EQ(std::remove((sdir + "material.dat").c_str()), 0);
  when_modal(Modal::kError, [this] { key(13); });
  EntrySave s = catalogues::save_material(f(), ws(), material(0, "bavlna", 650));
  EXPECT_FALSE(s.saved);
  EXPECT_EQ(s.reply, 0);
  EXPECT_EQ(f().requests_sent[53], 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"error254"}));
  EXPECT_FALSE(timed_out);
}

TEST_F(EntryStore, ThinAndStrongThreadsWithOneCodeAreTwoEntries) {
  start(rights({10, 11}));
  EXPECT_TRUE(catalogues::save_thread(f(), ws(), thread("1147", true, 224)).saved);
  EntrySave strong = catalogues::save_thread(f(), ws(), thread("1147", false, 225));
  EXPECT_TRUE(strong.saved);
  EXPECT_FALSE(strong.replaced);
  ASSERT_TRUE(fetch_threads(f(), ws()));
  ASSERT_EQ(ws().threads.size(), 2u);
  EXPECT_EQ(ws().threads.at({"1147", true}).BARVA, 224);
  EXPECT_EQ(ws().threads.at({"1147", false}).BARVA, 225);

  EXPECT_TRUE(catalogues::delete_thread(f(), ws(), thread("1147", false, 225)));
  std::optional<std::vector<TBarva>> left = fetch_threads(f(), ws());
  ASSERT_TRUE(left);
  ASSERT_EQ(left->size(), 1u);
  EXPECT_EQ((*left)[0].SLABA, 1);
  EXPECT_EQ(ws().threads.count({"1147", true}), 1u);
  EXPECT_FALSE(timed_out);
}

}  // namespace
}  // namespace ksv::client::testing
