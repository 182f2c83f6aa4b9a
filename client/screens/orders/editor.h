// Pieces of the order editor (screen 71) shared by its files: the editor's state between its
// buttons, the duplicate dialog and the way into the program editor.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client::orders {

// What a button asked the editor to do once the field being edited is stored.
enum class EditorAction {
  kNone, kSave, kClose, kDelete, kDuplicate, kOpenProgram, kNewProgram, kAttachments, kAttach
};

struct EditorState {
  int window = -1;
  bool editable = false;   // neither closed nor held by another session
  int field = 0;           // 0-6: POPIS, ZAKAZNIK, TERMIN, VYSIT, VZOREK, VELIKOST, KALKULACE
  bool edit_next = true;   // edit the current field (at entry and after the field buttons)
  bool leave = false;      // Escape, or a delete or close that leaves the editor
  bool delete_order = false;
  bool released = false;   // the order was closed on the server already (a copy that failed)
  EditorAction action = EditorAction::kNone;
  std::vector<std::string> codes;  // program codes of the list, in list order
};

// The duplicate dialog and the copy: the new number and the chosen programs, then 18, 16 and
// the order reopened. Returns when done; the editor is rebuilt or the browser requested.
void duplicate_order(Frame& f, Workspace& ws, EditorState& st);

// Saves AKTZAKAZKA as the order's "info.dat" (AUTOR := MOJEID for a user who may edit orders).
// True when the server has it.
bool save_order(Frame& f, Workspace& ws);

// The program under the list cursor opened (40) into AKTPROGRAM, then the program editor.
void open_program(Frame& f, Workspace& ws, const std::string& code);
// A new program (42) in the open order, then opened as above.
void new_program(Frame& f, Workspace& ws);

}  // namespace ksv::client::orders
