#!/usr/bin/env bash
# The fuzzing campaign: runs every fuzz target for a given time from the corpus kept in the
# repository, then adds to that corpus the inputs found that reach code it did not reach
# (libFuzzer's -merge=1), keeping each target's corpus within a size budget. Not part of the
# test suite, whose fuzz tests run for seconds and never write to the repository.
#
#   tests/campaigns/fuzz.sh [SECONDS_PER_TARGET] [BUILD_FOLDER]
#       (defaults: 600 seconds, build/release; the build must have found clang's libFuzzer)
#
# Targets are those that tests/fuzz/CMakeLists.txt declares with wintarvo_add_fuzzer, with their
# CORPUS folders, and any other fuzz target built into BUILD_FOLDER/tests/fuzz/bin (its corpus
# then is tests/fuzz/corpus/NAME without "_fuzz"). WINTARVO_FUZZ_BUDGET_KB (default 150) is each
# corpus's budget. A crash, leak, time-out or memory blow-up is kept, with the run's log, in
# BUILD_FOLDER/campaigns/fuzz/ and makes the exit status 1. Prints one line per target: the
# executions, the coverage reached, and the corpus before and after.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
seconds="${1:-600}"
build="$(cd "${2:-$root/build/release}" && pwd)" || exit 2
budget_kb="${WINTARVO_FUZZ_BUDGET_KB:-150}"
fuzz_src="$root/tests/fuzz"
bin="$build/tests/fuzz/bin"
out="$build/campaigns/fuzz"
case $seconds in
    '' | *[!0-9]*) echo "usage: $0 [SECONDS_PER_TARGET] [BUILD_FOLDER]" >&2; exit 2 ;;
esac

# "name corpus-folder" for every wintarvo_add_fuzzer(...) call, comments left out.
declared="$(sed 's/#.*//' "$fuzz_src/CMakeLists.txt" | tr '\n' ' ' |
    grep -oE 'wintarvo_add_fuzzer\([a-z0-9_]+[^)]*' |
    sed -nE 's/^wintarvo_add_fuzzer\(([a-z0-9_]+) .*CORPUS +([^ ]+).*/\1 \2/p')"
if [ -z "$declared" ]; then
    echo "no fuzz targets declared in $fuzz_src/CMakeLists.txt" >&2
    exit 2
fi
while read -r name _; do
    cmake --build "$build" --target "$name" >/dev/null ||
        { echo "cannot build fuzz target $name in $build (no clang libFuzzer?)" >&2; exit 2; }
done <<<"$declared"
for exe in "$bin"/*; do
    name="$(basename "$exe")"
    [ -x "$exe" ] && ! grep -q "^$name " <<<"$declared" &&
        declared+=$'\n'"$name corpus/${name%_fuzz}"
done

work="$(mktemp -d /tmp/wintarvo-fuzz-campaign-XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

kib() { find "$1" -type f -printf '%s\n' | awk '{s += $1} END {print int((s + 1023) / 1024)}'; }
files() { find "$1" -type f | wc -l; }
# libFuzzer names the inputs it adds by their SHA-1; the hand-written seeds have other names.
is_found() { [[ $(basename "$1") =~ ^[0-9a-f]{40}$ ]]; }

# Shrinks an over-budget corpus: first to the smallest inputs that keep its coverage, then, if
# that is still too large, by dropping the largest found inputs. Seeds always stay.
prune() {
    local exe=$1 corpus=$2 min="$work/min" f
    [ "$(kib "$corpus")" -le "$budget_kb" ] && return
    rm -rf "$min" && mkdir "$min"
    "$exe" -merge=1 "$min" "$corpus" >>"$work/merge.log" 2>&1 || return
    for f in "$corpus"/*; do
        is_found "$f" && [ ! -e "$min/$(basename "$f")" ] && rm -f "$f"
    done
    while [ "$(kib "$corpus")" -gt "$budget_kb" ]; do
        f="$(find "$corpus" -type f -regextype egrep -regex '.*/[0-9a-f]{40}' -printf '%s %p\n' |
            sort -rn | head -1 | cut -d' ' -f2-)"
        [ -n "$f" ] || break
        echo "  $(basename "$corpus"): over the budget, dropped $(basename "$f")"
        rm -f "$f"
    done
}

findings=0
printf '%-24s %14s %8s %8s %18s %12s\n' target executions cov ft "corpus files" "corpus KiB"
while read -r name corpus_rel; do
    exe="$bin/$name"
    corpus="$fuzz_src/$corpus_rel"
    mkdir -p "$corpus"
    before="$(files "$corpus")"
    new="$work/$name.new"
    log="$work/$name.log"
    mkdir -p "$new"
    # New inputs go to the first folder; the kept corpus is only read.
    "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/$name-" "$new" "$corpus" >"$log" 2>&1
    status=$?
    execs="$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | awk '{print $2}')"
    cov="$(grep -oE ' cov: [0-9]+' "$log" | tail -1 | awk '{print $2}')"
    ft="$(grep -oE ' ft: [0-9]+' "$log" | tail -1 | awk '{print $2}')"
    if [ "$status" -ne 0 ] || compgen -G "$work/$name-*" >/dev/null; then
        findings=$((findings + 1))
        cp "$log" "$work/$name"-* "$out/" 2>/dev/null
        echo "$name: the run ended with status $status; log and inputs kept in $out" >&2
    fi
    if ! "$exe" -merge=1 "$corpus" "$new" >"$work/merge.log" 2>&1; then
        findings=$((findings + 1))
        cp "$work/merge.log" "$out/$name-merge.log"
        echo "$name: merging the new inputs failed; log kept in $out" >&2
    fi
    prune "$exe" "$corpus"
    printf '%-24s %14s %8s %8s %18s %12s\n' "$name" "${execs:-?}" "${cov:-?}" "${ft:-?}" \
        "$before -> $(files "$corpus")" "$(kib "$corpus")"
done <<<"$declared"

echo "fuzzing: $seconds s a target, $findings target(s) with findings"
[ "$findings" -eq 0 ]
