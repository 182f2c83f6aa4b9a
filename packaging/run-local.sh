#!/usr/bin/env bash
# Runs the KSV server straight from the build (build/run/server/ksvserver) with a persistent data
# directory, var/server/ in the repository. On the first run it adds a user that can log in from
# this machine (the administrator "admin" may only log in from a 192.x address) and prints its
# name and password. The server runs in the foreground: Ctrl+C or Escape stops it. When a display
# exists (DISPLAY or WAYLAND_DISPLAY) and KSVDB is built, KSVDB is started against it instead.
#   packaging/run-local.sh [ksvserver options]   e.g. packaging/run-local.sh --port 23456
#                                                 or KSV_PORT=23456 packaging/run-local.sh
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SERVER="${KSV_SERVER:-$ROOT/build/run/server/ksvserver}"
DATA="${KSV_DATA_DIR:-$ROOT/var/server}"

if [ ! -x "$SERVER" ]; then
  echo "run-local: $SERVER is not built yet (./ksv run builds it)" >&2
  exit 1
fi
mkdir -p "$DATA"

# The first user besides the administrator, with every right.
if ! "$SERVER" --dir "$DATA" --list-users | awk -F'\t' '$2 != "admin" { found = 1 } END { exit !found }'; then
  NAME=mistr
  PASS=$(LC_ALL=C tr -dc 'a-z0-9' </dev/urandom | head -c 10 || true)
  "$SERVER" --dir "$DATA" --add-user "$NAME" "$PASS" --rights all
  umask 077
  printf 'user: %s\npassword: %s\n' "$NAME" "$PASS" >"$DATA/first-user.txt"
  echo "== first user: $NAME  password: $PASS  (also in $DATA/first-user.txt)"
  echo "== more users: $SERVER --dir $DATA --add-user NAME PASSWORD --rights all|N,N,..."
fi

# The port ksvserver will listen on, decided as the server decides it: the last "--port N" among
# its options, else KSV_PORT when that is a port number, else 12345. Prints nothing for a --port
# that is no port number; ksvserver then refuses to start with its own message.
server_port() {
  local port=${KSV_PORT:-} given=""
  is_port() { [[ $1 =~ ^[0-9]{1,5}$ ]] && [ $((10#$1)) -ge 1 ] && [ $((10#$1)) -le 65535 ]; }
  is_port "$port" || port=12345
  while [ $# -gt 0 ]; do
    case "$1" in
      --port) given=1; port=${2:-}; [ $# -ge 2 ] && shift ;;
      --dir) [ $# -ge 2 ] && shift ;;  # a directory named "--port" is not the option
    esac
    shift
  done
  if [ -n "$given" ] && ! is_port "$port"; then return 0; fi
  echo $((10#$port))
}

PORT=$(server_port "$@")
if [ -z "$PORT" ]; then
  exec "$SERVER" --dir "$DATA" "$@"
fi
# Server and client both read KSV_PORT, so the client reaches the server whatever chose the port.
export KSV_PORT=$PORT
echo "== ksvserver on port $PORT, data in $DATA, log in $DATA/log/"

# The desktop client is started here when a display exists: the server then runs in the
# background and stops when the client ends. KSVDB connects to 127.0.0.1 on the same port.
CLIENT="${KSV_CLIENT:-$ROOT/build/run/client/KSVDB}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$CLIENT" ]; then
  "$SERVER" --dir "$DATA" "$@" &
  SERVER_PID=$!
  trap 'kill "$SERVER_PID" 2>/dev/null || true; wait "$SERVER_PID" 2>/dev/null || true' EXIT
  echo "== KSVDB: Pripoj (Enter) connects to 127.0.0.1:$PORT; Konec (Ctrl+K) ends client and server"
  rc=0
  "$CLIENT" || rc=$?
  exit "$rc"
fi

exec "$SERVER" --dir "$DATA" "$@"
