// TSeznamSoub: one entry of the file list the server writes for a client (an order's or a
// program's attachments), 272 bytes.
#pragma once
#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)
// OFFSET SIZE FIELD
//      0  256 JMENO   file name without directory
//    256    6 DATUM   date of last modification
//    262    6 CAS     time of last modification
//    268    4 VEL     size in bytes
struct TSeznamSoub {
  PString<255> JMENO{};  //   0
  TDatum DATUM{};        // 256
  TCas CAS{};            // 262
  int32_t VEL{};         // 268
};
#pragma pack(pop)

static_assert(sizeof(TSeznamSoub) == 272);
static_assert(offsetof(TSeznamSoub, JMENO) == 0);
static_assert(offsetof(TSeznamSoub, DATUM) == 256);
static_assert(offsetof(TSeznamSoub, CAS) == 262);
static_assert(offsetof(TSeznamSoub, VEL) == 268);
static_assert(kIsRecord<TSeznamSoub>);

}  // namespace ksv
