#!/usr/bin/env bash
# Installs what is missing, builds a release, prepares the workspace beside the program and
# starts the configurator. Without a display it runs the command-line tool's main job instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
bin=build/release/bin

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display found: running the command-line tool instead of the configurator."
  exec "$bin/quillmaker-cli" --help
fi
exec "$bin/Quillmaker"
