// Copies of the stitch file on this computer, the floppy clean-up and the reserved names.
#include "client/screens/programs/local_copies.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "client/config.h"

namespace ksv::client::programs {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string with_slash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// The folder with links and ".." resolved and without a trailing "/" ("/" stays "/"); empty
// when it does not exist.
std::string resolved(const std::string& path) {
  if (path.empty()) return {};
  char buf[PATH_MAX];
  if (!::realpath(path.c_str(), buf)) return {};
  return buf;
}

bool is_directory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool write_all(int fd, const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= size_t(w);
  }
  return true;
}

bool out_of_room(int err) { return err == ENOSPC || err == EDQUOT || err == EFBIG; }

}  // namespace

bool is_reserved_attachment(std::string_view file_name) {
  const std::string n = lower(file_name);
  for (const char* r : {"info.dat", "prog.dat", "prog.dst", "proglnk.dat", "proglnk.upd"})
    if (n == r) return true;
  // "...%NN.ksv": the server would turn it into a placement picture.
  constexpr std::string_view kTail = ".ksv";
  if (n.size() < 3 + kTail.size() || n.compare(n.size() - kTail.size(), kTail.size(), kTail) != 0)
    return false;
  const size_t at = n.size() - kTail.size() - 3;
  return n[at] == '%' && is_digit(n[at + 1]) && is_digit(n[at + 2]);
}

std::optional<std::string> stitch_copy_name(std::string_view code) {
  if (code.empty()) return std::nullopt;
  std::string name;
  for (size_t i = 0; i < code.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(code[i]);
    if (c == '.' && i + 1 < code.size() && code[i + 1] == '.') {
      name += "__";
      ++i;
    } else if (c == '/' || c == '\\' || c < 32 || c == 127) {
      name += '_';
    } else {
      name += char(c);
    }
  }
  return name + ".dst";
}

std::string floppy_folder(const std::string& program_dir) {
  const std::string dir = with_slash(program_dir);
  std::string line;
  if (read_first_line(dir + "disketa.cfg", line) && !line.empty()) return with_slash(line);
  return dir + "floppy/";
}

CopyResult copy_stitch_file(const std::string& stitch_file, const std::string& folder,
                            std::string_view code) {
  const int in = ::open(stitch_file.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return CopyResult::kNoSource;
  std::optional<std::string> name = stitch_copy_name(code);
  if (folder.empty() || !is_directory(folder) || !name) {
    ::close(in);
    return CopyResult::kNoTarget;
  }
  const std::string target = with_slash(folder) + *name;
  const std::string part = target + ".part";
  const int out = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) {
    const int err = errno;
    ::close(in);
    return out_of_room(err) ? CopyResult::kNoRoom : CopyResult::kFailed;
  }
  CopyResult result = CopyResult::kCopied;
  std::array<char, 65536> buf;
  for (;;) {
    const ssize_t n = ::read(in, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result = CopyResult::kFailed;
      break;
    }
    if (n == 0) break;
    if (!write_all(out, buf.data(), size_t(n))) {
      result = out_of_room(errno) ? CopyResult::kNoRoom : CopyResult::kFailed;
      break;
    }
  }
  ::close(in);
  // A removable medium may report a full disk only when the data is flushed.
  if (result == CopyResult::kCopied && ::fsync(out) != 0)
    result = out_of_room(errno) ? CopyResult::kNoRoom : CopyResult::kFailed;
  if (::close(out) != 0 && result == CopyResult::kCopied)
    result = out_of_room(errno) ? CopyResult::kNoRoom : CopyResult::kFailed;
  if (result == CopyResult::kCopied && ::rename(part.c_str(), target.c_str()) != 0)
    result = CopyResult::kFailed;
  if (result != CopyResult::kCopied) ::unlink(part.c_str());
  return result;
}

ProtectedFolders protected_folders(const std::string& program_dir) {
  ProtectedFolders k;
  k.program_dir = with_slash(program_dir);
  k.temp_dir = k.program_dir + "temp/";
  if (const char* h = std::getenv("HOME")) k.home = h;
  const char* t = std::getenv("TMPDIR");
  k.system_temp = t && *t ? t : "/tmp";
  return k;
}

CleanRefusal floppy_clean_refusal(const std::string& folder, const ProtectedFolders& keep) {
  if (folder.empty()) return CleanRefusal::kUnset;
  const std::string real = resolved(folder);
  if (real.empty() || !is_directory(real)) return CleanRefusal::kMissing;
  if (real == "/") return CleanRefusal::kProtected;
  for (const std::string* p : {&keep.program_dir, &keep.temp_dir, &keep.home, &keep.system_temp}) {
    const std::string r = resolved(*p);
    if (!r.empty() && r == real) return CleanRefusal::kProtected;
  }
  return CleanRefusal::kNone;
}

CleanResult clean_floppy(const std::string& folder) {
  CleanResult r;
  DIR* d = ::opendir(folder.c_str());
  if (!d) return r;
  r.listed = true;
  const std::string dir = with_slash(folder);
  while (dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    // lstat: a link is never followed, so nothing outside the folder can be reached.
    if (::lstat((dir + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::unlink((dir + name).c_str()) == 0) ++r.deleted;
    else ++r.failed;
  }
  ::closedir(d);
  return r;
}

}  // namespace ksv::client::programs
