// What a command handler works with, handed to it by the dispatcher: the server, the units
// beside the core, the shared packet and the session whose packet it is.
#pragma once

namespace ksv {
struct Packet;
}

namespace ksv::server {

class Server;
class ServerUnits;
struct TKlient;

struct Context {
  Server& server;
  ServerUnits* units;  // messages, mail, cameras, alarm; nullptr when the core runs alone
  Packet& packet;      // the request on entry, the reply on return
  int slot;
  TKlient& session;    // the session in `slot`
};

// A handler reads its arguments from the packet, acts for the session and leaves its reply in
// the packet (or nothing, for no answer).
using Handler = void (*)(Context& c);

}  // namespace ksv::server
