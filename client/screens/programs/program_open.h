// Opening a program of the open order for the program editor, and creating a new one: the order
// editor's "edituj" and "nova" buttons, and the production card, lead here.
#pragma once
#include <string>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client::programs {

inline constexpr int32_t kProgramScreen = 73;
inline constexpr int32_t kOrderScreen = 71;

// Sends 40 with the code, receives "prog.dat" into AKTPROGRAM and requests screen 73. False,
// with the screen left where it is, when the server refuses or the record does not arrive.
bool open_program(Frame& f, Workspace& ws, const std::string& code);

// The code typed in the "novapzak" dialog as it is sent: a number in its decimal form, any other
// text without diacritics. Empty when nothing usable was typed.
std::string new_program_code(const std::string& typed, int32_t number);

// The "novapzak" dialog, command 42, then open_program. False when cancelled or refused.
bool new_program(Frame& f, Workspace& ws);

}  // namespace ksv::client::programs
