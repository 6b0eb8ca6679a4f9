# Helpers to drive Quillmaker by mouse and keyboard under Xvfb, as a user would.
# Source this file from a script that runs inside xvfb-run (DISPLAY set), e.g.
#   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/drive/first_run.sh build/e2e/bin
# No window manager runs, so windows are found by title and focused explicitly.

set -euo pipefail

: "${DRIVE_SHOTS:=${TMPDIR:-/tmp}/quillmaker-shots}"
mkdir -p "$DRIVE_SHOTS"
DRIVE_PID=""

# Copies the built program folder (the program, the update tool stand-in, LANGUAGE) into a fresh
# temporary folder and prints that folder; LANGUAGE is left out with "bare".
drive_prepare() {
  local bin_dir=$1 mode=${2:-full} work
  work=$(mktemp -d "${TMPDIR:-/tmp}/quillmaker-drive.XXXXXX")
  cp "$bin_dir/Quillmaker" "$work/"
  [[ -x "$bin_dir/Ethernet_Update" ]] && cp "$bin_dir/Ethernet_Update" "$work/"
  if [[ "$mode" == full && -d "$bin_dir/LANGUAGE" ]]; then
    cp -r "$bin_dir/LANGUAGE" "$work/"
  fi
  echo "$work"
}

# Starts the program in its folder and waits for the main window.
drive_start() {
  local work=$1
  (cd "$work" && ASAN_OPTIONS=detect_leaks=0 exec ./Quillmaker >"$work/stdout.log" 2>"$work/stderr.log") &
  DRIVE_PID=$!
  drive_wait_window "Configurator CF39174" 30 >/dev/null
}

# Waits until the program has ended; fails after the given seconds.
drive_wait_exit() {
  local seconds=${1:-15} i
  for ((i = 0; i < seconds * 10; i++)); do
    kill -0 "$DRIVE_PID" 2>/dev/null || { wait "$DRIVE_PID" || true; return 0; }
    sleep 0.1
  done
  echo "drive: program still running after ${seconds}s" >&2
  return 1
}

# Prints the id of the last visible window whose title contains the text, waiting for it.
drive_wait_window() {
  local title=$1 seconds=${2:-10} i id
  for ((i = 0; i < seconds * 10; i++)); do
    id=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | tail -n 1 || true)
    if [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "drive: no window titled '$title' after ${seconds}s" >&2
  return 1
}

# Waits until no visible window with that title is left.
drive_wait_gone() {
  local title=$1 seconds=${2:-10} i
  for ((i = 0; i < seconds * 10; i++)); do
    xdotool search --onlyvisible --name "$title" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "drive: window '$title' still open after ${seconds}s" >&2
  return 1
}

# Gives the window the keyboard focus (there is no window manager to do it).
drive_focus() {
  xdotool windowraise "$1" windowfocus --sync "$1"
  sleep 0.2
}

# Clicks at x,y inside the window's client area.
drive_click() {
  local id=$1 x=$2 y=$3
  drive_focus "$id"
  xdotool mousemove --window "$id" "$x" "$y" click 1
  sleep 0.4
}

# Types text into the focused control of the window.
drive_type() {
  local id=$1 text=$2
  drive_focus "$id"
  xdotool type --delay 40 -- "$text"
  sleep 0.2
}

# Presses keys (xdotool names: Return, Tab, ctrl+a, ...) in the window.
drive_key() {
  local id=$1
  shift
  drive_focus "$id"
  xdotool key --delay 60 "$@"
  sleep 0.3
}

# Saves a screenshot of the whole screen as $DRIVE_SHOTS/<name>.png.
drive_shot() {
  import -window root "$DRIVE_SHOTS/$1.png"
}

# The message box shown by the program: its title is the program's name.
drive_message_box() {
  drive_wait_window "^Quillmaker$" "${1:-10}"
}

# Ends the program if it is still running (only the process this script started).
drive_stop() {
  if [[ -n "$DRIVE_PID" ]] && kill -0 "$DRIVE_PID" 2>/dev/null; then
    kill "$DRIVE_PID" || true
    wait "$DRIVE_PID" || true
  fi
}
