// The command handlers of the server core (rows of the catalogue in dispatcher.cpp). Each reads
// its arguments from the context's packet, acts for its session, and composes its reply.
#pragma once
#include <cstdint>
#include <string>

#include "server/core/context.h"

namespace ksv::server {

class Server;

// Session and server commands (session_commands.cpp).
void cmd_probe(Context& c);          // 1
void cmd_restart(Context& c);        // 2
void cmd_time(Context& c);           // 13
void cmd_disconnect(Context& c);     // 20
void cmd_probe_answer(Context& c);   // 64

// Users and rights (user_commands.cpp).
void cmd_user_id(Context& c);         // 5
void cmd_user_name(Context& c);       // 6
void cmd_user_list_ids(Context& c);   // 7
void cmd_user_list(Context& c);       // 10
void cmd_login(Context& c);           // 11
void cmd_create_user(Context& c);     // 25
void cmd_delete_user(Context& c);     // 26
void cmd_user_details(Context& c);    // 27
void cmd_save_user(Context& c);       // 28
void cmd_own_rights(Context& c);      // 60
void cmd_set_rights(Context& c);      // 61
void cmd_delegate(Context& c);        // 62

// File transfer (transfer.cpp).
void cmd_upload_start(Context& c);    // 30
void cmd_download_start(Context& c);  // 31
void cmd_abort_transfer(Context& c);  // 32
void cmd_upload_block(Context& c);    // 120
void cmd_download_block(Context& c);  // 121
// Composes the session's next download block in `b` and counts it in flight; false when the
// whole file has been sent or no download runs.
bool next_download_block(TKlient& k, Packet& b);

// Helpers shared by handlers.
// Composes a reply with block 0 and flag true.
void reply(Server& s, uint8_t code);
void reply(Context& c, uint8_t code);
// The directory uploads and downloads work in: temp, the open order, or its open program.
std::string transfer_dir(Server& s, int slot);
// The session's own list files, always fetched from temp ("sezn3", "nahl3.ksv", ...).
bool is_own_list_file(const std::string& name, int slot);

}  // namespace ksv::server
