#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz with clang in a build tree of their own and runs
# each for a bounded time on its seed corpus, two at a time. Fails when a harness finds a crash,
# a leak, a slow input (timeout) or an out-of-memory; the log then shows the report and the
# input that caused it, in base64 and in hex.
#
#   tools/fuzz.sh [harness ...]        all harnesses when none is named
#
# Installs what is missing: the packages of tools/deps.sh and its fuzz list (clang-14,
# libclang-rt-14-dev for libFuzzer and the sanitizer runtimes, llvm-14 for the symbolizer).
#   KAROMIL_FUZZ_SECONDS   time per harness (default 25)
#   KAROMIL_FUZZ_JOBS      harnesses run at once (default 2)
#   KAROMIL_FUZZ_BUILD_DIR build tree (default build-fuzz)
#
# New inputs a run finds stay in the build tree (build-fuzz/fuzz-out/<harness>/corpus); the
# seed corpus in tests/fuzz/corpus is only read.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
karomil_ensure_packages "${KAROMIL_FUZZ_PACKAGES[@]}"
seconds=${KAROMIL_FUZZ_SECONDS:-25}
jobs=${KAROMIL_FUZZ_JOBS:-2}
build=${KAROMIL_FUZZ_BUILD_DIR:-build-fuzz}
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

# harness, dictionary (or -), longest input, extra options. The registry keeps one store per
# file for the process, so every input of its harness leaves a (small) entry behind: the leak
# check after each input would run every time and is left to the one at exit.
harnesses=(
  "fuzz_script_pascal pascal 8192"
  "fuzz_script_cpp cpp 8192"
  "fuzz_script_basic basic 8192"
  "fuzz_script_jscript jscript 8192"
  "fuzz_script_run pascal 4096"
  "fuzz_dao_criteria criteria 8192"
  "fuzz_ini ini 4096"
  "fuzz_registry ini 4096 -detect_leaks=0"
  "fuzz_filer - 4096"
  "fuzz_xml xml 8192"
  "fuzz_props xml 4096"
  "fuzz_fr3 xml 8192"
  "fuzz_fs3 xml 8192"
  "fuzz_fp3 xml 8192"
  "fuzz_picture - 8192"
)
if [ $# -gt 0 ]; then
  chosen=()
  for want in "$@"; do
    found=
    for h in "${harnesses[@]}"; do [ "${h%% *}" = "$want" ] && chosen+=("$h") && found=1; done
    [ -n "$found" ] || { echo "fuzz: no harness $want" >&2; exit 2; }
  done
  harnesses=("${chosen[@]}")
fi

started=$(date +%s)
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAROMIL_FUZZ=ON >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("${h%% *}"); done
if ! cmake --build "$build" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target "${targets[@]}" >"$build/fuzz-build.log" 2>&1; then
  tail -n 60 "$build/fuzz-build.log" >&2
  exit 1
fi
built=$(date +%s)
echo "fuzz: harnesses built in $((built - started)) s; ${seconds} s each, ${jobs} at a time"

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Stack traces with file and line.
if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ] && [ -x /usr/bin/llvm-symbolizer-14 ]; then
  export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi

# run_one "harness dict maxlen": runs it, prints one line of figures, returns its status.
run_one() {
  local name dict maxlen extra out args status
  read -r name dict maxlen extra <<<"$1"
  out="$build/fuzz-out/$name"
  rm -rf "$out"
  mkdir -p "$out/corpus"
  args=(-max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024
    -artifact_prefix="$out/" -print_final_stats=1)
  [ "$dict" = - ] || args+=(-dict="tests/fuzz/dict/$dict.dict")
  [ -z "$extra" ] || args+=($extra)
  status=0
  "$build/tests/fuzz/$name" "${args[@]}" "$out/corpus" "tests/fuzz/corpus/$name" >"$out/log" 2>&1 || status=$?
  local runs cov
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/log" | tail -n 1)
  cov=$(grep -o 'cov: [0-9]*' "$out/log" | tail -n 1 | cut -d' ' -f2)
  if [ "$status" -eq 0 ]; then
    printf 'fuzz: %-22s ok      %9s runs  cov %s\n' "$name" "${runs:-?}" "${cov:-?}"
    return 0
  fi
  printf 'fuzz: %-22s FAILED  (exit %s)\n' "$name" "$status"
  {
    echo "----- $name: end of the log"
    tail -n 80 "$out/log"
    local f
    for f in "$out"/crash-* "$out"/leak-* "$out"/timeout-* "$out"/oom-* "$out"/slow-unit-*; do
      [ -e "$f" ] || continue
      echo "----- $name: input $(basename "$f") ($(stat -c %s "$f") bytes), base64:"
      base64 -w 76 "$f"
      echo "----- hex:"
      od -An -tx1 -v "$f" | head -n 64
    done
  }
  return "$status"
}

mkdir -p "$build/fuzz-out"
rm -f "$build"/fuzz-out/*.status
for h in "${harnesses[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  (
    s=0
    run_one "$h" || s=$?
    echo "$s" >"$build/fuzz-out/${h%% *}.status"
  ) &
done
wait
failed=0
for h in "${harnesses[@]}"; do
  [ "$(cat "$build/fuzz-out/${h%% *}.status" 2>/dev/null)" = 0 ] || failed=$((failed + 1))
done
echo "fuzz: stage took $(($(date +%s) - started)) s"
if [ "$failed" -gt 0 ]; then
  echo "fuzz: $failed harness(es) failed" >&2
  exit 1
fi
