#include "client/screens/devices/alarm_rows.h"

namespace ksv::client::devices {

namespace {

uint8_t* setting(TAlarm& a, int index) {
  return index >= 0 && index < kAlarmToggles ? &a.TESTOVATOKNO1 + index : nullptr;
}

}  // namespace

std::array<AlarmRow, kAlarmRows> alarm_rows(const TAlarm& a) {
  std::array<AlarmRow, kAlarmRows> rows;
  const uint8_t* settings = &a.TESTOVATOKNO1;
  for (int i = 0; i < kAlarmToggles; ++i)
    rows[size_t(i)] = {"alarmr" + std::to_string(i), settings[i] ? "alarmano" : "alarmne"};
  rows[8] = {"alarmr8", a.ZAPNUTOA ? "zap" : "vyp"};
  rows[9] = {"alarmr9", a.ZAPNUTOB ? "zap" : "vyp"};
  const uint8_t detected[] = {a.STAVA1, a.STAVA2, a.STAVB1, a.STAVB2};
  for (int i = 0; i < 4; ++i)
    rows[size_t(10 + i)] = {"alarmr" + std::to_string(10 + i), detected[i] ? "ano!" : ""};
  return rows;
}

void toggle_alarm_setting(TAlarm& a, int index) {
  if (uint8_t* b = setting(a, index)) *b = *b ? 0 : 1;
}

void set_alarm_email(TAlarm& a, const std::string& typed) {
  if (typed.empty()) return;
  a.EMAIL.assign(std::string_view(typed).substr(0, kEmailChars));
}

}  // namespace ksv::client::devices
