# Sourced by the scripts that show windows: a private virtual display and a
# fresh Wine prefix under a work folder, both gone when the script exits.
#   source scripts/wine-display.sh; start_wine_display WIDTHxHEIGHT
# Sets work (the folder), DISPLAY and WINEPREFIX; a script that starts a
# program in the background puts its pid in run_pid so the exit ends it.
# TESSARO_DPI (default 96) is the display's DPI, as Windows' scaling sets it:
# 144 is 150 %, 192 is 200 %; the display grows with it.
dpi=${TESSARO_DPI:-96}
[[ $dpi =~ ^[0-9]+$ ]] && ((dpi >= 96 && dpi <= 480)) || {
  echo "TESSARO_DPI must be a whole number from 96 to 480" >&2
  exit 1
}

# scaled N: N pixels at 96 DPI, at the display's DPI (rounded half up).
scaled() { echo $((($1 * dpi + 48) / 96)); }

# set_wine_dpi: the DPI this Wine draws at is the current user's LogPixels.
set_wine_dpi() {
  "$root/scripts/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$dpi" /f >/dev/null 2>&1
}

start_wine_display() {
  work=$(mktemp -d /tmp/tessaro-wine-display.XXXXXX)
  export WINEPREFIX=$work/prefix
  export WINEDEBUG=${WINEDEBUG:--all}
  local n=$((150 + RANDOM % 100))
  while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
  export DISPLAY=:$n
  local size
  size=$(scaled "${1%x*}")x$(scaled "${1#*x}")
  Xvfb "$DISPLAY" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
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
  # Only when asked: at 96 the prefix stays exactly as Wine made it.
  if ((dpi != 96)); then set_wine_dpi; fi
}

stop_wine_display() {
  if [[ -n ${run_pid:-} ]]; then kill "$run_pid" >/dev/null 2>&1 || true; fi
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  rm -rf "$work"
}
