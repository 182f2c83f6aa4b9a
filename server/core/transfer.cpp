// File transfer in 1016-byte blocks, both ways. Uploads land in temp, the open order or its open
// program, under the name in lower case; downloads come from there, or from temp for the
// session's own list files. A name that could leave its directory is refused.
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "protocol/commands.h"
#include "protocol/file_util.h"
#include "server/core/handlers.h"
#include "server/core/server.h"
#include "server/core/store_handlers.h"

namespace ksv::server {

namespace {

namespace sl = ksv::slot;

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

void close_transfer(TKlient& k) {
  if (k.transfer_file) std::fclose(k.transfer_file);
  k.transfer_file = nullptr;
  k.transfer_name.clear();
  k.transfer = Transfer::kNone;
}

// The data-store commands check order numbers and program codes the same way before they open
// them; checking again here keeps a bad name out of every path built from them.
bool names_safe(const TKlient& k) {
  return (k.open_order.empty() || is_safe_file_name(k.open_order)) &&
         (k.open_program.empty() || is_safe_file_name(k.open_program));
}

}  // namespace

std::string transfer_dir(Server& s, int slot) {
  const TKlient& k = s.session(slot);
  if (k.open_order.empty()) return s.tree().path("temp/");
  std::string dir = s.tree().path("databaze/" + k.open_order + "/");
  if (!k.open_program.empty()) dir += k.open_program + "/";
  return dir;
}

bool is_own_list_file(const std::string& name, int slot) {
  std::string n = std::to_string(slot);
  for (const char* stem : {"sezn", "seznd", "sezns", "mat", "umist", "nite", "doch", "pracf"})
    if (name == stem + n) return true;
  return name == "nahl" + n + ".ksv" || name == "frame" + n + ".jpg";
}

void cmd_upload_start(Context& c) {
  TKlient& k = c.session;
  Packet& b = c.packet;
  if (k.program_in_use_elsewhere) {
    reply(c, rep::kProgramBusy);
    return;
  }
  std::string name;
  if (!b.ZISKEJRETEZEC(sl::kText, true, name) || !is_safe_file_name(name) || !names_safe(k)) {
    reply(c, rep::kFailed);
    return;
  }
  name = lower(name);
  // The link table of a program is the server's own; an upload may not replace it.
  if (name == "proglnk.dat") {
    reply(c, rep::kFailed);
    return;
  }
  close_transfer(k);  // one transfer per session
  std::string path = transfer_dir(c.server, c.slot) + name;
  k.transfer_file = std::fopen(path.c_str(), "wb");
  if (!k.transfer_file) {
    reply(c, rep::kFailed);
    return;
  }
  k.transfer_name = path;
  k.transfer = Transfer::kUpload;
  k.size = k.transferred = 0;
  k.block_counter = -1;
  b.ULOZCISLO(sl::kText, 0);
  cmd_upload_block(c);
}

void cmd_upload_block(Context& c) {
  TKlient& k = c.session;
  Packet& b = c.packet;
  if (k.program_in_use_elsewhere) {
    reply(c, rep::kProgramBusy);
    return;
  }
  if (k.transfer != Transfer::kUpload || !k.transfer_file) {
    reply(c, rep::kFailed);
    return;
  }
  uint16_t block = b.block();
  bool last = b.flag();
  int32_t n = b.ZISKEJCISLO(sl::kText);
  bool ok = n >= 0 && n <= kTransferBlock;
  if (ok && n > 0) ok = std::fwrite(b.bytes + sl::kData, 1, size_t(n), k.transfer_file) == size_t(n);
  if (ok && last) {
    ok = std::fclose(k.transfer_file) == 0;
    k.transfer_file = nullptr;
  }
  if (!ok) {
    // A bad block length or a write error: the file is not what the client sent.
    close_transfer(k);
    reply(c, rep::kFailed);
    return;
  }
  k.size += n;
  k.transferred = k.size;
  k.block_counter++;
  if (last) {
    std::string path = k.transfer_name;
    close_transfer(k);
    if (!store_upload_finished(c.server, c.slot, path)) {
      reply(c, rep::kFailed);
      return;
    }
  }
  b.NASTAVPRIKAZ(rep::kUploadNext, block, last);
}

void cmd_download_start(Context& c) {
  TKlient& k = c.session;
  Packet& b = c.packet;
  std::string name;
  if (!b.ZISKEJRETEZEC(sl::kText, true, name) || !is_safe_file_name(name) || !names_safe(k)) {
    reply(c, rep::kFailed);
    return;
  }
  close_transfer(k);
  std::string path =
      is_own_list_file(name, c.slot) ? c.server.tree().path("temp/" + name)
                                     : transfer_dir(c.server, c.slot) + name;
  struct stat st {};
  std::FILE* f = nullptr;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) f = std::fopen(path.c_str(), "rb");
  if (!f) {
    reply(c, rep::kFailed);
    return;
  }
  k.size = st.st_size;
  if (k.size == 0) {
    std::fclose(f);
    b.ULOZCISLO(sl::kText, 0);
    b.NASTAVPRIKAZ(rep::kDownloadBlock, 0, true);
    return;
  }
  k.transfer_file = f;
  k.transfer_name = path;
  k.transfer = Transfer::kDownload;
  k.transferred = 0;
  k.block_counter = -1;
  b.NASTAVPRIKAZ(req::kDownloadAck, 65535, false);  // the first block is then numbered 0
  cmd_download_block(c);
}

void cmd_download_block(Context& c) {
  TKlient& k = c.session;
  Packet& b = c.packet;
  if (k.transfer != Transfer::kDownload || !k.transfer_file) return;
  if (k.transferred >= k.size) {
    close_transfer(k);
    return;
  }
  uint16_t block = b.block();
  int64_t n = k.size - k.transferred;
  bool last = n <= kTransferBlock;
  if (!last) n = kTransferBlock;
  size_t got = std::fread(b.bytes + sl::kData, 1, size_t(n), k.transfer_file);
  if (got < size_t(n)) {
    // The file shrank while it was sent: what was read is the end of it.
    last = true;
    k.transferred = k.size;
  } else {
    k.transferred += n;
  }
  b.ULOZCISLO(sl::kText, int32_t(got));
  k.block_counter++;
  b.NASTAVPRIKAZ(rep::kDownloadBlock, uint16_t(block + 1), last);
}

void cmd_abort_transfer(Context& c) {
  close_transfer(c.session);
  reply(c, rep::kTransferAborted);
}

}  // namespace ksv::server
