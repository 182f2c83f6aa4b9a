// The numbers of the protocol, written once: request codes (client to server), reply codes
// (server to client), and one table that says, for every request, which reply answers it and
// which status key the desktop shows while it is in flight. The server's dispatcher rows, the
// client's request-to-reply test and the failure sets below all derive from it.
#pragma once
#include <cstdint>
#include <string_view>

namespace ksv {

// Requests and the client's own protocol steps (1-63, 64, 80, 120, 121).
namespace req {
inline constexpr uint8_t kProbe = 1;           // liveness probe from the client
inline constexpr uint8_t kRestart = 2;         // restart the server (administrator only)
inline constexpr uint8_t kUserId = 5;          // user id by name
inline constexpr uint8_t kUserName = 6;        // user name by id
inline constexpr uint8_t kUserListIds = 7;     // user list with ids
inline constexpr uint8_t kCalcGet = 8;         // read calculation settings
inline constexpr uint8_t kCalcSet = 9;         // save calculation settings
inline constexpr uint8_t kUserList = 10;       // user list (login screen)
inline constexpr uint8_t kLogin = 11;
inline constexpr uint8_t kTime = 13;           // server time
inline constexpr uint8_t kDeleteOrder = 14;
inline constexpr uint8_t kSendMessage = 15;
inline constexpr uint8_t kCopyOrder = 16;
inline constexpr uint8_t kOpenOrder = 17;
inline constexpr uint8_t kCloseOrder = 18;
inline constexpr uint8_t kCreateOrder = 19;
inline constexpr uint8_t kDisconnect = 20;     // log off
inline constexpr uint8_t kCalendarGet = 22;
inline constexpr uint8_t kCalendarSet = 23;
inline constexpr uint8_t kCreateUser = 25;
inline constexpr uint8_t kDeleteUser = 26;
inline constexpr uint8_t kUserDetails = 27;
inline constexpr uint8_t kSaveUser = 28;
inline constexpr uint8_t kUploadStart = 30;
inline constexpr uint8_t kDownloadStart = 31;
inline constexpr uint8_t kAbortTransfer = 32;
inline constexpr uint8_t kStitchData = 33;     // stitch data of the open program
inline constexpr uint8_t kAttendanceMonth = 35;  // attendance report
inline constexpr uint8_t kPlacementPicture = 37;
inline constexpr uint8_t kPictureUploadName = 38;
inline constexpr uint8_t kOpenProgram = 40;
inline constexpr uint8_t kCloseProgram = 41;
inline constexpr uint8_t kCreateProgram = 42;
inline constexpr uint8_t kAlarmSet = 43;
inline constexpr uint8_t kAlarmGet = 44;
inline constexpr uint8_t kCameraFrames = 45;   // list of a day's frames
inline constexpr uint8_t kCameraFrame = 46;    // one stored frame
inline constexpr uint8_t kCameraShot = 47;     // a fresh frame now
inline constexpr uint8_t kCameraPlanGet = 48;
inline constexpr uint8_t kCameraPlanSet = 49;
inline constexpr uint8_t kSaveThread = 51;
inline constexpr uint8_t kDeleteThread = 52;
inline constexpr uint8_t kSaveMaterial = 53;
inline constexpr uint8_t kDeleteMaterial = 54;
inline constexpr uint8_t kSavePlacement = 55;
inline constexpr uint8_t kDeletePlacement = 56;
inline constexpr uint8_t kThreadList = 57;
inline constexpr uint8_t kMaterialList = 58;
inline constexpr uint8_t kPlacementList = 59;
inline constexpr uint8_t kOwnRights = 60;
inline constexpr uint8_t kSetRights = 61;
inline constexpr uint8_t kDelegate = 62;
inline constexpr uint8_t kList = 63;           // list or search orders, programs and files
inline constexpr uint8_t kProbeAnswer = 64;    // answer to the server's probe
inline constexpr uint8_t kMessageReceived = 80; // a pushed message is stored
inline constexpr uint8_t kUploadBlock = 120;
inline constexpr uint8_t kDownloadAck = 121;   // a download block arrived; send the next
}  // namespace req

// Replies and the commands the server starts itself (128, 240).
namespace rep {
inline constexpr uint8_t kProbe = 128;         // the server's liveness probe
inline constexpr uint8_t kAlive = 192;         // answer to the client's probe
inline constexpr uint8_t kUserListFile = 193;  // the user list file is named at 4
inline constexpr uint8_t kLoggedIn = 194;
// Unknown user, the administrator from outside, or the third wrong password.
inline constexpr uint8_t kLoginRefused = 195;
inline constexpr uint8_t kWrongPassword = 196;
// Log-off or restart confirmed; the connection closes.
inline constexpr uint8_t kSessionEnded = 197;
inline constexpr uint8_t kTransferAborted = 201;
inline constexpr uint8_t kTime = 203;
inline constexpr uint8_t kThreads = 205;
inline constexpr uint8_t kMaterials = 206;
inline constexpr uint8_t kPlacements = 207;
inline constexpr uint8_t kAlarm = 208;
inline constexpr uint8_t kCalc = 209;
inline constexpr uint8_t kStitchDataSet = 213;
inline constexpr uint8_t kFrameList = 215;     // plain string at 32
inline constexpr uint8_t kFrame = 216;         // plain string at 32
inline constexpr uint8_t kCameraPlanSaved = 217;
inline constexpr uint8_t kCameraPlan = 218;
inline constexpr uint8_t kDownloadBlock = 220;
inline constexpr uint8_t kUploadNext = 221;
inline constexpr uint8_t kOrderDeleted = 223;
inline constexpr uint8_t kOrderCreated = 224;  // also the answer to copying an order
inline constexpr uint8_t kOrderOpened = 225;
inline constexpr uint8_t kOrderClosed = 226;
inline constexpr uint8_t kProgramOpened = 227;
inline constexpr uint8_t kProgramClosed = 228;
inline constexpr uint8_t kProgramCreated = 229;
inline constexpr uint8_t kOwnRights = 230;
inline constexpr uint8_t kNotPermitted = 231;  // the session's rights do not allow the command
inline constexpr uint8_t kRightsSet = 232;
inline constexpr uint8_t kDelegated = 233;
inline constexpr uint8_t kUserChanged = 235;   // user created or deleted
inline constexpr uint8_t kPicture = 237;       // placement picture file or name
inline constexpr uint8_t kNeedsRight = 237;    // the same code when a handler's right check fails
inline constexpr uint8_t kCalendar = 238;
inline constexpr uint8_t kMessage = 240;       // a message pushed to the user
inline constexpr uint8_t kMessageStored = 241;
inline constexpr uint8_t kUser = 245;          // user id, name or details
inline constexpr uint8_t kUserSaved = 246;
inline constexpr uint8_t kAttendanceFile = 250;
inline constexpr uint8_t kListFile = 252;
// The open program is open in another session too. The server answers the commands that
// would change it (14, 16, 30, 42, 120) with this code instead of their own reply, so a wait
// for that reply must end on it as on any failure, and the user must be told why.
inline constexpr uint8_t kProgramBusy = 253;
inline constexpr uint8_t kFailed = 254;        // missing object, file error, precondition not met
// No command sends it; a client treats it as the end of the session.
inline constexpr uint8_t kFatal = 255;
}  // namespace rep

// One request of the catalogue.
struct CommandRow {
  uint8_t request;
  uint8_t reply;           // the reply that answers it; 0 when nothing does
  const char* status_key;  // text shown while it is in flight; "" for the transport's own
};

// Every request the server knows. Columns: request, the reply it waits for, status key. The
// list command (63) shows "diradr" instead of "listzak" when it lists files.
// clang-format off
inline constexpr CommandRow kCommands[] = {
  {req::kProbe,             rep::kAlive,            ""},
  {req::kRestart,           rep::kSessionEnded,     "rest"},
  {req::kUserId,            rep::kUser,             "readid"},
  {req::kUserName,          rep::kUser,             "readname"},
  {req::kUserListIds,       rep::kUserListFile,     ""},
  {req::kCalcGet,           rep::kCalc,             "getkalkul"},
  {req::kCalcSet,           rep::kCalc,             "setkalkul"},
  {req::kUserList,          rep::kUserListFile,     "getlist"},
  {req::kLogin,             rep::kLoggedIn,         "login"},
  {req::kTime,              rep::kTime,             "time"},
  {req::kDeleteOrder,       rep::kOrderDeleted,     "delzak"},
  {req::kSendMessage,       rep::kMessageStored,    "sendmes"},
  {req::kCopyOrder,         rep::kOrderCreated,     "dupl"},
  {req::kOpenOrder,         rep::kOrderOpened,      "openzak"},
  {req::kCloseOrder,        rep::kOrderClosed,      "closezak"},
  {req::kCreateOrder,       rep::kOrderCreated,     "newzak"},
  {req::kDisconnect,        rep::kSessionEnded,     "disconnect"},
  {req::kCalendarGet,       rep::kCalendar,         "readkalend"},
  {req::kCalendarSet,       rep::kCalendar,         "setkalend"},
  {req::kCreateUser,        rep::kUserChanged,      "create"},
  {req::kDeleteUser,        rep::kUserChanged,      "delete"},
  {req::kUserDetails,       rep::kUser,             "info"},
  {req::kSaveUser,          rep::kUserSaved,        "save"},
  {req::kUploadStart,       rep::kUploadNext,       ""},
  {req::kDownloadStart,     rep::kDownloadBlock,    ""},
  {req::kAbortTransfer,     rep::kTransferAborted,  ""},
  {req::kStitchData,        rep::kStitchDataSet,    "aktual"},
  {req::kAttendanceMonth,   rep::kAttendanceFile,   "getdoch"},
  {req::kPlacementPicture,  rep::kPicture,          "recvobrum"},
  {req::kPictureUploadName, rep::kPicture,          "addobrum"},
  {req::kOpenProgram,       rep::kProgramOpened,    "openpzak"},
  {req::kCloseProgram,      rep::kProgramClosed,    "closepzak"},
  {req::kCreateProgram,     rep::kProgramCreated,   "newpzak"},
  {req::kAlarmSet,          rep::kAlarm,            "setalarm"},
  {req::kAlarmGet,          rep::kAlarm,            "getalarm"},
  {req::kCameraFrames,      rep::kFrameList,        "loadcam"},
  {req::kCameraFrame,       rep::kFrame,            "loadobr"},
  {req::kCameraShot,        rep::kFrame,            ""},
  {req::kCameraPlanGet,     rep::kCameraPlan,       "readcam"},
  {req::kCameraPlanSet,     rep::kCameraPlanSaved,  "setcam"},
  {req::kSaveThread,        rep::kThreads,          "addnit"},
  {req::kDeleteThread,      rep::kThreads,          "delnit"},
  {req::kSaveMaterial,      rep::kMaterials,        "addmat"},
  {req::kDeleteMaterial,    rep::kMaterials,        "delmat"},
  {req::kSavePlacement,     rep::kPlacements,       "addumist"},
  {req::kDeletePlacement,   rep::kPlacements,       "delumist"},
  {req::kThreadList,        rep::kThreads,          "readnit"},
  {req::kMaterialList,      rep::kMaterials,        "readmat"},
  {req::kPlacementList,     rep::kPlacements,       "readmist"},
  {req::kOwnRights,         rep::kOwnRights,        ""},
  {req::kSetRights,         rep::kRightsSet,        "rights"},
  {req::kDelegate,          rep::kDelegated,        "copy"},
  {req::kList,              rep::kListFile,         "listzak"},
  {req::kProbeAnswer,       0,                      ""},
  {req::kMessageReceived,   0,                      ""},
  {req::kUploadBlock,       rep::kUploadNext,       ""},
  {req::kDownloadAck,       rep::kDownloadBlock,    ""},
};
// clang-format on

// The row of a request; nullptr for a code the server does not know.
constexpr const CommandRow* find_command(int request) {
  for (const CommandRow& r : kCommands)
    if (r.request == request) return &r;
  return nullptr;
}

// The reply a request waits for; 0 for an unknown request or one that nothing answers.
constexpr int expected_reply(int request) {
  const CommandRow* r = find_command(request);
  return r ? r->reply : 0;
}

// The status key of a request; "" when it has none.
constexpr std::string_view status_key(int request) {
  const CommandRow* r = find_command(request);
  return r ? r->status_key : "";
}

// Replies that end the wait for any request: the session ended or refused, the rights or the
// program lock stood in the way, or the command failed.
constexpr bool is_failure_reply(int32_t code) {
  switch (code) {
    case rep::kLoginRefused: case rep::kWrongPassword: case rep::kSessionEnded:
    case rep::kNotPermitted: case rep::kProgramBusy: case rep::kFailed: case rep::kFatal:
      return true;
    default:
      return false;
  }
}

// Codes meaning the exchange is still under way: nothing yet, or the two sides' probes.
bool is_in_progress_reply(int32_t code);
// Codes that raise the error dialog: the failure replies a user must read (not the end of a
// session, which has its own path), and the errors the client finds itself in a program record
// (132-138) or reports under the texts error210, error211 and error242.
bool is_error_dialog_reply(int32_t code);

}  // namespace ksv
