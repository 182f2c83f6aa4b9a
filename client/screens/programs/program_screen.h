// The program editor (screen 73): one program of the open order with all its fields, toggles
// and pickers, saving, closing, the stitch file (upload with its figures, download, preview,
// floppy and machine copies), attachments, links and history.
#pragma once
#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client::programs {

void build_program_screen(Frame& f, Workspace& ws);

// Leaving for these screens keeps the program open on the server (the catalogue editors).
bool keeps_program_open(int32_t next_screen);

}  // namespace ksv::client::programs
