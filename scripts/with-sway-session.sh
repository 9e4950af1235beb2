#!/usr/bin/env bash
# Runs a command in a private headless sway session: one 1280 x 1024 output,
# a bar at the top (so the work area is smaller than the output), XWayland.
# Everything started here is stopped again when the command ends.
#
#   scripts/with-sway-session.sh [--system NAME] [--] COMMAND [ARGS...]
#
# --system runs sway, its bar and foot from a test system
# (scripts/test-systems.sh) instead of this machine's.
#
# sway refuses to run as root: under root, sway runs as the unprivileged
# uid 65534. The command itself runs as the caller, with SWAYSOCK,
# WAYLAND_DISPLAY (a full path), DISPLAY (XWayland), XDG_RUNTIME_DIR (a
# folder of the caller's own, as the caller's session would give it),
# PENTRAX_SWAY_PID
# (sway's process) and PENTRAX_SWAY_CLIENT
# (the words to put before a client's command line so that it runs as the
# session's user, in sway's runtime folder). Clients may run as either:
# XWayland lets the caller in too.
set -euo pipefail

system=""
if [ "${1:-}" = "--system" ]; then
  system=$2
  shift 2
fi
[ "${1:-}" = "--" ] && shift
[ $# -gt 0 ] || { echo "usage: $0 [--system NAME] COMMAND..." >&2; exit 2; }

# shellcheck source=scripts/session-common.sh
. "$(dirname "$0")/session-common.sh"
session_start sway
start_sway=session_spawn
if [ -n "$system" ]; then
  system_start "$system"
  start_sway=system_spawn
fi
desktop_named sway sway
mkdir "$workdir/home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$workdir"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

# The bar through a script that keeps its process id: it is no child of
# ours (nor of sway's), and it can outlive sway, spinning on a core.
cat >"$workdir/bar" <<'EOF'
#!/bin/sh
echo $$ >"$XDG_RUNTIME_DIR/bar.pid"
exec swaybar "$@"
EOF
chmod 755 "$workdir/bar"
cat >"$workdir/sway.conf" <<EOF
output HEADLESS-1 mode 1280x1024
xwayland force
default_border normal 2
default_floating_border normal 2
titlebar_border_thickness 1
titlebar_padding 5 1
font monospace 10
focus_follows_mouse no
focus_on_window_activation focus
bar {
    position top
    swaybar_command $workdir/bar
}
exec env > "\$XDG_RUNTIME_DIR/session.env"
EOF

$start_sway sway env -i PATH=/usr/bin:/bin HOME="$workdir/home" \
  XDG_RUNTIME_DIR="$workdir" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
  WLR_RENDERER=pixman "${as_user[@]}" sway -c "$workdir/sway.conf"
sway_pid=$spawned

# Up when the socket answers, the bar has taken its place and XWayland is
# known (the environment that sway hands its clients names it).
ready() {
  local socket
  socket=$(compgen -G "$workdir/sway-ipc.*.sock" | head -n1) || return 1
  [ -n "$socket" ] || return 1
  [[ "$(swaymsg -s "$socket" -t get_workspaces)" =~ \"y\":\ [1-9] ]] || return 1
  grep -q '^DISPLAY=' "$workdir/session.env" || return 1
  test -s "$workdir/bar.pid" || return 1
  SWAYSOCK=$socket
}
wait_for 60 "sway to answer on its socket, with its bar in place and XWayland named" ready
# (A test system's bar ends with its namespace.)
[ -n "$system" ] || session_adopt swaybar "$(cat "$workdir/bar.pid")"

export SWAYSOCK
PENTRAX_SWAY_PID=$(session_pid "$sway_pid")
export PENTRAX_SWAY_PID
export XDG_RUNTIME_DIR="$workdir/client"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export HOME="$workdir/home"
WAYLAND_DISPLAY=$workdir/$(sed -n 's/^WAYLAND_DISPLAY=//p' "$workdir/session.env")
DISPLAY=$(sed -n 's/^DISPLAY=//p' "$workdir/session.env")
export WAYLAND_DISPLAY DISPLAY
export PENTRAX_SWAY_CLIENT="${as_user[*]} env XDG_RUNTIME_DIR=$workdir"
if [ ${#as_user[@]} -gt 0 ]; then
  "${as_user[@]}" xhost "+si:localuser:$(id -un)" >/dev/null
fi
# Programs started here keep their settings in the session's own folder.
export XDG_CONFIG_HOME="$workdir/home/.config"
# foot 1.15 and later keep a floating window to whole character cells unless
# told otherwise; the tests give it exact sizes.
mkdir -p "$XDG_CONFIG_HOME/foot"
if dpkg --compare-versions "$(package_version foot)" ge 1.15; then
  printf '[main]\nresize-by-cells=no\n' >"$XDG_CONFIG_HOME/foot/foot.ini"
fi
# The system's own foot.
if [ -n "$system" ]; then
  mkdir "$workdir/bin"
  printf '#!/bin/sh\nexec nsenter -t %s -m -r -w -- /usr/bin/foot "$@"\n' "$(session_pid "$system_pid")" \
    >"$workdir/bin/foot"
  chmod 755 "$workdir/bin/foot"
  export PATH="$workdir/bin:$PATH"
fi

session_run "$@"
