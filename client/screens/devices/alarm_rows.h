// What the alarm screen shows of the alarm record: eight settings the user toggles, the state of
// the two circuits and the four detections. The circuit state is the server's own (ZAPNUTOA and
// ZAPNUTOB): OKRUHA and OKRUHB are only what some client last wrote there, never updated by the
// server, so they would show a stale state; they travel back to the server unchanged.
#pragma once
#include <array>
#include <string>

#include "protocol/records/devices.h"

namespace ksv::client::devices {

constexpr int kAlarmToggles = 8;  // bytes 0..7 of the record
constexpr int kAlarmRows = 14;
constexpr size_t kEmailChars = 35;

struct AlarmRow {
  std::string label_key;  // the row's label in the texts file
  std::string value_key;  // "alarmano", "alarmne", "zap", "vyp", "ano!" or "" (nothing shown)
};

std::array<AlarmRow, kAlarmRows> alarm_rows(const TAlarm& a);

// Flips setting byte 0..7; any other index changes nothing.
void toggle_alarm_setting(TAlarm& a, int index);

// A new e-mail address as typed: an empty input keeps the old one, a longer one is cut.
void set_alarm_email(TAlarm& a, const std::string& typed);

}  // namespace ksv::client::devices
