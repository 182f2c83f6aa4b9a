// The record layouts as bytes on disk: values land where the readers of the other side expect
// them, untouched string bytes survive a round trip, and a fresh record is all zeros.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "protocol/record_file.h"
#include "protocol/records/records.h"
#include "protocol/testsupport/temp_dir.h"

namespace ksv {
namespace {

using ksv::testing::TempDir;

template <class T>
std::string bytes_of(const T& rec) {
  return std::string(reinterpret_cast<const char*>(&rec), sizeof rec);
}

uint64_t le_at(const std::string& s, size_t off, size_t width) {
  uint64_t v = 0;
  for (size_t i = 0; i < width; ++i) v |= uint64_t(uint8_t(s.at(off + i))) << (8 * i);
  return v;
}

TEST(Records, UserRecordOnDiskIsByteExact) {
  TempDir dir;
  TPrava header;
  header.ID = 7;
  TPrava u;
  u.ID = 0x01020304;
  u.UZIVATEL.assign("novak");
  u.PRAVA = int64_t(0x8000000000000001ULL);
  u.HESLO.assign("tajne");
  u.KODDOCHAZKY.assign("4711");
  u.PREDANAPRAVA = int64_t(1) << 57;
  u.PLATIDO = TDatum{31, 12, 2026};
  u.NAPOSLEDY.DATUM = TDatum{2, 3, 2025};
  u.NAPOSLEDY.CAS = TCas{7, 58, 9};
  const std::string path = dir / "uzivatel.dat";
  ASSERT_TRUE(write_records<TPrava>(path, {header, u}));

  const std::string disk = dir.read_file("uzivatel.dat");
  ASSERT_EQ(disk.size(), 2u * 808);
  EXPECT_EQ(le_at(disk, 0, 4), 7u);
  const std::string r = disk.substr(808);
  EXPECT_EQ(le_at(r, 0, 4), 0x01020304u);
  EXPECT_EQ(uint8_t(r[4]), 5);
  EXPECT_EQ(r.substr(5, 5), "novak");
  EXPECT_EQ(le_at(r, 260, 8), 0x8000000000000001ULL);
  EXPECT_EQ(uint8_t(r[268]), 5);
  EXPECT_EQ(r.substr(269, 5), "tajne");
  EXPECT_EQ(uint8_t(r[524]), 4);
  EXPECT_EQ(r.substr(525, 4), "4711");
  EXPECT_EQ(le_at(r, 780, 8), uint64_t(1) << 57);
  EXPECT_EQ(le_at(r, 788, 2), 31u);
  EXPECT_EQ(le_at(r, 790, 2), 12u);
  EXPECT_EQ(le_at(r, 792, 2), 2026u);
  EXPECT_EQ(le_at(r, 794, 2), 2u);   // NAPOSLEDY.DATUM.DEN
  EXPECT_EQ(le_at(r, 798, 2), 2025u);
  EXPECT_EQ(le_at(r, 800, 2), 7u);   // NAPOSLEDY.CAS.HOD
  EXPECT_EQ(le_at(r, 804, 2), 9u);
  EXPECT_EQ(le_at(r, 806, 2), 0u);   // padding stays zero

  std::optional<TPrava> back = read_record<TPrava>(path, 1);
  ASSERT_TRUE(back);
  EXPECT_EQ(bytes_of(*back), bytes_of(u));
}

// Bytes past a string's length are whatever an earlier, longer value left there. They must be
// carried along unchanged, so a record read and written back is the same file.
// The criteria travel at the packet offsets of the browser's criteria table; the server reads
// them where the desktop writes them.
TEST(Records, CriteriaLieAtTheirPacketOffsets) {
  TKriteria k;
  EXPECT_EQ(k.mode, 6);
  EXPECT_EQ(k.author, -1);
  k.mode = 7;
  k.number.assign(std::string(20, 'N'));  // more than the 16 an order number holds
  k.description.assign("popis");
  k.from = {1, 2, 2026};
  k.to = {3, 4, 2027};
  k.author = 5;
  k.customer.assign("zakaznik");
  k.due = {6, 7, 2028};
  k.embroider_by = {8, 9, 2029};
  k.material = 10;
  k.production = 1;
  k.programs = 1;
  k.to_embroider = 11;
  k.embroidered_by = 12;
  k.material_text.assign("bavlna");
  k.program_author = 13;
  k.created = {10, 11, 2030};
  k.code.assign("kod");
  k.handled_by = 14;
  k.invoice.assign("faktura");
  k.embroidered_on = {12, 12, 2031};
  Packet p;
  write_criteria(p, k);
  EXPECT_EQ(p.ZISKEJCISLO(4), 7);
  EXPECT_EQ(p.bytes[8], 16);
  EXPECT_EQ(p.ZISKEJRETEZEC(32, false), "popis");
  EXPECT_EQ(p.get_word(288 + 4), 2026);
  EXPECT_EQ(p.get_word(296 + 2), 4);
  EXPECT_EQ(p.ZISKEJCISLO(304), 5);
  EXPECT_EQ(p.ZISKEJRETEZEC(308, false), "zakaznik");
  EXPECT_EQ(p.get_word(564), 6);
  EXPECT_EQ(p.get_word(572 + 4), 2029);
  EXPECT_EQ(p.ZISKEJCISLO(580), 10);
  EXPECT_EQ(p.ZISKEJCISLO(636), 1);
  EXPECT_EQ(p.ZISKEJCISLO(640), 0);
  EXPECT_EQ(p.ZISKEJCISLO(644), 1);
  EXPECT_EQ(p.ZISKEJCISLO(648), 11);
  EXPECT_EQ(p.ZISKEJCISLO(652), 12);
  EXPECT_EQ(p.ZISKEJRETEZEC(656, false), "bavlna");
  EXPECT_EQ(p.ZISKEJCISLO(912), 13);
  EXPECT_EQ(p.get_word(916 + 2), 11);
  EXPECT_EQ(p.bytes[924], 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.bytes + 925), 3), "kod");
  EXPECT_EQ(p.ZISKEJCISLO(956), 14);
  EXPECT_EQ(p.bytes[960], 7);
  EXPECT_EQ(p.get_word(992 + 4), 2031);
  EXPECT_EQ(p.bytes[1000], 0) << "nothing written past the record";

  TKriteria r = read_criteria(p);
  EXPECT_EQ(bytes_of(r), bytes_of(k));
  EXPECT_EQ(r.number.str(), std::string(16, 'N'));
  // A length byte that claims more than the field holds is cut to the field.
  p.bytes[960] = 200;
  EXPECT_EQ(read_criteria(p).invoice.str().size(), 16u);
}

TEST(Records, StringBytesPastTheLengthSurviveARoundTrip) {
  TempDir dir;
  std::string raw(808, '\0');
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = char(i * 37 + 11);
  raw[4] = 3;      // UZIVATEL "abc" followed by 252 bytes of leftovers
  raw[268] = 0;    // empty HESLO over a full area of leftovers
  raw[524] = char(255);  // a full-length KODDOCHAZKY
  dir.write_file("u.dat", raw);

  std::optional<TPrava> rec = read_record<TPrava>(dir / "u.dat", 0);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->HESLO.size(), 0u);
  EXPECT_EQ(rec->KODDOCHAZKY.size(), 255u);
  rec->ID = 99;  // change one field only
  ASSERT_TRUE(write_record<TPrava>(dir / "u.dat", 0, *rec));

  std::string after = dir.read_file("u.dat");
  ASSERT_EQ(after.size(), raw.size());
  EXPECT_EQ(le_at(after, 0, 4), 99u);
  EXPECT_EQ(after.substr(4), raw.substr(4));

  // Assigning a shorter text changes the length and the characters it covers, nothing more.
  rec->UZIVATEL.assign("x");
  std::string b = bytes_of(*rec);
  EXPECT_EQ(uint8_t(b[4]), 1);
  EXPECT_EQ(b[5], 'x');
  EXPECT_EQ(b.substr(6, 254), raw.substr(6, 254));
}

// Arrays with two indices must lie in the order the other side reads them: a swapped pair of
// dimensions keeps the size and every static offset, but puts each value somewhere else.
TEST(Records, ArraysLieInTheirDocumentedOrder) {
  TPlanKamer plan;
  plan.TYDEN[6][23] = -20130;  // Saturday, 23:00
  plan.TYDEN[1][0] = 600;      // Monday, 00:00
  std::string b = bytes_of(plan);
  EXPECT_EQ(int32_t(le_at(b, 48 + 6 * 96 + 23 * 4, 4)), -20130);
  EXPECT_EQ(le_at(b, 48 + 96, 4), 600u);

  TKalendar cal;
  cal.days[11][23] = 1;  // 24 December
  b = bytes_of(cal);
  EXPECT_EQ(uint8_t(b[11 * 32 + 23]), 1);
  EXPECT_TRUE(cal.is_holiday(12, 24));
  EXPECT_FALSE(cal.is_holiday(12, 23));
  EXPECT_FALSE(cal.is_holiday(13, 1));
  EXPECT_FALSE(cal.is_holiday(0, 24));
  EXPECT_FALSE(cal.is_holiday(12, 32));

  TProgramZak p;
  p.BARVY[31].assign("1234567");
  p.HISTORIE[63].ZMENA = 5;
  b = bytes_of(p);
  EXPECT_EQ(uint8_t(b[620 + 31 * 8]), 7);
  EXPECT_EQ(b.substr(621 + 31 * 8, 7), "1234567");
  EXPECT_EQ(le_at(b, 888 + 63 * 8, 4), 5u);

  TKamery k;
  k.PLAN[1].AKTZMENA.ZMENA = 1;
  b = bytes_of(k);
  EXPECT_EQ(uint8_t(b[4 + 728 + 725]), 1);

  TLinkovani l;
  l.codes[23].assign("z9");
  b = bytes_of(l);
  EXPECT_EQ(uint8_t(b[23 * 17]), 2);
  EXPECT_EQ(b.substr(23 * 17 + 1, 2), "z9");
}

TEST(Records, FreeMarkersAreAllOnes) {
  TDochazka d = empty_dochazka();
  EXPECT_EQ(bytes_of(d), std::string(144, '\xFF'));
  EXPECT_TRUE(is_free_slot(d.PRICHODY[0]));
  EXPECT_TRUE(is_free_slot(d.ODCHODY[11]));
  d.PRICHODY[0] = TCas{7, 58, 0};
  EXPECT_FALSE(is_free_slot(d.PRICHODY[0]));

  TProgramZak p;
  p.STEHU = 12345;
  clear_history(p);
  std::string b = bytes_of(p);
  EXPECT_EQ(b.substr(888, 512), std::string(512, '\xFF'));
  EXPECT_EQ(le_at(b, 876, 4), 12345u);  // nothing else touched
  EXPECT_EQ(uint8_t(b[1400]), 0);
}

// A record declared without an initializer must still be all zero bytes, padding included:
// new files are created from such records, and stack leftovers must never reach the disk.
template <class T>
class FreshRecord : public ::testing::Test {};
using AllRecords =
    ::testing::Types<TPrava, TZprava, TSeznamSoub, TPolozkaDatabanky, THistorie, TProgramZak,
                     TLinkovani, TSeznamDatabanky, TMaterial, TBarva, TUmisteni, TDochazka, TDoch,
                     TKalendar, TKalkulace, TPlanKamer, TKamery, TKamera, TAlarm>;
TYPED_TEST_SUITE(FreshRecord, AllRecords);

TYPED_TEST(FreshRecord, DefaultInitialisedIsAllZero) {
  alignas(TypeParam) unsigned char buf[sizeof(TypeParam)];
  std::memset(buf, 0xA5, sizeof buf);
  TypeParam* rec = new (buf) TypeParam;  // default-initialised, not value-initialised
  EXPECT_EQ(bytes_of(*rec), std::string(sizeof(TypeParam), '\0'));
  rec->~TypeParam();
}

}  // namespace
}  // namespace ksv
