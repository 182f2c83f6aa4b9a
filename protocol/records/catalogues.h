// The three catalogues: materials "material.dat" (TMaterial, 260 bytes), threads "nite.dat"
// (TBarva, 35 bytes) and placements "umisten.dat" (TUmisteni, 44 bytes). Record 0 of the
// material and placement files is the ID header; the thread file has none.
#pragma once
#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)

// TMaterial — OFFSET SIZE FIELD
//      0    4 ID        material ID; in record 0 the last ID given out
//      4  252 NAZEV     name (the key, compared in upper case), at most 251 characters
//    256    4 RYCHLOST  machine speed in stitches a minute for the production plan; 0: unknown
// The speed lives in what was once the unused tail of a 255-character name: the server stores
// the record as received and its key reads only the name, so older files and servers keep
// working and an old record simply reads as speed 0.
struct TMaterial {
  int32_t ID{};           //   0
  PString<251> NAZEV{};   //   4
  int32_t RYCHLOST{};     // 256
};

// The speed the plan uses for a material whose speed is not known.
inline constexpr int32_t kDefaultMaterialSpeed = 800;
// A name longer than 251 characters comes from a record written before the speed existed: its
// last four bytes are name text, not a speed.
// The speed the record holds; 0 when it holds none.
inline int32_t known_material_speed(const TMaterial& m) {
  if (m.NAZEV.len > decltype(m.NAZEV)::kCapacity || m.RYCHLOST <= 0) return 0;
  return m.RYCHLOST;
}
inline int32_t material_speed(const TMaterial& m) {
  const int32_t known = known_material_speed(m);
  return known > 0 ? known : kDefaultMaterialSpeed;
}

// TBarva — OFFSET SIZE FIELD
//      0    8 KOD      thread code (key, upper case, together with SLABA)
//      8    1 BARVA    colour number
//      9    1 SLABA    thin thread (Boolean)
//     10   25 PANTONE  colour reference; the client shows it as the description
struct TBarva {
  PString<7> KOD{};       //  0
  uint8_t BARVA{};        //  8
  uint8_t SLABA{};        //  9  Boolean
  PString<24> PANTONE{};  // 10
};

// TUmisteni — OFFSET SIZE FIELD
//      0    4 ID        placement ID; in record 0 the last ID given out
//      4   33 POPIS     description (key, upper case, together with MATERIAL)
//     37    3 (padding)
//     40    4 MATERIAL  ID of the material the placement belongs to
struct TUmisteni {
  int32_t ID{};          //  0
  PString<32> POPIS{};   //  4
  uint8_t pad0[3]{};     // 37
  int32_t MATERIAL{};    // 40
};

#pragma pack(pop)

static_assert(sizeof(TMaterial) == 260);
static_assert(offsetof(TMaterial, ID) == 0);
static_assert(offsetof(TMaterial, NAZEV) == 4);
static_assert(offsetof(TMaterial, RYCHLOST) == 256);
static_assert(kIsRecord<TMaterial>);

static_assert(sizeof(TBarva) == 35);
static_assert(offsetof(TBarva, KOD) == 0);
static_assert(offsetof(TBarva, BARVA) == 8);
static_assert(offsetof(TBarva, SLABA) == 9);
static_assert(offsetof(TBarva, PANTONE) == 10);
static_assert(kIsRecord<TBarva>);

static_assert(sizeof(TUmisteni) == 44);
static_assert(offsetof(TUmisteni, ID) == 0);
static_assert(offsetof(TUmisteni, POPIS) == 4);
static_assert(offsetof(TUmisteni, pad0) == 37);
static_assert(offsetof(TUmisteni, MATERIAL) == 40);
static_assert(kIsRecord<TUmisteni>);

}  // namespace ksv
