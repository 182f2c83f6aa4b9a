// Program start-up: the texts file chosen by the program's name, the window title from it, and
// the drawing state the screens expect.
#include <gtest/gtest.h>

#include "images/obrazky.h"
#include "protocol/testsupport/temp_dir.h"
#include "toolkit/draw/headless.h"
#include "toolkit/startup.h"

namespace ksv::toolkit {
namespace {

TEST(Startup, TextsFileByProgramNameAndTitleFromIt) {
  ksv::testing::TempDir dir;
  dir.write_file("dbtexty.dat", "[titulek]\nKlient\n");
  dir.write_file("texty.dat", "[titulek]\nKalkulace\n");
  for (auto [exe, title] : {std::pair{"KSVDB", "Klient"}, std::pair{"logocalc", "Kalkulace"}}) {
    draw::Graph graph(std::make_unique<draw::HeadlessBackend>());
    images::Obrazky images(&graph);
    Toolkit tk(graph, images);
    ASSERT_TRUE(start_graphics(tk, dir / exe));
    EXPECT_EQ(graph.headless()->title(), title);
    EXPECT_EQ(images.ADRESAREXE, dir.path());
    EXPECT_EQ(graph.text_font(), 4);
    EXPECT_EQ(graph.text_size(), 16);
    // Deferred: drawing is not shown until asked for.
    long shown = graph.presents();
    graph.PUTPIXEL(0, 0, 9);
    graph.KEYPRESSED();
    EXPECT_EQ(graph.presents(), shown);
    EXPECT_EQ(graph.palette()[0xFF].r, 7 * 32);  // the fixed palette is loaded
    EXPECT_EQ(images.OBRAZKY[63].VEL, 640 * 480 * 4);  // the buttons' loading area
  }
}

}  // namespace
}  // namespace ksv::toolkit
