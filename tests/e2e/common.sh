# Shared by the end-to-end scripts, which source it with the program's path
# and the folder holding its textures as $1 and $2. Each script gets a fresh
# working folder with copies of the three textures; whatever the script ends
# with, the program it started is stopped and the folder removed.
set -euo pipefail

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=$(realpath "$1")
texture_dir=$(realpath "$2")
test_name=$(basename "$0" .sh)
work=$(mktemp -d)
logs=$(mktemp -d)
# Screenshots are kept beside the test run so a failure can be looked at.
shots="$PWD/e2e-output/$test_name"
rm -rf "$shots"
mkdir -p "$shots"
pid=""

cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work" "$logs"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for f in "$logs"/stdout "$logs"/stderr; do
    [ -s "$f" ] && { echo "--- program $(basename "$f"):" >&2; cat "$f" >&2; }
  done
  echo "screenshots: $shots" >&2
  exit 1
}

screen() { "$e2e_dir/screen.py" "$texture_dir" "$@"; }

cp "$texture_dir"/weirdo.pcx "$texture_dir"/brick.pcx "$texture_dir"/brickd.pcx "$work"/

# Names and checksums of the working folder: the program must write nothing.
folder_state() { (cd "$work" && find . -mindepth 1 -printf '%p\n' | sort | xargs -r md5sum); }

expect_folder_unchanged() {
  [ "$(folder_state)" = "$1" ] || fail "the program changed its working folder: $(ls -A "$work")"
}

start_program() {
  (cd "$work" && exec "$program" >"$logs/stdout" 2>"$logs/stderr") &
  pid=$!
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Polls until the program has ended, for at most $1 seconds; sets $status.
wait_for_exit() {
  local deadline=$(($(now_ms) + $1 * 1000))
  while kill -0 "$pid" 2>/dev/null && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.05; done
  kill -0 "$pid" 2>/dev/null && fail "the program was still running after $1 s"
  status=0
  wait "$pid" || status=$?
  pid=""
}

take_screenshot() {
  xwd -root -silent | convert xwd:- "$shots/$1.png"
  echo "$shots/$1.png"
}

# Waits for the window, then for the first drawn frame (the ceiling colour
# above the horizon), for at most 10 s: a loaded machine starts slowly.
# Prints the screenshot that showed it.
wait_for_view() {
  local deadline=$(($(now_ms) + 10000)) shot i=0
  until xdotool search --class allegro >/dev/null; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "no window of class allegro appeared within 10 s"
    sleep 0.05
  done
  while [ "$(now_ms)" -lt "$deadline" ]; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before drawing a frame"
    i=$((i + 1))
    shot=$(take_screenshot "view-$i")
    screen drawn "$shot" && { echo "$shot"; return; }
    sleep 0.05
  done
  fail "no frame with the ceiling colour appeared within 10 s"
}

# The program reads held keys from its key array, which a tap of about 12 ms
# can slip past: hold each key for a real moment.
hold_key() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}
