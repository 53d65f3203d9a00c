#!/usr/bin/env bash
# Plays interlinked games between running copies of the program and counts the finished ones.
#
#   tests/campaigns/interlinked_games.sh [-b BUILD] [-c COPIES] [-s STARTERS] [-x] GAMES
#
# The copies are wintarvo_ui_peer processes: the program's frame, board view and broadcast
# channel, as main builds them, on a folder of their own, with end-of-game boxes reported
# rather than shown. All play at "1 Ply (no search)" with Auto Play and Interlinked Mode on;
# each game starts with New Game in every copy and Play Move in the first STARTERS copies at
# the same moment. A game counts as finished when every copy has shown the end-of-game box of
# the same game.
#
#   -b BUILD     the build folder (default build/release of this checkout)
#   -c COPIES    number of copies (default 2, at most 64)
#   -s STARTERS  copies given Play Move at once (default 1)
#   -x           under Xvfb (xvfb-run, Qt's xcb platform) rather than the offscreen platform
#
# Prints one line a game and the total. Exit status 0 when every game was finished by all
# copies, 3 when some were not, 1 when the copies could not be run, 2 for a usage error.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$here/build/release"
copies=2
starters=1
xvfb=0
usage() {
    sed -n '4p' "${BASH_SOURCE[0]}" | sed 's/^# *//' >&2
    exit 2
}
while getopts "b:c:s:x" option; do
    case "$option" in
        b) build="$OPTARG" ;;
        c) copies="$OPTARG" ;;
        s) starters="$OPTARG" ;;
        x) xvfb=1 ;;
        *) usage ;;
    esac
done
shift $((OPTIND - 1))
[ $# -eq 1 ] || usage
games="$1"
for n in "$games" "$copies" "$starters"; do
    [[ "$n" =~ ^[1-9][0-9]*$ ]] || usage
done

peer="$build/tests/wintarvo_ui_peer"
if [ ! -x "$peer" ]; then
    echo "$0: $peer is missing: build the target wintarvo_ui_peer first" >&2
    exit 1
fi

started=$(date +%s)
status=0
if [ "$xvfb" -eq 1 ]; then
    if ! command -v xvfb-run > /dev/null; then
        echo "$0: xvfb-run is missing (Debian package xvfb)" >&2
        exit 1
    fi
    QT_QPA_PLATFORM=xcb xvfb-run -a "$peer" games "$games" "$copies" "$starters" || status=$?
else
    QT_QPA_PLATFORM=offscreen "$peer" games "$games" "$copies" "$starters" || status=$?
fi
echo "$copies copies, Play Move in $starters, $games games, $(($(date +%s) - started)) s"
exit "$status"
