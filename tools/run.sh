#!/usr/bin/env bash
# Installs what is missing, builds Karomil in Release and starts it in the user's data folder.
# The shipped database is copied there only when the folder holds none yet: the user's own
# "vys.mdb" is never replaced. When nothing changed the build is a quick check and the program
# starts at once.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${KAROMIL_BUILD_DIR:-$source_dir/build-release}"
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/karomil"

source "$source_dir/tools/deps.sh"
karomil_ensure_packages

mkdir -p "$build_dir"
log="$build_dir/build.log"
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKAROMIL_TESTS=OFF \
    -DKAROMIL_BENCH=OFF >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
fi
# Progress on one line; the compiler's own output goes to the log and is shown on failure.
if ! cmake --build "$build_dir" -j"$(nproc)" --target karomil 2>&1 | tee "$log" |
  awk '/^\[ *[0-9]+%\]/ { printf "\rBuilding Karomil %s", $1 $2; fflush() } END { if (NR) printf "\r" }'
then
  echo "Build failed; the last lines of $log:" >&2
  tail -n 40 "$log" >&2
  exit 1
fi

mkdir -p "$data_dir"
if [ ! -e "$data_dir/vys.mdb" ]; then
  cp "$build_dir/data/vys.mdb" "$data_dir/vys.mdb"
fi

# The program looks for "vys.mdb" in the current folder first.
cd "$data_dir"
exec "$build_dir/app/karomil" "$@"
