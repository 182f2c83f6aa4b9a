// The desktop program: opens the graphics window (or the headless display with its replay
// script), sets up the screen toolkit with the calculator's texts file and runs the workflow.
#pragma once
#include <string>

namespace ksv::calculator::ui {

// program_dir holds texty.dat, guidata/, SUPPORT/ and loga/. Returns the exit status: 0 done,
// 1 the graphics window cannot be opened, 2 an error window ended the program.
int run_desktop(const std::string& program_dir);

}  // namespace ksv::calculator::ui
