#!/usr/bin/env bash
# Installs the build tree under a fresh prefix and starts the installed program
# from another folder on a virtual display, until its main window is up.
# Usage: check-installed-program.sh <build dir>
set -euo pipefail
build=$1
for tool in xvfb-run xwininfo; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (tools/setup installs it)"; exit 1; }
done
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/korvane share/applications/korvane.desktop share/icons/hicolor/32x32/apps/korvane.png; do
  [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
program=$(readlink -f "$prefix/bin/korvane")
folder=$(dirname "$program")
for file in kvfact.ini KVHelp21/topics.map resources/app.menu libkvflashupdate.so; do
  [ -e "$folder/$file" ] || { echo "not beside the program: $file"; exit 1; }
done

# Nothing may lead the program back to the build or source tree.
unset KORVANE_SOURCE_DIR KORVANE_RESOURCES QT_QPA_PLATFORM LD_LIBRARY_PATH
export KORVANE_HOME=$home
cd "$home"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" > "$2/korvane.out" 2>&1 &
  pid=$!
  for ((tick = 0; tick < 300; ++tick)); do
    # The main frame: a top-level window titled "Korvane" at its full size.
    if xwininfo -root -children 2>/dev/null | grep -E "\"Korvane\": .* ([6-9][0-9]{2}|[0-9]{4,})x[0-9]+"; then
      kill "$pid"
      exit 0
    fi
    kill -0 "$pid" 2>/dev/null || { echo "the installed program ended:"; cat "$2/korvane.out"; exit 1; }
    sleep 0.1
  done
  echo "no main window within 30 s:"; xwininfo -root -children; cat "$2/korvane.out"
  kill "$pid"
  exit 1' check "$prefix/bin/korvane" "$home"
