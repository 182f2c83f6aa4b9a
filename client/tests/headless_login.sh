#!/usr/bin/env bash
# Replays login_script.txt with the real KSVDB on the headless display against a real ksvserver
# on a loopback port, in a directory of its own, and checks what the session leaves behind:
# the screenshots, the configuration written back, the log-off, and the trace of the session.
#   headless_login.sh KSVSERVER KSVDB DBTEXTY GUIDATA SCRIPT
set -euo pipefail
server=$1 client=$2 texts=$3 guidata=$4 script=$5
. "$(dirname "$0")/headless_lib.sh"
headless_setup "headless login" "$client" "$texts" "$guidata"
cp "$script" "$work/client/steps.txt"

"$server" --dir "$work/srv" --add-user novak jehla --rights 8,58 >/dev/null
start_server "$server"

cd "$work/client"
KSV_PORT=$port KSV_VIDEO=headless KSV_SCRIPT=steps.txt KSV_TRACE=trace.txt timeout 60 ./KSVDB
for shot in shot-0-connect shot-1-users shot-2-password shot-3-menu shot-4-help; do
  [ -s "$shot.png" ] || { echo "missing $shot.png" >&2; exit 1; }
done
# The menu differs from the password screen: the login went through.
if cmp -s shot-2-password.png shot-3-menu.png; then echo "no menu after the login" >&2; exit 1; fi
[ -f posladr.cfg ] && [ -f oblibene.cfg ] || { echo "configuration not written back" >&2; exit 1; }
grep -q "se odpojil" "$work/server.out" || { echo "no log-off seen by the server" >&2; cat "$work/server.out" >&2; exit 1; }
# The trace: three tab-separated fields a line, and the login's events in their order — the
# connection, login and menu screens, the login sent and accepted.
awk -F'\t' 'NF != 3 || $1 !~ /^[0-9]+$/ { bad = 1 } END { exit bad }' trace.txt ||
  { echo "malformed trace:" >&2; cat trace.txt >&2; exit 1; }
events=$(cut -f2,3 trace.txt | tr '\t' ' ')
expect_in_order() {
  local rest=$events
  for e in "$@"; do
    rest=$(printf '%s\n' "$rest" | sed -n "/^$e\$/,\$p")
    [ -n "$rest" ] || { echo "trace lacks '$e' in order:" >&2; printf '%s\n' "$events" >&2; exit 1; }
    rest=$(printf '%s\n' "$rest" | sed 1d)
  done
}
expect_in_order "screen 0" "screen 1" "send 11" "reply 194" "screen 2" "dialog help2"
echo "headless login: ok"
