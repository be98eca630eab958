#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the tree as a
# desktop would see it: files in place, the desktop entry and the AppStream
# metadata valid, the MIME type of a .880 and its handler in a temporary XDG
# home, and the installed program keeping its files in the per-user folder.
# usage: test_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
source="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >"$work/install.log" || {
    cat "$work/install.log" >&2
    fail "cmake --install"
}
root="$work/dest/usr"
id=com.kelvaria.TQ880
expected=(
    bin/tq880 bin/tq880-cli share/tq880/TQ880HELP.htm
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" "share/mime/packages/$id.xml"
    "share/icons/hicolor/scalable/apps/$id.svg"
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
    for type in application-x-tq880-collection application-x-tq880-graph; do
        expected+=("share/icons/hicolor/${size}x${size}/mimetypes/$type.png")
    done
done
for type in application-x-tq880-collection application-x-tq880-graph; do
    expected+=("share/icons/hicolor/scalable/mimetypes/$type.svg")
done
for f in "${expected[@]}"; do
    [ -e "$root/$f" ] || fail "missing $f"
done
[ -x "$root/bin/tq880" ] && [ -x "$root/bin/tq880-cli" ] || fail "programs not executable"
# Each PNG holds the size its folder names.
for size in 16 48 256; do
    file "$root/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
        fail "icon ${size}x${size} is not a ${size} pixel PNG"
done
# Nothing else lands beside the programs (no test or build tools).
[ "$(ls "$root/bin" | sort | tr '\n' ' ')" = "tq880 tq880-cli " ] || fail "unexpected files in bin: $(ls "$root/bin")"

desktop-file-validate "$root/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$root/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 || {
    cat "$work/as.log" >&2
    fail "AppStream metadata"
}

# A user's desktop: the installed MIME types and entry in a fresh XDG home.
export HOME="$work/home"
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_DIRS="$root/share"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID DESKTOP_SESSION
update-mime-database "$root/share/mime"
update-desktop-database "$root/share/applications"
cp "$source/tests/golden/collections/fill-ff-three-sets.880" "$work/run.880"
type="$(xdg-mime query filetype "$work/run.880")"
[ "$type" = "application/x-tq880-collection" ] || fail "a .880 is \"$type\""
printf 'x' >"$work/graph.ghf"
type="$(xdg-mime query filetype "$work/graph.ghf")"
[ "$type" = "application/x-tq880-graph" ] || fail "a .ghf is \"$type\""
# The installed MIME database names the icons installed for the types.
for type in collection graph; do
    grep -qx "application/x-tq880-$type:application-x-tq880-$type" "$root/share/mime/icons" ||
        fail "no icon for application/x-tq880-$type in the MIME database"
done
handler="$(xdg-mime query default application/x-tq880-collection)"
[ "$handler" = "$id.desktop" ] || fail "a .880 opens with \"$handler\""

# The installed program: its writable folders in the per-user data folder
# (even though root could write the install folder), its help page where it
# was installed; the data sets of a file listed.
export QT_QPA_PLATFORM=offscreen
paths="$("$root/bin/tq880-cli" paths)"
echo "$paths" | grep -qx "program folder	$XDG_DATA_HOME/TQ880/" || fail "program folder: $paths"
echo "$paths" | grep -qx "help page	$root/share/tq880/TQ880HELP.htm" || fail "help page: $paths"
"$root/bin/tq880-cli" list "$work/run.880" | grep -q "^3	2008-05-21" || fail "installed tq880-cli list"
"$root/bin/tq880-cli" report "$work/run.880" --set 1 --high 25 -o "$work/r.pdf" >/dev/null || fail "report"
[ -s "$work/r.pdf" ] || fail "no report"
[ ! -e "$root/bin/ini" ] && [ ! -e "$root/bin/template" ] || fail "files written beside the installed program"
echo "install tree checked"
