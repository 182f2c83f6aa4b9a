// TKalkulace: the calculation settings block "kalkul.dat", 1016 bytes. The server only stores
// and hands out the block; the clients' price screens define what the bytes mean.
#pragma once
#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)
// OFFSET SIZE FIELD
//      0 1016 REZERVA  opaque bytes, kept unchanged by the server
struct TKalkulace {
  uint8_t REZERVA[1016]{};  // 0
};
#pragma pack(pop)

static_assert(sizeof(TKalkulace) == 1016);
static_assert(offsetof(TKalkulace, REZERVA) == 0);
static_assert(kIsRecord<TKalkulace>);

}  // namespace ksv
