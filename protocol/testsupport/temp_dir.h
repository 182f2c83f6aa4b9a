// TempDir: a fresh directory under /tmp for one test, removed with everything in it afterwards.
#pragma once
#include <string>

namespace ksv::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory with a trailing "/", ready to have names appended.
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

  void write_file(const std::string& name, const std::string& content) const;
  std::string read_file(const std::string& name) const;  // "" when missing
  bool exists(const std::string& name) const;
  long file_size(const std::string& name) const;  // -1 when missing

 private:
  std::string path_;
};

}  // namespace ksv::testing
