#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root, starts the installed program
# headless for a user without a workspace and checks that the workspace appears in the user's
# data folder, seeded with the shipped languages, and that nothing was written beside the program.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

cmake --preset release >/dev/null
cmake --build --preset release --target Quillmaker quillmaker-cli Ethernet_Update
rm -f build/release/quillmaker_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/quillmaker_*_amd64.deb)
echo "package-check: built $deb"
dpkg-deb --field "$deb" Package Depends

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
home="$scratch/home"
mkdir -p "$home"
dpkg -x "$deb" "$root"
for f in usr/bin/quillmaker usr/bin/quillmaker-cli usr/lib/quillmaker/Quillmaker usr/lib/quillmaker/Ethernet_Update \
         usr/lib/quillmaker/LANGUAGE/English.lng usr/lib/quillmaker/LANGUAGE/Italiano.lng \
         usr/share/applications/quillmaker.desktop usr/share/icons/hicolor/scalable/apps/quillmaker.svg; do
  [[ -e "$root/$f" ]] || { echo "package-check: $f missing from the package" >&2; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/quillmaker.desktop"
fi
before=$(cd "$root" && find . | sort)

# A user as on a fresh machine: no XDG_DATA_HOME, nothing in the home folder, no display.
workspace="$home/.local/share/Quillmaker"
(
  unset XDG_DATA_HOME DISPLAY WAYLAND_DISPLAY
  export HOME="$home" QT_QPA_PLATFORM=offscreen
  "$root/usr/bin/quillmaker" </dev/null >"$scratch/program.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 200); do
    [[ -f "$workspace/LANGUAGE/Italiano.lng" && -x "$workspace/Ethernet_Update" ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  sleep 1
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "package-check: the installed program ended by itself:" >&2
    cat "$scratch/program.log" >&2
    exit 1
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
)
for d in MASTER PROJECTS LANGUAGE; do
  [[ -d "$workspace/$d" ]] || { echo "package-check: $workspace/$d was not made" >&2; exit 1; }
done
cmp "$workspace/LANGUAGE/English.lng" LANGUAGE/English.lng
cmp "$workspace/LANGUAGE/Italiano.lng" LANGUAGE/Italiano.lng
after=$(cd "$root" && find . | sort)
[[ "$before" == "$after" ]] || { echo "package-check: the program wrote beside itself:" >&2; diff <(echo "$before") <(echo "$after") >&2; exit 1; }

# The installed command-line tool on the installed example.
cp -R "$root/usr/share/quillmaker/examples/Example" "$workspace/PROJECTS/Example"
"$root/usr/bin/quillmaker-cli" build "$workspace/PROJECTS/Example" >/dev/null
cmp "$workspace/PROJECTS/Example/bin/bank1.bin" tests/image/data/example_bin/bank1.bin
echo "package-check: workspace made in the user's data folder, languages seeded, program folder untouched ($((SECONDS - start)) s)"
