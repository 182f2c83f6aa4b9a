// JpegErrors: the JPEG library reports a broken file by calling an exit routine; ours prints the
// library's message under the converter's name and jumps back to the converter, which cleans up
// and ends with its failure code instead of the library ending the process.
#pragma once
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace ksv::convert {

struct JpegErrors {
  jpeg_error_mgr base;  // first member: the library hands back a pointer to it
  std::jmp_buf jump;
  const char* program = "";
};

inline void jpeg_error_exit(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  char message[JMSG_LENGTH_MAX];
  info->err->format_message(info, message);
  std::fprintf(stderr, "%s: %s\n", errors->program, message);
  std::longjmp(errors->jump, 1);
}

// Fills in the error manager and returns what the library's struct takes as its `err`.
inline jpeg_error_mgr* init_jpeg_errors(JpegErrors& errors, const char* program) {
  errors.program = program;
  jpeg_error_mgr* mgr = jpeg_std_error(&errors.base);
  mgr->error_exit = jpeg_error_exit;
  return mgr;
}

}  // namespace ksv::convert
