// The order editor's attachments against a real server: the order's files listed, the chosen one
// fetched and opened; a local file attached lands in the order's folder; the files the server
// keeps for itself are never sent; without the rights the buttons do nothing.
#include "client/keys.h"
#include "client/screens/orders/tests/orders_fixture.h"

namespace ksv::client::testing {
namespace {

class OrderAttachments : public OrdersTest {
 protected:
  // The order Z1 with the given files in its folder, opened in the editor.
  void open_order(int64_t user_rights, const std::vector<std::string>& files = {}) {
    start(user_rights);
    seed_order("Z1");
    for (const std::string& name : files) dir.write_file("server/databaze/z1/" + name, "<" + name + ">");
    date_dir(store().order_dir("z1"), 0);  // the files changed the folder's date
    ::mkdir((cdir + "designs").c_str(), 0755);
    app->config.POSLEDNIADRESAR = cdir + "designs/";
    app->tk.opener.launcher = [this](const std::string& path) {
      opened.push_back(path);
      return toolkit::OpenResult::kStarted;
    };
    to_browser();
    open_first();
  }
  // The file browser on show with its folder entries first.
  void in_browser(std::function<void()> action) {
    when([this] {
      const auto& l = app->tk.seznam.SEZNAM;
      return settled() && !l.empty() && (l[0].NAZEV == "." || l[0].NAZEV == "..");
    }, std::move(action));
  }
  std::vector<std::string> opened;
};

constexpr std::initializer_list<int> kEditor = {8, 9, 58};

TEST_F(OrderAttachments, TheChosenFileIsFetchedAndOpenedAndTheEditorComesBack) {
  open_order(rights({8, 9, 58, 2}), {"navod.txt", "vzor.bmp"});
  when([this] { return editor_ready(); }, [this] { key('*'); });
  when_modal(Modal::kPicker, [this] {
    shot("attachments.png");
    const auto& l = app->tk.seznam.SEZNAM;
    for (size_t i = 0; i < l.size() && l[i].NAZEV.rfind("vzor.bmp", 0) != 0; ++i)
      hb().extended_key(keys::kDown);
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return !opened.empty() && editor_ready(); }));
  shot("attachment-opened.png");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], cdir + "temp/vzor.bmp");
  EXPECT_EQ(dir.read_file("client/temp/vzor.bmp"), "<vzor.bmp>");
  // Still the same order, held by this session.
  EXPECT_EQ(ws().AKTZAKAZKA.CISLO.str(), "Z1");
  EXPECT_EQ(server->session(session_slot()).open_order, "z1");
  EXPECT_EQ(f().requests_sent[18], 0);
}

TEST_F(OrderAttachments, AttachedFilesLandInTheOrdersFolderAndReservedNamesNever) {
  open_order(rights({8, 9, 58, 3}));
  dir.write_file("client/designs/vykres.pdf", "drawing");
  when([this] { return editor_ready(); }, [this] { key('+'); });
  in_browser([this] {
    hb().extended_key(79);  // End: the one file is the last entry
    key(13);
  });
  ASSERT_TRUE(run_until([this] { return script_done() && editor_ready() && f().requests_sent[30] == 1; }));
  EXPECT_EQ(dir.read_file("server/databaze/z1/vykres.pdf"), "drawing");

  // The order's header under another spelling is refused before anything is sent.
  std::remove((cdir + "designs/vykres.pdf").c_str());
  dir.write_file("client/designs/INFO.DAT", "not a header");
  const TPolozkaDatabanky before = header("Z1");
  when([this] { return editor_ready(); }, [this] { key('+'); });
  in_browser([this] {
    hb().extended_key(79);
    key(13);
  });
  ASSERT_TRUE(run_until([this] {
    return script_done() && f().status_text.find("INFO.DAT") != std::string::npos;
  }));
  EXPECT_EQ(f().requests_sent[30], 1);
  EXPECT_EQ(header("Z1").POPIS.str(), before.POPIS.str());
}

TEST_F(OrderAttachments, WithoutTheRightsTheKeysDoNothing) {
  open_order(rights(kEditor), {"navod.txt"});
  dir.write_file("client/designs/vykres.pdf", "drawing");
  int lists = -1;
  when([this] { return editor_ready(); }, [&, this] {
    lists = f().requests_sent[63];
    key('*');
  });
  when([this] { return editor_ready(); }, [this] { key('+'); });
  int passes = 0;  // long enough for a list request or a browser to have shown
  ASSERT_TRUE(run_until([&, this] { return script_done() && editor_ready() && ++passes > 50; }));
  EXPECT_EQ(f().modal.kind, Modal::kNone);
  EXPECT_EQ(f().requests_sent[63], lists);  // no list of the order's files asked for
  EXPECT_EQ(f().requests_sent[30], 0);
  EXPECT_TRUE(opened.empty());
}

}  // namespace
}  // namespace ksv::client::testing
