// ClientApp: the whole desktop client assembled in start-up order — drawing layer, image slots,
// toolkit, connection, configuration, frame and the screens' workspace — for the program and for
// tests alike.
#pragma once
#include <memory>
#include <string>

#include "client/config.h"
#include "client/frame.h"
#include "client/workspace.h"
#include "images/obrazky.h"
#include "protocol/client.h"
#include "protocol/clock.h"
#include "toolkit/draw/backend.h"
#include "toolkit/draw/graph.h"
#include "toolkit/toolkit.h"

namespace ksv::client {

// Sizes of the three preview slots the working screens draw into (slots 0, 1 and 2).
constexpr int kPreviewSlots = 3;
constexpr int kPreviewSize[kPreviewSlots][2] = {{230, 150}, {320, 210}, {125, 110}};

// Deletes every file in temp/ except the message store "zpravy.txt"; creates temp/ when missing.
void prepare_temp_dir(const std::string& program_dir);

class ClientApp {
 public:
  // exe_path is the running program's full path: its directory is the program directory, and
  // its name chooses the texts file.
  ClientApp(std::unique_ptr<draw::Backend> backend, Clock& clock, const std::string& exe_path);
  ~ClientApp();
  ClientApp(const ClientApp&) = delete;
  ClientApp& operator=(const ClientApp&) = delete;

  // Start-up: texts file and window, temp/, preview slots, configuration, frame. 0, or 1 when
  // the graphics cannot be opened.
  int open();
  // The main loop; the program's exit code.
  int run() { return frame.run(); }
  // The exit procedure: logs off when still connected and writes the configuration back. Runs
  // once, at the latest from the destructor.
  void finish();

  draw::Graph graph;
  images::Obrazky images;
  toolkit::Toolkit tk;
  Client client;
  LocalConfig config;
  Frame frame;
  Workspace workspace;  // what the working screens share

 private:
  bool opened_ = false;
  bool finished_ = false;
};

}  // namespace ksv::client
