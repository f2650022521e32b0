#!/usr/bin/env bash
# Builds Karomil in Release and starts it in the user's data folder. The shipped database is
# copied there only when the folder holds none yet: the user's own "vys.mdb" is never replaced.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${KAROMIL_BUILD_DIR:-$source_dir/build-release}"
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/karomil"

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKAROMIL_TESTS=OFF -DKAROMIL_BENCH=OFF
cmake --build "$build_dir" -j"$(nproc)" --target karomil

mkdir -p "$data_dir"
if [ ! -e "$data_dir/vys.mdb" ]; then
  cp "$build_dir/data/vys.mdb" "$data_dir/vys.mdb"
fi

# The program looks for "vys.mdb" in the current folder first.
cd "$data_dir"
exec "$build_dir/app/karomil" "$@"
