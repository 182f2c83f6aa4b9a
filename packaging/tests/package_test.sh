#!/usr/bin/env bash
# Builds the Debian package from a finished build tree and checks it without installing it
# into this machine: its control fields and contents (dpkg-deb), lintian's verdict, the
# maintainer scripts run against a throw-away root with the system commands they call replaced
# by recorders, and the unpacked programs: ksv-adduser adds a user, ksvserver runs as a normal
# process on a loopback port with its settings from etc/ksv, and the ksvdb launcher logs in
# headless from a user tree under a temporary HOME. logocalc and ksvimg run from there too.
#   package_test.sh BUILD_DIR SOURCE_DIR
# Exit 77 (skipped) where the Debian packaging tools are missing.
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)

skip() { echo "skipped: $*"; exit 77; }
command -v dpkg-deb >/dev/null || skip "dpkg-deb is missing"
command -v dpkg-shlibdeps >/dev/null || skip "dpkg-shlibdeps is missing (package dpkg-dev)"
[ -x "$build/run/client/KSVDB" ] || skip "KSVDB is not built (desktop programs off)"

work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

step "building the package"
deb=$("$src/packaging/build-deb.sh" "$build" "$work/out" | tail -n 1)
[ -f "$deb" ] || fail "build-deb.sh made no package"
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") =~ ^ksv_[0-9][0-9A-Za-z.+~-]*_${arch}\.deb$ ]] || fail "package name $deb"

step "control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = ksv ] || fail "Package: $(field Package)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
# Declared from what the programs link, plus what the scripts and the text drawing need.
for dep in libsdl2-2.0-0 libfreetype6 libjpeg62-turbo libgif7 libpng16-16 libc6 adduser \
           fonts-dejavu-core; do
  [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] ||
    fail "Depends lacks $dep: $depends"
done
[[ $(field Recommends) == *xdg-utils* ]] || fail "xdg-utils is not recommended"

step "contents: owners and modes"
dpkg-deb -c "$deb" >"$work/contents"
if awk '$2 != "root/root"' "$work/contents" | grep -q .; then
  fail "entries not owned by root: $(awk '$2 != "root/root"' "$work/contents")"
fi
# Nothing setuid, setgid or writable by others.
if awk '$1 !~ /^l/ && ($1 ~ /[sStT]/ || substr($1, 9, 1) == "w")' "$work/contents" | grep -q .; then
  fail "unexpected mode bits: $(awk '$1 ~ /[sStT]/ || substr($1, 9, 1) == "w"' "$work/contents")"
fi
mode_of() { awk -v p="./$1" '$6 == p { print $1 }' "$work/contents"; }
expect_mode() {
  local got
  got=$(mode_of "$2")
  [ "$got" = "$1" ] || fail "$2: mode '$got', expected $1"
}
for exe in usr/lib/ksv/server/ksvserver usr/lib/ksv/client/KSVDB usr/lib/ksv/logocalc/logocalc \
           usr/lib/ksv/client/ksvimg usr/lib/ksv/client/SUPPORT/jpg2bmp \
           usr/lib/ksv/logocalc/SUPPORT/gif2bmp usr/lib/ksv/launch usr/sbin/ksv-adduser; do
  expect_mode -rwxr-xr-x "$exe"
done
for file in etc/ksv/ksvserver.cfg lib/systemd/system/ksvserver.service \
            usr/lib/ksv/client/dbtexty.dat usr/lib/ksv/logocalc/texty.dat \
            usr/lib/ksv/client/guidata/pripojit.bmp usr/share/applications/ksvdb.desktop \
            usr/share/applications/logocalc.desktop usr/share/icons/hicolor/scalable/apps/ksvdb.svg \
            usr/share/icons/hicolor/scalable/apps/logocalc.svg usr/share/doc/ksv/copyright \
            usr/share/doc/ksv/changelog.gz; do
  expect_mode -rw-r--r-- "$file"
done
for link in "usr/bin/ksvdb -> ../lib/ksv/launch" "usr/bin/logocalc -> ../lib/ksv/launch" \
            "usr/bin/ksvimg -> ../lib/ksv/client/ksvimg"; do
  grep -q "\./$link\$" "$work/contents" || fail "missing link $link"
done
# The data tree belongs to postinst (owner ksv), never to the package's file list.
if grep -q '\./var/' "$work/contents"; then fail "the package ships files under /var"; fi
grep -q "ExecStart=/usr/lib/ksv/server/ksvserver --dir /var/lib/ksv --config /etc/ksv/ksvserver.cfg" \
  <(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./lib/systemd/system/ksvserver.service) ||
  fail "the unit does not run the installed server on /var/lib/ksv with /etc/ksv/ksvserver.cfg"

step "control area: conffiles and maintainer scripts"
ctl="$work/control"
dpkg-deb -e "$deb" "$ctl"
[ "$(cat "$ctl/conffiles")" = /etc/ksv/ksvserver.cfg ] || fail "conffiles: $(cat "$ctl/conffiles")"
for script in postinst prerm postrm; do
  [ -x "$ctl/$script" ] || fail "$script missing or not executable"
  sh -n "$ctl/$script" || fail "$script does not parse"
done
dpkg-deb -x "$deb" "$work/unpacked"
(cd "$work/unpacked" && md5sum --quiet -c "$ctl/md5sums") || fail "md5sums do not match the contents"

if command -v lintian >/dev/null; then
  step "lintian"
  as_root=()
  [ "$(id -u)" -eq 0 ] && as_root=(--allow-root)
  lintian "${as_root[@]}" --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
  cat "$work/lintian"
  if grep -q '^E:' "$work/lintian"; then fail "lintian reports errors"; fi
else
  echo "lintian is not installed: its check is skipped"
fi

# ---- Installed into a throw-away root -----------------------------------------------------------
# dpkg --root keeps its own database in the root; with --force-script-chrootless the maintainer
# scripts run here with DPKG_ROOT naming that root. The commands that would change this machine
# (users, owners, systemd) are recorders; runuser runs the command as the test's own user, as
# the data tree is not really handed to "ksv".
step "dpkg --root: install"
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/available"
stubs="$work/stubs"
calls="$work/calls"
mkdir -p "$stubs"
: >"$calls"
for cmd in addgroup adduser chown deb-systemd-helper deb-systemd-invoke systemctl; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$cmd" "$calls" >"$stubs/$cmd"
done
printf '#!/bin/sh\nexit 2\n' >"$stubs/getent"
cat >"$stubs/runuser" <<STUB
#!/bin/sh
echo "runuser \$*" >>"$calls"
[ "\$1" = -u ] && [ "\$2" = ksv ] && [ "\$3" = -- ] || exit 1
shift 3
exec "\$@"
STUB
chmod +x "$stubs"/*
# The package's libraries and adduser are this machine's, not the empty root's.
pkg() {
  PATH="$stubs:$PATH:/usr/sbin:/sbin" dpkg --root="$root" --force-script-chrootless \
    --force-depends --force-not-root --log=/dev/null "$@" >"$work/dpkg.out" 2>&1 ||
    { cat "$work/dpkg.out" >&2; fail "dpkg $*"; }
}
called() { grep -qxF -- "$1" "$calls" || { cat "$calls" >&2; fail "not called: $1"; }; }
not_called() { if grep -q -- "$1" "$calls"; then cat "$calls" >&2; fail "called: $1"; fi; }

data="$root/var/lib/ksv"
pkg --install "$deb"
cp "$work/dpkg.out" "$work/postinst.out"
[ -x "$root/usr/lib/ksv/server/ksvserver" ] || fail "ksvserver not installed"
called "addgroup --quiet --system ksv"
grep -q "^adduser .*--system .*--ingroup ksv .*--home /var/lib/ksv .* ksv$" "$calls" ||
  fail "no system user: $(cat "$calls")"
called "chown ksv:ksv $data"
[ "$(stat -c %a "$data")" = 750 ] || fail "data tree mode $(stat -c %a "$data")"
called "deb-systemd-helper enable ksvserver.service"
not_called "deb-systemd-invoke"  # no systemd running in this root
# A fresh server has no user to log in with: postinst says how to add one.
grep -q "ksv-adduser NAME PASSWORD" "$work/postinst.out" || fail "no first-user notice"
grep -q "ksvserver --dir /var/lib/ksv --add-user" "$work/postinst.out" || fail "no add-user hint"
[ -f "$data/uzivatel.dat" ] || fail "the user list was not read as ksv from the data tree"

step "ksv-adduser"
KSV_DATA_DIR="$data" "$root/usr/sbin/ksv-adduser" novak jehla --rights 8,58 >"$work/adduser.out"
grep -q "added user 'novak'" "$work/adduser.out" || fail "ksv-adduser: $(cat "$work/adduser.out")"
if KSV_DATA_DIR="$data" "$root/usr/sbin/ksv-adduser" novak jehla >/dev/null 2>&1; then
  fail "ksv-adduser added the same name twice"
fi
if KSV_DATA_DIR="$work/none" "$root/usr/sbin/ksv-adduser" x y >/dev/null 2>&1 ||
   [ -e "$work/none" ]; then
  fail "ksv-adduser made a data tree of its own"
fi

step "dpkg --root: upgrade"
# Where systemd runs the server is restarted, not stopped; the notice is gone now that a user
# exists, and the administrator's settings survive.
: >"$calls"
mkdir -p "$root/run/systemd/system"
printf 'mail_from = dilna@dilna.example\nbogus_key = 1\n' >"$root/etc/ksv/ksvserver.cfg"
pkg --install "$deb"
not_called "deb-systemd-invoke stop"
called "deb-systemd-invoke restart ksvserver.service"
called "systemctl --system daemon-reload"
if grep -q "ksv-adduser" "$work/dpkg.out"; then fail "first-user notice with a user present"; fi
grep -q bogus_key "$root/etc/ksv/ksvserver.cfg" || fail "the upgrade replaced the changed settings"

# ---- The unpacked programs ---------------------------------------------------------------------
step "ksvserver on a loopback port"
for _ in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 20000))
  KSV_PORT=$port "$root/usr/lib/ksv/server/ksvserver" --dir "$data" \
    --config "$root/etc/ksv/ksvserver.cfg" </dev/null >"$work/server.out" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    grep -q "spusten" "$work/server.out" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  grep -q "spusten" "$work/server.out" && break
  wait "$pid" || true  # the port was taken: another one
  pid=""
done
[ -n "$pid" ] || fail "ksvserver did not start: $(cat "$work/server.out")"
grep -q "neznamy klic bogus_key" "$work/server.out" || fail "settings not read from etc/ksv"

step "ksvdb launcher: headless login"
home="$work/home"
mkdir -p "$home" "$work/shots"
tree="$home/.local/share/ksv/ksvdb"
lib="$root/usr/lib/ksv"
echo 127.0.0.1 >"$root/etc/ksv/adresy.cfg"
before=$(find "$root/usr" -printf '%p %s %T@\n' | sort)
(cd "$work/shots" && env -u XDG_DATA_HOME HOME="$home" KSV_PORT="$port" KSV_VIDEO=headless \
   KSV_SCRIPT="$src/client/login_script.txt" timeout 60 "$root/usr/bin/ksvdb") ||
  fail "ksvdb ended with $?"
for shot in shot-0-connect shot-1-users shot-2-password shot-3-menu; do
  [ -s "$work/shots/$shot.png" ] || fail "missing $shot.png"
done
if cmp -s "$work/shots/shot-2-password.png" "$work/shots/shot-3-menu.png"; then
  fail "no menu after the login"
fi
grep -q "se odpojil" "$work/server.out" || fail "no log-off seen by the server"
# The user's tree: a private program, links to the read-only parts, own folders and settings.
[ -f "$tree/KSVDB" ] && [ ! -L "$tree/KSVDB" ] && cmp -s "$tree/KSVDB" "$lib/client/KSVDB" ||
  fail "no private copy of KSVDB"
[ "$(readlink "$tree/dbtexty.dat")" = "$lib/client/dbtexty.dat" ] || fail "dbtexty.dat link"
[ "$(readlink "$tree/guidata")" = "$lib/client/guidata" ] || fail "guidata link"
[ "$(readlink "$tree/SUPPORT")" = "$lib/client/SUPPORT" ] || fail "SUPPORT link"
[ -d "$tree/temp" ] && [ ! -L "$tree/temp" ] || fail "temp/ is not the user's own"
[ -f "$tree/posladr.cfg" ] && [ -f "$tree/oblibene.cfg" ] || fail "settings not written at exit"
[ "$(readlink "$tree/adresy.cfg")" = "$root/etc/ksv/adresy.cfg" ] || fail "site settings not linked"
[ "$before" = "$(find "$root/usr" -printf '%p %s %T@\n' | sort)" ] ||
  fail "the program wrote into the installed tree"

step "ksvdb launcher: upgrade and the user's own files"
printf 'stale' >>"$tree/KSVDB"
echo /tmp >"$tree/tajima.cfg"
echo /srv >"$root/etc/ksv/tajima.cfg"
env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/ksvdb" --help >/dev/null || fail "ksvdb --help"
cmp -s "$tree/KSVDB" "$lib/client/KSVDB" || fail "a changed installed program is not copied again"
[ ! -L "$tree/tajima.cfg" ] && [ "$(cat "$tree/tajima.cfg")" = /tmp ] ||
  fail "the user's own tajima.cfg was replaced"
if env -u HOME "$root/usr/bin/ksvdb" --help >/dev/null 2>&1; then fail "ran without HOME"; fi

step "logocalc launcher and ksvimg"
# An 8 x 8 white picture with a black 4 x 4 square, 24-bit BMP, rows bottom-up.
{
  printf 'BM\xf6\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
  printf '\x28\x00\x00\x00\x08\x00\x00\x00\x08\x00\x00\x00\x01\x00\x18\x00'
  printf '\x00\x00\x00\x00\xc0\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00'
  printf '\x00\x00\x00\x00\x00\x00\x00\x00'
  for row in 0 1 2 3 4 5 6 7; do
    for col in 0 1 2 3 4 5 6 7; do
      if [ $row -ge 2 ] && [ $row -le 5 ] && [ $col -ge 2 ] && [ $col -le 5 ]; then
        printf '\x00\x00\x00'
      else
        printf '\xff\xff\xff'
      fi
    done
  done
} >"$work/logo.bmp"
# A relative name: the launcher keeps the caller's working folder.
(cd "$work" && env -u XDG_DATA_HOME HOME="$home" "$root/usr/bin/logocalc" --batch logo.bmp \
   --size 20x20 --background 255 --json) >"$work/logocalc.out" 2>&1 ||
  fail "logocalc --batch: $(cat "$work/logocalc.out")"
grep -q '"error": null' "$work/logocalc.out" || fail "logocalc: $(cat "$work/logocalc.out")"
calc="$home/.local/share/ksv/logocalc"
[ -d "$calc/loga" ] && [ ! -L "$calc/loga" ] || fail "loga/ is not the user's own"
[ "$(readlink "$calc/texty.dat")" = "$lib/logocalc/texty.dat" ] || fail "texty.dat link"
"$root/usr/bin/ksvimg" info "$work/logo.bmp" >"$work/ksvimg.out" 2>&1 ||
  fail "ksvimg: $(cat "$work/ksvimg.out")"
grep -q 8 "$work/ksvimg.out" || fail "ksvimg info: $(cat "$work/ksvimg.out")"

kill "$pid"
wait "$pid" || true
pid=""

# ---- Removal and purge -------------------------------------------------------------------------
step "dpkg --root: removal keeps the data, purge deletes it"
: >"$calls"
pkg --remove ksv
called "deb-systemd-invoke stop ksvserver.service"
called "deb-systemd-helper mask ksvserver.service"
[ ! -e "$root/usr/lib/ksv" ] && [ ! -e "$root/usr/bin/ksvdb" ] || fail "remove left the programs"
[ -f "$data/uzivatel.dat" ] || fail "remove deleted the data tree"
[ -f "$root/etc/ksv/ksvserver.cfg" ] || fail "remove deleted the settings"
pkg --purge ksv
called "deb-systemd-helper purge ksvserver.service"
[ ! -e "$data" ] || fail "purge left the data tree"
[ ! -e "$root/etc/ksv/ksvserver.cfg" ] || fail "purge left the settings"
[ -f "$root/etc/ksv/adresy.cfg" ] || fail "purge deleted a file the package does not own"
echo "package: ok ($(basename "$deb"))"
