// Opening and creating programs of the open order.
#include "client/screens/programs/program_open.h"

#include <cstdio>

#include "protocol/record_file.h"

namespace ksv::client::programs {

namespace {

constexpr size_t kCodeLength = 16;

}  // namespace

bool open_program(Frame& f, Workspace& ws, const std::string& code) {
  if (code.empty()) return false;
  // A stitch file left from another program must never pass for this one's.
  std::remove(f.temp_path("prog.dst").c_str());
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, code.substr(0, kCodeLength));
  if (f.request(40, "openpzak") != 227) return false;
  const bool read_only = f.client().conn.BUFFERPACKET.ZISKEJCISLO(slot::kText) == 1;
  if (read_only) ws.JENCIST = true;
  std::remove(f.temp_path("prog.dat").c_str());
  std::optional<TProgramZak> rec;
  if (f.download("prog.dat")) rec = read_record<TProgramZak>(f.temp_path("prog.dat"), 0);
  if (!rec) {
    // The server has the program open for us; without its record there is nothing to edit, so
    // it is released again.
    f.compose();
    f.request(41, "closepzak");
    return false;
  }
  ws.AKTPROGRAM = *rec;
  f.request_screen(kProgramScreen);
  return true;
}

std::string new_program_code(const std::string& typed, int32_t number) {
  std::string code = typed;
  while (!code.empty() && code.back() == ' ') code.pop_back();
  while (!code.empty() && code.front() == ' ') code.erase(0, 1);
  if (code.empty()) return {};
  bool digits = true;
  for (char c : code) digits = digits && c >= '0' && c <= '9';
  if (digits && number > 0) return std::to_string(number);
  ODSTRANDIAKRITIKU(code);
  return code.substr(0, kCodeLength);
}

bool new_program(Frame& f, Workspace& ws) {
  InputResult in = f.VSTUPNIDIALOG("novapzak", uint8_t(kCodeLength));
  if (!in.confirmed || f.screen_left()) return false;
  const std::string code = new_program_code(in.text, in.number);
  if (code.empty()) return false;
  Packet& b = f.compose();
  b.ULOZRETEZEC(slot::kText, true, code);
  if (f.request(42, "newpzak") != 229) return false;
  // The server counted the program into the order's header.
  ws.AKTZAKAZKA.PROGRAMU += 1;
  return open_program(f, ws, code);
}

}  // namespace ksv::client::programs
