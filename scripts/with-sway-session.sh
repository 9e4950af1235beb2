#!/usr/bin/env bash
# Runs a command in a private headless sway session: one 1280 x 1024 output,
# a bar at the top (so the work area is smaller than the output), XWayland.
# Everything started here is stopped again when the command ends.
#
#   scripts/with-sway-session.sh [--] COMMAND [ARGS...]
#
# sway refuses to run as root: under root, sway runs as the unprivileged
# uid 65534. The command itself runs as the caller, with SWAYSOCK,
# WAYLAND_DISPLAY, DISPLAY (XWayland), XDG_RUNTIME_DIR, PENTRAX_SWAY_PID
# (sway's process) and PENTRAX_SWAY_CLIENT
# (the words to put before a client's command line so that it runs as the
# session's user; empty when that is the caller). Clients may run as either:
# XWayland lets the caller in too.
set -euo pipefail

[ "${1:-}" = "--" ] && shift
[ $# -gt 0 ] || { echo "usage: $0 COMMAND..." >&2; exit 2; }

workdir=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-sway.XXXXXX")
chmod 700 "$workdir"
mkdir "$workdir/home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$workdir"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

sway_pid=""
cleanup() {
  if [ -n "$sway_pid" ]; then
    kill "$sway_pid" 2>/dev/null || true
    wait "$sway_pid" 2>/dev/null || true
  fi
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cat >"$workdir/sway.conf" <<'EOF'
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
    status_command echo pentrax
}
exec env > "$XDG_RUNTIME_DIR/session.env"
EOF

env -i PATH=/usr/bin:/bin HOME="$workdir/home" XDG_RUNTIME_DIR="$workdir" \
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  "${as_user[@]}" sway -c "$workdir/sway.conf" >"$workdir/sway.log" 2>&1 &
sway_pid=$!

# Up when the socket answers, the bar has taken its place and XWayland is
# known (the environment that sway hands its clients names it).
ready() {
  local socket
  socket=$(ls "$workdir"/sway-ipc.*.sock 2>/dev/null | head -n1) || return 1
  [ -n "$socket" ] || return 1
  swaymsg -s "$socket" -t get_workspaces 2>/dev/null | grep -q '"y": [1-9]' || return 1
  grep -q '^DISPLAY=' "$workdir/session.env" 2>/dev/null || return 1
  SWAYSOCK=$socket
}
for _ in $(seq 400); do
  ready && break
  kill -0 "$sway_pid" 2>/dev/null || break
  sleep 0.025
done
if [ -z "${SWAYSOCK:-}" ] || ! ready; then
  cat "$workdir/sway.log" >&2
  echo "sway did not start" >&2
  exit 1
fi

export SWAYSOCK PENTRAX_SWAY_PID=$sway_pid
export XDG_RUNTIME_DIR="$workdir"
export HOME="$workdir/home"
export WAYLAND_DISPLAY=$(sed -n 's/^WAYLAND_DISPLAY=//p' "$workdir/session.env")
export DISPLAY=$(sed -n 's/^DISPLAY=//p' "$workdir/session.env")
export PENTRAX_SWAY_CLIENT="${as_user[*]}"
if [ ${#as_user[@]} -gt 0 ]; then
  "${as_user[@]}" xhost "+si:localuser:$(id -un)" >/dev/null
fi
# Programs started here keep their settings in the session's own folder.
export XDG_CONFIG_HOME="$workdir/home/.config"

status=0
"$@" || status=$?
exit "$status"
