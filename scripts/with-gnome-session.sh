#!/usr/bin/env bash
# Runs a command in a private GNOME session: gnome-shell --headless on Wayland
# with one 1280 x 1024 virtual monitor, software rendering, its own session
# bus and a stand-in system bus (the shell will not start without one), and
# Xwayland on demand. The extensions named are copied in before the shell
# starts and enabled over D-Bus. Everything started here is stopped again
# when the command ends.
#
#   scripts/with-gnome-session.sh [--extension DIR]... [--] COMMAND [ARGS...]
#
# The command runs as the caller, with DBUS_SESSION_BUS_ADDRESS (the shell's
# bus), WAYLAND_DISPLAY (a full path), DISPLAY and XAUTHORITY (Xwayland),
# XDG_CURRENT_DESKTOP=GNOME, PENTRAX_SHELL_PID, and a runtime and settings
# folder of its own. Run as root (as CI does), the shell runs as the
# unprivileged user nobody, and both buses let root in.
set -euo pipefail

extensions=()
while [ "${1:-}" = "--extension" ]; do
  extensions+=("$(cd "$2" && pwd)")
  shift 2
done
[ "${1:-}" = "--" ] && shift
[ $# -gt 0 ] || { echo "usage: $0 [--extension DIR]... COMMAND..." >&2; exit 2; }

# shellcheck source=scripts/session-common.sh
. "$(dirname "$0")/session-common.sh"
session_start gnome

as_shell=()
if [ "$(id -u)" -eq 0 ]; then
  as_shell=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
chmod 755 "$workdir"
run="$workdir/run"    # the shell's runtime folder, mode 0700
home="$workdir/home"
mkdir -p "$run" "$home/.local/share/gnome-shell/extensions" "$workdir/client"
chmod 700 "$run" "$workdir/client"
for ext in "${extensions[@]}"; do
  cp -r "$ext" "$home/.local/share/gnome-shell/extensions/"
done
[ ${#as_shell[@]} -gt 0 ] && chown -R 65534:65534 "$run" "$home"

# The two buses: no activatable services, and the caller may connect too.
for bus in session system; do
  cat >"$workdir/$bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$run/$bus-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  "${as_shell[@]}" dbus-daemon --config-file="$workdir/$bus.conf" --nofork \
    >"$workdir/$bus-bus.log" 2>&1 &
  pids+=($!)
done
for _ in $(seq 500); do
  [ -S "$run/session-bus" ] && [ -S "$run/system-bus" ] && break
  sleep 0.02
done
export DBUS_SESSION_BUS_ADDRESS="unix:path=$run/session-bus"

env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$run" \
  XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_SESSION_TYPE=wayland \
  XDG_CURRENT_DESKTOP=GNOME DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" \
  DBUS_SYSTEM_BUS_ADDRESS="unix:path=$run/system-bus" \
  GSETTINGS_BACKEND=memory LIBGL_ALWAYS_SOFTWARE=1 \
  "${as_shell[@]}" gnome-shell --headless --wayland \
  --virtual-monitor 1280x1024 --wayland-display pentrax-wayland \
  >"$workdir/shell.log" 2>&1 &
shell_pid=$!
pids+=("$shell_pid")

shell_call() {
  timeout 10 gdbus call --session --dest org.gnome.Shell "$@" 2>/dev/null
}
fail() {
  echo "$1" >&2
  tail -n 40 "$workdir/shell.log" >&2
  exit 1
}
# Start-up takes 2 to 6 seconds here, much longer on a busy machine.
for _ in $(seq 1200); do
  shell_call --object-path /org/gnome/Shell \
    --method org.freedesktop.DBus.Properties.Get org.gnome.Shell ShellVersion \
    >/dev/null && break
  kill -0 "$shell_pid" 2>/dev/null || fail "gnome-shell ended at start-up"
  sleep 0.05
done
shell_call --object-path /org/gnome/Shell --method org.freedesktop.DBus.Peer.Ping \
  >/dev/null || fail "gnome-shell did not answer on D-Bus"

# The shell shows the overview once it has started up, and there no window
# has the focus: wait for it, then leave it as a user would, so that new
# windows are focused when they appear.
overview() {
  shell_call --object-path /org/gnome/Shell \
    --method org.freedesktop.DBus.Properties.Get org.gnome.Shell OverviewActive
}
for _ in $(seq 1200); do
  overview | grep -q true && break
  sleep 0.05
done
for _ in $(seq 200); do
  shell_call --object-path /org/gnome/Shell \
    --method org.freedesktop.DBus.Properties.Set org.gnome.Shell OverviewActive \
    '<false>' >/dev/null || true
  overview | grep -q false && break
  sleep 0.05
done
overview | grep -q false || fail "the overview stays open"

for ext in "${extensions[@]}"; do
  uuid=$(basename "$ext")
  shell_call --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Extensions.EnableExtension "$uuid" >/dev/null ||
    fail "cannot enable $uuid"
  # The state is 1.0 once the extension is enabled, 3.0 when it failed.
  for _ in $(seq 400); do
    info=$(shell_call --object-path /org/gnome/Shell \
      --method org.gnome.Shell.Extensions.GetExtensionInfo "$uuid" || true)
    case "$info" in
      *"'state': <1.0>"*) break ;;
      *"'state': <3.0>"*) fail "$uuid failed: $info" ;;
    esac
    sleep 0.05
  done
  [[ "$info" == *"'state': <1.0>"* ]] || fail "$uuid was not enabled: $info"
done

# Xwayland starts when the first X client connects; its display and the
# key to it are there from the start.
for _ in $(seq 200); do
  grep -q 'Using public X11 display' "$workdir/shell.log" && break
  sleep 0.05
done
display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$workdir/shell.log" | head -n1)
[ -n "$display" ] || fail "no Xwayland display"
export DISPLAY=$display
XAUTHORITY=$(ls "$run"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)
export XAUTHORITY
export WAYLAND_DISPLAY="$run/pentrax-wayland"
export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland
export XDG_RUNTIME_DIR="$workdir/client" XDG_CONFIG_HOME="$workdir/client/config"
export PENTRAX_SHELL_PID=$shell_pid
unset DBUS_SYSTEM_BUS_ADDRESS SWAYSOCK  # the caller's desktop's

status=0
"$@" || status=$?
exit "$status"
