// The records of the orders tree under "databaze": the order header "info.dat"
// (TPolozkaDatabanky), the program "prog.dat" (TProgramZak with its THistorie entries), the
// program's links "proglnk.dat" (TLinkovani), and one line of an order search (TSeznamDatabanky).
#pragma once
#include "protocol/records/base.h"

namespace ksv {

#pragma pack(push, 1)

// TPolozkaDatabanky — the order header, 1072 bytes.
// OFFSET SIZE FIELD
//      0   17 CISLO      order number
//     17  256 POPIS      description
//    273    3 (padding)  LongInt aligns on 4
//    276    4 AUTOR      creator's user ID
//    280  256 ZAKAZNIK   customer
//    536    4 PROGRAMU   programs created in the order
//    540    6 TERMIN     due date
//    546    6 VYSIT      date by which it is to be embroidered
//    552    6 VZOREK     date of the sample
//    558  256 VELIKOST   size
//    814  256 KALKULACE  calculation note
//   1070    1 UZAVRENO   order closed
//   1071    1 (padding)
struct TPolozkaDatabanky {
  PString<16> CISLO{};        //    0
  PString<255> POPIS{};       //   17
  uint8_t pad0[3]{};          //  273
  int32_t AUTOR{};            //  276
  PString<255> ZAKAZNIK{};    //  280
  int32_t PROGRAMU{};         //  536
  TDatum TERMIN{};            //  540
  TDatum VYSIT{};             //  546
  TDatum VZOREK{};            //  552
  PString<255> VELIKOST{};    //  558
  PString<255> KALKULACE{};   //  814
  uint8_t UZAVRENO{};         // 1070  Boolean
  uint8_t pad1{};             // 1071
};

// THistorie — one change of a program, 8 bytes; an unused entry is all 0xFF (both fields -1).
struct THistorie {
  int32_t ZMENA{};     // 0  kind of change; -1 = unused
  int32_t UZIVATEL{};  // 4  who made it; -1 = unused
};

// TProgramZak — one embroidery program of an order, 1420 bytes.
// OFFSET SIZE FIELD
//      0   17 KOD             program code
//     17    1 (padding)
//     18    6 CAS             time of creation
//     24    6 DATUM           date of creation
//     30    2 (padding)
//     32    4 AUTOR           creator; 36 SCHVALIL approver (-1 none); 40 MATERIAL ID (-1 none)
//     44  256 POPISMATERIALU  material description
//    300    1 DATABANKA       state in the data bank (a copied program gets 2)
//    301    1 VZOREK          a sample is to be made
//    302    2 (padding)
//    304    4 VZOROVAL        who made the sample (-1 none)
//    308    1 SCHVALILZAK     approved by the customer; 309 SCHVALENO approved
//    310    2 (padding)
//    312    4 KUSU            pieces; 316 VYSIL, 320 MASIT: user IDs (-1 none)
//    324    6 VYSITOKDY       date embroidered
//    330    2 (padding)
//    332    4 KUSUSITI        pieces embroidered; 336 MANIPULACE user ID (-1 none)
//    340    6 MANIPUL         date of handling
//    346    2 (padding)
//    348    4 KUSUMAN         pieces handled; 352 UMISTENI placement ID (-1 none)
//    356    1 VYROBNI         released to production
//    357  256 BAREVNOST       colour scheme text
//    613    3 (padding)
//    616    4 BAREV           number of colours
//    620  256 BARVY           32 thread codes, String[7] each
//    876    4 STEHU           stitches; 880 X width; 884 Y height
//    888  512 HISTORIE        64 THistorie entries
//   1400    1 UZAVRENO        program closed
//   1401   17 FAKTURA         invoice number
//   1418    2 (padding)
struct TProgramZak {
  PString<16> KOD{};               //    0
  uint8_t pad0{};                  //   17
  TCas CAS{};                      //   18
  TDatum DATUM{};                  //   24
  uint8_t pad1[2]{};               //   30
  int32_t AUTOR{};                 //   32
  int32_t SCHVALIL{};              //   36
  int32_t MATERIAL{};              //   40
  PString<255> POPISMATERIALU{};   //   44
  uint8_t DATABANKA{};             //  300
  uint8_t VZOREK{};                //  301  Boolean
  uint8_t pad2[2]{};               //  302
  int32_t VZOROVAL{};              //  304
  uint8_t SCHVALILZAK{};           //  308  Boolean
  uint8_t SCHVALENO{};             //  309  Boolean
  uint8_t pad3[2]{};               //  310
  int32_t KUSU{};                  //  312
  int32_t VYSIL{};                 //  316
  int32_t MASIT{};                 //  320
  TDatum VYSITOKDY{};              //  324
  uint8_t pad4[2]{};               //  330
  int32_t KUSUSITI{};              //  332
  int32_t MANIPULACE{};            //  336
  TDatum MANIPUL{};                //  340
  uint8_t pad5[2]{};               //  346
  int32_t KUSUMAN{};               //  348
  int32_t UMISTENI{};              //  352
  uint8_t VYROBNI{};               //  356  Boolean
  PString<255> BAREVNOST{};        //  357
  uint8_t pad6[3]{};               //  613
  int32_t BAREV{};                 //  616
  PString<7> BARVY[32]{};          //  620
  int32_t STEHU{};                 //  876
  int32_t X{};                     //  880
  int32_t Y{};                     //  884
  THistorie HISTORIE[64]{};        //  888
  uint8_t UZAVRENO{};              // 1400  Boolean
  PString<16> FAKTURA{};           // 1401
  uint8_t pad7[2]{};               // 1418
};

// TLinkovani — the programs of the same order linked to this one, 408 bytes: 24 codes of
// String[16]; an empty code is a free entry.
struct TLinkovani {
  PString<16> codes[24]{};  // 0, 17 bytes apart
};

// TSeznamDatabanky — one line of an order search, 892 bytes; order fields first, then the
// fields of the matching program (empty in an order-only line).
// OFFSET SIZE FIELD
//      0   17 CISLO      order CISLO
//     17  256 POPIS      order POPIS
//    273    1 (padding)  Word-aligned TCas
//    274    6 CAS        time of the order directory
//    280    6 DATUM      date of the order directory
//    286    2 (padding)
//    288    4 AUTOR      order AUTOR
//    292  256 ZAKAZNIK   order ZAKAZNIK
//    548    4 PROGRAMU   order PROGRAMU
//    552    6 VYSIT      order VYSIT
//    558    6 TERMIN     order TERMIN
//    564    1 UZAVRENA   order UZAVRENO
//    565   17 KOD        program KOD
//    582    2 (padding)
//    584    4 MATERIAL   program MATERIAL; 588 UMISTENI program UMISTENI
//    592  256 POPISMAT   program POPISMATERIALU
//    848    1 VZOREK     849 SCHVALENO, 850 VYROBNI (program flags)
//    851    1 (padding)
//    852    4 X          program X (mode 6: sum of KUSU); 856 Y; 860 STEHU (mode 6: sum)
//    864    1 UZAVRENO   program UZAVRENO
//    865    1 (padding)
//    866    6 VYSITO     program VYSITOKDY
//    872    4 MASIT      876 VYSIL, 880 AUTORPROG (program AUTOR)
//    884    6 VYTVORENO  program DATUM
//    890    2 (padding)
struct TSeznamDatabanky {
  PString<16> CISLO{};       //   0
  PString<255> POPIS{};      //  17
  uint8_t pad0{};            // 273
  TCas CAS{};                // 274
  TDatum DATUM{};            // 280
  uint8_t pad1[2]{};         // 286
  int32_t AUTOR{};           // 288
  PString<255> ZAKAZNIK{};   // 292
  int32_t PROGRAMU{};        // 548
  TDatum VYSIT{};            // 552
  TDatum TERMIN{};           // 558
  uint8_t UZAVRENA{};        // 564  Boolean
  PString<16> KOD{};         // 565
  uint8_t pad2[2]{};         // 582
  int32_t MATERIAL{};        // 584
  int32_t UMISTENI{};        // 588
  PString<255> POPISMAT{};   // 592
  uint8_t VZOREK{};          // 848  Boolean
  uint8_t SCHVALENO{};       // 849  Boolean
  uint8_t VYROBNI{};         // 850  Boolean
  uint8_t pad3{};            // 851
  int32_t X{};               // 852
  int32_t Y{};               // 856
  int32_t STEHU{};           // 860
  uint8_t UZAVRENO{};        // 864  Boolean
  uint8_t pad4{};            // 865
  TDatum VYSITO{};           // 866
  int32_t MASIT{};           // 872
  int32_t VYSIL{};           // 876
  int32_t AUTORPROG{};       // 880
  TDatum VYTVORENO{};        // 884
  uint8_t pad5[2]{};         // 890
};

#pragma pack(pop)

// A history entry nobody has used: every byte 0xFF.
inline constexpr THistorie kFreeHistorie{-1, -1};
// Marks all 64 history entries unused, as a new or copied program has them.
inline void clear_history(TProgramZak& p) {
  for (auto& h : p.HISTORIE) h = kFreeHistorie;
}

static_assert(sizeof(TPolozkaDatabanky) == 1072);
static_assert(offsetof(TPolozkaDatabanky, CISLO) == 0);
static_assert(offsetof(TPolozkaDatabanky, POPIS) == 17);
static_assert(offsetof(TPolozkaDatabanky, pad0) == 273);
static_assert(offsetof(TPolozkaDatabanky, AUTOR) == 276);
static_assert(offsetof(TPolozkaDatabanky, ZAKAZNIK) == 280);
static_assert(offsetof(TPolozkaDatabanky, PROGRAMU) == 536);
static_assert(offsetof(TPolozkaDatabanky, TERMIN) == 540);
static_assert(offsetof(TPolozkaDatabanky, VYSIT) == 546);
static_assert(offsetof(TPolozkaDatabanky, VZOREK) == 552);
static_assert(offsetof(TPolozkaDatabanky, VELIKOST) == 558);
static_assert(offsetof(TPolozkaDatabanky, KALKULACE) == 814);
static_assert(offsetof(TPolozkaDatabanky, UZAVRENO) == 1070);
static_assert(offsetof(TPolozkaDatabanky, pad1) == 1071);
static_assert(kIsRecord<TPolozkaDatabanky>);

static_assert(sizeof(THistorie) == 8);
static_assert(offsetof(THistorie, ZMENA) == 0);
static_assert(offsetof(THistorie, UZIVATEL) == 4);
static_assert(kIsRecord<THistorie>);

static_assert(sizeof(TProgramZak) == 1420);
static_assert(offsetof(TProgramZak, KOD) == 0);
static_assert(offsetof(TProgramZak, pad0) == 17);
static_assert(offsetof(TProgramZak, CAS) == 18);
static_assert(offsetof(TProgramZak, DATUM) == 24);
static_assert(offsetof(TProgramZak, pad1) == 30);
static_assert(offsetof(TProgramZak, AUTOR) == 32);
static_assert(offsetof(TProgramZak, SCHVALIL) == 36);
static_assert(offsetof(TProgramZak, MATERIAL) == 40);
static_assert(offsetof(TProgramZak, POPISMATERIALU) == 44);
static_assert(offsetof(TProgramZak, DATABANKA) == 300);
static_assert(offsetof(TProgramZak, VZOREK) == 301);
static_assert(offsetof(TProgramZak, pad2) == 302);
static_assert(offsetof(TProgramZak, VZOROVAL) == 304);
static_assert(offsetof(TProgramZak, SCHVALILZAK) == 308);
static_assert(offsetof(TProgramZak, SCHVALENO) == 309);
static_assert(offsetof(TProgramZak, pad3) == 310);
static_assert(offsetof(TProgramZak, KUSU) == 312);
static_assert(offsetof(TProgramZak, VYSIL) == 316);
static_assert(offsetof(TProgramZak, MASIT) == 320);
static_assert(offsetof(TProgramZak, VYSITOKDY) == 324);
static_assert(offsetof(TProgramZak, pad4) == 330);
static_assert(offsetof(TProgramZak, KUSUSITI) == 332);
static_assert(offsetof(TProgramZak, MANIPULACE) == 336);
static_assert(offsetof(TProgramZak, MANIPUL) == 340);
static_assert(offsetof(TProgramZak, pad5) == 346);
static_assert(offsetof(TProgramZak, KUSUMAN) == 348);
static_assert(offsetof(TProgramZak, UMISTENI) == 352);
static_assert(offsetof(TProgramZak, VYROBNI) == 356);
static_assert(offsetof(TProgramZak, BAREVNOST) == 357);
static_assert(offsetof(TProgramZak, pad6) == 613);
static_assert(offsetof(TProgramZak, BAREV) == 616);
static_assert(offsetof(TProgramZak, BARVY) == 620);
static_assert(sizeof(TProgramZak::BARVY) == 32 * 8);
static_assert(offsetof(TProgramZak, STEHU) == 876);
static_assert(offsetof(TProgramZak, X) == 880);
static_assert(offsetof(TProgramZak, Y) == 884);
static_assert(offsetof(TProgramZak, HISTORIE) == 888);
static_assert(sizeof(TProgramZak::HISTORIE) == 64 * 8);
static_assert(offsetof(TProgramZak, UZAVRENO) == 1400);
static_assert(offsetof(TProgramZak, FAKTURA) == 1401);
static_assert(offsetof(TProgramZak, pad7) == 1418);
static_assert(kIsRecord<TProgramZak>);

static_assert(sizeof(TLinkovani) == 408);
static_assert(offsetof(TLinkovani, codes) == 0);
static_assert(sizeof(TLinkovani::codes[0]) == 17);
static_assert(kIsRecord<TLinkovani>);

static_assert(sizeof(TSeznamDatabanky) == 892);
static_assert(offsetof(TSeznamDatabanky, CISLO) == 0);
static_assert(offsetof(TSeznamDatabanky, POPIS) == 17);
static_assert(offsetof(TSeznamDatabanky, pad0) == 273);
static_assert(offsetof(TSeznamDatabanky, CAS) == 274);
static_assert(offsetof(TSeznamDatabanky, DATUM) == 280);
static_assert(offsetof(TSeznamDatabanky, pad1) == 286);
static_assert(offsetof(TSeznamDatabanky, AUTOR) == 288);
static_assert(offsetof(TSeznamDatabanky, ZAKAZNIK) == 292);
static_assert(offsetof(TSeznamDatabanky, PROGRAMU) == 548);
static_assert(offsetof(TSeznamDatabanky, VYSIT) == 552);
static_assert(offsetof(TSeznamDatabanky, TERMIN) == 558);
static_assert(offsetof(TSeznamDatabanky, UZAVRENA) == 564);
static_assert(offsetof(TSeznamDatabanky, KOD) == 565);
static_assert(offsetof(TSeznamDatabanky, pad2) == 582);
static_assert(offsetof(TSeznamDatabanky, MATERIAL) == 584);
static_assert(offsetof(TSeznamDatabanky, UMISTENI) == 588);
static_assert(offsetof(TSeznamDatabanky, POPISMAT) == 592);
static_assert(offsetof(TSeznamDatabanky, VZOREK) == 848);
static_assert(offsetof(TSeznamDatabanky, SCHVALENO) == 849);
static_assert(offsetof(TSeznamDatabanky, VYROBNI) == 850);
static_assert(offsetof(TSeznamDatabanky, pad3) == 851);
static_assert(offsetof(TSeznamDatabanky, X) == 852);
static_assert(offsetof(TSeznamDatabanky, Y) == 856);
static_assert(offsetof(TSeznamDatabanky, STEHU) == 860);
static_assert(offsetof(TSeznamDatabanky, UZAVRENO) == 864);
static_assert(offsetof(TSeznamDatabanky, pad4) == 865);
static_assert(offsetof(TSeznamDatabanky, VYSITO) == 866);
static_assert(offsetof(TSeznamDatabanky, MASIT) == 872);
static_assert(offsetof(TSeznamDatabanky, VYSIL) == 876);
static_assert(offsetof(TSeznamDatabanky, AUTORPROG) == 880);
static_assert(offsetof(TSeznamDatabanky, VYTVORENO) == 884);
static_assert(offsetof(TSeznamDatabanky, pad5) == 890);
static_assert(kIsRecord<TSeznamDatabanky>);

}  // namespace ksv
