// The command handlers of the data store (orders and programs, lists and search, catalogues,
// attendance, calendar, calculation settings) and the calls that tie finished uploads and
// closing sessions to it.
#pragma once
#include <string>

#include "server/core/context.h"

namespace ksv::server {

class Server;

// Orders, programs and lists (order_commands.cpp).
void cmd_delete_order(Context& c);     // 14
void cmd_copy_order(Context& c);       // 16
void cmd_open_order(Context& c);       // 17
void cmd_close_order(Context& c);      // 18
void cmd_create_order(Context& c);     // 19
void cmd_stitch_data(Context& c);      // 33
void cmd_open_program(Context& c);     // 40
void cmd_close_program(Context& c);    // 41
void cmd_create_program(Context& c);   // 42
void cmd_list(Context& c);             // 63

// Catalogues (catalogue_commands.cpp).
void cmd_placement_picture(Context& c);   // 37
void cmd_picture_upload_name(Context& c); // 38
void cmd_save_thread(Context& c);         // 51
void cmd_delete_thread(Context& c);       // 52
void cmd_save_material(Context& c);       // 53
void cmd_delete_material(Context& c);     // 54
void cmd_save_placement(Context& c);      // 55
void cmd_delete_placement(Context& c);    // 56
void cmd_thread_list(Context& c);         // 57
void cmd_material_list(Context& c);       // 58
void cmd_placement_list(Context& c);      // 59

// Attendance, calendar and calculation settings (attendance_commands.cpp).
void cmd_calc_get(Context& c);          // 8
void cmd_calc_set(Context& c);          // 9
void cmd_calendar_get(Context& c);      // 22
void cmd_calendar_set(Context& c);      // 23
void cmd_attendance_month(Context& c);  // 35

// Called by the server (order_commands.cpp): an upload has been written completely (placement
// pictures, stitch files of linked programs, link tables; false when the file was refused, and
// the last block is then answered with 254); a slot is about to be freed (its links, its picture
// name and the program-in-use flags of the others).
bool store_upload_finished(Server& s, int slot, const std::string& path);
void store_session_closing(Server& s, int slot);

// Sets each session's program-in-use-elsewhere flag: another session has the same order and
// program open. `leaving` (a slot about to be freed) counts as having nothing open.
void update_program_flags(Server& s, int leaving = -1);

}  // namespace ksv::server
