// The connection screen: the server's address (internal or external, from adresy.cfg) and the
// connect button; a successful connect leads to the login screen.
#include <memory>

#include "client/keys.h"
#include "client/screens/session/session.h"

namespace ksv::client {

using namespace keys;

void build_connection_screen(Frame& f, Workspace&) {
  toolkit::Toolkit& tk = f.tk();
  ClientConnection& conn = f.client().conn;
  tk.okna.SMAZOKNA();
  const int32_t h = tk.okna.VYTVOROKNO(-1, -1, 270, 120, false, "pripoj", "adresa");
  if (h == toolkit::kNoFreeWindow) return;
  const int w = h >> 8;
  // The buttons outlive this builder on the screen, so what they change is shared with them.
  struct State {
    bool confirmed = false;
    bool changed = true;
  };
  auto st = std::make_shared<State>();
  auto choose = [st, &conn](bool internal) {
    if (conn.LOKALNISERV != internal) st->changed = true;
    conn.LOKALNISERV = internal;
  };
  toolkit::picture_button(f.tk(), w, "pripojit.bmp", [st] { st->confirmed = true; }, 20, -10, kEnter);
  toolkit::picture_button(f.tk(), w, "interni.bmp", [choose] { choose(true); }, 80, -10, 'i');
  toolkit::picture_button(f.tk(), w, "externi.bmp", [choose] { choose(false); }, 140, -10, 'e');
  toolkit::picture_button(f.tk(), w, "pomoc.bmp", [&f] { f.defer([&f] { f.help(); }); }, 200, -10, kF1);
  f.status("offline");
  toolkit::ModalScope<Modal> scope(f.modal, Modal::kAddress, "pripoj");
  // A connection that ended on its own is explained over this screen.
  f.tell_connection_loss();
  while (!f.screen_left()) {
    if (st->changed) {
      st->changed = false;
      const std::string& address = conn.LOKALNISERV ? conn.ADRESASERV : conn.EXTADRESASERV;
      tk.okna.VYPISUDAJ(260, 230, 255, tk.images.NAJDIBARVU(0, 0, 64), 15, address);
      tk.tlacitka.NUTNOVYKRESLIT = true;
    }
    f.event_step();
    if (st->confirmed) {
      st->confirmed = false;
      f.connect();
      // Still connected from before (a logout before logging in): the login screen follows.
      if (f.info().SPOJENO) f.request_screen(kScreenLogin);
    }
  }
}

}  // namespace ksv::client
