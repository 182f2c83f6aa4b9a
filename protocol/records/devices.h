// Device records: the camera plans "kamery.dat" (TKamery with two TPlanKamer, 1460 bytes), the
// run-time state of one camera (TKamera, memory only), and the alarm settings and sensor state
// "alarm.dat" (TAlarm, 272 bytes).
#pragma once
#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)

// TPlanKamer — the weekly plan of one camera, 728 bytes.
// OFFSET SIZE FIELD
//      0    1 POUZIVAT        this camera's plan is in use
//      1    3 (padding)
//      4    8 POPRICHODU      arrival rule: MINUT Word (4), 2 padding, INTERVAL LongInt (8)
//     12   32 VYPINATDOHLED   8 supervising user IDs; 0 = free entry
//     44    1 SVATEK          use the holiday factor on holidays
//     45    1 SVATEKINTERVAL  holiday factor in sixteenths
//     46    2 (padding)
//     48  672 TYDEN           [weekday 0 = Sunday..6][hour 0..23] plan values
//    720    1 NAHODNE         randomise intervals
//    721    5 AKTZMENA        run-time marks PRICHOD, DOHLED, SVATEK, TYDEN, ZMENA
//    726    2 (padding)
struct TPlanKamer {
  struct PoPrichodu {
    uint16_t MINUT{};    // 0  non-zero switches the arrival rule on
    uint8_t pad0[2]{};   // 2
    int32_t INTERVAL{};  // 4  seconds: capture interval, and how long the rule keeps the camera on
  };
  struct AktZmena {
    uint8_t PRICHOD{};  // 0  set by the arrival rule
    uint8_t DOHLED{};   // 1  set by the supervisor rule
    uint8_t SVATEK{};   // 2  set by the holiday rule
    uint8_t TYDEN{};    // 3  set by the weekly plan
    uint8_t ZMENA{};    // 4  any change
  };

  uint8_t POUZIVAT{};            //   0  Boolean
  uint8_t pad0[3]{};             //   1
  PoPrichodu POPRICHODU{};       //   4
  int32_t VYPINATDOHLED[8]{};    //  12
  uint8_t SVATEK{};              //  44  Boolean
  uint8_t SVATEKINTERVAL{};      //  45
  uint8_t pad1[2]{};             //  46
  int32_t TYDEN[7][24]{};        //  48
  uint8_t NAHODNE{};             // 720  Boolean
  AktZmena AKTZMENA{};           // 721
  uint8_t pad2[2]{};             // 726
};

// TKamery — OFFSET SIZE FIELD
//      0    1 POUZIVAT  the camera system is in use
//      1    3 (padding)
//      4 1456 PLAN      one TPlanKamer per camera 0 and 1
struct TKamery {
  uint8_t POUZIVAT{};     // 0  Boolean
  uint8_t pad0[3]{};      // 1
  TPlanKamer PLAN[2]{};   // 4
};

// TKamera — the run-time state of one camera. It is never stored or sent; the layout below only
// follows the same alignment rule as the stored records so the fields read in the usual order.
// OFFSET SIZE FIELD
//      0    1 AKTIVNI   camera active
//      4    4 INTERVAL  > 0 seconds between frames; < 0 minus the series cycle; 0 nothing
//      8   12 S, M, H   second, minute, hour of the last shot
//     20   12 DD, MM, RR  day, month, year of the last shot
//     32    1 ZISK      a capture is in progress
//     33  256 ADRESAR   today's frame directory
//    289    1 ULOZEN    a captured picture waits to be stored
//    292    4 SNIMKU    frames per series
//    296    4 PRODLEVA  milliseconds between the frames of a series
struct TKamera {
  uint8_t AKTIVNI{};       //   0  Boolean
  uint8_t pad0[3]{};       //   1
  int32_t INTERVAL{};      //   4
  int32_t S{};             //   8
  int32_t M{};             //  12
  int32_t H{};             //  16
  int32_t DD{};            //  20
  int32_t MM{};            //  24
  int32_t RR{};            //  28
  uint8_t ZISK{};          //  32  Boolean
  PString<255> ADRESAR{};  //  33
  uint8_t ULOZEN{};        // 289  Boolean
  uint8_t pad1[2]{};       // 290
  int32_t SNIMKU{};        // 292
  int32_t PRODLEVA{};      // 296
};

// TAlarm — 272 bytes. Bytes 0..265 are settings written by clients; 266..271 are state the
// server writes and stores with the record.
// OFFSET SIZE FIELD
//      0    1 TESTOVATOKNO1        sensor A1 monitored;  1 TESTOVATOKNO2   sensor A2
//      2    1 TESTOVATCIDLO1       sensor B1 monitored;  3 TESTOVATCIDLO2  sensor B2
//      4    1 PRIPRICHODUVYPNOUTA  disarm A when someone is present; 5 ...B
//      6    1 PRIODCHODUZAPNOUTA   arm A when nobody is present;     7 ...B
//      8    1 OKRUHA               circuit A as the clients show it; 9 OKRUHB
//     10  256 EMAIL                address for alarm e-mails
//    266    4 STAVA1, STAVA2, STAVB1, STAVB2  last reported sensor states
//    270    1 ZAPNUTOA             circuit A armed; 271 ZAPNUTOB circuit B armed
struct TAlarm {
  uint8_t TESTOVATOKNO1{};         //   0  Boolean
  uint8_t TESTOVATOKNO2{};         //   1
  uint8_t TESTOVATCIDLO1{};        //   2
  uint8_t TESTOVATCIDLO2{};        //   3
  uint8_t PRIPRICHODUVYPNOUTA{};   //   4
  uint8_t PRIPRICHODUVYPNOUTB{};   //   5
  uint8_t PRIODCHODUZAPNOUTA{};    //   6
  uint8_t PRIODCHODUZAPNOUTB{};    //   7
  uint8_t OKRUHA{};                //   8
  uint8_t OKRUHB{};                //   9
  PString<255> EMAIL{};            //  10
  uint8_t STAVA1{};                // 266
  uint8_t STAVA2{};                // 267
  uint8_t STAVB1{};                // 268
  uint8_t STAVB2{};                // 269
  uint8_t ZAPNUTOA{};              // 270
  uint8_t ZAPNUTOB{};              // 271
};

#pragma pack(pop)

// How many bytes of TAlarm a client may set; the rest is the server's sensor and arming state.
inline constexpr size_t kAlarmSettingsBytes = 266;

static_assert(sizeof(TPlanKamer::PoPrichodu) == 8);
static_assert(offsetof(TPlanKamer::PoPrichodu, MINUT) == 0);
static_assert(offsetof(TPlanKamer::PoPrichodu, INTERVAL) == 4);
static_assert(sizeof(TPlanKamer::AktZmena) == 5);
static_assert(offsetof(TPlanKamer::AktZmena, PRICHOD) == 0);
static_assert(offsetof(TPlanKamer::AktZmena, DOHLED) == 1);
static_assert(offsetof(TPlanKamer::AktZmena, SVATEK) == 2);
static_assert(offsetof(TPlanKamer::AktZmena, TYDEN) == 3);
static_assert(offsetof(TPlanKamer::AktZmena, ZMENA) == 4);
static_assert(sizeof(TPlanKamer) == 728);
static_assert(offsetof(TPlanKamer, POUZIVAT) == 0);
static_assert(offsetof(TPlanKamer, pad0) == 1);
static_assert(offsetof(TPlanKamer, POPRICHODU) == 4);
static_assert(offsetof(TPlanKamer, VYPINATDOHLED) == 12);
static_assert(offsetof(TPlanKamer, SVATEK) == 44);
static_assert(offsetof(TPlanKamer, SVATEKINTERVAL) == 45);
static_assert(offsetof(TPlanKamer, pad1) == 46);
static_assert(offsetof(TPlanKamer, TYDEN) == 48);
static_assert(sizeof(TPlanKamer::TYDEN[0]) == 96);
static_assert(offsetof(TPlanKamer, NAHODNE) == 720);
static_assert(offsetof(TPlanKamer, AKTZMENA) == 721);
static_assert(offsetof(TPlanKamer, pad2) == 726);
static_assert(kIsRecord<TPlanKamer>);

static_assert(sizeof(TKamery) == 1460);
static_assert(offsetof(TKamery, POUZIVAT) == 0);
static_assert(offsetof(TKamery, pad0) == 1);
static_assert(offsetof(TKamery, PLAN) == 4);
static_assert(kIsRecord<TKamery>);

static_assert(sizeof(TKamera) == 300);
static_assert(offsetof(TKamera, AKTIVNI) == 0);
static_assert(offsetof(TKamera, INTERVAL) == 4);
static_assert(offsetof(TKamera, S) == 8);
static_assert(offsetof(TKamera, M) == 12);
static_assert(offsetof(TKamera, H) == 16);
static_assert(offsetof(TKamera, DD) == 20);
static_assert(offsetof(TKamera, MM) == 24);
static_assert(offsetof(TKamera, RR) == 28);
static_assert(offsetof(TKamera, ZISK) == 32);
static_assert(offsetof(TKamera, ADRESAR) == 33);
static_assert(offsetof(TKamera, ULOZEN) == 289);
static_assert(offsetof(TKamera, SNIMKU) == 292);
static_assert(offsetof(TKamera, PRODLEVA) == 296);
static_assert(kIsRecord<TKamera>);

static_assert(sizeof(TAlarm) == 272);
static_assert(offsetof(TAlarm, TESTOVATOKNO1) == 0);
static_assert(offsetof(TAlarm, TESTOVATOKNO2) == 1);
static_assert(offsetof(TAlarm, TESTOVATCIDLO1) == 2);
static_assert(offsetof(TAlarm, TESTOVATCIDLO2) == 3);
static_assert(offsetof(TAlarm, PRIPRICHODUVYPNOUTA) == 4);
static_assert(offsetof(TAlarm, PRIPRICHODUVYPNOUTB) == 5);
static_assert(offsetof(TAlarm, PRIODCHODUZAPNOUTA) == 6);
static_assert(offsetof(TAlarm, PRIODCHODUZAPNOUTB) == 7);
static_assert(offsetof(TAlarm, OKRUHA) == 8);
static_assert(offsetof(TAlarm, OKRUHB) == 9);
static_assert(offsetof(TAlarm, EMAIL) == 10);
static_assert(offsetof(TAlarm, STAVA1) == 266);
static_assert(offsetof(TAlarm, STAVA2) == 267);
static_assert(offsetof(TAlarm, STAVB1) == 268);
static_assert(offsetof(TAlarm, STAVB2) == 269);
static_assert(offsetof(TAlarm, ZAPNUTOA) == 270);
static_assert(offsetof(TAlarm, ZAPNUTOB) == 271);
static_assert(offsetof(TAlarm, STAVA1) == kAlarmSettingsBytes);
static_assert(kIsRecord<TAlarm>);

}  // namespace ksv
