// The messages screen (9): the messages received on this computer for the logged-in user,
// deleting them, and writing a new one to another user, with or without a delivery receipt.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "client/frame.h"
#include "client/workspace.h"

namespace ksv::client {

void build_messages_screen(Frame& frame, Workspace& ws);

// A shown message broken into list rows no wider than `fits` allows: the first row is the
// message, the following ones its continuation. Breaks fall after a blank where there is one.
std::vector<std::string> wrap_message(const std::string& message,
                                      const std::function<bool(const std::string&)>& fits);

// Sends a message (command 15): recipient, text, receipt wanted. The reply code.
int32_t send_message(Frame& frame, const std::string& recipient, const std::string& text,
                     bool receipt);

}  // namespace ksv::client
