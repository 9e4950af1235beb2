#!/usr/bin/env bash
# Runs a command in a private GNOME session: gnome-shell --headless on Wayland
# with one 1280 x 1024 virtual monitor, software rendering, its own session
# bus and a stand-in system bus (the shell will not start without one), and
# Xwayland on demand. The extensions named are copied in before the shell
# starts and enabled over D-Bus, and must then be in the state GNOME Shell
# numbers 1 (on), or the one --extension-state names (4: out of date).
# Everything started here is stopped again when the command ends.
#
#   scripts/with-gnome-session.sh [--system NAME] [--extension DIR]...
#                                 [--extension-state N] [--] COMMAND [ARGS...]
#
# --system runs GNOME Shell from a test system (scripts/test-systems.sh)
# instead of this machine's. An extension's DIR is its folder, or a folder
# with its two forms, legacy/UUID (GNOME Shell 43 and 44) and module/UUID
# (45 and later), of which the session takes the one of the shell it starts.
#
# The command runs as the caller, with DBUS_SESSION_BUS_ADDRESS (the shell's
# bus), WAYLAND_DISPLAY (a full path), DISPLAY and XAUTHORITY (Xwayland),
# XDG_CURRENT_DESKTOP=GNOME, PENTRAX_SHELL_PID, PENTRAX_SHELL_VERSION (as the
# shell tells it), and a runtime and settings folder of its own. Run as root
# (as CI does), the shell runs as the unprivileged user nobody, and both
# buses let root in; the shell may read the callers' /proc/PID/exe
# (CAP_SYS_PTRACE) and look up the programs the extension answers wherever
# root keeps them (CAP_DAC_READ_SEARCH: a clone in a folder of mode 0700,
# such as /root or mktemp's), as it may in a user's session, where it and
# the programs that call Pentrax's extension are one user.
set -euo pipefail

system=""
extensions=()
extension_state=1
while [ $# -gt 0 ]; do
  case $1 in
    --system) system=$2; shift 2 ;;
    --extension) extensions+=("$(cd "$2" && pwd)"); shift 2 ;;
    --extension-state) extension_state=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--system NAME] [--extension DIR]... COMMAND..." >&2; exit 2; }

# shellcheck source=scripts/session-common.sh
. "$(dirname "$0")/session-common.sh"
session_start gnome
start_shell=session_spawn
if [ -n "$system" ]; then
  system_start "$system"
  start_shell=system_spawn
elif [ "$(id -u)" -eq 0 ] && [ ! -d /tmp/.X11-unix ]; then
  # Xwayland's socket folder, which the shell, not being root, could make
  # but not use; one that is there stays as it is.
  mkdir -m 1777 /tmp/.X11-unix 2>/dev/null || true
fi
shell_version=$(package_version gnome-shell)
desktop_named "GNOME Shell" gnome-shell
form=module
[[ "${shell_version%%.*}" =~ ^[0-9]+$ ]] && [ "${shell_version%%.*}" -lt 45 ] && form=legacy

as_shell=()
if [ "$(id -u)" -eq 0 ]; then
  as_shell=(setpriv --reuid=65534 --regid=65534 --clear-groups
    --inh-caps +sys_ptrace,+dac_read_search
    --ambient-caps +sys_ptrace,+dac_read_search)
fi
chmod 755 "$workdir"
run="$workdir/run"    # the shell's runtime folder, mode 0700
home="$workdir/home"
mkdir -p "$run" "$home/.local/share/gnome-shell/extensions" "$workdir/client"
chmod 700 "$run" "$workdir/client"
for i in "${!extensions[@]}"; do
  [ -d "${extensions[i]}/$form" ] && extensions[i]=$(echo "${extensions[i]}/$form"/*)
  cp -r "${extensions[i]}" "$home/.local/share/gnome-shell/extensions/"
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
  session_spawn "$bus-bus" "${as_shell[@]}" dbus-daemon \
    --config-file="$workdir/$bus.conf" --nofork
done
wait_for 30 "the session and system buses (dbus-daemon) to listen" \
  test -S "$run/session-bus" -a -S "$run/system-bus"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$run/session-bus"

$start_shell shell env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$run" \
  XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_SESSION_TYPE=wayland \
  XDG_CURRENT_DESKTOP=GNOME DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" \
  DBUS_SYSTEM_BUS_ADDRESS="unix:path=$run/system-bus" \
  GSETTINGS_BACKEND=memory LIBGL_ALWAYS_SOFTWARE=1 \
  "${as_shell[@]}" gnome-shell --headless --wayland \
  --virtual-monitor 1280x1024 --wayland-display pentrax-wayland
shell_pid=$spawned

shell_call() {
  timeout 10 gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell "$@"
}
shell_property() { # NAME
  shell_call --method org.freedesktop.DBus.Properties.Get org.gnome.Shell "$1"
}
shell_property_is() { # NAME VALUE
  [[ "$(shell_property "$1")" == *"<$2>"* ]]
}
# Start-up takes 2 to 6 seconds here, much longer on a cold, busy machine.
wait_for 120 "GNOME Shell to answer on the session bus" shell_property ShellVersion

# The shell shows the overview once it has started up, and there no window
# has the focus: wait for it, then leave it as a user would, so that new
# windows are focused when they appear.
wait_for 60 "GNOME Shell to show the overview after start-up" \
  shell_property_is OverviewActive true
leave_overview() {
  shell_call --method org.freedesktop.DBus.Properties.Set org.gnome.Shell \
    OverviewActive '<false>' || true
  shell_property_is OverviewActive false
}
wait_for 10 "GNOME Shell to leave the overview" leave_overview

# The state is 1.0 once an extension is enabled; 3.0 when it failed and 4.0
# when the shell takes it for out of date, which it will stay.
extension_enabled() { # UUID
  local info
  info=$(shell_call --method org.gnome.Shell.Extensions.GetExtensionInfo "$1") || return 1
  [[ $extension_state == 3 || "$info" != *"'state': <3.0>"* ]] ||
    session_fail "$1 failed (state 3) in GNOME Shell $shell_version: $info"
  [[ $extension_state == 4 || "$info" != *"'state': <4.0>"* ]] ||
    session_fail "$1 is out of date (state 4) for GNOME Shell $shell_version: $info"
  [[ "$info" == *"'state': <$extension_state.0>"* ]]
}
for ext in "${extensions[@]}"; do
  uuid=$(basename "$ext")
  shell_call --method org.gnome.Shell.Extensions.EnableExtension "$uuid" >/dev/null ||
    session_fail "GNOME Shell did not take the request to enable $uuid"
  wait_for 20 "GNOME Shell to give the extension $uuid the state $extension_state" \
    extension_enabled "$uuid"
done

# Xwayland starts when the first X client connects; its display and the
# key to it are there from the start.
wait_for 20 "GNOME Shell to name its Xwayland display (in its log)" \
  grep -q 'Using public X11 display' "$workdir/shell.log"
display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$workdir/shell.log" | head -n1)
[ -n "$display" ] || session_fail "no Xwayland display in the shell's log"
export DISPLAY=$display
XAUTHORITY=$(ls "$run"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)
export XAUTHORITY
export WAYLAND_DISPLAY="$run/pentrax-wayland"
export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland
export XDG_RUNTIME_DIR="$workdir/client" XDG_CONFIG_HOME="$workdir/client/config"
PENTRAX_SHELL_PID=$(session_pid "$shell_pid")
export PENTRAX_SHELL_PID
PENTRAX_SHELL_VERSION=$(shell_property ShellVersion | sed -n "s/^(<'\(.*\)'>,)$/\1/p")
export PENTRAX_SHELL_VERSION
unset DBUS_SYSTEM_BUS_ADDRESS SWAYSOCK  # the caller's desktop's

session_run "$@"
