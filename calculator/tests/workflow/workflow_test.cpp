// The desktop workflow driven by scripted keys on the headless display: a whole run against the
// batch mode, the size dialog's proportions and limit, the chooser's mask, the segment page's
// buttons, saving the result, and the jump back from the result.
#include <sstream>

#include "calculator/tests/workflow/fixture.h"
#include "calculator/workflow/names.h"

namespace ksv::calculator::ui::testing {
namespace {

// The result line the batch mode prints for the same picture and choices.
std::string batch_line(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  EXPECT_EQ(run_batch(args, "", out, err), kExitOk) << err.str();
  std::string line = out.str();
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return line;
}

TEST_F(WorkflowTest, FullRunGivesTheBatchModesStitchCount) {
  const std::string logo = write_default_logo();
  auto s = run(Script().to_segment_page().keys("Enter").keys("Enter"));  // Stehuj, Konec
  Workflow& w = s->workflow;
  EXPECT_EQ(s->status, kExitDone);
  EXPECT_EQ(w.error_code, 0);
  EXPECT_EQ(w.SOUBORKALK, dir.path() + "loga/logo.bmp");
  EXPECT_EQ(w.ROZMERX, 100);
  EXPECT_EQ(w.ROZMERY, 50);
  ASSERT_FALSE(w.result_line.empty());
  EXPECT_EQ(w.result_line, batch_line({logo}));
  EXPECT_EQ(w.result_line.rfind("Stehu: ", 0), 0u);
}

TEST_F(WorkflowTest, DarkPhotoWithGarmentMatchesTheBatchMode) {
  const std::string logo = write_default_logo();
  Script script;
  script.keys("Space").keys("Down").keys("Enter").keys("2").keys("3").keys("a");
  script.keys("Enter").keys("Enter").keys("Enter Enter Enter").keys("Enter");
  // "&Zbozi" seven times: from "Triko" to "Nasivka".
  for (int i = 0; i < 7; ++i) script.keys("F4");
  script.keys("Enter").keys("Enter");
  auto s = run(script);
  EXPECT_EQ(s->workflow.MATERIAL, 7);
  EXPECT_EQ(s->workflow.engine.MATERIAL, 7);
  EXPECT_EQ(s->workflow.result_line,
            batch_line({logo, "--dark", "--quality", "3", "--garment", "Nasivka"}));
}

TEST_F(WorkflowTest, GarmentButtonWrapsFromNasivkaToTriko) {
  write_default_logo();
  Script script;
  script.to_segment_page();
  for (int i = 0; i < 8; ++i) script.keys("F4");
  auto s = run(script);
  EXPECT_EQ(s->workflow.MATERIAL, 0);
}

TEST_F(WorkflowTest, SizeDialogKeepsProportionsAndLimit) {
  write_default_logo();
  // Width 100 -> 50: the height follows from 50 to 25; the height is then confirmed unchanged.
  auto halved = run(Script()
                        .keys("Space").keys("Down").keys("Enter").keys("8").keys("1").keys("a")
                        .keys("Enter").keys("Enter")
                        .keys("Backspace Backspace Backspace").text("50").keys("Enter")
                        .keys("Enter").keys("Enter"));
  EXPECT_EQ(halved->workflow.ROZMERX, 50);
  EXPECT_EQ(halved->workflow.ROZMERY, 25);
  EXPECT_TRUE(halved->workflow.errors_shown.empty());
}

TEST_F(WorkflowTest, SizeLimitAccepts409x307AndRefuses410) {
  // 2045 x 1535 pixels: the proposal is exactly 409 x 307 mm.
  write_logo("big.bmp", 2045, 1535, [](int x, int y) -> uint8_t {
    return (x / 400 + y / 400) % 2 ? 0xE0 : 255;
  });
  Script choices;
  choices.keys("Space").keys("Down").keys("Enter").keys("8").keys("1").keys("a");
  choices.keys("Enter").keys("Enter");
  {
    Script accept = choices;
    accept.keys("Enter Enter Enter");
    auto s = run(accept);
    EXPECT_EQ(s->workflow.ROZMERX, 409);
    EXPECT_EQ(s->workflow.ROZMERY, 307);
    EXPECT_TRUE(s->workflow.errors_shown.empty());
    EXPECT_TRUE(s->workflow.VYBRANO);
  }
  {
    // 410 mm wide (the height stays 307) is refused with 104 and the dialog comes back; there
    // 409 passes, the height following to 306.
    Script refuse = choices;
    refuse.keys("Backspace Backspace Backspace").text("410").keys("Enter").keys("Enter Enter");
    refuse.keys("Enter");  // the error window's "&Budiz"
    refuse.keys("Backspace Backspace Backspace").text("409").keys("Enter").keys("Enter Enter");
    auto s = run(refuse);
    ASSERT_EQ(s->workflow.errors_shown.size(), 1u);
    EXPECT_EQ(s->workflow.errors_shown[0], "chyba104");
    EXPECT_EQ(s->workflow.ROZMERX, 409);
    EXPECT_EQ(s->workflow.ROZMERY, 306);
    EXPECT_EQ(s->status, kExitDone);
  }
}

TEST_F(WorkflowTest, ZeroSizeProposalIsRefusedWith104) {
  // 4 x 4 pixels propose 0 x 0 mm: nothing to stitch, so the size dialog asks again.
  write_logo("tiny.bmp", 4, 4, [](int, int) -> uint8_t { return 0xE0; });
  Script s;
  s.keys("Space").keys("End").keys("Enter").keys("8").keys("1").keys("a").keys("Enter");
  s.keys("Enter").keys("Enter Enter Enter");
  auto r = run(s);
  ASSERT_EQ(r->workflow.errors_shown.size(), 1u);
  EXPECT_EQ(r->workflow.errors_shown[0], "chyba104");
  EXPECT_EQ(r->status, kExitDone);
}

TEST_F(WorkflowTest, MarkerRefusesTheReservedIndex) {
  write_default_logo();
  Script s;
  s.keys("Space").keys("End").keys("Enter").keys("8").keys("1").keys("a").keys("Enter");
  s.keys("Enter").keys("Enter Enter Enter");
  // The palette grid starts at (100, 90), cells 20 apart: index 1, then index 3.
  s.keys("Space").click(125, 95).keys("Enter");
  auto reserved = run(s);
  EXPECT_EQ(reserved->workflow.BARVAPOZADI, 0);
  s.keys("Space").click(165, 95).keys("Enter");
  auto taken = run(s);
  EXPECT_EQ(taken->workflow.BARVAPOZADI, 3);
}

TEST_F(WorkflowTest, MaskButtonStepsThroughSixMasks) {
  write_default_logo();
  {
    auto s = run(Script().keys("Space"));
    EXPECT_EQ(s->workflow.AKTPRIP, "*.bmp");
    // The list shows the folder ".." first, then the pictures of the mask.
    const toolkit::Seznam& l = s->tk.seznam;
    ASSERT_EQ(l.PRVKU(), 2);
    EXPECT_EQ(l.SEZNAM[0].NAZEV, "..");
    EXPECT_EQ(l.SEZNAM[1].NAZEV, "logo.bmp");
  }
  {
    auto s = run(Script().keys("Space Space Space Space Space Space"));
    EXPECT_EQ(s->workflow.AKTPRIP, "*.jpg");
    EXPECT_EQ(s->workflow.CISLOPRIP, 0);
    EXPECT_EQ(s->tk.seznam.PRVKU(), 1);  // only ".."
  }
}

TEST_F(WorkflowTest, ChooserGoesUpAndIntoFolders) {
  write_default_logo();
  // ".." from loga/ shows the program directory, whose loga folder leads back.
  auto s = run(Script().keys("Space").keys("Enter"));
  EXPECT_EQ(s->workflow.AKTUALNIADR, dir.path());
  bool has_loga = false;
  for (const auto& e : s->tk.seznam.SEZNAM) has_loga |= e.NAZEV == "[loga]";
  EXPECT_TRUE(has_loga);
}

TEST_F(WorkflowTest, TooLargePictureEndsWithError100) {
  write_logo("huge.bmp", 2049, 20, [](int, int) -> uint8_t { return 0xE0; });
  auto s = run(Script().keys("Space").keys("Down").keys("Enter").keys("Enter"));
  EXPECT_EQ(s->workflow.error_code, 100);
  EXPECT_EQ(s->status, kExitFatal);
}

TEST_F(WorkflowTest, UnreadablePictureEndsWithError5) {
  dir.write_file("loga/broken.bmp", "not a picture");
  auto s = run(Script().keys("Space").keys("Down").keys("Enter").keys("Enter"));
  EXPECT_EQ(s->workflow.error_code, 5);
  EXPECT_EQ(s->status, kExitFatal);
}

TEST_F(WorkflowTest, TypeButtonWrapsAfterTen) {
  write_default_logo();
  // Segment 0 is the white background, a large area: tatami (1).
  Script nine;
  nine.to_segment_page();
  for (int i = 0; i < 9; ++i) nine.keys("Space");
  {
    auto s = run(nine);
    EXPECT_EQ(s->workflow.engine.SEGMENT[0].TYP, 10);
    EXPECT_EQ(s->tk.seznam.VRATSPECPARAM(0, 2), "10");  // the list was rebuilt
  }
  Script ten = nine;
  ten.keys("Space");
  auto s = run(ten);
  EXPECT_EQ(s->workflow.engine.SEGMENT[0].TYP, 1);
  EXPECT_EQ(s->tk.seznam.VRATSPECPARAM(0, 2), "1");
}

TEST_F(WorkflowTest, StyleButtonTogglesLightAndDirection) {
  write_default_logo();
  auto s = run(Script().to_segment_page().keys("Tab").keys("Tab"));
  const TSEGMENT& seg = s->workflow.engine.SEGMENT[0];
  EXPECT_EQ(seg.TYP, 1);  // strong again
  EXPECT_EQ(seg.SMER, 1);
  EXPECT_EQ(s->tk.seznam.VRATSPECPARAM(0, 3), "1");
}

TEST_F(WorkflowTest, DeleteRefusesTheLastActiveSegment) {
  write_default_logo();
  auto s = run(Script().to_segment_page().keys("Delete").keys("Delete").keys("Delete"));
  const Engine& e = s->workflow.engine;
  EXPECT_EQ(e.POCETSEGMENTU, 3);
  EXPECT_EQ(e.active_segments(), 1);
  EXPECT_EQ(s->tk.seznam.PRVKU(), 1);
  EXPECT_EQ(s->workflow.POCETSTRANEKS, 1);
}

TEST_F(WorkflowTest, SaveNameRules) {
  write_default_logo();
  Script script;
  script.to_segment_page().keys("Enter");  // Stehuj
  // "vysl.png" saves loga/vysl.bmp.
  script.keys("Space").keys("Backspace Backspace Backspace Backspace Backspace Backspace Backspace");
  script.text("vysl.png").keys("Enter");
  // "&Storno" after typing another name saves nothing and keeps "logo".
  script.keys("Space").text("other").keys("Escape");
  auto s = run(script);
  Workflow& w = s->workflow;
  EXPECT_TRUE(dir.exists("loga/vysl.bmp"));
  EXPECT_FALSE(dir.exists("loga/vysl.png.bmp"));
  EXPECT_FALSE(dir.exists("loga/vyslother.bmp"));
  EXPECT_EQ(w.JMENOSOUBORUULOZ, "vysl");
  EXPECT_EQ(w.save_status, "storno");
  // The saved picture is the result picture at working size.
  images::Obrazky obr;
  ASSERT_EQ(obr.ZALOZOBRAZEK(0, 600, 300, 4), 0);
  ASSERT_EQ(obr.NAHRAJBMP(0, dir / "loga/vysl.bmp"), 0);
  EXPECT_EQ(obr.ORIGX, 500);
  EXPECT_EQ(obr.ORIGY, 250);
}

// The result is saved into loga/, where the customers' logos are: a file already there is
// replaced only after "&Ano", Enter answers "&Ne", and "&Ne" opens the name field again.
TEST_F(WorkflowTest, SavingOverAnExistingLogoAsks) {
  write_default_logo();
  const std::string customer = "BM customer's picture \x01\x02 not to be lost";
  dir.write_file("loga/firma.bmp", customer);
  auto save_as_customer = [] {
    Script script;
    script.to_segment_page().keys("Enter");
    script.keys("Space").keys("Backspace Backspace Backspace Backspace Backspace Backspace Backspace");
    script.text("firma").keys("Enter");
    return script;
  };
  {
    Script script = save_as_customer();
    script.keys("Enter");   // "&Ne"
    script.keys("Escape");  // the field is open again: "&Storno"
    auto s = run(script);
    EXPECT_EQ(dir.read_file("loga/firma.bmp"), customer);
    EXPECT_EQ(s->workflow.save_status, "storno");
    EXPECT_EQ(s->workflow.JMENOSOUBORUULOZ, "_kalkul");
    EXPECT_TRUE(s->workflow.saved_path.empty());
  }
  {
    Script script = save_as_customer();
    script.keys("a");  // "&Ano"
    auto s = run(script);
    EXPECT_EQ(s->workflow.save_status, "saved");
    EXPECT_EQ(s->workflow.saved_path, dir / "loga/firma.bmp");
    EXPECT_NE(dir.read_file("loga/firma.bmp"), customer);
  }
}

TEST_F(WorkflowTest, TheOpenPictureIsNeverReplaced) {
  write_default_logo();
  const std::string before = dir.read_file("loga/logo.bmp");
  Script script;
  script.to_segment_page().keys("Enter");
  script.keys("Space").keys("Backspace Backspace Backspace Backspace Backspace Backspace Backspace");
  script.text("logo").keys("Enter");
  script.keys("a");  // would answer a replace question, had one been asked
  script.keys("Escape");
  auto s = run(script);
  EXPECT_EQ(dir.read_file("loga/logo.bmp"), before);
  EXPECT_TRUE(s->workflow.saved_path.empty());
  EXPECT_EQ(s->workflow.JMENOSOUBORUULOZ, "_kalkul");
}

TEST_F(WorkflowTest, EmptyFieldSavesUnderTheProposedName) {
  write_default_logo();
  Script script;
  script.to_segment_page().keys("Enter");
  script.keys("Space").keys("Backspace Backspace Backspace Backspace Backspace Backspace Backspace");
  script.keys("Enter");
  auto s = run(script);
  EXPECT_TRUE(dir.exists("loga/_kalkul.bmp"));
  EXPECT_EQ(s->workflow.save_status, "saved");
}

TEST_F(WorkflowTest, NamesLeavingTheLogaFolderAreRefused) {
  write_default_logo();
  Script script;
  script.to_segment_page().keys("Enter");
  script.keys("Space").keys("Backspace Backspace Backspace Backspace Backspace Backspace Backspace");
  script.text("sub/evil").keys("Enter");
  script.keys("Escape");
  auto s = run(script);
  EXPECT_FALSE(dir.exists("loga/sub/evil.bmp"));
  EXPECT_FALSE(dir.exists("loga/_kalkul.bmp"));
  EXPECT_EQ(s->workflow.JMENOSOUBORUULOZ, "_kalkul");
}

TEST_F(WorkflowTest, FailedSaveIsReported) {
  write_default_logo();
  // A folder already named like the file makes the write fail.
  std::filesystem::create_directory(dir / "loga/_kalkul.bmp");
  Script script;
  script.to_segment_page().keys("Enter");
  script.keys("Space").keys("Enter");
  auto s = run(script);
  EXPECT_EQ(s->workflow.save_status, "failed");
  EXPECT_TRUE(s->workflow.saved_path.empty());
}

TEST_F(WorkflowTest, BackFromTheResultKeepsTheSegmentsWithoutDialogs) {
  write_default_logo();
  Script script;
  script.to_segment_page().keys("Delete").keys("Enter");  // one segment less, Stehuj
  script.keys("z");                                        // "&Zpet"
  auto first = run(script);
  EXPECT_EQ(first->workflow.segmentations, 1);
  EXPECT_EQ(first->workflow.picture_dialog_runs, 1);
  EXPECT_EQ(first->workflow.engine.active_segments(), 2);
  EXPECT_EQ(first->tk.seznam.PRVKU(), 2);
  const std::string once = first->workflow.result_line;
  // Estimating again from there gives the same result: the working picture came back whole.
  script.keys("Enter");
  auto second = run(script);
  EXPECT_EQ(second->workflow.segmentations, 1);
  EXPECT_EQ(second->workflow.result_line, once);
}

TEST_F(WorkflowTest, NewSizeRunsOnlyTheSizeDialogs) {
  write_default_logo();
  Script script;
  script.to_segment_page().keys("Enter").keys("r");  // Stehuj, then "&Rozmer"
  script.keys("Backspace Backspace Backspace").text("50").keys("Enter").keys("Enter").keys("Enter");
  script.keys("Enter");  // marker
  auto s = run(script);
  Workflow& w = s->workflow;
  EXPECT_EQ(w.picture_dialog_runs, 1);
  EXPECT_EQ(w.segmentations, 2);
  EXPECT_EQ(w.ROZMERX, 50);
  EXPECT_EQ(w.ROZMERY, 25);
  EXPECT_EQ(w.engine.NOVAX, 250);
  // The area stays the whole picture in picture pixels.
  EXPECT_EQ(w.X2, 499);
  EXPECT_EQ(w.Y2, 249);
}

TEST_F(WorkflowTest, BackgroundColourChosenByClick) {
  write_default_logo();
  Script script;
  script.keys("Space").keys("Down").keys("Enter").keys("8").keys("1").keys("a").keys("Enter");
  script.click(35, 55);  // white, top left of the picture shown at (30, 50)
  script.keys("Enter").keys("Enter Enter Enter").keys("Enter");
  auto s = run(script);
  EXPECT_EQ(s->workflow.BARVAPODKL[0], 255);
  // White became background: the red and the blue area are left.
  EXPECT_EQ(s->workflow.engine.active_segments(), 2);
}

}  // namespace
}  // namespace ksv::calculator::ui::testing

namespace ksv::calculator::ui::testing {
namespace {

// A red ring on white, 500 x 250: with white declared background the ring is the only segment
// and its inside is a hole the user can mark.
class RingTest : public WorkflowTest {
 protected:
  RingTest() {
    write_logo("ring.bmp", 500, 250, [](int x, int y) -> uint8_t {
      const int d = (x - 125) * (x - 125) + (y - 125) * (y - 125);
      if (d < 100 * 100 && d >= 50 * 50) return 0xE0;
      if (x >= 300 && x < 303 && y >= 100 && y < 103) return 0x03;  // 9 pixels: group 16
      return 255;
    });
  }
  // To the segment page with white as background; the small-segment question kept them.
  Script to_page() {
    Script s;
    s.keys("Space").keys("End").keys("Enter").keys("8").keys("1").keys("a").keys("Enter");
    s.click(35, 55);
    s.keys("Enter").keys("Enter Enter Enter").keys("Enter").keys("n");
    return s;
  }
  // Where working point (x, y) shows on the page: the 500 x 250 picture is shown 320 x 160.
  static int screen_x(int x) { return 5 + x * 320 / 500; }
  static int screen_y(int y) { return 25 + y * 160 / 250; }
};

TEST_F(RingTest, HolesAreMarkedByLeftAndClearedByRightClick) {
  Script script = to_page();
  script.click(screen_x(125), screen_y(125));
  auto marked = run(script);
  const Engine& e = marked->workflow.engine;
  ASSERT_EQ(e.POCETSEGMENTU, 2);
  EXPECT_EQ(holes_of(e.SEGMENT[0]), 1);
  EXPECT_EQ(marked->tk.seznam.VRATSPECPARAM(0, 4), "1");
  // The same hole twice is stored once; the right button clears them.
  script.click(screen_x(130), screen_y(120));
  script.click(screen_x(300), screen_y(200), "right");
  auto cleared = run(script);
  EXPECT_EQ(holes_of(cleared->workflow.engine.SEGMENT[0]), 0);
  EXPECT_EQ(cleared->tk.seznam.VRATSPECPARAM(0, 4), "0");
}

TEST_F(RingTest, HoleChangesTheStitchCount) {
  auto plain = run(to_page().keys("Enter").keys("Enter"));
  auto holed = run(to_page().click(screen_x(125), screen_y(125)).keys("Enter").keys("Enter"));
  ASSERT_FALSE(plain->workflow.result_line.empty());
  ASSERT_FALSE(holed->workflow.result_line.empty());
  EXPECT_NE(plain->workflow.result_line, holed->workflow.result_line);
}

TEST_F(RingTest, GroupButtonDeletesTheSmallSegments) {
  auto s = run(to_page().keys("F5"));
  const Engine& e = s->workflow.engine;
  EXPECT_EQ(e.POC16, 1);
  EXPECT_EQ(e.active_segments(), 1);
  EXPECT_EQ(s->tk.seznam.PRVKU(), 1);
  EXPECT_EQ(s->workflow.KTEREZRUSIT, 0);  // the request was handled
}

TEST_F(RingTest, ColourButtonTakesThePickedColour) {
  // The picker's grid starts at (100, 90) with cells 20 pixels apart: row 1, column 2 is 18.
  auto s = run(to_page().keys("Backspace").click(145, 115).keys("Enter"));
  EXPECT_EQ(s->workflow.engine.SEGMENT[0].BARVA, 18);
  EXPECT_EQ(s->tk.seznam.VRATSPECPARAM(0, 1), "18");
}

TEST_F(RingTest, TraceAgainSegmentsTheSamePictureWithoutDialogs) {
  auto s = run(to_page().keys("Delete").keys("t").keys("n"));
  EXPECT_EQ(s->workflow.segmentations, 2);
  EXPECT_EQ(s->workflow.picture_dialog_runs, 1);
  EXPECT_EQ(s->workflow.engine.active_segments(), 2);  // the deletion is gone
}

TEST_F(RingTest, NewPictureStartsAgainAtTheChooser) {
  auto s = run(to_page().keys("n").keys("Space"));
  EXPECT_EQ(s->workflow.picture_dialog_runs, 2);
  EXPECT_EQ(s->workflow.segmentations, 1);
  EXPECT_EQ(s->workflow.AKTPRIP, "*.pcx");  // the chooser took the next mask
}

TEST_F(WorkflowTest, NothingLeftAfterTheBackgroundEndsWithError103) {
  write_logo("white.bmp", 100, 50, [](int, int) -> uint8_t { return 255; });
  Script s;
  s.keys("Space").keys("End").keys("Enter").keys("8").keys("1").keys("a").keys("Enter");
  s.click(40, 60).keys("Enter").keys("Enter Enter Enter").keys("Enter").keys("Enter");
  auto r = run(s);
  EXPECT_EQ(r->workflow.error_code, 103);
  EXPECT_EQ(r->status, kExitFatal);
}

TEST_F(WorkflowTest, TooManySegmentsEndWithError101) {
  // A checkerboard of 3 x 3 cells: 66 x 66 areas, more than the table holds.
  write_logo("cells.bmp", 200, 200, [](int x, int y) -> uint8_t {
    return (x / 3 + y / 3) % 2 ? 0xE0 : 0x03;
  });
  Script s;
  s.keys("Space").keys("End").keys("Enter").keys("8").keys("1").keys("a").keys("Enter");
  s.keys("Enter").keys("Enter Enter Enter").keys("Enter").keys("Enter");
  auto r = run(s);
  EXPECT_EQ(r->workflow.error_code, 101);
  EXPECT_EQ(r->status, kExitFatal);
}

TEST_F(WorkflowTest, LogaFolderThatCannotBeMadeEndsWithAnError) {
  std::filesystem::remove(dir / "loga");
  dir.write_file("loga", "a file in the way");
  auto r = run(Script().keys("Enter"));
  EXPECT_EQ(r->status, kExitFatal);
  ASSERT_EQ(r->workflow.errors_shown.size(), 1u);
  EXPECT_EQ(r->workflow.errors_shown[0], "chybaloga");
}

TEST_F(WorkflowTest, MissingLogaFolderIsCreated) {
  std::filesystem::remove(dir / "loga");
  auto r = run(Script().keys("Space"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "loga"));
  EXPECT_EQ(r->status, kExitDone);
}

}  // namespace
}  // namespace ksv::calculator::ui::testing
