#include "client/screens/pricing/settings_exchange.h"

#include "client/frame.h"
#include "protocol/commands.h"

namespace ksv::client::pricing {

std::optional<TKalkulace> fetch_settings_block(Frame& f) {
  f.compose();
  if (f.request(req::kCalcGet, "getkalkul") != rep::kCalc) return std::nullopt;
  TKalkulace block{};
  if (!f.client().conn.BUFFERPACKET.get_raw(slot::kText, &block, sizeof block)) return std::nullopt;
  return block;
}

bool store_settings_block(Frame& f, const TKalkulace& block) {
  Packet& b = f.compose();
  if (!b.put_raw(slot::kText, &block, sizeof block)) return false;
  return f.request(req::kCalcSet, "setkalkul") == rep::kCalc;
}

}  // namespace ksv::client::pricing
