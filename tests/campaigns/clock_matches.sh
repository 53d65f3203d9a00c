#!/usr/bin/env bash
# The tournament engine's matches: its strength at the clock against the program's own think,
# the split solver's worth, and how it uses its clock. docs/PERFORMANCE.md has the figures.
#
#   tests/campaigns/clock_matches.sh [-b BUILD] [-g GAMES] [-j CONCURRENCY] OUT_DIR [MATCH...]
#
# MATCH is one of b1 (byo-yomi 1 s against the program's think), b1solver (byo-yomi 1 s
# against itself without the solver), b2, b5 (byo-yomi 2 and 5 s), sd30, sd60 (sudden death,
# 30 and 60 s a side); all of them by default. Each match plays GAMES games (default 100; b2:
# a fifth of them) with both engines on one thread, CONCURRENCY games at once (default 2), and
# writes OUT_DIR/NAME.txt (wintarvo-cli match's output), the referee's standard error
# (NAME.err), the games as SGF (sgf-NAME/), the traffic with the tournament engine's trace
# (NAME.log) and the clock report (NAME.clock, from clock_report.py). Exit status 0 when
# every match ran, 1 otherwise, 2 for a usage error.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$here/build/release"
games=100
jobs=2
usage() {
    sed -n '5p' "${BASH_SOURCE[0]}" | sed 's/^# *//' >&2
    exit 2
}
while getopts "b:g:j:" option; do
    case "$option" in
        b) build="$OPTARG" ;;
        g) games="$OPTARG" ;;
        j) jobs="$OPTARG" ;;
        *) usage ;;
    esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || usage
out="$1"
shift
matches=("$@")
[ ${#matches[@]} -gt 0 ] || matches=(b1 b1solver sd60 b5 sd30 b2)

cli="$build/tools/wintarvo-cli"
[ -x "$cli" ] || { echo "$0: no $cli: build first" >&2; exit 1; }
mkdir -p "$out"
tournament="$cli gtp --threads 1 --trace"
standard="$cli gtp --threads 1 --standard"
nosolver="$cli gtp --threads 1 --no-solver"

status=0
for name in "${matches[@]}"; do
    case "$name" in
        b1) args=(--engine "$tournament" --engine "$standard" --byoyomi 1 --seed 11) ;;
        b1solver) args=(--engine "$tournament" --engine "$nosolver" --byoyomi 1 --seed 12) ;;
        sd60) args=(--engine "$tournament" --engine "$standard" --game-time 60 --seed 13) ;;
        b5) args=(--engine "$tournament" --engine "$standard" --byoyomi 5 --seed 14) ;;
        sd30) args=(--engine "$tournament" --engine "$standard" --game-time 30 --seed 15) ;;
        b2) args=(--engine "$tournament" --engine "$standard" --byoyomi 2 --seed 16) ;;
        *) echo "$0: no match named $name" >&2; exit 2 ;;
    esac
    n="$games"
    [ "$name" = b2 ] && n=$(( (games + 4) / 5 ))
    echo "$name: $n games from $(date +%T)"
    rm -f "$out/$name.log"
    if "$cli" match "${args[@]}" --games "$n" --concurrency "$jobs" --sgf "$out/sgf-$name" \
        --log "$out/$name.log" > "$out/$name.txt" 2> "$out/$name.err"; then
        python3 "$here/tests/campaigns/clock_report.py" "$out/$name.txt" 60 "$out/$name.log" \
            > "$out/$name.clock"
        tail -n 1 "$out/$name.txt"
        cat "$out/$name.clock"
    else
        echo "$name: the match did not run; see $out/$name.err" >&2
        status=1
    fi
done
exit "$status"
