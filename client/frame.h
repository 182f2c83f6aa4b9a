// Frame: what every screen of the desktop client shares — the screen state machine and its main
// loop, the event step every waiting loop runs, the exchange of one command with the server and
// the file transfers around it, the status line and clock, the confirmation, input, help and
// error dialogs, the three permanent buttons and logout, disconnect and exit. The state the
// working screens share among themselves is not here but in the Workspace.
//
// Sections of frame.cpp: start-up · main loop and event step · status line and clock · dialogs ·
// connection control. exchange.cpp: command exchange and file transfers.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "client/config.h"
#include "protocol/client.h"
#include "protocol/records/users.h"
#include "toolkit/kit/kit.h"
#include "toolkit/toolkit.h"

namespace ksv::client {

// Screen numbers of the frame itself; the working screens register their own builders.
constexpr int32_t kScreenConnect = 0;
constexpr int32_t kScreenLogin = 1;
constexpr int32_t kScreenMenu = 2;
constexpr int32_t kNoScreen = 65535;  // AKTUALNIOBRAZOVKA right after start-up

// Dialog results (VYSLEDEKDIALOGU).
constexpr uint8_t kDialogNone = 0;
constexpr uint8_t kDialogConfirmed = 1;
constexpr uint8_t kDialogCancelled = 2;
constexpr uint8_t kDialogOpen = 3;

// Codes that mean "the command is still under way, keep waiting".
bool in_progress(int32_t code);
// Codes that raise the error dialog; every other code is left to the screen.
bool in_error_set(int32_t code);

// What a modal loop is waiting for, so a test (or a tool) driving the program can tell where it
// stands without reading pixels.
enum class Modal {
  kNone, kAddress, kUserList, kPassword, kConfirm, kInput, kHelp, kError, kNotice,
  kPicker,  // a catalogue picker (threads, materials, placements)
};

struct InputResult {
  bool confirmed = false;
  std::string text;    // the typed text; a number in its decimal form
  int32_t number = 0;  // the typed number, 0 when the text is not a number
};

class Frame {
 public:
  Frame(toolkit::Toolkit& tk, Client& client, LocalConfig& config);
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // ---- start-up and the main loop ----------------------------------------------------------
  // Frame initialisation: clock, permanent buttons, first screen requested.
  void start();
  // The main loop until the program ends; the exit code.
  int run();
  // One pass of the main loop: build the requested screen, then one event step.
  void main_pass();
  // A screen's builder; a screen number without one builds nothing.
  void set_builder(int32_t screen, std::function<void()> builder);
  bool has_builder(int32_t screen) const { return builders_.count(screen) != 0; }
  void request_screen(int32_t screen);
  // The current screen has been left (another one requested, or the program ends): modal loops
  // of builders stop on it.
  bool screen_left() const;

  // ---- the event step ------------------------------------------------------------------------
  void event_step();
  // An action for after the button poll: handlers of the permanent and menu buttons use it, so a
  // whole command exchange never runs inside the poll that fired it. Pressed during another
  // exchange's wait, the action runs once that exchange is over.
  void defer(std::function<void()> action) { pending_ = std::move(action); }

  // ---- command exchange and file transfers (exchange.cpp) --------------------------------------
  // The buffer with its header and payload cleared, ready for a request's arguments.
  Packet& compose();
  // Sends the request placed in the buffer (status key shown meanwhile), waits for its answer or
  // for the connection to go, shows the error dialog for an error reply, then "wait". The reply
  // code; 0 when nothing was sent (not connected, or another exchange is still waiting).
  int32_t request(uint8_t code, const std::string& status_key);
  // Only the sending and the wait, for screens that look at the reply before any dialog.
  int32_t send_and_wait(uint8_t code, const std::string& status_key);
  // The exchange as the login screen runs it: request() (without the error dialog when
  // report_errors is false) and, with expect_file, a 193 reply is followed by the download of
  // the file it names; received_file() then names it (empty when nothing usable arrived).
  int32_t CEKEJNAODPOVED(uint8_t code, const std::string& status_key, bool report_errors = true,
                         bool expect_file = false);
  const std::string& received_file() const { return received_file_; }

  // Fetches the server's file remote_name into temp/ as local_name (the same name when empty).
  // The wait ends with the last block, a refusal (the error dialog follows) or the loss of the
  // connection; a file that did not arrive whole is removed. True when it arrived.
  bool download(const std::string& remote_name, const std::string& local_name = "");
  // Fetches the file the last reply names — a plain string at 32 for the camera replies 215 and
  // 216, a counted string at 4 for every other — into temp/ under that name. The name, or ""
  // when nothing usable arrived.
  std::string download_named_in_reply();
  // The file name the last reply carries (see download_named_in_reply); "" when it has none.
  std::string reply_file_name() const;
  // Sends a local file to the server as remote_name (status key shown meanwhile). The wait ends
  // when the server has taken the last block, refuses (253, 254: the error dialog follows) or the
  // connection goes. An empty file is sent too, so the server's copy is emptied as well. True
  // when the server has the whole file.
  bool upload(const std::string& local_path, const std::string& remote_name,
              const std::string& status_key);
  // Stops the transfer in progress: the local file is closed (a partial download removed) and,
  // while connected, the server is told to drop its side (command 32). Called from a button
  // during a transfer's wait, the wait ends and does this when it sees the request.
  void abort_transfer();

  // The path of a file in the client's temp directory.
  std::string temp_path(const std::string& name) const { return client_.ADRESAREXE + "temp/" + name; }

  // ---- status line, dialogs, help --------------------------------------------------------------
  void STAVOVYRADEK(const std::string& text);
  void status(const std::string& key) { STAVOVYRADEK(text(key)); }
  // The error dialog for the reply in POSLAKCE; `key` names a text to show instead of the
  // reply's own one (the login says more than "refused" when it knows why).
  void HLASENICHYBY(const std::string& key = "");
  // The error window with `body` (registered as `key`), closed by "Budiz".
  void error_dialog(const std::string& key, const std::string& body);
  // The same with several lines; the window grows to fit them.
  void error_dialog(const std::string& key, const std::vector<std::string>& lines);
  // A key's main text and body lines, with "%U" the subject's name and "%t" the time a block
  // of this computer runs out.
  std::vector<std::string> error_lines(const std::string& key);
  bool POTVRZENI();
  InputResult VSTUPNIDIALOG(const std::string& title_key, uint8_t length);
  void help();
  // A short pop-up with a text key and one OK button; returns when it is closed.
  void notice(const std::string& title_key, const std::string& body_key);

  // ---- connection control ----------------------------------------------------------------------
  // Why the connection ended without the user asking for it. The status line alone ("Odpojeno")
  // left users guessing, so the connection screen says it in the error window.
  enum class Loss {
    kNone,
    kLost,          // the server went away (stopped, killed, network down)
    kClosedAtOnce,  // closed before answering anything: most likely a blocked computer
    kBlocked,       // closed while the block we were told about still runs
  };
  Loss connection_loss = Loss::kNone;
  // Shows and forgets the reason of the last loss; the connection screen calls it.
  void tell_connection_loss();
  // The server has just blocked this computer (third wrong password): for ten minutes a
  // connection it closes at once is explained by the block.
  void note_blocked();
  bool blocked_now() const;

  void connect();
  void logout();
  void disconnect();
  void exit_program();
  // The program is ending (the exit button, or the window was closed).
  bool ending() const { return ending_ || tk_.tlacitka.ended(); }
  int exit_code() const { return exit_code_; }
  // Ends the program from outside the frame (the window closed, a signal).
  void end_program(int code) {
    ending_ = true;
    exit_code_ = code;
  }

  // A modal dialog of the client: marked in `modal` as kind with key (and traced) while it is
  // open, driven by the event step until done() holds (see toolkit::run_dialog). False when no
  // window was free.
  bool dialog(Modal kind, const std::string& key, const toolkit::DialogSpec& spec,
              const std::function<void(toolkit::Window&)>& setup,
              const std::function<bool()>& done);

  // ---- helpers for the screens -----------------------------------------------------------------
  std::string text(const std::string& key) { return tk_.texty.text(key); }
  // The user record of a 27 reply; when it is the own one, the own rights and id are taken
  // from it.
  TPrava read_user_record();

  toolkit::Toolkit& tk() { return tk_; }
  Client& client() { return client_; }
  TInfoKlient& info() { return client_.conn.INFOKLIENT; }
  LocalConfig& config() { return config_; }

  // ---- client-wide state -----------------------------------------------------------------------
  int32_t AKTUALNIOBRAZOVKA = kNoScreen;
  int32_t POZADOVANAOBRAZOVKA = kScreenConnect;
  bool ZANEPRAZDNEN = false;
  uint8_t VYSLEDEKDIALOGU = kDialogNone;
  bool DIALOGOTEVREN = false;
  std::string SEZNAMUZIVATELU;  // the user list file last received into temp/
  int shown_hour = -1, shown_minute = -1;  // the clock is redrawn when either changes
  TDatum last_login_date{};     // the previous login, from the 194 reply
  TCas last_login_time{};
  std::string subject_name;     // "%U" in error texts: the item a client-side check refused
  // A pushed message was announced in the status line and is not read yet (the messages screen
  // clears it).
  bool message_announced = false;

  // ---- observation and injection ---------------------------------------------------------------
  // The pause at the end of every event step. By default it waits up to 1 ms for the server's
  // socket; tests run a server pass or feed input here.
  std::function<void()> idle;
  toolkit::ModalState<Modal> modal;       // the dialog now open and its key
  std::vector<std::string> menu_entries;  // pictures of the menu built last, top to bottom
  std::array<int, 64> requests_sent{};    // requests composed, per code, since the start
  std::string status_text;                // what the status line shows now
  bool exchanging() const { return exchanging_; }  // a request or transfer waits for the server

 private:
  void draw_clock();
  void transfer_indicator();
  void event_tail();  // the event step after the button poll
  int32_t wait_for_reply();
  bool begin_exchange(uint8_t code, const std::string& status_key);
  // A download without the error dialog: whole, not started (the local file cannot be made),
  // or failed (refused, cut off, aborted).
  enum class Fetch { kWhole, kNotStarted, kFailed };
  Fetch fetch(const std::string& remote_name, const std::string& local_name);
  std::string fetch_named_in_reply();
  bool wait_for_transfer(bool upload);
  void tell_server_to_stop();
  // Runs event steps until the server confirms a stopped transfer (201), the connection ends
  // or the program does.
  void wait_for_stop();
  void drop_transfer();
  void close_connection_to_connect_screen();
  bool help_page(const std::string& key);
  // The server address chosen on the connection screen.
  const std::string& chosen_address() const;

  toolkit::Toolkit& tk_;
  Client& client_;
  LocalConfig& config_;
  std::map<int32_t, std::function<void()>> builders_;
  std::function<void()> pending_;
  bool rebuild_ = false;
  bool exchanging_ = false;
  bool ending_ = false;
  int exit_code_ = 0;
  int32_t last_block_ = -1;
  std::string received_file_;
  std::string download_path_;    // the local file of the download in progress
  bool abort_requested_ = false;  // abort_transfer() during a transfer's wait
  // Of the connection now open: the server has answered something, and it has ended the
  // session itself (195, 197, 255), so its closing the socket is no loss.
  bool heard_from_server_ = false;
  bool ended_by_server_ = false;
  int64_t blocked_until_ = 0;  // client clock, seconds; 0 when no block is known
  std::string blocked_address_;
  std::string blocked_until_text_;  // hh:mm, for "%t" in the texts about the block
};

}  // namespace ksv::client
