#!/usr/bin/env bash
# Replays devices_script.txt with the real KSVDB on the headless display against a real
# ksvserver on a loopback port: the alarm settings and address a user saves must reach the
# server's alarm.dat, and the camera screen must list the server's cameras.
#   headless_devices.sh KSVSERVER KSVDB DBTEXTY GUIDATA SCRIPT
set -euo pipefail
server=$1 client=$2 texts=$3 guidata=$4 script=$5
. "$(dirname "$0")/../../../tests/headless_lib.sh"
headless_setup "headless devices" "$client" "$texts" "$guidata"
cp "$script" "$work/client/steps.txt"

"$server" --dir "$work/srv" --add-user novak jehla --rights 24,53 >/dev/null
start_server "$server"

cd "$work/client"
KSV_PORT=$port KSV_VIDEO=headless KSV_SCRIPT=steps.txt KSV_TRACE=trace.txt timeout 60 ./KSVDB \
  2>"$work/client.err" || fail "KSVDB ended badly: $(cat "$work/client.err")"

for shot in dev-1-alarm dev-2-saved dev-3-cameras; do
  [ -s "$shot.png" ] || fail "missing $shot.png"
done
cmp -s dev-1-alarm.png dev-2-saved.png && fail "the toggles and the address did not show"

trace() { cut -f2- trace.txt; }
trace | grep -qx $'screen\t5' || fail "alarm screen not shown"
trace | grep -qx $'send\t43' || fail "alarm not saved: $(trace | tr '\t' ' ' | tr '\n' ';')"
trace | grep -qx $'screen\t6' || fail "camera screen not shown"

# The record on the server: settings 0 and 2 on, the others off, the address as typed.
alarm="$work/srv/alarm.dat"
[ -f "$alarm" ] || fail "no alarm.dat on the server"
settings=$(od -An -tu1 -N8 "$alarm" | tr -s ' ' | sed 's/^ //')
[ "$settings" = "1 0 1 0 0 0 0 0" ] || fail "alarm settings differ: $settings"
email=$(dd if="$alarm" bs=1 skip=11 count=16 2>/dev/null)
[ "$(od -An -tu1 -j10 -N1 "$alarm" | tr -d ' ')" = 16 ] || fail "address length differs"
[ "$email" = "dilna@vysivky.cz" ] || fail "address differs: $email"
echo "headless devices: ok"
