#!/bin/sh
# Installs the build into a temporary prefix (with a space in it, as some are) and checks the
# installed tree: the files are in place and valid, the installed Glowdeck finds its own litra
# and nothing else, reports the simulated lights, and a second start hands over and exits.
# Usage: install-check.sh <build dir> <install-probe> <cmake>
set -eu

build=$1
probe=$2
cmake=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/glowdeck-install-XXXXXX")
first=""
bus=""
cleanup() {
    for pid in $first $bus; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "install-check: $*" >&2
    exit 1
}

# Waits up to 30 s for a shell condition.
wait_for() {
    tries=0
    until eval "$1"; do
        tries=$((tries + 1))
        [ "$tries" -lt 300 ] || return 1
        sleep 0.1
    done
}

prefix="$work/glow deck"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$work/install.log")"

glowdeck="$prefix/bin/glowdeck"
litra="$prefix/libexec/glowdeck/litra"
desktop="$prefix/share/applications/glowdeck.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/glowdeck.svg"
metainfo="$prefix/share/metainfo/org.example.glowdeck.metainfo.xml"
for file in "$glowdeck" "$litra"; do
    [ -x "$file" ] || fail "$file is missing or not executable"
done
for file in "$desktop" "$icon" "$metainfo"; do
    [ -f "$file" ] || fail "$file is missing"
done
[ ! -e "$prefix/bin/litra" ] || fail "litra must not be installed on PATH ($prefix/bin/litra)"

# The menu entry starts the installed binary, quoted because of the space.
grep -qxF "Exec=\"$glowdeck\"" "$desktop" ||
    fail "Exec of $desktop does not start $glowdeck: $(grep '^Exec=' "$desktop")"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
        fail "appstreamcli rejects $metainfo: $(cat "$work/appstream.log")"
fi

# A private session: nothing here reaches the user's settings, tray, lights or running Glowdeck.
mkdir -p "$work/home" "$work/elsewhere/cwd"
mkdir -m 700 "$work/run"
export HOME="$work/home"
export XDG_CONFIG_HOME="$work/home/.config"
export XDG_STATE_HOME="$work/home/.local/state"
export XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=offscreen
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/bus"
dbus-daemon --session --nofork --address="$DBUS_SESSION_BUS_ADDRESS" >/dev/null 2>&1 &
bus=$!
wait_for '[ -S "$work/bus" ]' || fail "the private dbus-daemon did not start"
unset DISPLAY WAYLAND_DISPLAY LITRA_SIM_FAULTS_FILE LITRA_SIM_LOG
export LITRA_SIM_STATE="$work/lights.json"
light() { # serial, on, lumen
    printf '{"serial_number":"%s","device_type":"Sim Panel","is_on":%s,"brightness_in_lumen":%s,"temperature_in_kelvin":4000,"minimum_brightness_in_lumen":20,"maximum_brightness_in_lumen":250,"minimum_temperature_in_kelvin":2700,"maximum_temperature_in_kelvin":6500}' "$1" "$2" "$3"
}
printf '{"lights":[%s,%s]}\n' "$(light I-1 true 100)" "$(light I-2 false 200)" >"$LITRA_SIM_STATE"

# Glowdeck's own lookup, run from beside the installed binary: it finds the installed litra,
# and launch at login starts the binary in the installed tree.
cp "$probe" "$prefix/bin/install-probe"
report=$("$prefix/bin/install-probe") || fail "the probe beside the installed glowdeck failed"
expected="litra: $litra
status: Lights: Mixed
devices: 2
autostart: Exec=\"$prefix/bin/install-probe\""
[ "$report" = "$expected" ] || fail "installed lookup reported
$report
instead of
$expected"

# Anywhere else it finds none, even with a litra on PATH and in the working directory.
cp "$probe" "$work/elsewhere/install-probe"
printf '#!/bin/sh\necho "[]"\n' >"$work/elsewhere/cwd/litra"
chmod +x "$work/elsewhere/cwd/litra"
report=$(cd "$work/elsewhere/cwd" && PATH="$work/elsewhere/cwd:$PATH" XDG_CONFIG_HOME="$work/elsewhere" ../install-probe) ||
    fail "the probe outside the installed tree failed"
case "$report" in
    "litra: none"*) ;;
    *) fail "a probe outside the installed tree found a litra: $report" ;;
esac

# The installed Glowdeck itself runs its litra at launch ...
export LITRA_SIM_LOG="$work/runs.log"
"$glowdeck" >"$work/first.log" 2>&1 &
first=$!
wait_for 'grep -q " devices --json$" "$LITRA_SIM_LOG" 2>/dev/null' ||
    fail "the installed glowdeck never ran $litra: $(cat "$work/first.log")"

# ... and a second start hands over to it and exits with status 0.
"$glowdeck" >"$work/second.log" 2>&1 || fail "a second start failed: $(cat "$work/second.log")"
kill -0 "$first" 2>/dev/null || fail "the first glowdeck ended: $(cat "$work/first.log")"
echo "install-check: installed tree in $prefix works"
