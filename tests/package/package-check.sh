#!/bin/sh
# Builds the Debian package of the build tree and checks it: the files it puts in place, the
# dependencies found from the binaries, the maintainer scripts, the udev rule, lintian, and the
# extracted glowdeck running a fake litra tool chosen in its settings.
# Usage: package-check.sh <build dir> <cpack> <light product pattern> <whether a litra is shipped: yes|no>
set -eu

work=$(mktemp -d "${TMPDIR:-/tmp}/glowdeck-package-XXXXXX")
trap '[ -z "${app-}" ] || { kill "$app"; wait "$app"; } 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "package-check: $*" >&2; exit 1; }

"$2" --config "$1/CPackConfig.cmake" -B "$work/out" >"$work/log" 2>&1 || fail "cpack: $(cat "$work/log")"
deb=$(ls "$work"/out/glowdeck_*.deb) && dpkg-deb -x "$deb" "$work/root" && dpkg-deb -e "$deb" "$work/control" ||
    fail "no package to open: $(cat "$work/log")"
usr="$work/root/usr"
for file in bin/glowdeck share/applications/io.github.glowdeck.Glowdeck.desktop share/icons/hicolor/scalable/apps/io.github.glowdeck.Glowdeck.svg \
    share/metainfo/io.github.glowdeck.Glowdeck.metainfo.xml share/doc/glowdeck/copyright share/man/man1/glowdeck.1.gz; do
    [ -s "$usr/$file" ] || fail "the package lacks /usr/$file"
done
# Debian's python, which has the GObject bindings.
/usr/bin/python3 "$(dirname "$0")/../../tools/desktop/gdkpixbuf_load.py" "$usr/share/icons" >"$work/log" 2>&1 ||
    fail "icons a GTK-based host cannot load: $(cat "$work/log")"
[ "$(test -x "$usr/libexec/glowdeck/litra" && echo yes || echo no)" = "$4" ] || fail "litra shipped: not $4"
grep -qxF "Exec=/usr/bin/glowdeck" "$usr/share/applications/io.github.glowdeck.Glowdeck.desktop" || fail "Exec is not /usr/bin/glowdeck"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6.*libxcb1' || fail "Depends: $(dpkg-deb -f "$deb" Depends)"
[ "$(ls "$work/control" | tr '\n' ' ')" = "control md5sums postinst " ] || fail "control files: $(ls "$work/control")"
grep -q "^ *udevadm trigger --subsystem-match=hidraw" "$work/control/postinst" || fail "postinst applies no rule"

# The rule: udevadm's own check where it has one, else each line a list of KEY op "value".
rule="$usr/lib/udev/rules.d/70-glowdeck-lights.rules"
if udevadm verify --help >/dev/null 2>&1; then
    udevadm verify --resolve-names=never "$rule" >"$work/log" 2>&1 || fail "udevadm verify: $(cat "$work/log")"
else
    pair='[A-Z]+(\{[a-z_]+\})?(==|!=|=|\+=|-=|:=)"[^"\\]*"'
    ! grep -vE '^[[:space:]]*(#|$)' "$rule" | grep -qvxE "$pair(, $pair)*" || fail "$rule does not parse"
fi
grep -v '^#' "$rule" | grep -qF "SUBSYSTEM==\"hidraw\", SUBSYSTEMS==\"usb\", ATTRS{product}==\"$3\", TAG+=\"uaccess\"" ||
    fail "$rule does not tag the hidraw nodes of lights named $3 uaccess"

appstreamcli validate --no-net "$usr/share/metainfo/io.github.glowdeck.Glowdeck.metainfo.xml" >"$work/log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/log")"
lintian --fail-on error,warning "$deb" >"$work/log" 2>&1 || fail "lintian: $(cat "$work/log")"

# The extracted glowdeck, in a private session, runs the litra chosen in its settings.
mkdir -p "$work/home/.config/Glowdeck" && mkdir -m 700 "$work/run"
printf '#!/bin/sh\necho "$*" >>"%s"\necho "[]"\n' "$work/runs" >"$work/litra" && chmod +x "$work/litra"
printf '[General]\nlitraPath=%s\n' "$work/litra" >"$work/home/.config/Glowdeck/Glowdeck.conf"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "$usr/bin/glowdeck" >"$work/log" 2>&1 &
app=$!
for _ in $(seq 300); do
    ! grep -qx "devices --json" "$work/runs" 2>/dev/null || exit 0
    sleep 0.1
done
fail "the extracted glowdeck never ran the chosen litra: $(cat "$work/log")"
