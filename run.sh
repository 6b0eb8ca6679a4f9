#!/usr/bin/env bash
# Installs what is missing, builds a release, prepares the workspace beside the program and
# starts the configurator. Without a display it runs the command-line tool's main job instead:
# building the example configuration's device images and showing what they hold.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
bin="$PWD/build/release/bin"

# The workspace lives beside the program; the example is copied in once and never overwritten,
# so changes made to it in the configurator are kept.
mkdir -p "$bin/MASTER" "$bin/PROJECTS" "$bin/LANGUAGE"
if [[ ! -d "$bin/PROJECTS/Example" ]]; then
  mkdir -p "$bin/PROJECTS/Example/bin"
  cp -R examples/Example/. "$bin/PROJECTS/Example/"
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found: building the example configuration with the command-line tool instead."
  "$bin/quillmaker-cli" build "$bin/PROJECTS/Example"
  exec "$bin/quillmaker-cli" inspect "$bin/PROJECTS/Example"
fi
exec "$bin/Quillmaker"
