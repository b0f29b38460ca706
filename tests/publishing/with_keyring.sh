#!/bin/sh
# Runs a test program in a throwaway home with a D-Bus session of its own:
#   with_keyring.sh keyring PROGRAM [ARGS]  a Secret Service, unlocked
#   with_keyring.sh none PROGRAM [ARGS]     no session bus at all
# Every process started here is stopped by its id before it returns.
set -eu
mode="$1"
shift
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
export HOME="$home" XDG_RUNTIME_DIR="$home/run" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
unset SSH_AUTH_SOCK XDG_CURRENT_DESKTOP
if [ "$mode" = none ]; then
    DBUS_SESSION_BUS_ADDRESS="unix:path=$home/no-bus" "$@"
    exit
fi
exec dbus-run-session -- sh -c '
    # The keyring unlocked with a password from standard input, as a login
    # does; it answers on the bus before the program asks.
    printf "%s" "tavirel-test" | gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null &
    keyring=$!
    tries=0
    until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q "boolean true"; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ]; then echo "no Secret Service came up" >&2; kill "$keyring"; exit 1; fi
        sleep 0.1
    done
    status=0
    "$@" || status=$?
    kill "$keyring"
    wait "$keyring" 2>/dev/null || true
    exit "$status"
' sh "$@"
