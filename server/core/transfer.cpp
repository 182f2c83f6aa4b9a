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

void cmd_upload_start(Server& s, int slot) {
  TKlient& k = s.session(slot);
  Packet& b = s.buffer();
  if (k.program_in_use_elsewhere) {
    reply(s, rep::kProgramBusy);
    return;
  }
  std::string name;
  if (!b.ZISKEJRETEZEC(sl::kText, true, name) || !is_safe_file_name(name) || !names_safe(k)) {
    reply(s, rep::kFailed);
    return;
  }
  name = lower(name);
  // The link table of a program is the server's own; an upload may not replace it.
  if (name == "proglnk.dat") {
    reply(s, rep::kFailed);
    return;
  }
  close_transfer(k);  // one transfer per session
  std::string path = transfer_dir(s, slot) + name;
  k.transfer_file = std::fopen(path.c_str(), "wb");
  if (!k.transfer_file) {
    reply(s, rep::kFailed);
    return;
  }
  k.transfer_name = path;
  k.transfer = Transfer::kUpload;
  k.size = k.transferred = 0;
  k.block_counter = -1;
  b.ULOZCISLO(sl::kText, 0);
  cmd_upload_block(s, slot);
}

void cmd_upload_block(Server& s, int slot) {
  TKlient& k = s.session(slot);
  Packet& b = s.buffer();
  if (k.program_in_use_elsewhere) {
    reply(s, rep::kProgramBusy);
    return;
  }
  if (k.transfer != Transfer::kUpload || !k.transfer_file) {
    reply(s, rep::kFailed);
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
    reply(s, rep::kFailed);
    return;
  }
  k.size += n;
  k.transferred = k.size;
  k.block_counter++;
  if (last) {
    std::string path = k.transfer_name;
    close_transfer(k);
    if (s.hooks.upload_finished) s.hooks.upload_finished(s, slot, path);
  }
  b.NASTAVPRIKAZ(rep::kUploadNext, block, last);
}

void cmd_download_start(Server& s, int slot) {
  TKlient& k = s.session(slot);
  Packet& b = s.buffer();
  std::string name;
  if (!b.ZISKEJRETEZEC(sl::kText, true, name) || !is_safe_file_name(name) || !names_safe(k)) {
    reply(s, rep::kFailed);
    return;
  }
  close_transfer(k);
  std::string path =
      is_own_list_file(name, slot) ? s.tree().path("temp/" + name) : transfer_dir(s, slot) + name;
  struct stat st {};
  std::FILE* f = nullptr;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) f = std::fopen(path.c_str(), "rb");
  if (!f) {
    reply(s, rep::kFailed);
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
  cmd_download_block(s, slot);
}

void cmd_download_block(Server& s, int slot) {
  TKlient& k = s.session(slot);
  Packet& b = s.buffer();
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

void cmd_abort_transfer(Server& s, int slot) {
  close_transfer(s.session(slot));
  reply(s, rep::kTransferAborted);
}

}  // namespace ksv::server
