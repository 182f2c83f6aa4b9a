// The desktop programs' half of the command protocol: the communication step the screens call
// on every pass, the execution of each packet the server sends, uploads and downloads in
// 1016-byte blocks, messages pushed by the server, and the small file routines around transfers.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/transport.h"

namespace ksv {

// Looks a text up by key in the program's texts file; "" when the key is missing.
using TextLookup = std::function<std::string(const std::string& key)>;

class Client {
 public:
  // program_dir is the program's own directory (ADRESAREXE), with or without a trailing "/".
  Client(Clock& clock, std::string program_dir);
  ~Client();  // the exit procedure: logs off when still connected
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // One communication step: send a composed request, take a whole packet if one has arrived,
  // execute it and send the answer it composed.
  void OBSLUHAKOMUNIKACE();
  // Executes the packet in the buffer; the result is the code to answer with, 0 for none.
  uint8_t PROVEDPRIKAZ();
  // The request-to-reply test on MUJPOZADAVEK and POSLAKCE.
  bool AKCEPOTVRZENA() const;
  // 0 = started (or the file is empty and nothing is sent), 1 = cannot be opened.
  uint8_t ZACNIODESILAT(const std::string& file_name);
  // 0 = started, 2 = the local file cannot be created.
  uint8_t ZACNIPRIJIMAT(const std::string& file_name);
  // The exit procedure: log off (command 20) when connected, then close the socket.
  void KONECKOMUNIKKLI();

  std::string ZJISTITYPAKCE(int32_t n) const;  // text "akce" + n
  std::string ZJISTIPRAVO(uint8_t n) const;    // text "bit" + n

  // The reply a request waits for (0 when the table names none), and the screens' test: the
  // last received code is that reply or one of the general failure replies.
  static int expected_reply(int request);
  bool answered(int request) const;
  bool transfer_active() const { return !conn.INFOKLIENT.AKTSOUBOR.empty(); }

  // Where received messages are appended: temp/zpravy.txt in the program's directory.
  std::string message_store_path() const { return ADRESAREXE + "temp/zpravy.txt"; }

  ClientConnection conn;
  std::string ADRESAREXE;
  bool PRIJATANOVAZPRAVA = false;
  // A download stopped because the local file could not be written (the server was told 32).
  bool transfer_failed = false;

  // Texts of the screens; without a lookup every text is "".
  TextLookup texts;
  // Called on every pass of the wait inside a download order, so the program keeps its other
  // work (and tests their server) going; by default it waits briefly for the socket.
  std::function<void()> wait_pass;
  // Sets the machine's time of day on reply 203. Empty (the default) leaves the clock alone;
  // a local setting installs system_clock_setter() to enable it.
  std::function<void(int hour, int minute, int second)> clock_setter;
  // The last server time received with 203 (hour, minute, second).
  int server_hour = 0, server_minute = 0, server_second = 0;

 private:
  void store_message(const std::string& sender, const std::string& text);
  bool run_download_order(const std::string& file_name);
  uint8_t on_download_block();
  void drain_download();
  // Download blocks taken in one communication step at most.
  static constexpr int kDrainBlocks = 128;
  std::vector<uint8_t> run_;  // the blocks of one run, allocated at the first download
  uint16_t next_block_ = 0;   // the number the download's next block must carry
  uint8_t on_upload_request(bool& skip_end);
  void end_transfer();
};

// Sets the machine's time of day (the date stays); needs the right to change the clock.
void system_clock_setter(int hour, int minute, int second);

// File routines the screens use around transfers.
bool PRESUNSOUBOR(const std::string& from, const std::string& to);
bool ZKOPIRUJSOUBOR(const std::string& from, const std::string& to);
// True when the file fits into the free space of the drive: 0 = the current directory,
// 1 = the floppy directory given (the workshop's exchange drive); other drives are unknown.
bool VEJDESENADISK(const std::string& file_name, uint8_t drive,
                   const std::string& floppy_dir = "floppy/");
// Replaces every accented Czech letter (code pages 852 and 1250) by "_".
void ODSTRANDIAKRITIKU(std::string& s);

}  // namespace ksv
