#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root, starts the installed program
# headless for a user without a workspace and checks that the workspace appears in the user's
# data folder, seeded with the shipped languages, and that nothing was written beside the program.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

cmake --preset release >/dev/null
cmake --build --preset release --target Quillmaker quillmaker-cli Ethernet_Update qm_report_pdf_module qm_package_docs
rm -f build/release/quillmaker_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/quillmaker_*_amd64.deb)
echo "package-check: built $deb"
dpkg-deb --field "$deb" Package Depends

# Debian's own checker: any error or warning fails the check; what it says at the information
# level, and why it stays, is in the README (Debian package).
lintian_out=$(lintian --tag-display-limit 0 "$deb" 2>&1 || true)
[[ -n "$lintian_out" ]] && echo "$lintian_out"
if grep -Eq '^(E|W): ' <<<"$lintian_out"; then
  echo "package-check: lintian reports errors or warnings" >&2
  exit 1
fi
# Each library once: no package named twice in Depends.
dupes=$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort | uniq -d)
[[ -z "$dupes" ]] || { echo "package-check: Depends names twice: $dupes" >&2; exit 1; }
for script in $(dpkg-deb --ctrl-tarfile "$deb" | tar -tf - | grep -E '(postinst|postrm|triggers)$' || true); do
  if dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - "$script" | grep -q ldconfig; then
    echo "package-check: ldconfig in $script of a package whose only library is private" >&2
    exit 1
  fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
home="$scratch/home"
mkdir -p "$home"
dpkg -x "$deb" "$root"
for f in usr/bin/quillmaker usr/bin/quillmaker-cli usr/lib/quillmaker/Quillmaker usr/lib/quillmaker/Ethernet_Update \
         usr/lib/quillmaker/modules/libqm_report_pdf.so usr/lib/quillmaker/modules/libqm_print_preview.so \
         usr/lib/quillmaker/modules/libqm_version_query.so \
         usr/lib/quillmaker/LANGUAGE/English.lng usr/lib/quillmaker/LANGUAGE/Italiano.lng \
         usr/share/applications/quillmaker.desktop usr/share/icons/hicolor/scalable/apps/quillmaker.svg \
         usr/share/doc/quillmaker/copyright usr/share/doc/quillmaker/changelog.gz \
         usr/share/man/man1/quillmaker-cli.1.gz usr/share/man/man1/quillmaker.1.gz; do
  [[ -e "$root/$f" ]] || { echo "package-check: $f missing from the package" >&2; exit 1; }
done
[[ ! -e "$root/usr/share/quillmaker/examples/Example/bin/.gitignore" ]] ||
  { echo "package-check: the example ships its .gitignore" >&2; exit 1; }
# The manual page of quillmaker-cli is its --help: every command is in it.
man_text=$(MANWIDTH=200 man -l "$root/usr/share/man/man1/quillmaker-cli.1.gz" 2>/dev/null)
for command in check build inspect import export report diff; do
  grep -q "$command" <<<"$man_text" || { echo "package-check: man quillmaker-cli lacks $command" >&2; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/quillmaker.desktop"
fi
# Every library a packaged program or module needs comes from a package the .deb depends on,
# so that the package installs and starts on a machine that has only its dependencies.
depends=$(dpkg-deb --field "$deb" Depends)
while IFS= read -r elf; do
  while IFS= read -r needed; do
    # (awk reads on to the end, so that ldconfig never writes into a closed pipe.)
    path=$(ldconfig -p | awk -v n="$needed" '$1 == n && /x86-64/ && !found {print $NF; found = 1}')
    [[ -n "$path" ]] || { echo "package-check: $elf needs $needed, which this machine lacks" >&2; exit 1; }
    owner=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null || dpkg -S "$path" 2>/dev/null || true)
    owner=${owner%%:*}
    case "$owner" in
      libc6|libgcc-s1) ;; # essential on every Debian system
      "") echo "package-check: no package owns $path ($needed of $elf)" >&2; exit 1 ;;
      *) [[ ",$depends," == *", $owner "* || ",$depends," == *",$owner "* || ",$depends," == *", $owner,"* ]] ||
           { echo "package-check: $elf needs $needed from $owner, which the package does not depend on" >&2; exit 1; } ;;
    esac
  done < <(objdump -p "$elf" | awk '$1 == "NEEDED" {print $2}')
done < <(find "$root/usr/lib/quillmaker" -maxdepth 2 -type f \( -perm -u+x -o -name '*.so' \))
echo "package-check: every library the programs need is a dependency"

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

# The first start copied the installed example into the user's PROJECTS; the installed
# command-line tool builds it.
[[ -f "$workspace/PROJECTS/Example/ParGen.xml" ]] ||
  { echo "package-check: the example was not copied into $workspace/PROJECTS" >&2; exit 1; }
"$root/usr/bin/quillmaker-cli" build "$workspace/PROJECTS/Example" >/dev/null
cmp "$workspace/PROJECTS/Example/bin/bank1.bin" tests/image/data/example_bin/bank1.bin
# The installed tool finds its PDF module.
QT_QPA_PLATFORM=offscreen "$root/usr/bin/quillmaker-cli" report "$workspace/PROJECTS/Example" -o "$scratch/report.pdf" >/dev/null
head -c 5 "$scratch/report.pdf" | grep -q '%PDF-' || { echo "package-check: the installed tool wrote no PDF" >&2; exit 1; }
echo "package-check: workspace made in the user's data folder, languages seeded, program folder untouched ($((SECONDS - start)) s)"
