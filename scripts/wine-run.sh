#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, quietly and without
# questions. The prefix is $WINEPREFIX when set (scripts/test-windows.sh
# prepares one), else a new temporary one.
set -euo pipefail
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/pentrax-wine.XXXXXX")
  export WINEPREFIX
  trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
fi
wine "$@"
