// The search criteria of the orders browser (KRITERIA): the record the desktop keeps between
// visits of the browser and sends with the list command (63), and the server reads to select
// orders and programs. It travels byte for byte from packet offset 4, so its field offsets are
// the packet offsets less 4.
#pragma once
#include "protocol/packet.h"
#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)

// TKriteria — 996 bytes, packet bytes 4..999. An id criterion of -1, an empty text and a date
// with day 0 match anything. Texts are matched as substrings, ignoring ASCII case.
// PACKET RECORD SIZE FIELD
//      4      0    4 mode             6 = orders, 7 = programs of the open order
//      8      4   17 number           order number
//     32     28  256 description      order description
//    288    284    6 from             order date range: first day
//    296    292    6 to               order date range: last day
//    304    300    4 author           order author (user id)
//    308    304  256 customer
//    564    560    6 due              TERMIN not after
//    572    568    6 embroider_by     VYSIT not after
//    580    576    4 material         program material (id)
//    636    632    4 production       flag 1: programs released to production are included
//    640    636    4 without_sample   flag 2: programs without a sample are included
//    644    640    4 programs         flag 3: mode 6 examines the programs too
//    648    644    4 to_embroider     MASIT, the operator who is to embroider (user id)
//    652    648    4 embroidered_by   VYSIL (user id)
//    656    652  256 material_text    POPISMATERIALU
//    912    908    4 program_author   program AUTOR (user id)
//    916    912    6 created          program DATUM equals
//    924    920   17 code             program KOD
//    956    952    4 handled_by       MANIPULACE (user id)
//    960    956   17 invoice          FAKTURA
//    992    988    6 embroidered_on   VYSITOKDY equals
// The gaps between the fields are padding; they travel as they lie.
struct TKriteria {
  int32_t mode{6};                 //   0
  PString<16> number{};            //   4
  uint8_t pad0[7]{};               //  21
  PString<255> description{};      //  28
  TDatum from{};                   // 284
  uint8_t pad1[2]{};               // 290
  TDatum to{};                     // 292
  uint8_t pad2[2]{};               // 298
  int32_t author{-1};              // 300
  PString<255> customer{};         // 304
  TDatum due{};                    // 560
  uint8_t pad3[2]{};               // 566
  TDatum embroider_by{};           // 568
  uint8_t pad4[2]{};               // 574
  int32_t material{-1};            // 576
  uint8_t pad5[52]{};              // 580
  int32_t production{};            // 632  0/1
  int32_t without_sample{};        // 636  0/1
  int32_t programs{};              // 640  0/1
  int32_t to_embroider{-1};        // 644
  int32_t embroidered_by{-1};      // 648
  PString<255> material_text{};    // 652
  int32_t program_author{-1};      // 908
  TDatum created{};                // 912
  uint8_t pad6[2]{};               // 918
  PString<16> code{};              // 920
  uint8_t pad7[15]{};              // 937
  int32_t handled_by{-1};          // 952
  PString<16> invoice{};           // 956
  uint8_t pad8[15]{};              // 973
  TDatum embroidered_on{};         // 988
  uint8_t pad9[2]{};               // 994
};

#pragma pack(pop)

// Where the record starts in the packet.
inline constexpr int kCriteriaOffset = 4;

static_assert(kIsRecord<TKriteria>);
static_assert(sizeof(TKriteria) == 996);
static_assert(kCriteriaOffset + sizeof(TKriteria) <= size_t(kPacketSize));
static_assert(offsetof(TKriteria, mode) == 4 - kCriteriaOffset);
static_assert(offsetof(TKriteria, number) == 8 - kCriteriaOffset);
static_assert(offsetof(TKriteria, description) == 32 - kCriteriaOffset);
static_assert(offsetof(TKriteria, from) == 288 - kCriteriaOffset);
static_assert(offsetof(TKriteria, to) == 296 - kCriteriaOffset);
static_assert(offsetof(TKriteria, author) == 304 - kCriteriaOffset);
static_assert(offsetof(TKriteria, customer) == 308 - kCriteriaOffset);
static_assert(offsetof(TKriteria, due) == 564 - kCriteriaOffset);
static_assert(offsetof(TKriteria, embroider_by) == 572 - kCriteriaOffset);
static_assert(offsetof(TKriteria, material) == 580 - kCriteriaOffset);
static_assert(offsetof(TKriteria, production) == 636 - kCriteriaOffset);
static_assert(offsetof(TKriteria, without_sample) == 640 - kCriteriaOffset);
static_assert(offsetof(TKriteria, programs) == 644 - kCriteriaOffset);
static_assert(offsetof(TKriteria, to_embroider) == 648 - kCriteriaOffset);
static_assert(offsetof(TKriteria, embroidered_by) == 652 - kCriteriaOffset);
static_assert(offsetof(TKriteria, material_text) == 656 - kCriteriaOffset);
static_assert(offsetof(TKriteria, program_author) == 912 - kCriteriaOffset);
static_assert(offsetof(TKriteria, created) == 916 - kCriteriaOffset);
static_assert(offsetof(TKriteria, code) == 924 - kCriteriaOffset);
static_assert(offsetof(TKriteria, handled_by) == 956 - kCriteriaOffset);
static_assert(offsetof(TKriteria, invoice) == 960 - kCriteriaOffset);
static_assert(offsetof(TKriteria, embroidered_on) == 992 - kCriteriaOffset);

// The criteria in the packet, as the list command carries them. The mode field is the command's
// first argument; the rest follow it.
inline TKriteria read_criteria(const Packet& p) {
  TKriteria k;
  p.get_raw(kCriteriaOffset, &k, sizeof k);
  return k;
}
inline void write_criteria(Packet& p, const TKriteria& k) {
  p.put_raw(kCriteriaOffset, &k, sizeof k);
}

}  // namespace ksv
