// The stitch file on this computer's side: copies for the embroidery machine's folder and for
// the floppy folder (named from the program code), clearing the floppy folder, and the file
// names that may not be attached to an order.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ksv::client::programs {

// Names a user may not attach: the order's and program's own record files, the link table and
// its upload, and "<id>%<two digits>.ksv", which the server takes for a placement picture.
// Compared in lower case, as the server stores names.
bool is_reserved_attachment(std::string_view file_name);

// The file name of a program's stitch file in a copy folder: the code with ".dst", every "/"
// "\\" and control character and each ".." replaced by "_", so the copy stays in the folder.
// Nothing for an empty code.
std::optional<std::string> stitch_copy_name(std::string_view code);

// "disketa.cfg" beside the program names the floppy folder; without it, "floppy/" there.
// The folder returned ends with "/".
std::string floppy_folder(const std::string& program_dir);

enum class CopyResult : uint8_t {
  kCopied,
  kNoSource,  // no stitch file received yet
  kNoTarget,  // the folder is not there (no floppy, machine folder gone)
  kNoRoom,    // the file does not fit
  kFailed,    // any other read or write error
};

// Copies the stitch file into folder/<stitch_copy_name(code)>, replacing an older copy only
// once the new one is complete. A copy that fails leaves nothing half-written behind.
CopyResult copy_stitch_file(const std::string& stitch_file, const std::string& folder,
                            std::string_view code);

// Folders that must never be cleared as a floppy, whatever the configuration says.
struct ProtectedFolders {
  std::string program_dir;
  std::string temp_dir;     // the program's temp folder
  std::string home;         // the user's home folder
  std::string system_temp;  // the machine's temp folder
};
ProtectedFolders protected_folders(const std::string& program_dir);

enum class CleanRefusal : uint8_t { kNone, kUnset, kMissing, kProtected };

// Why the folder may not be cleared: unset, not an existing directory, or the root, the home,
// the program's folder or a temp folder (compared after resolving links and "..").
CleanRefusal floppy_clean_refusal(const std::string& folder, const ProtectedFolders& keep);

struct CleanResult {
  int deleted = 0;
  int failed = 0;
  bool listed = false;  // the folder could be read
};

// Deletes the regular files directly in the folder; subfolders, links and other entries stay.
CleanResult clean_floppy(const std::string& folder);

}  // namespace ksv::client::programs
