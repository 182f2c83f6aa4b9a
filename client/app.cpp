// Start-up and the exit procedure of the desktop client.
#include "client/app.h"

#include <sys/stat.h>

#include "client/record_list.h"
#include "client/screen_table.h"
#include "protocol/file_util.h"

namespace ksv::client {

namespace {
std::string directory_of(const std::string& exe_path) {
  const size_t slash = exe_path.rfind('/');
  return slash == std::string::npos ? std::string("./") : exe_path.substr(0, slash + 1);
}
}  // namespace

void prepare_temp_dir(const std::string& dir) {
  const std::string temp = dir + "temp";
  ::mkdir(temp.c_str(), 0755);
  auto entries = list_directory(temp, "*");
  if (!entries) return;
  for (const DirEntry& e : *entries)
    if (!e.is_directory && e.name != "zpravy.txt") erase_file(temp + "/" + e.name);
}

ClientApp::ClientApp(std::unique_ptr<draw::Backend> backend, Clock& clock,
                     const std::string& exe_path)
    : graph(std::move(backend)),
      images(&graph, directory_of(exe_path)),
      tk(graph, images),
      client(clock, directory_of(exe_path)),
      frame(tk, client, config) {
  images.set_executable_path(exe_path);
  tk.texty.SOUBTEXTU = images.ADRESAREXE + images.SOUBTEXTU;
  // Closing the window ends the program the same way as the exit button: through the main
  // loop, so the exit procedure still runs.
  tk.tlacitka.exit_program = [this](int code) { frame.end_program(code); };
  // The record lists' columns (list modes 4 to 6) are the client's to draw.
  tk.seznam.client_columns = [this](int mode, const toolkit::TPrvek& e, int offset, int row_top) {
    draw_record_columns(graph, mode, e, offset, row_top);
  };
}

ClientApp::~ClientApp() { finish(); }

int ClientApp::open() {
  graph.INITGRAPH(3, 4, tk.texty.text("titulek"));
  if (graph.GRAPHRESULT() != 0) return 1;
  graph.SETTEXTSTYLE(4, 0, 16);
  graph.UPDATEGRAPH(0);
  images.NASTAVPALETU();
  const std::string& dir = images.ADRESAREXE;
  prepare_temp_dir(dir);

  for (int i = 0; i < kPreviewSlots; ++i) {
    images.ZALOZOBRAZEK(uint16_t(i), kPreviewSize[i][0], kPreviewSize[i][1], 1);
    images.OBRAZKY[i].VELX = kPreviewSize[i][0];
    images.OBRAZKY[i].VELY = kPreviewSize[i][1];
    images.OBRAZKY[i].BPP = 0;
    images.VYMAZBUFFER(uint16_t(i), 0);
  }

  config = read_local_config(dir);
  if (!config.internal_address.empty()) client.conn.ADRESASERV = config.internal_address;
  if (!config.external_address.empty()) client.conn.EXTADRESASERV = config.external_address;
  if (config.set_machine_clock) client.clock_setter = system_clock_setter;
  opened_ = true;

  // The trace (KSV_TRACE) is on from here, so it holds the whole session from the first screen.
  tk.trace.open_from_env();
  install_screens(frame, workspace);
  frame.start();
  return 0;
}

void ClientApp::finish() {
  if (finished_) return;
  finished_ = true;
  client.KONECKOMUNIKKLI();
  if (opened_) write_local_config(images.ADRESAREXE, config);
}

}  // namespace ksv::client
