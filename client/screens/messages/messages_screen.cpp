// The messages screen: the list of the user's messages from temp/zpravy.txt, refreshed on entry,
// after every send and whenever a new message arrives while it is open; delete; write.
#include "client/screens/messages/messages_screen.h"

#include "client/keys.h"
#include "client/screens/messages/message_file.h"
#include "client/screens/users/user_picker.h"
#include "protocol/rights.h"
#include "toolkit/kit/text_field.h"

namespace ksv::client {

namespace {

using namespace keys;

constexpr int32_t kWindowX = 5, kWindowY = 5, kWindowW = 630, kWindowH = 440;
constexpr int32_t kListX = 10, kListY = 30, kListW = 540, kListH = 395;
constexpr size_t kTextLength = 255;  // a message is one counted string
constexpr int kTextBoxChars = 60;    // what the writing window shows of it at once

// Fills the list with the user's messages and draws it.
void show_messages(Frame& f) {
  toolkit::Toolkit& tk = f.tk();
  // Whatever the status line announced is on the screen now.
  f.client().PRIJATANOVAZPRAVA = false;
  f.message_announced = false;
  toolkit::Seznam& list = tk.seznam;
  list.SMAZSEZNAM();
  const std::vector<std::string> messages =
      read_messages(f.client().message_store_path(), f.info().JMENO);
  draw::Graph& g = tk.graph;
  toolkit::StyleGuard style(g);
  // The highlighted row is drawn in the wider font: every row must fit in that one.
  g.SETTEXTSTYLE(20, 0, tk.texty.AKTVELFONTU);
  auto fits = [&g](const std::string& row) { return g.TEXTWIDTH(row) <= kListW - 30; };
  for (const std::string& m : messages)
    for (const std::string& row : wrap_message(m, fits))
      if (list.PRIDEJPRVEK(row.substr(0, toolkit::kNameLength), row + '\0', false) != 0) break;
  const int32_t line = tk.texty.AKTVELFONTU + 1;
  const int32_t rows = (kListH - 10) / line - 1;
  list.PRVNIVYPISSEZ(kWindowX + kListX, kWindowY + kListY, kListW, kListH, rows, 10);
  f.status("wait");
  tk.tlacitka.NUTNOVYKRESLIT = true;
}

// Writing: the recipient from the user list, then the text; sent with or without a receipt.
void write_message(Frame& f) {
  toolkit::Toolkit& tk = f.tk();
  std::optional<std::string> recipient = choose_user(f, "uzivatel");
  if (!recipient || f.screen_left()) return;
  enum { kTyping = 0, kSend = 1, kReceipt = 2, kCancel = 3 };
  int choice = kTyping;
  std::string text;
  {
    const int32_t width = kTextBoxChars * (tk.texty.AKTVELFONTU / 2) + 20;
    toolkit::Window w(tk, -1, -1, width, 85, true, "zprava");
    if (!w) return;
    toolkit::picture_button(tk, w.index(), "poslat.bmp", [&] { choice = kSend; tk.okna.KONECZADAVANI = 1; },
                            10, -5, kEnter);
    toolkit::picture_button(tk, w.index(), "dorucenka.bmp",
                            [&] { choice = kReceipt; tk.okna.KONECZADAVANI = 4; }, 70, -5, kCtrlD);
    toolkit::picture_button(tk, w.index(), "zrusit.bmp", [&] { choice = kCancel; tk.okna.KONECZADAVANI = 2; },
                            -10, -5, kEscape);
    f.DIALOGOTEVREN = true;
    toolkit::ModalScope<Modal> scope(f.modal, Modal::kInput, "zprava");
    f.tk().trace.event("dialog", "zprava");
    // The field scrolls sideways: a message may be as long as a counted string.
    toolkit::TextField field(tk, w.x() + 10, w.y() + 30, kTextBoxChars, kTextLength);
    field.text_colour = 255;
    field.background = tk.images.NAJDIBARVU(0, 0, 64);
    if (!field.edit()) choice = kCancel;
    else if (choice == kTyping) choice = kSend;  // Enter taken by the field itself
    text = field.text();
    f.DIALOGOTEVREN = false;
  }
  if (f.screen_left() || choice == kCancel || text.empty()) return;
  send_message(f, *recipient, text, choice == kReceipt);
}

}  // namespace

std::vector<std::string> wrap_message(const std::string& message,
                                      const std::function<bool(const std::string&)>& fits) {
  std::vector<std::string> rows;
  std::string rest = message;
  const std::string indent = "  ";
  bool first = true;
  while (!rest.empty()) {
    const std::string lead = first ? "" : indent;
    // The longest head of the rest that fits (at least one character, so it always moves on).
    size_t n = rest.size();
    while (n > 1 && !fits(lead + rest.substr(0, n))) --n;
    if (n < rest.size()) {
      const size_t blank = rest.rfind(' ', n);
      if (blank != std::string::npos && blank > 0) n = blank + 1;
    }
    std::string row = rest.substr(0, n);
    while (!row.empty() && row.back() == ' ' && n < rest.size()) row.pop_back();
    rows.push_back(lead + row);
    rest.erase(0, n);
    first = false;
  }
  if (rows.empty()) rows.push_back("");
  return rows;
}

int32_t send_message(Frame& f, const std::string& recipient, const std::string& text,
                     bool receipt) {
  Packet& b = f.compose();
  b.ULOZCISLO(slot::kText, receipt ? 1 : 0);
  b.ULOZRETEZEC(slot::kData, true, recipient);
  b.ULOZRETEZEC(slot::kText2, true, text.substr(0, kTextLength));
  return f.request(15, "sendmes");
}

void build_messages_screen(Frame& f, Workspace&) {
  toolkit::Toolkit& tk = f.tk();
  tk.okna.SMAZOKNA();
  const int32_t h = tk.okna.VYTVOROKNO(kWindowX, kWindowY, kWindowW, kWindowH, false, "zpravy", "");
  if (h == toolkit::kNoFreeWindow) return;
  const int w = h >> 8;
  const bool may_send = TESTBIT(f.info().MOJEPRAVA, 63);
  toolkit::picture_button(tk, w, "pomoc.bmp", [&f] { f.defer([&f] { f.help(); }); }, -10, -10, kF1);
  toolkit::picture_button(tk, w, "budiz.bmp", [&f] { f.request_screen(kScreenMenu); }, -10, 30, kEnter);
  toolkit::picture_button(tk, w, "nahoru.bmp", [&tk] { tk.seznam.SEZNAMNAHORU(); tk.tlacitka.NUTNOVYKRESLIT = true; },
                          -24, 90, kUp, 22, 20);
  toolkit::picture_button(tk, w, "dolu.bmp", [&tk] { tk.seznam.SEZNAMDOLU(); tk.tlacitka.NUTNOVYKRESLIT = true; },
                          -24, 120, kDown, 22, 20);
  toolkit::picture_button(tk, w, "smaz.bmp", [&f] {
    f.defer([&f] {
      if (!f.POTVRZENI()) return;
      if (!remove_messages_of(f.client().message_store_path(), f.info().JMENO))
        std::fprintf(stderr, "KSVDB: the message file %s could not be rewritten\n",
                     f.client().message_store_path().c_str());
      show_messages(f);
    });
  }, -10, 180, kCtrlE);
  // The server refuses a message from a user without right 63; the button is not offered then.
  if (may_send)
    toolkit::picture_button(tk, w, "poslat.bmp", [&f] {
      f.defer([&f] {
        write_message(f);
        if (!f.screen_left()) show_messages(f);
      });
    }, -10, 240, kInsert);
  show_messages(f);
  while (!f.screen_left()) {
    f.event_step();
    // A message that arrives while the screen is open joins the list at once.
    if (f.message_announced && !f.DIALOGOTEVREN) show_messages(f);
  }
}

}  // namespace ksv::client
