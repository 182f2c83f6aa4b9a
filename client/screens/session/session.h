// The session screens: the connection screen (0), the login screen (1) and the main menu (2) —
// the way into the client and the root every working screen returns to.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "client/frame.h"
#include "client/workspace.h"
#include "protocol/clock.h"

namespace ksv::client {

void build_connection_screen(Frame& frame, Workspace& ws);
void build_login_screen(Frame& frame, Workspace& ws);
// The main menu: the frame's own entries (help, the server's time, restart) and the menu entries
// of the screen table that the own rights allow.
void build_menu(Frame& frame, Workspace& ws);

// Fills the list with the user list, from temp/ while it is fresh, otherwise from the server
// (command 10). False when the connection went meanwhile (the connection screen is requested).
bool load_user_list(Frame& frame);
// Reads a password typed into `window` at (10, 30), echoed as asterisks, at most 40 characters;
// the window's OK button (Enter) ends it. Nothing when the screen is left meanwhile.
std::optional<std::string> read_password(Frame& frame, int window);

// The user list in temp/ may be used instead of asking the server again: its modification
// minute and the present minute (minute of the hour only) differ by at most 5.
bool user_list_fresh(const std::string& path, const Clock& clock);

// The previous login as the status line shows it: "%t" → hh:mm, "%d" → dd.mm.yyyy.
std::string login_status_text(std::string pattern, const TDatum& date, const TCas& time);

}  // namespace ksv::client
