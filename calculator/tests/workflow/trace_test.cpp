// The trace of a whole logocalc session: the real program, copied into a program directory of
// its own, replays a script on the headless display with KSV_TRACE set; the trace must name
// every screen in the order shown and the stitch count the batch mode gives for the same logo.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calculator/tests/workflow/fixture.h"

namespace ksv::calculator::ui::testing {
namespace {

struct TraceLine {
  long ms = -1;
  std::string event, details;
};

std::vector<TraceLine> read_trace(const std::string& path) {
  std::vector<TraceLine> out;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    TraceLine t;
    const size_t a = line.find('\t'), b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) {
      ADD_FAILURE() << "not three fields: " << line;
      continue;
    }
    t.ms = std::stol(line.substr(0, a));
    t.event = line.substr(a + 1, b - a - 1);
    t.details = line.substr(b + 1);
    out.push_back(t);
  }
  return out;
}

TEST_F(WorkflowTest, ScriptedProgramTracesItsScreensAndTheResult) {
  const std::string logo = write_default_logo();
  std::filesystem::copy_file(KSV_LOGOCALC_EXE, dir / "logocalc");
  ::chmod((dir / "logocalc").c_str(), 0755);
  // From the chooser to the result; "&Nove" there starts the chooser again, where the script
  // ends and the window is closed.
  dir.write_file("steps.txt", Script().to_segment_page().keys("Enter").keys("n").str());

  const std::string command = "cd '" + dir.path() +
                              "' && KSV_VIDEO=headless KSV_SCRIPT=steps.txt KSV_TRACE=trace.txt "
                              "./logocalc > out.txt 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << dir.read_file("out.txt");

  // The count the batch mode prints for the same logo: "Stehu: N (100 x 50 mm)".
  std::ostringstream out, err;
  ASSERT_EQ(run_batch(std::vector<std::string>{logo}, "", out, err), kExitOk) << err.str();
  const std::string line = out.str();
  ASSERT_EQ(line.rfind("Stehu: ", 0), 0u) << line;
  const std::string total = line.substr(7, line.find(' ', 7) - 7);

  std::vector<std::string> events;
  long last_ms = 0;
  for (const TraceLine& t : read_trace(dir / "trace.txt")) {
    EXPECT_GE(t.ms, last_ms);
    last_ms = t.ms;
    events.push_back(t.event + " " + t.details);
  }
  const std::vector<std::string> expected = {
      "screen vybersoub", "screen nahled",   "screen vyberjas", "screen vyberkval",
      "screen nahled2",   "screen schvaleni", "screen rozmery", "screen rozmery2",
      "screen barva",     "screen velik",    "screen pozadi",   "screen segmenty",
      "screen segtlac",   "screen vysledek", "result " + total, "screen vybersoub"};
  EXPECT_EQ(events, expected);
}

}  // namespace
}  // namespace ksv::calculator::ui::testing
