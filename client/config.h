// The client's small files beside its executable: the server addresses, the signature, the
// machine directory for stitch files and the file browser's last directory and favourites.
// All are optional; a missing or unreadable file leaves the built-in value and is never reported.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace ksv::client {

constexpr int kSignatureBytes = 256;
constexpr int kFavourites = 3;

struct LocalConfig {
  std::string POSLEDNIADRESAR;  // last directory shown by the file browser
  std::string ADRESARSTROJE;    // where stitch files are copied for the embroidery machine
  std::array<uint8_t, kSignatureBytes> PODPIS{};  // sent with the user list request and login
  std::array<std::string, kFavourites> OBLIBENE;  // the file browser's favourite directories
  // Server addresses from "adresy.cfg"; empty = keep the connection's built-in address.
  std::string internal_address;
  std::string external_address;
  // "hodiny.cfg" with a first line "1": reply 203 sets this machine's clock. Off by default,
  // because changing the clock needs privileges and affects everything else on the machine.
  bool set_machine_clock = false;
};

// Reads the files from program_dir (which ends with "/") in their fixed order: "posladr.cfg",
// "tajima.cfg", "signature", "oblibene.cfg", "adresy.cfg", then the local "hodiny.cfg".
LocalConfig read_local_config(const std::string& program_dir);

// Writes "posladr.cfg" (one line) and "oblibene.cfg" (exactly three lines) back. Each file is
// replaced atomically, so an end of the program in the middle never leaves half a file; a file
// that cannot be written is skipped.
void write_local_config(const std::string& program_dir, const LocalConfig& config);

// The first line of a text file, at most 255 characters, without its line end; false when the
// file cannot be opened or is empty.
bool read_first_line(const std::string& path, std::string& line);

}  // namespace ksv::client
