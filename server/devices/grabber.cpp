// The command-line frame grabber.
#include "server/devices/grabber.h"

#include <cstdlib>

#include "server/util/mail.h"

namespace ksv::server {

bool CommandGrabber::grab(int camera, const std::string& base_dir) {
  std::string cmd;
  for (size_t i = 0; i < command_.size(); ++i) {
    if (command_[i] == '%' && i + 1 < command_.size() && command_[i + 1] == 'd') {
      cmd += std::to_string(camera);
      ++i;
    } else {
      cmd += command_[i];
    }
  }
  std::string line = "cd " + shell_quote(base_dir) + " && " + cmd;
  return std::system(line.c_str()) == 0;
}

}  // namespace ksv::server
