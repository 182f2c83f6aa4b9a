// Opening an order: the server marks it open for this session (17), its header "info.dat" comes
// into AKTZAKAZKA, and the editor follows.
#include <cstdio>

#include "client/screens/orders/orders.h"
#include "protocol/commands.h"

namespace ksv::client::orders {

namespace {

bool read_header(const std::string& path, TPolozkaDatabanky& out) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return false;
  TPolozkaDatabanky h{};
  const bool whole = std::fread(&h, sizeof h, 1, in) == 1;
  std::fclose(in);
  if (whole) out = h;
  return whole;
}

}  // namespace

bool open_order(Frame& f, Workspace& ws, const std::string& number) {
  ws.AKTZAKAZKA.CISLO.assign(number);
  f.compose().ULOZRETEZEC(slot::kText, true, ws.AKTZAKAZKA.CISLO.view());
  const int32_t reply = f.send_and_wait(req::kOpenOrder, "openzak");
  f.status("wait");
  if (reply == rep::kFailed) {
    // The server refuses an order that another session holds; a bare "refused" would leave the
    // user guessing.
    f.notice("zakazka", "zakjinde");
    return false;
  }
  f.HLASENICHYBY();
  if (reply != rep::kOrderOpened) return false;
  ws.JENCIST = f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kText) == 1;
  std::remove(f.temp_path("info.dat").c_str());
  if (!f.download("info.dat") || !read_header(f.temp_path("info.dat"), ws.AKTZAKAZKA)) {
    // Without its header the editor would show (and could save) an empty order; the order must
    // not stay locked for the others either.
    if (f.info().SPOJENO) {
      f.compose();
      f.request(req::kCloseOrder, "closezak");
    }
    return false;
  }
  ws.NACISTZNOVU = true;
  f.request_screen(kScreenEditor);
  return true;
}

}  // namespace ksv::client::orders
