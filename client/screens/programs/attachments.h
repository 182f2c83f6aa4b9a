// The files attached to the open order or, with a program open, to that program: the list to
// choose one from (fetched and opened with the desktop opener) and the attaching of a local file
// chosen with the file browser. The server decides the folder by what this session holds open,
// so the order editor and the program editor share these.
#pragma once
#include "client/frame.h"

namespace ksv::client::programs {

// Rights: listing needs bit 2 or 4, attaching bit 3 or 5 (and an order or program that may be
// changed — the caller knows that).
bool may_list_attachments(Frame& f);
bool may_attach(Frame& f);

// Lists the attachments (command 63, kind 0), lets the user pick one, fetches it into temp/ and
// opens it; says in the status line where it lies when no opener shows it.
void show_attachments(Frame& f);

// Lets the user choose any local file and sends it; the files the server keeps for itself
// (info.dat, prog.dat, prog.dst) and names that would leave the folder are refused.
void attach_file(Frame& f);

}  // namespace ksv::client::programs
