// TZprava: one pending short message, 268 bytes; each message file in "zpravy" holds exactly one.
#pragma once
#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)
// OFFSET SIZE FIELD
//      0    4 KOMU       recipient's user ID
//      4  256 OBSAH      message text
//    260    4 ODKOHO     sender's user ID; -1 = the server
//    264    1 DORUCENKA  the sender wants a delivery receipt (0/1)
//    265    3 (padding)
struct TZprava {
  int32_t KOMU{};         //   0
  PString<255> OBSAH{};   //   4
  int32_t ODKOHO{};       // 260
  uint8_t DORUCENKA{};    // 264  Boolean
  uint8_t pad0[3]{};      // 265
};
#pragma pack(pop)

static_assert(sizeof(TZprava) == 268);
static_assert(offsetof(TZprava, KOMU) == 0);
static_assert(offsetof(TZprava, OBSAH) == 4);
static_assert(offsetof(TZprava, ODKOHO) == 260);
static_assert(offsetof(TZprava, DORUCENKA) == 264);
static_assert(offsetof(TZprava, pad0) == 265);
static_assert(kIsRecord<TZprava>);

}  // namespace ksv
