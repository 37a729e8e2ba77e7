#!/usr/bin/env bash
# Usage: package_test.sh BUILD_DIR INSTALL_PREFIX APP_ID WITH_GUI STRINGS_DIR
# Builds the .deb of BUILD_DIR into a temporary folder and checks its control data and files:
# programs, launcher, desktop file, AppStream data, icons, man pages, udev rule, guide.
set -uo pipefail
build=$1 prefix=$2 appid=$3 gui=$4 strings=$5
if ! command -v dpkg-deb >/dev/null 2>&1; then
  echo "SKIPPED: dpkg-deb is not installed, so no Debian package can be built or read (apt-get install dpkg)"
  exit 77
fi
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check_file() { [ -f "$root$1" ] || fail "missing $1"; }

work=$(mktemp -d /tmp/heliarc-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
deb=$(ls "$work"/out/heliarc_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no heliarc_*.deb in $work/out"; ls -R "$work/out"; exit 1; }
echo "built $(basename "$deb")"

# Control data: name, and dependencies that bring Qt and libusb on a fresh machine.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[ "$(dpkg-deb -f "$deb" Package)" = heliarc ] || fail "package name is not heliarc"
for lib in libusb-1.0-0 libqt6core6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done
[ "$gui" = 1 ] && { grep -q libqt6widgets6 <<<"$depends" || fail "Depends lacks libqt6widgets6"; }

root=$work/root
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$work/control"
for s in postinst postrm; do [ -x "$work/control/$s" ] || fail "maintainer script $s missing or not executable"; done

p=$prefix
for prog in heliarc-cli zq118-sim; do [ -x "$root$p/bin/$prog" ] || fail "missing program $p/bin/$prog"; done
[ "$gui" = 1 ] && { [ -x "$root$p/bin/heliarc" ] || fail "missing program $p/bin/heliarc"; }
"$root$p/bin/heliarc-cli" --help >/dev/null || fail "installed heliarc-cli --help fails"
for f in heliarc-start heliarc-usb-match; do [ -x "$root$p/libexec/heliarc/$f" ] || fail "missing $p/libexec/heliarc/$f"; done

# Desktop entry: valid, and its Exec is the launcher of this package.
desktop=$p/share/applications/$appid.desktop
metainfo=$p/share/metainfo/$appid.metainfo.xml
check_file "$desktop"
check_file "$metainfo"
exec_line=$(sed -n 's/^Exec=//p' "$root$desktop")
[ "$exec_line" = "$p/libexec/heliarc/heliarc-start" ] || fail "desktop Exec is '$exec_line', not the launcher"
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$root$desktop" || fail "desktop-file-validate rejects $desktop"
else
  echo "note: desktop-file-validate not installed, desktop file not validated"
fi
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$root$metainfo" || fail "appstreamcli rejects $metainfo"
else
  echo "note: appstreamcli not installed, metainfo not validated"
fi
grep -q "<launchable type=\"desktop-id\">$appid.desktop</launchable>" "$root$metainfo" || fail "metainfo does not launch $appid.desktop"

# Icons: the drawn logo at each size, each a PNG of that size.
for s in 16 24 32 48 64 128 256; do
  icon=$root$p/share/icons/hicolor/${s}x${s}/apps/heliarc.png
  if [ ! -f "$icon" ]; then fail "missing icon ${s}x${s}"; continue; fi
  # PNG signature, then the IHDR width and height as 32-bit big-endian numbers.
  read -r w h < <(od -An -tu1 -j16 -N8 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$(head -c 4 "$icon" | od -An -tx1 | tr -d ' ')" = 89504e47 ] || fail "icon ${s}x${s} is not a PNG"
  [ "$w $h" = "$s $s" ] || fail "icon ${s}x${s} is ${w}x${h}"
done

# Man pages: compressed, render without warnings, with their NAME section.
for page in heliarc heliarc-cli zq118-sim; do
  man=$root$p/share/man/man1/$page.1.gz
  if [ ! -f "$man" ]; then fail "missing man page $page.1.gz"; continue; fi
  text=$(MANWIDTH=80 man --warnings -l "$man" 2>"$work/man.err")
  [ -s "$work/man.err" ] && { cat "$work/man.err"; fail "man -l warns about $page.1"; }
  grep -q "^NAME" <<<"$text" && grep -Eq "^ +$page +- " <<<"$text" || fail "man page $page.1 has no NAME line"
  grep -q "@[A-Z]*@" <<<"$text" && fail "man page $page.1 keeps an unreplaced @VARIABLE@"
done

# udev: read before 73-seat-late.rules, tags the instrument for the seat user, helper in the package.
rule=$root$p/lib/udev/rules.d/70-heliarc.rules
if [ -f "$rule" ]; then
  grep -q 'TAG+="uaccess"' "$rule" || fail "udev rule has no uaccess tag"
  helper=$(sed -n 's/.*PROGRAM="\([^ "]*\).*/\1/p' "$rule")
  [ "$helper" = "$p/libexec/heliarc/heliarc-usb-match" ] || fail "udev rule runs '$helper'"
else
  fail "missing $p/lib/udev/rules.d/70-heliarc.rules"
fi
check_file "$p/share/heliarc/MeasurementFinish.wav"
for doc in guide.md guide.ja.md; do check_file "$p/share/doc/heliarc/$doc"; done
# Every picture the guides show is in the package beside them.
docs=$root$p/share/doc/heliarc
for pic in $(cat "$docs"/guide.md "$docs"/guide.ja.md 2>/dev/null | grep -o '([A-Za-z0-9_.-]*\.png)' | tr -d '()' | sort -u); do
  check_file "$p/share/doc/heliarc/$pic"
done

# The troubleshooting tables quote the program's own messages: each must still be in the string
# table of the guide's language (a %s or %d there stands for any text).
if command -v python3 >/dev/null 2>&1; then
  python3 - "$docs/guide.md" "$strings/en.txt" "$docs/guide.ja.md" "$strings/ja.txt" <<'PY' || fail "a guide quotes a message the program does not have"
import re, sys
ok = True
for guide, table, quote in ((sys.argv[1], sys.argv[2], r"\"([^\"]+)\"|'([^']+)'"), (sys.argv[3], sys.argv[4], r"「([^」]+)」")):
    texts = [line.split("\t", 1)[1].rstrip("\n") for line in open(table, encoding="utf-8") if "\t" in line]
    patterns = [re.compile(re.escape(t).replace("%s", ".+").replace("%d", ".+").replace("%u", ".+").replace("%g", ".+") + r"\Z") for t in texts]
    text = open(guide, encoding="utf-8").read()
    section = text[text.rindex("\n## "):]
    for row in section.splitlines():
        if not row.startswith("| ") or row.startswith("|---"):
            continue
        cell = row.split("|")[1]
        for m in re.finditer(quote, cell):
            msg = next(g for g in m.groups() if g)
            if not any(p.match(msg) for p in patterns):
                print(f"{guide}: {msg!r} is not a message of {table}")
                ok = False
sys.exit(0 if ok else 1)
PY
else
  echo "note: python3 not installed, the guides' messages not checked"
fi

# The launcher: a per-user data folder, made on first start, never the folder it was started in.
launcher=$root$p/libexec/heliarc/heliarc-start
stub=$work/fake-heliarc
printf '#!/bin/sh\npwd > "%s/started-in"\nprintf "%%s\\n" "$@" > "%s/args"\n' "$work" "$work" >"$stub"
chmod +x "$stub"
sed -e "s#$p/bin/heliarc#$stub#" -e "s#$p/share/heliarc/#$root$p/share/heliarc/#" "$launcher" >"$work/start"
chmod +x "$work/start"
launch() { rm -f "$work/started-in"; (cd / && env -u XDG_DATA_HOME -u HELIARC_WORKDIR "$@" "$work/start" --demo); }
launch HOME="$work/home" || fail "launcher failed with only HOME set"
[ "$(cat "$work/started-in" 2>/dev/null)" = "$work/home/.local/share/heliarc" ] || fail "launcher did not start in ~/.local/share/heliarc"
[ -f "$work/home/.local/share/heliarc/MeasurementFinish.wav" ] || fail "launcher did not put the finish sound into the data folder"
[ "$(cat "$work/args")" = "--demo" ] || fail "launcher did not pass its arguments on"
launch HOME="$work/home" XDG_DATA_HOME="$work/xdg"
[ "$(cat "$work/started-in" 2>/dev/null)" = "$work/xdg/heliarc" ] || fail "launcher ignored XDG_DATA_HOME"
launch HOME="$work/home" XDG_DATA_HOME="relative/path"
[ "$(cat "$work/started-in" 2>/dev/null)" = "$work/home/.local/share/heliarc" ] || fail "launcher used a relative XDG_DATA_HOME"
if launch -u HOME 2>/dev/null; then fail "launcher started without HOME or XDG_DATA_HOME"; fi
touch "$work/blocked"
if launch HOME="$work/home" HELIARC_WORKDIR="$work/blocked/sub" 2>/dev/null; then
  fail "launcher started although its data folder cannot be made"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package checks passed"
