// The command handlers of the data store (orders and programs, lists and search, catalogues,
// attendance, calendar, calculation settings) and the hooks that tie finished uploads and
// closing sessions to it.
#pragma once
#include <string>

namespace ksv::server {

class Server;

// Orders, programs and lists (order_commands.cpp).
void cmd_delete_order(Server& s, int slot);     // 14
void cmd_copy_order(Server& s, int slot);       // 16
void cmd_open_order(Server& s, int slot);       // 17
void cmd_close_order(Server& s, int slot);      // 18
void cmd_create_order(Server& s, int slot);     // 19
void cmd_stitch_data(Server& s, int slot);      // 33
void cmd_open_program(Server& s, int slot);     // 40
void cmd_close_program(Server& s, int slot);    // 41
void cmd_create_program(Server& s, int slot);   // 42
void cmd_list(Server& s, int slot);             // 63

// Catalogues (catalogue_commands.cpp).
void cmd_placement_picture(Server& s, int slot);   // 37
void cmd_picture_upload_name(Server& s, int slot); // 38
void cmd_save_thread(Server& s, int slot);         // 51
void cmd_delete_thread(Server& s, int slot);       // 52
void cmd_save_material(Server& s, int slot);       // 53
void cmd_delete_material(Server& s, int slot);     // 54
void cmd_save_placement(Server& s, int slot);      // 55
void cmd_delete_placement(Server& s, int slot);    // 56
void cmd_thread_list(Server& s, int slot);         // 57
void cmd_material_list(Server& s, int slot);       // 58
void cmd_placement_list(Server& s, int slot);      // 59

// Attendance, calendar and calculation settings (attendance_commands.cpp).
void cmd_calc_get(Server& s, int slot);          // 8
void cmd_calc_set(Server& s, int slot);          // 9
void cmd_calendar_get(Server& s, int slot);      // 22
void cmd_calendar_set(Server& s, int slot);      // 23
void cmd_attendance_month(Server& s, int slot);  // 35

// Hooks (order_commands.cpp). install_store_hooks() adds both to the server's hooks, keeping
// whatever was installed before.
void store_upload_finished(Server& s, int slot, const std::string& path);
void store_session_closing(Server& s, int slot);
void install_store_hooks(Server& s);

// Sets each session's program-in-use-elsewhere flag: another session has the same order and
// program open. `leaving` (a slot about to be freed) counts as having nothing open.
void update_program_flags(Server& s, int leaving = -1);

}  // namespace ksv::server
