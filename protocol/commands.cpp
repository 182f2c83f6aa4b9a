// The reply sets the desktop's waiting loops and its error dialog test.
#include "protocol/commands.h"

namespace ksv {

bool is_in_progress_reply(int32_t code) {
  switch (code) {
    case 0:                    // nothing has arrived yet
    case req::kProbe:          // our own probe went out in this step
    case req::kProbeAnswer:    // we answered the server's probe
    case rep::kProbe:          // the server probed us
    case rep::kAlive:          // the server answered our probe
      return true;
    default:
      return false;
  }
}

bool is_error_dialog_reply(int32_t code) {
  // Errors the client finds in a program record before it sends anything.
  if (code >= 132 && code <= 138) return true;
  switch (code) {
    case 210: case 211: case 242:  // texts of the client's own, no server reply
    case rep::kLoginRefused:
    case rep::kWrongPassword:
    case rep::kNotPermitted:
    case rep::kProgramBusy:
    case rep::kFailed:
    case rep::kFatal:
      return true;
    default:
      return false;
  }
}

}  // namespace ksv
