#!/usr/bin/env bash
# Makes the Debian package ksv_<version>_<arch>.deb from a finished build tree:
#   packaging/build-deb.sh [BUILD_DIR [OUT_DIR]]     (defaults: build/ and dist/)
# and prints the package's path as its last line. The programs come from "cmake --install"
# (stripped) into /usr/lib/ksv/; packaging/deb/ holds the rest: the unit, the settings file, the
# launchers, the maintainer scripts, the menu entries. Dependencies are read from the shared
# libraries the programs actually link (dpkg-shlibdeps); owners are root:root without fakeroot.
set -euo pipefail
SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$SRC/build}" && pwd)
OUT=${2:-$SRC/dist}
DEB="$SRC/packaging/deb"

die() { echo "build-deb: $*" >&2; exit 1; }
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || die "$tool is missing (apt-get install dpkg-dev)"
done
for exe in run/server/ksvserver run/client/KSVDB run/logocalc/logocalc run/client/ksvimg; do
  [ -x "$BUILD/$exe" ] || die "$BUILD/$exe is not built (cmake --build $BUILD)"
done

# The version grows with every commit of the source tree, so an upgrade always replaces.
BASE_VERSION=0.1.0
VERSION=$BASE_VERSION
if count=$(git -C "$SRC" rev-list --count HEAD 2>/dev/null); then
  VERSION="$BASE_VERSION+git$count"
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$SRC" log -1 --format=%ct)}
fi
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(date +%s)}
ARCH=$(dpkg --print-architecture)
MAINTAINER=${KSV_MAINTAINER:-KSV developers <ksv@dilna.example>}

STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT
ROOT="$STAGE/root"
umask 022
mkdir -p "$ROOT"

cmake --install "$BUILD" --prefix "$ROOT/usr/lib/ksv" --strip >"$STAGE/install.log" ||
  { cat "$STAGE/install.log" >&2; die "cmake --install failed"; }

# logocalc's loga/ is each user's own folder, made by the launcher.
rmdir "$ROOT/usr/lib/ksv/logocalc/loga" 2>/dev/null || true

# Launchers and tools on the PATH.
install -m 0755 "$DEB/launch" "$ROOT/usr/lib/ksv/launch"
install -d "$ROOT/usr/bin" "$ROOT/usr/sbin"
ln -s ../lib/ksv/launch "$ROOT/usr/bin/ksvdb"
ln -s ../lib/ksv/launch "$ROOT/usr/bin/logocalc"
ln -s ../lib/ksv/client/ksvimg "$ROOT/usr/bin/ksvimg"
install -m 0755 "$DEB/ksv-adduser" "$ROOT/usr/sbin/ksv-adduser"

# The service and its settings.
install -D -m 0644 "$DEB/ksvserver.service" "$ROOT/lib/systemd/system/ksvserver.service"
install -D -m 0644 "$DEB/ksvserver.cfg" "$ROOT/etc/ksv/ksvserver.cfg"

# Menu entries, icons, documentation.
for app in ksvdb logocalc; do
  install -D -m 0644 "$DEB/$app.desktop" "$ROOT/usr/share/applications/$app.desktop"
  install -D -m 0644 "$DEB/$app.svg" "$ROOT/usr/share/icons/hicolor/scalable/apps/$app.svg"
done
DOC="$ROOT/usr/share/doc/ksv"
install -D -m 0644 "$DEB/copyright" "$DOC/copyright"
install -m 0644 "$DEB/README.Debian" "$DOC/README.Debian"
install -m 0644 "$SRC/packaging/DEVICES.md" "$DOC/DEVICES.md"
for page in "$DEB"/man/*.[0-9]; do
  [ -e "$page" ] || continue
  section=${page##*.}
  install -d "$ROOT/usr/share/man/man$section"
  gzip -9n <"$page" >"$ROOT/usr/share/man/man$section/$(basename "$page").gz"
done
{
  echo "ksv ($VERSION) unstable; urgency=medium"
  echo
  echo "  * Built from the KSV source tree${count:+ at commit $count}."
  echo
  echo " -- $MAINTAINER  $(date -u -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$DOC/changelog.gz"

# Modes as Debian wants them, whatever the umask of the build was.
find "$ROOT" -type d -exec chmod 0755 {} +
find "$ROOT" -type f -perm /111 -exec chmod 0755 {} +
find "$ROOT" -type f ! -perm /111 -exec chmod 0644 {} +

# Control area.
mkdir -p "$ROOT/DEBIAN" "$STAGE/debian"
for script in postinst prerm postrm; do
  install -m 0755 "$DEB/$script" "$ROOT/DEBIAN/$script"
done
echo /etc/ksv/ksvserver.cfg >"$ROOT/DEBIAN/conffiles"

# dpkg-shlibdeps wants a source package around the binaries it reads.
printf 'Source: ksv\n\nPackage: ksv\nArchitecture: any\n' >"$STAGE/debian/control"
mapfile -t elves < <(find "$ROOT/usr" -type f -perm /111 -exec sh -c \
  'head -c 4 "$1" | grep -q "^.ELF" && echo "$1"' _ {} \;)
[ ${#elves[@]} -gt 0 ] || die "no programs found in the install tree"
shlibs=$(cd "$STAGE" && dpkg-shlibdeps -O "${elves[@]}" 2>"$STAGE/shlibdeps.log") ||
  { cat "$STAGE/shlibdeps.log" >&2; die "dpkg-shlibdeps failed"; }
shlibs=${shlibs#shlibs:Depends=}
[ -n "$shlibs" ] || die "dpkg-shlibdeps found no libraries"

(cd "$ROOT" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | sort -z |
  xargs -0 md5sum) >"$ROOT/DEBIAN/md5sums"
chmod 0644 "$ROOT/DEBIAN/md5sums" "$ROOT/DEBIAN/conffiles"

SIZE=$(du -sk --exclude=DEBIAN "$ROOT" | cut -f1)
cat >"$ROOT/DEBIAN/control" <<EOF
Package: ksv
Version: $VERSION
Architecture: $ARCH
Maintainer: $MAINTAINER
Installed-Size: $SIZE
Depends: $shlibs, adduser, fonts-dejavu-core
Recommends: xdg-utils
Section: misc
Priority: optional
Description: business system of an embroidery workshop
 The server keeps the firm's data (users and rights, orders with their
 embroidery programs, catalogues, attendance, messages, alarm and cameras)
 and serves the staff's desktop programs over TCP. It runs as the system
 user ksv from the service ksvserver, with its data in /var/lib/ksv.
 .
 The package also holds the desktop client (ksvdb), the logo stitch
 calculator (logocalc) and the picture tool ksvimg.
EOF

mkdir -p "$OUT"
PKG="$OUT/ksv_${VERSION}_${ARCH}.deb"
dpkg-deb --root-owner-group -Zxz --build "$ROOT" "$PKG" >/dev/null
echo "$PKG"
