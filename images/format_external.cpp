// TGA, GIF and JPG through the converter programs in the program directory's SUPPORT/: each is
// converted to or from a BMP that the system's own reader and writer handle.
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "images/format_io.h"
#include "images/obrazky.h"

namespace ksv::images {

namespace {

// A fresh, empty temporary BMP; the converter writes into it. The picture's own folder is not
// used: a "logo.bmp" beside "logo.jpg" belongs to the user and must not be overwritten or erased.
class TempBmp {
 public:
  TempBmp() {
    std::error_code ec;
    std::string dir = std::filesystem::temp_directory_path(ec).string();
    if (ec || dir.empty()) dir = "/tmp";
    std::string pattern = dir + "/ksvimg-XXXXXX.bmp";
    int fd = mkstemps(pattern.data(), 4);
    if (fd >= 0) {
      close(fd);
      path_ = pattern;
    }
  }
  ~TempBmp() {
    if (!path_.empty()) std::remove(path_.c_str());
  }
  TempBmp(const TempBmp&) = delete;
  TempBmp& operator=(const TempBmp&) = delete;
  bool ok() const { return !path_.empty(); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

// Runs SUPPORT/<program> with the arguments (no shell: names with spaces or quotes pass as they
// are) and waits for it. 0 when it ran and succeeded, 5 otherwise.
uint8_t Obrazky::run_converter(const std::string& program,
                               const std::vector<std::string>& args) const {
  if (LFNCESTA) return kNotSupported;
  const std::string path = ADRESAREXE + "SUPPORT/" + program;
  if (access(path.c_str(), X_OK) != 0) return kNotSupported;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) return kNotSupported;
  if (pid == 0) {
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kNotSupported;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? kOk : kNotSupported;
}

uint8_t Obrazky::load_via_converter(uint16_t slot, const std::string& name,
                                    const std::string& program) {
  if (LFNCESTA) return kNotSupported;
  TempBmp bmp;
  if (!bmp.ok()) return kNotSupported;
  if (uint8_t rc = run_converter(program, {name, bmp.path()})) return rc;
  return NAHRAJBMP(slot, bmp.path());
}

uint8_t Obrazky::save_via_converter(uint16_t slot, const std::string& name,
                                    const std::string& program) {
  if (LFNCESTA) return kNotSupported;
  TempBmp bmp;
  if (!bmp.ok()) return kFileCannotWrite;
  if (uint8_t rc = ULOZBMP(slot, bmp.path())) return rc;
  return run_converter(program, {bmp.path(), name});
}

uint8_t Obrazky::NAHRAJTGA(uint16_t slot, const std::string& name) {
  return load_via_converter(slot, name, "tga2bmp");
}
uint8_t Obrazky::ULOZTGA(uint16_t slot, const std::string& name) {
  return save_via_converter(slot, name, "bmp2tga");
}
uint8_t Obrazky::NAHRAJGIF(uint16_t slot, const std::string& name) {
  return load_via_converter(slot, name, "gif2bmp");
}
uint8_t Obrazky::ULOZGIF(uint16_t slot, const std::string& name) {
  return save_via_converter(slot, name, "bmp2gif");
}
uint8_t Obrazky::NAHRAJJPG(uint16_t slot, const std::string& name) {
  return load_via_converter(slot, name, "jpg2bmp");
}
uint8_t Obrazky::ULOZJPG(uint16_t slot, const std::string& name) {
  return save_via_converter(slot, name, "bmp2jpg");
}

}  // namespace ksv::images
