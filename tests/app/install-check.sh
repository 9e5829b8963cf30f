#!/bin/sh
# Installs the build into a temporary prefix (with a space in it, as some have) and checks the
# installed tree: its files are in place, Glowdeck finds the litra it ships and no other (with
# none shipped it says so and runs nothing), and starts the installed binary at login. (The
# package test runs an installed glowdeck.)
# Usage: install-check.sh <build dir> <install-probe> <cmake> <none|simulator|tool: what it ships>
set -eu

work=$(mktemp -d "${TMPDIR:-/tmp}/glowdeck-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "install-check: $*" >&2
    exit 1
}

prefix="$work/glow deck"
"$3" --install "$1" --prefix "$prefix" >"$work/log" 2>&1 || fail "cmake --install: $(cat "$work/log")"
litra="$prefix/libexec/glowdeck/litra"
desktop="$prefix/share/applications/io.github.glowdeck.Glowdeck.desktop"
for file in "$prefix/bin/glowdeck" "$desktop" "$prefix/share/icons/hicolor/scalable/apps/io.github.glowdeck.Glowdeck.svg" \
    "$prefix/share/metainfo/io.github.glowdeck.Glowdeck.metainfo.xml" "$prefix/lib/udev/rules.d/70-glowdeck-lights.rules"; do
    [ -s "$file" ] || fail "$file is missing"
done
[ ! -e "$prefix/bin/litra" ] || fail "litra must not be installed on PATH"
grep -qxF "Exec=\"$prefix/bin/glowdeck\"" "$desktop" || fail "$desktop does not start the installed glowdeck"

# A private session: nothing here reaches the user's settings, tray, lights or running Glowdeck.
mkdir -p "$work/home" "$work/elsewhere/cwd" && mkdir -m 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_STATE_HOME="$work/home/.local/state"
export XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
export LITRA_SIM_STATE="$work/lights.json" LITRA_SIM_LOG="$work/runs.log"
unset DISPLAY WAYLAND_DISPLAY LITRA_SIM_FAULTS_FILE
echo '{"lights": [{"is_on": true}, {"is_on": false}]}' >"$LITRA_SIM_STATE"

# Beside the installed glowdeck the probe finds the installed litra, and launch at login starts
# the binary in the installed tree. Anywhere else it finds none, not even one on PATH or in the
# working directory.
cp "$2" "$prefix/bin/install-probe"
report=$("$prefix/bin/install-probe") || fail "the probe beside the installed glowdeck failed"
case $4 in
    none) expected=$(printf 'litra: none\nstatus: Error: No litra tool chosen yet\ndevices: 0') ;;
    simulator) expected=$(printf 'litra: %s\nstatus: Lights: Mixed\ndevices: 2' "$litra") ;;
    *) expected="litra: $litra${report#"litra: $litra"}" ;; # a real tool finds what is on the desk
esac
[ "$report" = "$expected" ] || fail "beside the installed glowdeck the probe reported: $report"
[ "$4" != none ] || { [ ! -e "$litra" ] && [ ! -e "$work/runs.log" ]; } || fail "an install without a tool ran one"
grep -qxF "Exec=\"$prefix/bin/install-probe\"" "$XDG_CONFIG_HOME/autostart/glowdeck.desktop" ||
    fail "launch at login does not start the installed binary"
cp "$2" "$work/elsewhere/install-probe"
printf '#!/bin/sh\necho "[]"\n' >"$work/elsewhere/cwd/litra" && chmod +x "$work/elsewhere/cwd/litra"
report=$(cd "$work/elsewhere/cwd" && PATH="$PWD:$PATH" ../install-probe) || fail "the probe elsewhere failed"
[ "${report#litra: none}" != "$report" ] || fail "a probe outside the installed tree found a litra: $report"

# Both glowdecks find their libraries where the system keeps them: none is looked for in the
# working directory (a library planted there would run inside Glowdeck) or in the install tree.
for program in "$1/bin/glowdeck" "$prefix/bin/glowdeck"; do
    tried=$(cd "$work/elsewhere/cwd" && LD_DEBUG=libs "$program" --version 2>&1 >/dev/null |
        sed -n 's/.*trying file=//p')
    [ -n "$tried" ] || fail "LD_DEBUG shows no library look-up for $program"
    if stray=$(printf '%s\n' "$tried" | grep -v '^/' || printf '%s\n' "$tried" | grep -F "$prefix/"); then
        fail "$program looks for libraries in the working directory or its install tree: $(echo "$stray" | head -3)"
    fi
done
