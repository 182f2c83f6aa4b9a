// ksvimg: "info FILE" and "convert IN OUT" over the image slots, as a function of its arguments
// and output streams so it can be run inside tests as well as from main().
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace ksv::tools {

// Exit codes: 0 done, 1 the picture could not be read or written, 2 wrong command line.
int run_ksvimg(const std::vector<std::string>& args, const std::string& program_dir, std::ostream& out,
               std::ostream& err);

}  // namespace ksv::tools
