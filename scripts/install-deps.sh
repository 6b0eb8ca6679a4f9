#!/usr/bin/env bash
# Installs the Debian packages Quillmaker builds and tests with; does nothing when all are there.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libpugixml-dev libcsv-dev libgtest-dev libbenchmark-dev)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
