// Pickers and look-ups against a real server: users by name and id, the three catalogue lists
// (header and empty records left out, unknown ids named "???"), and the pickers over the
// screen's own list, which comes back unchanged.
#include "client/pickers.h"
#include "client/tests/fixture.h"

namespace ksv::client::testing {
namespace {

template <class T>
std::string records(std::initializer_list<T> list) {
  std::string out;
  for (const T& r : list) out.append(reinterpret_cast<const char*>(&r), sizeof r);
  return out;
}

TMaterial material(int32_t id, const char* name) {
  TMaterial m{};
  m.ID = id;
  m.NAZEV.assign(name);
  return m;
}

TUmisteni placement(int32_t id, const char* name, int32_t of) {
  TUmisteni u{};
  u.ID = id;
  u.POPIS.assign(name);
  u.MATERIAL = of;
  return u;
}

class Pickers : public ClientTest {
 protected:
  void SetUp() override {
    start_server();
    novak = add_user("novak", "n", 0);
    svoboda = add_user("svoboda", "s", 0);
    open_client();
    login_directly();
    // Record 0 of the material and placement files is the ID header, not an entry.
    dir.write_file("server/material.dat",
                   records({material(3, ""), material(1, "Bavlna"), material(2, ""),
                            material(3, "Flis")}));
    dir.write_file("server/umisten.dat",
                   records({placement(2, "", 0), placement(1, "Hrudnik", 1),
                            placement(2, "Zada", 3)}));
    TBarva red{}, blank{};
    red.KOD.assign("1147");
    red.BARVA = 224;
    red.SLABA = 1;
    red.PANTONE.assign("Pantone 186");
    dir.write_file("server/nite.dat", records({red, blank}));
  }
  int32_t novak = -1, svoboda = -1;
  Workspace& ws() { return app->workspace; }
};

TEST_F(Pickers, UsersByNameAndById) {
  EXPECT_EQ(user_id_of(f(), "svoboda"), svoboda);
  EXPECT_EQ(user_id_of(f(), "nikdo"), -1);
  EXPECT_EQ(user_name_of(f(), ws(), svoboda), "svoboda");
  const int asked = f().requests_sent[6];
  EXPECT_EQ(user_name_of(f(), ws(), svoboda), "svoboda");  // from the cache
  EXPECT_EQ(f().requests_sent[6], asked);
  EXPECT_EQ(user_name_of(f(), ws(), 999), "???");
  EXPECT_EQ(user_name_of(f(), ws(), -1), "???");
  EXPECT_FALSE(timed_out);
}

TEST_F(Pickers, CatalogueListsSkipHeaderAndEmptyRecords) {
  auto m = fetch_materials(f(), ws());
  ASSERT_TRUE(m);
  ASSERT_EQ(m->size(), 2u);
  EXPECT_EQ((*m)[0].NAZEV.str(), "Bavlna");
  EXPECT_EQ((*m)[1].ID, 3);
  EXPECT_EQ(ws().materials.name_or_unknown(3), "Flis");
  EXPECT_EQ(ws().materials.name_or_unknown(2), "???");  // the empty record names nothing

  auto p = fetch_placements(f(), ws());
  ASSERT_TRUE(p);
  ASSERT_EQ(p->size(), 2u);
  EXPECT_EQ(ws().placements.name_or_unknown(2), "Zada");

  // The thread file has no header: its first record is a thread.
  auto t = fetch_threads(f(), ws());
  ASSERT_TRUE(t);
  ASSERT_EQ(t->size(), 1u);
  EXPECT_EQ(ws().threads.at({"1147", true}).PANTONE.str(), "Pantone 186");
  EXPECT_FALSE(timed_out);
}

TEST_F(Pickers, ChoiceComesBackAndTheScreensListStays) {
  toolkit::Seznam& list = app->tk.seznam;
  list.PRIDEJPRVEK("Z1", std::string("a\0", 2), false);
  list.PRIDEJPRVEK("Z2", std::string("b\0", 2), false);
  list.SEZNAMDOLU();
  when_modal(Modal::kPicker, [this] {
    hb().extended_key(80);
    key(13);
  });
  std::optional<TMaterial> chosen = pick_material(f(), ws());
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->NAZEV.str(), "Flis");
  EXPECT_EQ(seen, (std::vector<std::string>{"material"}));
  ASSERT_EQ(list.PRVKU(), 2);
  EXPECT_EQ(list.SEZNAM[0].NAZEV, "Z1");
  EXPECT_EQ(list.highlighted(), 1);

  // Placements limited to one material; Escape chooses nothing.
  std::vector<std::string> offered;
  when_modal(Modal::kPicker, [this, &offered] {
    offered.clear();
    for (const auto& e : app->tk.seznam.SEZNAM) offered.push_back(e.NAZEV);
    key(27);
  });
  EXPECT_FALSE(pick_placement(f(), ws(), 3));
  EXPECT_EQ(offered, (std::vector<std::string>{"Zada"}));
  EXPECT_EQ(list.PRVKU(), 2);
  EXPECT_FALSE(timed_out);
}

}  // namespace
}  // namespace ksv::client::testing
