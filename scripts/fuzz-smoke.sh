#!/usr/bin/env bash
# Builds the fuzz targets (clang, ASan, UBSan) and runs each one for a short time from its seeds
# in fuzz/corpus/<target>. Exits non-zero when any target finds a crash, leak, hang or broken rule;
# the input that did it is left in build/fuzz/artifacts/<target>/.
#
#   scripts/fuzz-smoke.sh [seconds per target, default 15] [target ...]
#
# Longer runs: give more seconds, or run a target by hand as docs/RELIABILITY.md shows.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-15}"
shift || true
all_targets=(fuzz_conversions fuzz_language_file fuzz_settings fuzz_par_gen fuzz_s7_protocol
             fuzz_iec61850_variables fuzz_tls_known_cert fuzz_table_import fuzz_build fuzz_inspect fuzz_echo_reply
             fuzz_tag_table_xml fuzz_symbol_table fuzz_db_source fuzz_xlsx_workbook fuzz_tag_table_xlsx)
if [[ $# -gt 0 ]]; then targets=("$@"); else targets=("${all_targets[@]}"); fi

command -v clang++ >/dev/null || { echo "fuzz-smoke: clang++ is needed (apt install clang libclang-rt-dev)" >&2; exit 2; }
if [[ ! -f build/fuzz/build.ninja ]]; then
  cmake --preset fuzz >/dev/null
fi
cmake --build build/fuzz -j2 --target "${targets[@]}"

dict_of() {
  case "$1" in
    fuzz_language_file) echo fuzz/dict/language.dict ;;
    fuzz_tag_table_xml|fuzz_symbol_table|fuzz_db_source) echo fuzz/dict/plc_tags.dict ;;
    fuzz_conversions|fuzz_inspect|fuzz_echo_reply|fuzz_table_import|fuzz_xlsx_workbook|fuzz_tag_table_xlsx) echo "" ;;
    *) echo fuzz/dict/project_files.dict ;;
  esac
}
max_len_of() {
  case "$1" in
    fuzz_inspect) echo 32768 ;;  # a whole bank2.bin is 28672 bytes
    fuzz_build) echo 16384 ;;
    fuzz_xlsx_workbook|fuzz_tag_table_xlsx) echo 16384 ;; # a small workbook is 5 KB of zip
    *) echo 8192 ;;
  esac
}

failed=()
summary=()
for t in "${targets[@]}"; do
  work=$(mktemp -d)
  artifacts="build/fuzz/artifacts/$t"
  mkdir -p "$artifacts"
  dict=$(dict_of "$t")
  log="build/fuzz/artifacts/$t.log"
  # New inputs go to the scratch folder: the checked-in seeds stay as they are.
  if build/fuzz/fuzz/"$t" "$work" "fuzz/corpus/$t" \
       -max_total_time="$seconds" -max_len="$(max_len_of "$t")" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$artifacts/" -print_final_stats=1 ${dict:+-dict="$dict"} >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo "?")
    summary+=("$t: ok, $runs runs, coverage $cov edges")
  else
    failed+=("$t")
    summary+=("$t: FAILED, see $log and $artifacts/")
  fi
  rm -rf "$work"
done

printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz-smoke: failures in ${failed[*]}" >&2
  exit 1
fi
