// Start-up of a desktop program's screen: program directory and texts file from the executable's
// path, the window opened with the title from the texts file, text style, deferred updating and
// the fixed palette — everything a program does once before its first screen.
#pragma once
#include <string>

#include "toolkit/toolkit.h"

namespace ksv::toolkit {

// False when the graphics window cannot be opened; the program then ends with exit code 1.
bool start_graphics(Toolkit& tk, const std::string& executable_path);

// The running program's own path (for start_graphics), "" when it cannot be found.
std::string executable_path();

}  // namespace ksv::toolkit
