// TPrava: one user of "uzivatel.dat", 808 bytes. Record 0 of the file is a header whose ID is
// the last user ID given out; users start at record 1.
#pragma once
#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)
// OFFSET SIZE FIELD
//      0    4 ID            user ID; in record 0 the last ID given out
//      4  256 UZIVATEL      user name (unique, case-sensitive); empty in record 0
//    260    8 PRAVA         rights, bit n = right n
//    268  256 HESLO         password, plain text on disk
//    524  256 KODDOCHAZKY   attendance terminal code; empty = none
//    780    8 PREDANAPRAVA  rights delegated by another user
//    788    6 PLATIDO       last day the delegated rights are valid
//    794   12 NAPOSLEDY     last successful login: DATUM (794), CAS (800)
//    806    2 (padding)
struct TPrava {
  struct Naposledy {
    TDatum DATUM{};  // 0
    TCas CAS{};      // 6
  };

  int32_t ID{};                  //   0
  PString<255> UZIVATEL{};       //   4
  int64_t PRAVA{};               // 260
  PString<255> HESLO{};          // 268
  PString<255> KODDOCHAZKY{};    // 524
  int64_t PREDANAPRAVA{};        // 780
  TDatum PLATIDO{};              // 788
  Naposledy NAPOSLEDY{};         // 794
  uint8_t pad0[2]{};             // 806
};
#pragma pack(pop)

static_assert(sizeof(TPrava::Naposledy) == 12);
static_assert(offsetof(TPrava::Naposledy, DATUM) == 0);
static_assert(offsetof(TPrava::Naposledy, CAS) == 6);
static_assert(sizeof(TPrava) == 808);
static_assert(offsetof(TPrava, ID) == 0);
static_assert(offsetof(TPrava, UZIVATEL) == 4);
static_assert(offsetof(TPrava, PRAVA) == 260);
static_assert(offsetof(TPrava, HESLO) == 268);
static_assert(offsetof(TPrava, KODDOCHAZKY) == 524);
static_assert(offsetof(TPrava, PREDANAPRAVA) == 780);
static_assert(offsetof(TPrava, PLATIDO) == 788);
static_assert(offsetof(TPrava, NAPOSLEDY) == 794);
static_assert(offsetof(TPrava, pad0) == 806);
static_assert(kIsRecord<TPrava>);

}  // namespace ksv
