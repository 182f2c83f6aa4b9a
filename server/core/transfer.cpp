// File transfer in 1016-byte blocks, both ways. Uploads land in temp, the open order or its open
// program, under the name in lower case; downloads come from there, or from temp for the
// session's own list files. A name that could leave its directory is refused.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "protocol/commands.h"
#include "protocol/file_util.h"
#include "protocol/record_file.h"
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

// Gives the transfer's file a buffer that moves many blocks per read or write.
void buffer_transfer_file(TKlient& k, std::FILE* f) {
  if (k.transfer_buf.empty()) k.transfer_buf.resize(kTransferFileBuffer);
  std::setvbuf(f, k.transfer_buf.data(), _IOFBF, k.transfer_buf.size());
}

// Ends the transfer; an upload that did not finish leaves the target as it was.
void close_transfer(TKlient& k) {
  if (k.transfer_file) std::fclose(k.transfer_file);
  if (!k.transfer_temp.empty()) erase_file(k.transfer_temp);
  k.transfer_file = nullptr;
  k.transfer_name.clear();
  k.transfer_temp.clear();
  k.transfer = Transfer::kNone;
  k.blocks_in_flight = 0;
}

// The upload's temporary file beside `target`, open for writing; nullptr when it cannot be made.
std::FILE* open_upload_temp(const std::string& target, std::string& temp) {
  const size_t cut = target.rfind('/');
  temp = target.substr(0, cut + 1) + kAtomicTempPrefix + "XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    temp.clear();
    return nullptr;
  }
  ::fchmod(fd, 0644);  // as a file created for the upload always was
  std::FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    ::close(fd);
    erase_file(temp);
    temp.clear();
  }
  return f;
}

// The last block is in: the file is flushed to disk and takes the target's name.
bool finish_upload(TKlient& k) {
  bool ok = std::fflush(k.transfer_file) == 0 && ::fsync(::fileno(k.transfer_file)) == 0;
  ok = std::fclose(k.transfer_file) == 0 && ok;
  k.transfer_file = nullptr;
  if (!ok || !rename_file(k.transfer_temp, k.transfer_name)) return false;
  k.transfer_temp.clear();
  return true;
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
  // The link table of a program is the server's own; an upload may not replace it. Names of our
  // temporary files are removed at every start, so nothing may be stored under one.
  if (name == "proglnk.dat" || name.rfind(kAtomicTempPrefix, 0) == 0) {
    reply(c, rep::kFailed);
    return;
  }
  close_transfer(k);  // one transfer per session
  std::string path = transfer_dir(c.server, c.slot) + name;
  // Until the last block the upload is kept apart: a connection that breaks off must leave the
  // file it was replacing as it was.
  k.transfer_file = open_upload_temp(path, k.transfer_temp);
  if (!k.transfer_file) {
    reply(c, rep::kFailed);
    return;
  }
  buffer_transfer_file(k, k.transfer_file);
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
  if (ok && last) ok = finish_upload(k);
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
  buffer_transfer_file(k, f);
  k.transfer_file = f;
  k.transfer_name = path;
  k.transfer = Transfer::kDownload;
  k.transferred = 0;
  k.block_counter = -1;
  k.blocks_in_flight = 0;
  next_download_block(k, b);
}

bool next_download_block(TKlient& k, Packet& b) {
  if (k.transfer != Transfer::kDownload || !k.transfer_file || k.transferred >= k.size)
    return false;
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
  k.blocks_in_flight++;
  // Block numbers are a 16-bit word on the wire; a file of more than 64K blocks wraps them.
  b.NASTAVPRIKAZ(rep::kDownloadBlock, uint16_t(k.block_counter), last);
  return true;
}

void cmd_download_block(Context& c) {
  TKlient& k = c.session;
  if (k.transfer != Transfer::kDownload || !k.transfer_file) return;
  if (k.blocks_in_flight > 0) k.blocks_in_flight--;
  if (k.transferred >= k.size) {
    // Everything is sent; the transfer ends with the acknowledgement of the last block.
    if (k.blocks_in_flight == 0) close_transfer(k);
    return;
  }
  next_download_block(k, c.packet);
}

void cmd_abort_transfer(Context& c) {
  close_transfer(c.session);
  reply(c, rep::kTransferAborted);
}

}  // namespace ksv::server
