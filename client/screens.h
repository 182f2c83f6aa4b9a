// The frame's own screens: the connection screen (0), the login screen (1) and the main menu
// (2), plus the short notice that stands in for a working screen not built yet.
#pragma once
#include <cstdint>
#include <string>

#include "client/frame.h"
#include "protocol/clock.h"

namespace ksv::client {

// Registers the builders of screens 0, 1 and 2, and the stand-in notice for every other screen
// of the client that has no builder of its own yet.
void install_screens(Frame& frame);

void build_connection_screen(Frame& frame);
void build_login_screen(Frame& frame);
void build_menu(Frame& frame);

// The user list in temp/ may be used instead of asking the server again: its modification
// minute and the present minute (minute of the hour only) differ by at most 5.
bool user_list_fresh(const std::string& path, const Clock& clock);

// The previous login as the status line shows it: "%t" → hh:mm, "%d" → dd.mm.yyyy.
std::string login_status_text(std::string pattern, const TDatum& date, const TCas& time);

}  // namespace ksv::client
