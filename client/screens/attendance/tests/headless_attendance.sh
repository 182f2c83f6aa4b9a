#!/usr/bin/env bash
# Replays attendance_script.txt with the real KSVDB on the headless display against a real
# ksvserver on a loopback port: a user fetches May 2026, marks a vacation day, saves the sheet,
# writes the report and goes back to the menu. Checks the trace, the sheet and the report.
#   headless_attendance.sh KSVSERVER KSVDB DBTEXTY GUIDATA SCRIPT
set -euo pipefail
server=$1 client=$2 texts=$3 guidata=$4 script=$5
. "$(dirname "$0")/../../../tests/headless_lib.sh"
headless_setup "headless attendance" "$client" "$texts" "$guidata"
cp "$script" "$work/client/steps.txt"

"$server" --dir "$work/srv" --add-user novak jehla --rights 6 >/dev/null
id=$("$server" --dir "$work/srv" --list-users | awk '$2 == "novak" { print $1 }')

# One time of a day file: hour, minute, second as little-endian words; "" is an empty slot.
time_bytes() {
  if [ -z "$1" ]; then printf '\xff\xff\xff\xff\xff\xff'; return; fi
  local h=${1%%:*} m=${1##*:}
  printf "\\x$(printf %02x $((10#$h)))\\x00\\x$(printf %02x $((10#$m)))\\x00\\x00\\x00"
}
# A day file as the terminal leaves it: seed_day yyyy-mm-dd ARRIVAL-DEPARTURE ... (12 stays).
seed_day() {
  local dir="$work/srv/dochazka/$1" i
  shift
  mkdir -p "$dir"
  local stays=("$@")
  {
    for i in $(seq 0 11); do time_bytes "$(echo "${stays[$i]:-}" | cut -s -d- -f1)"; done
    for i in $(seq 0 11); do time_bytes "$(echo "${stays[$i]:-}" | cut -s -d- -f2)"; done
  } > "$dir/$id"
}
seed_day 2026-05-04 8:00-12:00 12:30-16:30
seed_day 2026-05-06 22:00-
seed_day 2026-05-07 -6:00
seed_day 2026-05-11 8:00-16:00
[ "$(stat -c %s "$work/srv/dochazka/2026-05-04/$id")" = 144 ] || fail "day file is not 144 bytes"

start_server "$server"

cd "$work/client"
KSV_PORT=$port KSV_VIDEO=headless KSV_SCRIPT=steps.txt KSV_TRACE=trace.txt timeout 60 ./KSVDB \
  2>"$work/client.err" || fail "KSVDB ended badly: $(cat "$work/client.err")"

for shot in att-1-empty att-2-month att-3-vacation; do
  [ -s "$shot.png" ] || fail "missing $shot.png"
done
cmp -s att-1-empty.png att-2-month.png && fail "the month did not show"

trace() { cut -f2- trace.txt; }
trace | grep -qx $'screen\t4' || fail "screen 4 not shown"
trace | grep -qx $'send\t22' || fail "no calendar request"
trace | grep -qx $'send\t35' || fail "no month request"
# Four days of 150 bytes each.
trace | grep -qx $'download\tdoch[0-7] 600' || fail "month list not received: $(trace | grep download)"
trace | grep -qx $'open\t'"$work/client/temp/dochazka.txt" || fail "report not opened"

# The night of the 6th ends with the 7th's departure; the 11th is marked as vacation.
expected=$'DCH1\tnovak\t1.5.2026 - 31.5.2026\n'
expected+=$'04.05.2026\t0\t0\t0\t-30\t510\t08:00\t16:30\n'
expected+=$'06.05.2026\t0\t0\t0\t-0\t479\t22:00\t06:00\n'
expected+=$'11.05.2026\t1\t0\t0\t-0\t480\t08:00\t16:00\n'
[ "$(cat kveten.dch; echo .)" = "$expected." ] || fail "sheet differs: $(cat kveten.dch)"

report=temp/dochazka.txt
grep -qx '\* KVETEN 2026 \*' $report || fail "no month heading in the report"
grep -qx '11.05.2026  DOVOLENA     0 min.' $report || fail "vacation day not in the report"
[ "$(grep -c '^CELKEM:  959 minut (15 hodin)$' $report)" = 2 ] || fail "totals differ: $(grep CELKEM $report)"
echo "headless attendance: ok"
