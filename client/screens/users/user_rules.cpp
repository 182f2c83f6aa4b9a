// The rights behind the buttons of the user screens, and the validity dates.
#include "client/screens/users/user_rules.h"

#include <cstdio>
#include <tuple>

#include "protocol/rights.h"

namespace ksv::client {

UserActions user_actions(int64_t own_rights, std::string_view own_name, const TPrava& shown) {
  const bool fresh = is_new_user(shown);
  const bool own = !fresh && shown.UZIVATEL.view() == own_name;
  const bool admin = shown.UZIVATEL.view() == kAdminName;
  auto has = [own_rights](int bit) { return TESTBIT(own_rights, bit); };
  UserActions a;
  a.create = has(20);
  a.other_user = has(18) && has(22);
  a.remove = has(21) && !fresh && !own && !admin;
  a.save = fresh ? has(20) : (own || has(23));
  a.rename = fresh && has(20);
  a.store_rights = !admin && (fresh ? has(20) : own ? has(17) : has(19));
  a.delegate = has(62) && !fresh && !own && !admin;
  return a;
}

int64_t effective_rights(const TPrava& u) { return u.PRAVA | u.PREDANAPRAVA; }

bool valid_date(const TDatum& d) {
  if (d.ROK < 1900 || d.ROK > 2999 || d.MES < 1 || d.MES > 12 || d.DEN < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (d.ROK % 4 == 0 && d.ROK % 100 != 0) || d.ROK % 400 == 0;
  return d.DEN <= kDays[d.MES - 1] + (d.MES == 2 && leap ? 1 : 0);
}

bool valid_from_today(const TDatum& until, const DateTime& today) {
  if (!valid_date(until)) return false;
  return std::tuple(int(until.ROK), int(until.MES), int(until.DEN)) >=
         std::tuple(today.year, today.month, today.day);
}

std::string date_text(const TDatum& d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.DEN % 100, d.MES % 100, d.ROK % 10000);
  return buf;
}

}  // namespace ksv::client
