// Temporary directories for tests.
#include "protocol/testsupport/temp_dir.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ksv::testing {

TempDir::TempDir() {
  char tmpl[] = "/tmp/ksvtest.XXXXXX";
  if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
  path_ = std::string(tmpl) + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempDir::write_file(const std::string& name, const std::string& content) const {
  std::filesystem::path p(path_ + name);
  std::filesystem::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary);
  f << content;
}

std::string TempDir::read_file(const std::string& name) const {
  std::ifstream f(path_ + name, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool TempDir::exists(const std::string& name) const {
  struct stat st {};
  return ::stat((path_ + name).c_str(), &st) == 0;
}

long TempDir::file_size(const std::string& name) const {
  struct stat st {};
  if (::stat((path_ + name).c_str(), &st) != 0) return -1;
  return long(st.st_size);
}

}  // namespace ksv::testing
