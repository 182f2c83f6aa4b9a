#!/usr/bin/env bash
# Replays users_script.txt with the real KSVDB on the headless display against a real ksvserver
# on a loopback port: novak creates the user jana with a password; then jana_script.txt logs in
# as jana with it. Checks the server's user list and the traces of both sessions.
#   headless_users.sh KSVSERVER KSVDB DBTEXTY GUIDATA SCRIPTDIR
set -euo pipefail
server=$1 client=$2 texts=$3 guidata=$4 scripts=$(cd "$5" && pwd)
. "$(dirname "$0")/../../../tests/headless_lib.sh"
headless_setup "headless users" "$client" "$texts" "$guidata"

"$server" --dir "$work/srv" --add-user novak jehla --rights 20 >/dev/null
start_server "$server"

cd "$work/client"
run() {  # run SCRIPT TRACE
  cp "$scripts/$1" steps.txt
  rm -f temp/sezn*  # the next login asks for the user list anew
  KSV_PORT=$port KSV_VIDEO=headless KSV_SCRIPT=steps.txt KSV_TRACE=$2 timeout 60 ./KSVDB \
    2>"$work/client.err" || fail "KSVDB ended badly: $(cat "$work/client.err")"
}
run users_script.txt novak.trace
for shot in users-1-own users-2-new users-3-rights; do
  [ -s "$shot.png" ] || fail "missing $shot.png"
done
trace() { cut -f2- "$1"; }
trace novak.trace | grep -qx $'screen\t3' || fail "screen 3 not shown"
trace novak.trace | grep -qx $'dialog\tzmheslo' || fail "no password dialog"
trace novak.trace | grep -qx $'send\t25' || fail "no create request"
trace novak.trace | grep -qx $'reply\t235' || fail "user not created: $(trace novak.trace | grep reply)"
"$server" --dir "$work/srv" --list-users | awk '{ print $2 }' | grep -qx jana || fail "jana not in the user file"

run jana_script.txt jana.trace
trace jana.trace | grep -qx $'reply\t194' || fail "jana cannot log in: $(trace jana.trace | grep reply)"
[ -s jana-menu.png ] || fail "missing jana-menu.png"
# With KSV_SHOTS=DIR the screenshots are kept there, to be looked at.
if [ -n "${KSV_SHOTS:-}" ]; then cp ./*.png "$KSV_SHOTS"/; fi
echo "headless users: ok"
