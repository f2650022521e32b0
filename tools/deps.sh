#!/usr/bin/env bash
# The one list of Debian packages Karomil needs to build, test and run, and the routine that
# installs the missing ones. Sourced by tools/run.sh, tools/test.sh and .ci/run.

KAROMIL_PACKAGES=(
  build-essential cmake ccache pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev libsqlite3-dev sqlite3 zlib1g-dev libjpeg62-turbo-dev
  libxlsxwriter-dev libcups2-dev
  cups-daemon cups-client cups-core-drivers poppler-utils qpdf mupdf-tools ghostscript python3-openpyxl python3-pil
  fonts-liberation2 fonts-dejavu-core
)
# The fuzz harnesses (tools/fuzz.sh, run by CI) need clang with libFuzzer and the symbolizer.
KAROMIL_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev llvm-14)
# The convention checks of tools/check_conventions.sh (run by CI) need the formatter and git.
KAROMIL_CHECK_PACKAGES=(clang-format git python3)

# karomil_ensure_packages [extra package ...]: installs what is missing of the list and the
# extras, as root through apt-get, otherwise through sudo; when neither can be used it prints
# the exact command and fails.
karomil_ensure_packages() {
  local missing=() p
  local wanted=("${KAROMIL_PACKAGES[@]}" "$@")
  if ! command -v dpkg-query >/dev/null 2>&1; then
    echo "karomil: not a Debian system; install the equivalents of: ${wanted[*]}" >&2
    return 0
  fi
  for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "karomil: installing ${missing[*]}" >&2
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      sudo=(sudo)
    else
      echo "karomil: missing packages; run as root:" >&2
      echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
      return 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq &&
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || {
      echo "karomil: installing failed; run:" >&2
      echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
      return 1
    }
}
