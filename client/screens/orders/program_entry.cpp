// The way from the order editor into the program editor: a program of the open order opened on
// the server (40) with its record "prog.dat" in AKTPROGRAM, or a new program made first (42).
#include <cstdio>

#include "client/screens/orders/editor.h"
#include "client/screens/orders/order_rules.h"
#include "client/screens/orders/orders.h"
#include "protocol/commands.h"

namespace ksv::client::orders {

void open_program(Frame& f, Workspace& ws, const std::string& code) {
  ws.AKTPROGRAM = TProgramZak{};
  ws.AKTPROGRAM.KOD.assign(code);
  f.compose().ULOZRETEZEC(slot::kText, true, ws.AKTPROGRAM.KOD.view());
  if (f.request(req::kOpenProgram, "openpzak") != rep::kProgramOpened) return;
  f.status("getpzak");
  const std::string path = f.temp_path("prog.dat");
  std::remove(path.c_str());
  bool whole = f.download("prog.dat");
  f.status("wait");
  if (whole) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    TProgramZak p{};
    whole = in && std::fread(&p, sizeof p, 1, in) == 1;
    if (in) std::fclose(in);
    if (whole) ws.AKTPROGRAM = p;
  }
  if (!whole) {
    // Without its record the program editor would show an empty program; release it.
    if (f.info().SPOJENO) {
      f.compose();
      f.request(req::kCloseProgram, "closepzak");
    }
    return;
  }
  f.request_screen(kScreenProgram);
}

void new_program(Frame& f, Workspace& ws) {
  const InputResult in = f.VSTUPNIDIALOG("novapzak", 16);
  if (!in.confirmed || in.text.empty()) return;
  const std::string code = new_order_number(in.text);
  f.compose().ULOZRETEZEC(slot::kText, true, code);
  if (f.request(req::kCreateProgram, "newpzak") != rep::kProgramCreated) return;
  // The server counted the program in its info.dat; the header here must say so too, or the
  // next save of the header would write the old count back.
  ws.AKTZAKAZKA.PROGRAMU++;
  open_program(f, ws, code);
}

}  // namespace ksv::client::orders
