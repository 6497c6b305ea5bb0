#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks it: its file list and
# Depends, the desktop entry (desktop-file-validate), the MIME type (xmllint,
# update-mime-database), the manual pages (man --warnings), and the programs unpacked
# with dpkg -x into a temporary root, run from an empty folder with a bare environment:
# korvane-cli computes an installed example through the installed XFOIL adapter, and
# korvane opens an installed project and its user guide on a virtual display. Only as
# root with CI set (a CI run) is the package also installed with dpkg -i and removed
# again; otherwise that step says it is skipped.
# Usage: scripts/test-package.sh   (exit status 0 when every check passed)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# The installed programs, run from an empty folder with nothing of the build tree on any path.
installed() { (cd "$tmp/work" && exec env -i HOME="$tmp/home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
                  ${DISPLAY:+DISPLAY=$DISPLAY} ${XAUTHORITY:+XAUTHORITY=$XAUTHORITY} "$@"); }

if [ "${1:-}" = --desktop ]; then
  tmp=$2 usr=$3
  installed "$usr/bin/korvane" "$usr/share/korvane/examples/nrel5mw.kvp" &
  pid=$! result=0
  window=$(timeout 30 xdotool search --sync --name '^nrel5mw\.kvp' | head -n 1)
  if [ -z "$window" ]; then
    echo "package: the installed korvane did not open nrel5mw.kvp" >&2; result=1
  else
    xdotool windowactivate --sync "$window" key F1
    timeout 30 xdotool search --sync --name '^Korvane user guide$' >/dev/null ||
      { echo "package: the installed korvane did not show its user guide" >&2; result=1; }
  fi
  kill "$pid"; wait "$pid"
  exit $result
fi

deb=$("$root/scripts/package.sh") || { echo "package: scripts/package.sh failed" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
fail() { echo "package: $*" >&2; status=1; }

echo "$(basename "$deb")"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in xfoil libwxgtk3.2 libcmark; do
  grep -q "\(^\|, \)$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
icons=(/usr/share/icons/hicolor/scalable/apps/korvane.svg)
for size in 16 22 24 32 48 64 128 256; do icons+=("/usr/share/icons/hicolor/${size}x${size}/apps/korvane.png"); done
for file in /usr/bin/korvane /usr/bin/korvane-cli /usr/lib/korvane/xfoil-core /usr/lib/korvane/libxfoil-nofpe.so \
    /usr/share/applications/korvane.desktop "${icons[@]}" /usr/share/mime/packages/korvane.xml \
    /usr/share/man/man1/korvane.1.gz /usr/share/man/man1/korvane-cli.1.gz /usr/share/doc/korvane/user-guide.md \
    /usr/share/korvane/examples/nrel5mw.kvp /usr/share/korvane/examples/xfoil_blade.kvp; do
  grep -qxF "$file" <<<"$files" || fail "the package lacks $file"
done

dpkg-deb -x "$deb" "$tmp/root" || exit 1
usr=$tmp/root/usr
# Every picture and page the installed guide links.
for link in $(grep -o '](\([^):#]*\))' "$usr/share/doc/korvane/user-guide.md" | sed 's/^](\(.*\))$/\1/' | sort -u); do
  [ -f "$usr/share/doc/korvane/$link" ] || fail "the user guide links $link, which is not installed"
done
desktop-file-validate "$usr/share/applications/korvane.desktop" || fail "korvane.desktop is not valid"
grep -qx "Exec=/usr/bin/korvane %f" "$usr/share/applications/korvane.desktop" || fail "korvane.desktop does not start /usr/bin/korvane"
xmllint --noout "$usr/share/mime/packages/korvane.xml" || fail "korvane.xml is not well-formed"
mkdir -p "$tmp/mime/packages" && cp "$usr/share/mime/packages/korvane.xml" "$tmp/mime/packages/"
XDG_DATA_HOME=$tmp update-mime-database "$tmp/mime" 2>&1 | grep . && fail "update-mime-database complains about korvane.xml"
grep -q '^[0-9]*:application/x-korvane-project:\*\.kvp$' "$tmp/mime/globs2" 2>/dev/null ||
  fail "*.kvp is not application/x-korvane-project"
for page in korvane korvane-cli; do
  warnings=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done
zgrep -q '^\.SS "korvane-cli import openfast"' "$usr/share/man/man1/korvane-cli.1.gz" ||
  fail "korvane-cli.1 does not document the subcommands"

mkdir -p "$tmp/work" "$tmp/home"
for program in korvane korvane-cli; do
  said=$(installed "$usr/bin/$program" --version)
  [ "$said" = "$program $version" ] || fail "$program --version says '$said', the package is $version"
done
built=$("$root/build/cli/korvane-cli" op "$root/examples/xfoil_blade.kvp")
# The operating point of the XFOIL example through the installed adapter: under /usr, and
# under a prefix with a space and a colon (where the loader splits its preload list) with
# another program named xfoil-core beside korvane-cli, which must not run.
odd="$tmp/odd prefix:x"
cp -a "$usr" "$odd"
printf '#!/bin/sh\ntouch "%s"\nexit 1\n' "$tmp/stray-ran" >"$odd/bin/xfoil-core" && chmod +x "$odd/bin/xfoil-core"
for prefix in "$usr" "$odd"; do
  if table=$(installed "$prefix/bin/korvane-cli" op "$prefix/share/korvane/examples/xfoil_blade.kvp"); then
    [ "$(tail -n +2 <<<"$table")" = "$(tail -n +2 <<<"$built")" ] ||
      fail "the korvane-cli installed in $prefix computes another operating point: $table"
  else
    fail "the korvane-cli installed in $prefix failed on xfoil_blade.kvp"
  fi
done
[ ! -e "$tmp/stray-ran" ] || fail "a program named xfoil-core beside korvane-cli ran instead of the adapter"
example=$usr/share/korvane/examples/xfoil_blade.kvp
# Without its adapter, the program says where it looked.
mkdir -p "$tmp/alone/bin" && cp "$usr/bin/korvane-cli" "$tmp/alone/bin/"
said=$(installed "$tmp/alone/bin/korvane-cli" op "$example" 2>&1)
grep -qF "no executable file $tmp/alone/lib/korvane/xfoil-core or $tmp/alone/bin/xfoil-core" <<<"$said" ||
  fail "a missing adapter is reported as: $said"

# The desktop program opens a project given on its command line, and F1 its guide (on a
# virtual display: this script runs itself there with --desktop).
"$root/scripts/with-display.sh" "$0" --desktop "$tmp" "$usr" || status=1

if [ "$(id -u)" -eq 0 ] && [ -n "${CI:-}" ]; then
  if dpkg-query -W -f='${Status}' korvane 2>/dev/null | grep -q 'install ok installed'; then
    fail "korvane is installed already; not replacing it"
  else
    dpkg -i "$deb" >/dev/null || fail "dpkg -i failed"
    (cd "$tmp/work" && /usr/bin/korvane-cli op /usr/share/korvane/examples/xfoil_blade.kvp >/dev/null) ||
      fail "the installed /usr/bin/korvane-cli failed"
    # The MIME and desktop databases (updated by their packages' triggers) open .kvp with Korvane.
    [ -f /usr/share/mime/application/x-korvane-project.xml ] &&
      grep -q '^application/x-korvane-project=korvane.desktop' /usr/share/applications/mimeinfo.cache ||
      fail "the system does not open application/x-korvane-project with korvane.desktop"
    dpkg --purge korvane >/dev/null || fail "dpkg --purge failed"
    [ ! -e /usr/bin/korvane-cli ] && [ ! -e /usr/lib/korvane ] || fail "the removal left files behind"
    ! dpkg-query -W korvane >/dev/null 2>&1 || fail "dpkg still lists korvane after its removal"
  fi
else
  echo "dpkg -i and removal skipped: they run only as root with CI set"
fi
exit $status
