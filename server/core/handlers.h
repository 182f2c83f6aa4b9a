// The command handlers of the server core (rows of the catalogue in dispatcher.cpp). Each reads
// its arguments from the shared buffer, acts for the session in `slot`, and composes its reply.
#pragma once
#include <cstdint>
#include <string>

namespace ksv::server {

class Server;

// Session and server commands (session_commands.cpp).
void cmd_probe(Server& s, int slot);          // 1
void cmd_restart(Server& s, int slot);        // 2
void cmd_time(Server& s, int slot);           // 13
void cmd_disconnect(Server& s, int slot);     // 20
void cmd_probe_answer(Server& s, int slot);   // 64

// Users and rights (user_commands.cpp).
void cmd_user_id(Server& s, int slot);         // 5
void cmd_user_name(Server& s, int slot);       // 6
void cmd_user_list_ids(Server& s, int slot);   // 7
void cmd_user_list(Server& s, int slot);       // 10
void cmd_login(Server& s, int slot);           // 11
void cmd_create_user(Server& s, int slot);     // 25
void cmd_delete_user(Server& s, int slot);     // 26
void cmd_user_details(Server& s, int slot);    // 27
void cmd_save_user(Server& s, int slot);       // 28
void cmd_own_rights(Server& s, int slot);      // 60
void cmd_set_rights(Server& s, int slot);      // 61
void cmd_delegate(Server& s, int slot);        // 62

// File transfer (transfer.cpp).
void cmd_upload_start(Server& s, int slot);    // 30
void cmd_download_start(Server& s, int slot);  // 31
void cmd_abort_transfer(Server& s, int slot);  // 32
void cmd_upload_block(Server& s, int slot);    // 120
void cmd_download_block(Server& s, int slot);  // 121

// Helpers shared by handlers.
// Composes a reply with block 0 and flag true.
void reply(Server& s, uint8_t code);
// The directory uploads and downloads work in: temp, the open order, or its open program.
std::string transfer_dir(Server& s, int slot);
// The session's own list files, always fetched from temp ("sezn3", "nahl3.ksv", ...).
bool is_own_list_file(const std::string& name, int slot);

}  // namespace ksv::server
