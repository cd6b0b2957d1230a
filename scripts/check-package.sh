#!/usr/bin/env bash
# Checks what `cmake --install` and `cpack -G DEB` make of a finished build (default build/gcc):
# the installed files and nothing else, manual pages that render without a warning, the bash
# completion, the icons and desktop entry, and the .deb's control fields and contents.
set -euo pipefail
export LC_ALL=C  # the order of sorted lists
cd "$(dirname "$0")/.."
build=${1:-build/gcc}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

# 1. The installation, to a staging folder, and the exact list of what it holds.
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
installed=$(cd "$work/root" && find . -type f -o -type l | sed 's|^\./|/|' | sort)
expected="/usr/bin/runebin
/usr/bin/runebin-cli
/usr/share/applications/runebin.desktop
/usr/share/bash-completion/completions/runebin-cli
$(for size in 128 16 256 32 48 64; do echo "/usr/share/icons/hicolor/${size}x${size}/apps/runebin.png"; done)
/usr/share/man/man1/runebin-cli.1.gz
/usr/share/man/man1/runebin.1.gz"
[ "$installed" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$installed") || true)"
root=$work/root/usr
cli=$root/bin/runebin-cli
# Both programs answer --version without a display.
version=$("$cli" --version | cut -d' ' -f2)
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/runebin" --version)" = "runebin $version" ] ||
  fail "runebin --version does not say runebin $version"

# 2. Manual pages: no warning from groff, every section, every command of --help described.
for page in "$root"/share/man/man1/*.1.gz; do
  warnings=$(zcat "$page" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page: $warnings"
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES; do
    zcat "$page" | grep -qx "\.SH $section" || fail "$page lacks $section"
  done
done
commands=$("$cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\+\) .*/\1/p')
[ -n "$commands" ] || fail "no commands found in runebin-cli --help"
for command in $commands; do
  zcat "$root/share/man/man1/runebin-cli.1.gz" | grep -q "^\\\\fB$command\\\\fR" ||
    fail "runebin-cli.1 does not describe $command"
done

# 3. Bash completion: each row is the words typed (the last one being completed) and the
# expected offers, sorted.
mkdir -p "$work/files/sub"
cd "$work/files"
touch a.pvx b.PVS c.wmf d.txt e.svg
"$cli" new lib.pvs >/dev/null
"$cli" import lib.pvs "$OLDPWD/tests/data/wmf/poi-santa.wmf" --name Oak >/dev/null
"$cli" import lib.pvs "$OLDPWD/tests/data/wmf/imagemagick-clock.wmf" --name 'Old pine' >/dev/null
rows=(
  "re|rename render"
  "-q li|list"
  "-q list -q |a.pvx b.PVS lib.pvs sub"
  "rename lib.pvs --f|--force"
  "list |a.pvx b.PVS lib.pvs sub"
  "import lib.pvs |c.wmf sub"
  "import lib.pvs c.wmf |c.wmf sub"
  "import lib.pvs c.wmf --name |"
  "import lib.pvs --sk|--skip-existing"
  "move lib.pvs Oak --to |"
  "move lib.pvs Oak --to 0 -|--dry-run --help --output --quiet --to -h -o -q"
  "rename lib.pvs O|Oak Old\\ pine"
  "copy lib.pvs a.pvx |Oak Old\\ pine"
  "sort lib.pvs --output |a.pvx b.PVS lib.pvs sub"
  "render lib.pvs Oak -o |e.svg sub"
  "check lib.pvs --format |json"
  "uses lib.pvs Oak |"
)
for row in "${rows[@]}"; do
  typed=${row%%|*}
  want=${row#*|}
  got=$(PATH="$root/bin:$PATH" bash -c '
    source "$1"
    read -r -a COMP_WORDS <<<"runebin-cli $2"
    [[ $2 == *" " || -z $2 ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _runebin_cli 2>/dev/null
    printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "' _ \
    "$root/share/bash-completion/completions/runebin-cli" "$typed")
  [ "$got" = "$want" ] || fail "completing \"runebin-cli $typed\": got \"$got\", want \"$want\""
done
cd "$OLDPWD"

# 4. Icons of the size their folder says, and a desktop entry that validates.
for icon in "$root"/share/icons/hicolor/*/apps/runebin.png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  read -r w h < <(od -An -tu1 -j16 -N8 "$icon" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$icon: not a PNG"
  [ "${w}x$h" = "$size" ] || fail "$icon is ${w}x$h"
done
desktop-file-validate "$root/share/applications/runebin.desktop"

# 5. The Debian package: control fields, and the same files as the installation.
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/deb/*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = runebin ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[[ $(field Maintainer) == *"<"*"@"*">" ]] || fail "Maintainer: $(field Maintainer)"
[[ $(field Description) == "manage the symbols"*$'\n '* ]] || fail "Description: $(field Description)"
for dependency in libc6 libstdc++6 libqt6widgets6 libqt6core6 qt6-qpa-plugins; do
  [[ ", $(field Depends)," == *", $dependency"[\ ,]* ]] || fail "Depends lacks $dependency: $(field Depends)"
done
packaged=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' | sort)
[ "$packaged" = "$expected" ] || fail "the package's files differ:
$(diff <(echo "$expected") <(echo "$packaged") || true)"
echo "check-package: $(basename "$deb") and the installation are as expected"
