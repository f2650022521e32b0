#!/usr/bin/env bash
# The conventions of ARCHITECTURE.md that a machine can check, as a gate run by CI before the
# build: include arrows that never point up, Qt only under platform/, no kind checks by class
# name in the report library, the report core's include cycles kept small, the link gate's own
# self-test, and the one code style. Prints every breach and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
karomil_ensure_packages "${KAROMIL_CHECK_PACKAGES[@]}"

failed=0
breach() {
  echo "conventions: $1" >&2
  failed=1
}

# never RULE FOLDER... -- PATTERN: no #include matching PATTERN in the library code of FOLDERs.
never() {
  local what=$1 pattern=$2
  shift 2
  local hits
  hits=$(git grep -n -E "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" -- "$@" || true)
  if [ -n "$hits" ]; then
    breach "$what:"
    echo "$hits" >&2
  fi
}

never "platform/ includes nothing of the project above it" 'dao/|lookup/|script/|report/|grid/|app/' platform
never "database access includes no controls, scripts or reports" 'lookup/|script/|report/|grid/|app/' dao
never "the lookup controls include no reports, grid or application" 'report/|grid/|app/|script/' lookup
never "the script engine includes no reports, grid or application" 'report/|grid/|app/|lookup/|dao/' script
never "the report library includes no grid, lookup or application" 'grid/|app/|lookup/|dao/' report
never "the report core includes neither its output nor its designer" 'report/output/|report/designer/' report/core
never "the report output includes no designer" 'report/designer/' report/output
never "the grid includes no reports, lookup, database access or application" \
  'report/|app/|lookup/|dao/|script/' grid
never "the grid editors include no tree list or data-aware grid" 'grid/treelist/|grid/dbgrid/' grid/editors
never "the tree list includes no data-aware grid" 'grid/dbgrid/' grid/treelist
never "Qt headers appear only under platform/" 'Q[A-Za-z]*(/|>)' dao lookup script report grid app

# The report model asks its objects what they are through typed hooks, never by class name.
hits=$(git grep -n -E 'IsA\([^,]+, *"T|InheritsFromName\(' -- report || true)
if [ -n "$hits" ]; then
  breach "kind checks by class name in the report library:"
  echo "$hits" >&2
fi

# The report core's include graph stays untied: no cycle of more than four files.
python3 tools/include_cycles.py --max 4 report/core || breach "an include cycle in report/core is too large"

# The link gate refuses an upward link: a two-library project that breaks a rule must not
# configure.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
cat >"$probe/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(probe LANGUAGES NONE)
include("$PWD/cmake/Karomil.cmake")
add_library(low INTERFACE)
add_library(middle INTERFACE)
add_library(high INTERFACE)
target_link_libraries(middle INTERFACE high)
target_link_libraries(low INTERFACE middle)
karomil_forbid(low LINKS high REASON "probe")
CMAKE
if cmake -S "$probe" -B "$probe/build" >/dev/null 2>&1; then
  breach "karomil_forbid let an upward link through"
fi

# One style: the root .clang-format.
if ! git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror 2>/tmp/karomil-format.log; then
  breach "files differ from .clang-format (run clang-format -i on them):"
  grep -o '^[^:]*:[0-9]*:[0-9]*: error' /tmp/karomil-format.log | cut -d: -f1 | sort -u >&2
fi

if [ "$failed" -ne 0 ]; then
  echo "conventions: FAILED" >&2
  exit 1
fi
echo "conventions: all kept"
