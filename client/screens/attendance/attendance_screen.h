// Screen 4, attendance: one user's month or year day by day, with vacation marks, saved and
// reopened as local sheets, imported from attendance files, and written as a report.
#pragma once

namespace ksv::client {
class Frame;
class Workspace;
}  // namespace ksv::client

namespace ksv::client::attendance {

// Builds the screen and runs it until another screen is requested.
void build_attendance(Frame& f, Workspace& ws);

}  // namespace ksv::client::attendance
