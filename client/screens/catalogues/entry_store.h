// Saving and deleting catalogue entries on the server. A save replaces the listed entry with the
// same key by the record it sends, ID included, so every save first fetches the catalogue anew
// and sends the ID of the entry it replaces (an ID of 0 would cut the entry off its programs
// and pictures); when the list cannot be fetched nothing is sent. The reply is handed back, so
// a caller with more to send (the placement picture) sends it only after the entry was taken.
#pragma once
#include <cstdint>

#include "protocol/records/catalogues.h"

namespace ksv::client {
class Frame;
class Workspace;
}  // namespace ksv::client

namespace ksv::client::catalogues {

struct EntrySave {
  // The server took the record: its reply was the catalogue's own (205, 206, 207).
  bool saved = false;
  // The server's reply: 237 when the key exists and replacing needs right 59 (the error
  // window has said so), 231 without the right to save, 254 refused; 0 when nothing was sent
  // (not connected, or the list to look the key up in did not arrive).
  int32_t reply = 0;
  // An entry with this key was listed, so the record replaces it.
  bool replaced = false;
  // The ID sent with a material or placement: the replaced entry's, 0 for a new one (the
  // server gives it the next ID).
  int32_t id = 0;
};

EntrySave save_thread(Frame& f, Workspace& ws, const TBarva& edited);
EntrySave save_material(Frame& f, Workspace& ws, const TMaterial& edited);
EntrySave save_placement(Frame& f, Workspace& ws, const TUmisteni& edited);

// Deletes the entry with the record's key (the record as listed). True when the server
// answered with the catalogue's reply; the workspace's names forget the entry.
bool delete_thread(Frame& f, Workspace& ws, const TBarva& listed);
bool delete_material(Frame& f, Workspace& ws, const TMaterial& listed);
bool delete_placement(Frame& f, Workspace& ws, const TUmisteni& listed);

}  // namespace ksv::client::catalogues
