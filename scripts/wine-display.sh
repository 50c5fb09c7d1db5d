# Sourced by the scripts that show windows: a private virtual display and a
# fresh Wine prefix under a work folder, both gone when the script exits.
#   source scripts/wine-display.sh; start_wine_display WIDTHxHEIGHT
# Sets work (the folder), DISPLAY and WINEPREFIX; a script that starts a
# program in the background puts its pid in run_pid so the exit ends it.
start_wine_display() {
  work=$(mktemp -d /tmp/tessaro-wine-display.XXXXXX)
  export WINEPREFIX=$work/prefix
  export WINEDEBUG=${WINEDEBUG:--all}
  local n=$((150 + RANDOM % 100))
  while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
  export DISPLAY=:$n
  Xvfb "$DISPLAY" -screen 0 "${1}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  run_pid=
  trap stop_wine_display EXIT
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  # Without a window manager, Wine would wait for one whenever a window goes.
  "$root/scripts/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1
}

stop_wine_display() {
  if [[ -n ${run_pid:-} ]]; then kill "$run_pid" >/dev/null 2>&1 || true; fi
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  rm -rf "$work"
}
