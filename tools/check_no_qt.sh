#!/usr/bin/env bash
# Qt stays inside platform/: fails when an object file of a module above the platform layer
# (report/, lookup/, app/, dao/, script/, grid/) was compiled with a header from a Qt include
# directory, directly or through any header in between. It reads what the compiler recorded:
# the make build's dependency files (*.o.d) or, in a Ninja build, `ninja -t deps`.
#
#   tools/check_no_qt.sh [build-dir]        (default: build)
#   tools/check_no_qt.sh --count [build-dir]  prints, per module folder, how many files reach Qt
#                                             and exits 0 (for measuring, not gating)
#
# Run it after a build; a build dir without dependency data is an error, never a pass.
set -euo pipefail
cd "$(dirname "$0")/.."

count_only=0
if [[ ${1:-} == --count ]]; then
    count_only=1
    shift
fi
build=${1:-build}
modules='^(report|lookup|app|dao|script|grid)/'

[[ -d $build ]] || {
    echo "check_no_qt: no build directory '$build'" >&2
    exit 2
}
build=$(cd "$build" && pwd)

# The Qt include directories the build uses, from its compile commands: every -I/-isystem
# directory named Qt<Module> or lying under a qt5/qt6 folder, and the folder holding them.
qt_dirs=()
if [[ -f $build/compile_commands.json ]]; then
    while IFS= read -r d; do
        [[ -n $d ]] && qt_dirs+=("${d%/}/")
    done < <(grep -oE -- '-(I|isystem) ?[^ "]+' "$build/compile_commands.json" |
        sed -E 's/^-(I|isystem) ?//' | grep -E '(/qt[56]/|/qt[56]$|/Qt[A-Z][A-Za-z]*/?$)' |
        sed -E 's#/(Qt[A-Z][A-Za-z]*)/?$##' | sort -u)
fi
# Without compile commands (or when Qt sits in an unusual place), a path through a Qt module
# folder still counts.
is_qt() {
    local p=$1 d
    for d in "${qt_dirs[@]}"; do
        [[ $p == "$d"* ]] && return 0
    done
    [[ $p =~ /Qt(Core|Gui|Widgets|PrintSupport|Network|Svg|Xml|Sql|Test|Concurrent|DBus|OpenGL)/ ]]
}

# Prints "object<TAB>dependency" for every object of the modules above platform/.
list_deps() {
    if [[ -f $build/build.ninja ]]; then
        (cd "$build" && ninja -t deps) | awk -v re="$modules" '
            /^[^ \t].*: #deps/ { obj = $1; sub(/:$/, "", obj); keep = (obj ~ re); next }
            keep && NF { gsub(/^[ \t]+/, ""); print obj "\t" $0 }'
    else
        local f rel src
        while IFS= read -r -d '' f; do
            rel=${f#"$build"/}
            [[ $rel =~ $modules ]] || continue
            # An object left behind by a source that is gone says nothing about the code.
            src=${rel%%/CMakeFiles/*}/${rel#*.dir/}
            [[ -f ${src%.o.d} ]] || continue
            # A make-style rule: "target: dep dep \" over several lines.
            tr -s ' \\\n' '\n' <"$f" | tail -n +2 | sed '/^$/d' | sed "s#^#${rel%.d}\t#"
        done < <(find "$build" -name '*.o.d' -print0)
    fi
}

# The compiler lists headers in the order it first opens them, so the last of our own headers
# before the first Qt one is the header that brought Qt in.
declare -A reaches=() total=() via=()
found=0
while IFS=$'\t' read -r obj dep; do
    total[$obj]=1
    [[ -n ${reaches[$obj]:-} ]] && continue
    if is_qt "$dep"; then
        reaches[$obj]="$dep (through ${via[$obj]:-the source itself})"
    elif [[ $dep != /usr/* && $dep != *.cpp ]]; then
        via[$obj]=${dep#"$PWD"/}
    fi
done < <(list_deps)

if ((${#total[@]} == 0)); then
    echo "check_no_qt: no dependency data for report/, lookup/, app/, dao/, script/ in $build (build first)" >&2
    exit 2
fi

if ((count_only)); then
    # module folder = the object's path up to its CMakeFiles folder
    declare -A all=() qt=()
    for obj in "${!total[@]}"; do
        m=${obj%%/CMakeFiles/*}
        all[$m]=$((${all[$m]:-0} + 1))
        [[ -n ${reaches[$obj]:-} ]] && qt[$m]=$((${qt[$m]:-0} + 1))
    done
    for m in $(printf '%s\n' "${!all[@]}" | sort); do
        printf '%-20s %3d of %3d files compile a Qt header\n' "$m" "${qt[$m]:-0}" "${all[$m]}"
    done
    exit 0
fi

for obj in $(printf '%s\n' "${!reaches[@]}" | sort); do
    echo "$obj reaches Qt: ${reaches[$obj]}"
    found=1
done
if ((found)); then
    echo "check_no_qt: files above platform/ compile Qt headers (Qt belongs in platform/'s sources and private headers)" >&2
    exit 1
fi
echo "check_no_qt: ${#total[@]} files of report/, lookup/, app/, dao/, script/, grid/ compile no Qt header"
