#!/usr/bin/env bash
# Three sessions of the real KSVDB on the headless display where the server lets the user
# down, each of which must say what happened in a window rather than only in the status line:
#   stopped  - the server has ended: "not reachable" with its address and port;
#   killed   - the server dies under a logged-in user: the connection was lost;
#   blocking - wrong passwords: the second warns of the block, the third says it happened, and
#              a new connection that the server closes at once is explained by the block.
# The screenshots of each dialog are left in $KSV_SHOTS when that is set.
#   headless_failures.sh KSVSERVER KSVDB DBTEXTY GUIDATA
set -euo pipefail
server=$1 client=$2 texts=$3 guidata=$4
. "$(dirname "$0")/headless_lib.sh"
headless_setup "headless failures" "$client" "$texts" "$guidata"
"$server" --dir "$work/srv" --add-user novak jehla --rights 8,58 >/dev/null

# run NAME: replays $work/NAME.txt in the client folder with a trace of its own.
run() {
  (cd "$work/client" && KSV_PORT=$port KSV_VIDEO=headless KSV_SCRIPT="../$1.txt" \
     KSV_TRACE="../$1.trace" timeout 60 ./KSVDB) || fail "$1: KSVDB ended with $?"
}
# expect NAME EVENT...: the trace of NAME holds the events (type and detail) in this order.
expect() {
  local name=$1 rest
  shift
  rest=$(cut -f2,3 "$work/$name.trace" | tr '\t' ' ')
  for e in "$@"; do
    rest=$(printf '%s\n' "$rest" | sed -n "/^$e\$/,\$p")
    [ -n "$rest" ] || { cut -f2,3 "$work/$name.trace" >&2; fail "$name: no '$e' in order"; }
    rest=$(printf '%s\n' "$rest" | sed 1d)
  done
}
shots() {
  for s in "$@"; do
    [ -s "$work/client/$s.png" ] || fail "missing $s.png"
    if [ -n "${KSV_SHOTS:-}" ]; then mkdir -p "$KSV_SHOTS" && cp "$work/client/$s.png" "$KSV_SHOTS/"; fi
  done
}

# --- stopped: the server ran on this port and has ended.
start_server "$server"
kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""
cat >"$work/stopped.txt" <<'STEPS'
wait 40
key Enter
wait 60
screenshot stopped-1.png
key Enter
wait 20
STEPS
run stopped
expect stopped "screen 0" "dialog nedostupny"
shots stopped-1

# --- killed: logged in, then the server is killed; the shell waits for the menu in the trace.
start_server "$server"
cat >"$work/killed.txt" <<'STEPS'
wait 40
key Enter
wait 60
key Down
wait 5
key Enter
wait 30
text jehla
wait 5
key Enter
wait 3000
screenshot killed-1.png
key Enter
wait 30
screenshot killed-2.png
STEPS
run killed &
client_pid=$!
for _ in $(seq 200); do
  grep -q "screen	2" "$work/killed.trace" 2>/dev/null && break
  sleep 0.05
done
kill -9 "$pid"; wait "$pid" 2>/dev/null || true; pid=""
wait "$client_pid" || fail "killed: the client failed"
expect killed "reply 194" "screen 2" "screen 0" "dialog ztraceno"
shots killed-1 killed-2

# --- blocking: three wrong passwords, then a new connection while blocked.
start_server "$server"
cat >"$work/blocking.txt" <<'STEPS'
wait 40
key Enter
wait 60
key Down
wait 5
key Enter
wait 30
text spatne1
key Enter
wait 60
screenshot blocking-1.png
key Enter
wait 30
text spatne2
key Enter
wait 60
screenshot blocking-2.png
key Enter
wait 30
text spatne3
key Enter
wait 60
screenshot blocking-3.png
key Enter
wait 60
key Enter
wait 200
screenshot blocking-4.png
key Enter
wait 30
STEPS
run blocking
expect blocking "send 11" "dialog error196" "send 11" "dialog heslo3" "send 11" "dialog blokovan" \
  "screen 0" "dialog blokovan"
grep -q "Blokuji" "$work/server.out" || fail "blocking: the server did not block"
shots blocking-1 blocking-2 blocking-3 blocking-4
echo "headless failures: ok"
