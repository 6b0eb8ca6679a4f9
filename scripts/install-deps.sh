#!/usr/bin/env bash
# Installs the Debian packages Quillmaker builds and tests with; does nothing when all are there.
#   --test     adds what the sanitizer and fuzz builds and the package check need
#   --windows  adds the Windows cross-build: mingw-w64, Wine, and Debian's pugixml and libcsv sources
#              (unpacked into the folder given as second argument, default build/windows-deps/src)
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n libpugixml-dev libcsv-dev libzip-dev libxlsxwriter-dev libgtest-dev libbenchmark-dev)
case "${1:-}" in
  --test) packages+=(clang libclang-rt-14-dev dpkg-dev help2man lintian) ;;
  --windows) packages+=(g++-mingw-w64-x86-64-posix wine64 googletest dpkg-dev) ;;
esac

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
need_root() {
  if [[ -n "$sudo" ]] && ! command -v sudo >/dev/null; then
    echo "install-deps: need root or sudo to $1" >&2
    exit 1
  fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  need_root "install: ${missing[*]}"
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[[ "${1:-}" == "--windows" ]] || exit 0

# pugixml and libcsv for Windows are built from Debian's own source packages of the versions
# Linux uses.
src_root="${2:-build/windows-deps/src}"
if ! compgen -G "$src_root/pugixml-*/src/pugixml.cpp" >/dev/null || ! compgen -G "$src_root/libcsv-*/libcsv.c" >/dev/null; then
  list=/etc/apt/sources.list.d/quillmaker-debian-src.sources
  if ! apt-get source --print-uris pugixml >/dev/null 2>&1; then
    need_root "enable Debian's source archive"
    # The same archive the machine installs from, as source: each "deb" entry turned "deb-src".
    {
      for f in /etc/apt/sources.list.d/*.sources; do
        [[ -f "$f" && "$f" != "$list" ]] && sed -n '/^Types:.*\bdeb\b/,/^$/p' "$f" | sed 's/^Types:.*/Types: deb-src/'
        echo
      done
    } | $sudo tee "$list" >/dev/null
    if [[ -f /etc/apt/sources.list ]] && grep -q '^deb ' /etc/apt/sources.list; then
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $sudo tee "${list%.sources}.list" >/dev/null
    fi
    $sudo apt-get update -qq
  fi
  mkdir -p "$src_root"
  # As root apt cannot hand the download to its sandbox user in a folder of ours; that is expected.
  sandbox=()
  [[ $(id -u) -eq 0 ]] && sandbox=(-o APT::Sandbox::User=root)
  for source in pugixml libcsv; do
    [[ $source == pugixml ]] && compgen -G "$src_root/pugixml-*/src/pugixml.cpp" >/dev/null && continue
    [[ $source == libcsv ]] && compgen -G "$src_root/libcsv-*/libcsv.c" >/dev/null && continue
    (cd "$src_root" && apt-get source -qq "${sandbox[@]}" "$source" >/dev/null)
  done
fi
