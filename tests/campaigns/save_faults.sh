#!/usr/bin/env bash
# The save-fault campaign: saves records as a user who is not root into the places where a save
# can surprise its user (a folder that takes no new files, files of other users, hard links,
# long paths, a full file system, a file size limit) and checks each outcome with the system's
# own tools: the bytes, the file's identity (device and inode, links, owner, group, mode), and
# that no temporary file is left. Not part of the test suite: it creates users and mounts.
#
#   tests/campaigns/save_faults.sh [BUILD_FOLDER]      (default: build/release)
#
# Run as root it creates two throwaway users (removed again at the end), saves as the first
# and gives files to the second, and mounts small tmpfs file systems to fill. Run as anyone
# else it saves as that user and skips the cases that need root, saying so. Every case prints
# one line, PASS, FAIL or SKIP; the exit status is 1 when any case failed.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/../../build/release}"
probe_built="$build/tests/wintarvo_save_probe"
if [ ! -x "$probe_built" ]; then
    cmake --build "$build" --target wintarvo_save_probe >/dev/null || {
        echo "cannot build wintarvo_save_probe in $build" >&2
        exit 2
    }
fi

work="$(mktemp -d /tmp/wintarvo-save-campaign-XXXXXX)"
chmod 0755 "$work"
cp "$probe_built" "$work/probe"
chmod 0755 "$work/probe"
mkdir "$work/refs" "$work/old"

created_users=()
mounts=()
cleanup() {
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
    chmod -R u+rwx "$work" 2>/dev/null
    rm -rf "$work"
    for u in "${created_users[@]}"; do userdel "$u" 2>/dev/null; done
}
trap cleanup EXIT

if [ "$(id -u)" -eq 0 ]; then
    is_root=1
    for u in wintarvo-save-a wintarvo-save-b; do
        if ! id "$u" >/dev/null 2>&1; then
            useradd --system --user-group --no-create-home --home-dir /nonexistent \
                --shell /usr/sbin/nologin "$u" || { echo "useradd $u failed" >&2; exit 2; }
            created_users+=("$u")
        fi
    done
    user_a=wintarvo-save-a
    user_b=wintarvo-save-b
    as_a() { setpriv --reuid="$user_a" --regid="$user_a" --init-groups -- "$@"; }
else
    is_root=0
    user_a="$(id -un)"
    user_b=""
    as_a() { "$@"; }
fi
echo "saving as $user_a (uid $(id -u "$user_a")), umask $(umask)"

# The same save under a file size limit, in KiB; SIGXFSZ ignored so that a write past the limit
# fails instead of ending the program.
as_a_limited() {
    local kib=$1
    shift
    (trap '' XFSZ && ulimit -f "$kib" && as_a "$@")
}

passed=0
failed=0
skipped=0
report() {  # outcome name text
    printf '%-4s %-44s %s\n' "$1" "$2" "$3"
    case $1 in
        PASS) passed=$((passed + 1)) ;;
        FAIL) failed=$((failed + 1)) ;;
        SKIP) skipped=$((skipped + 1)) ;;
    esac
}

# The exact bytes a save of that many moves must leave, written by the probe as the caller.
reference() {
    local ref="$work/refs/$1.amz"
    [ -f "$ref" ] || "$work/probe" "$ref" "$1" >/dev/null
    echo "$ref"
}

identity() { stat -c '%d:%i' -- "$1"; }
kept() { stat -c 'links %h owner %U:%G mode %a' -- "$1"; }
leftovers() { find "$1" -maxdepth 1 -name '.wintarvo-save-*' | wc -l; }

# run_case NAME EXPECT PATH MOVES RUNNER...
#   EXPECT is "saved in place" (same file, new bytes), "saved" (new bytes, the file may be a new
#   one but keeps links, owner, group and mode), or "refused" (the probe reports failure and the
#   old bytes, or the absence of a file, remain). $also names a second link of the file that
#   must show the same bytes.
also=""
run_case() {
    local name=$1 expect=$2 path=$3 moves=$4
    shift 4
    local folder old="" before_id="" before_kept="" problems=()
    folder="$(dirname -- "$path")"
    if [ -e "$path" ]; then
        old="$work/old/$name"
        cp -- "$path" "$old"
        before_id="$(identity "$path")"
        before_kept="$(kept "$path")"
    fi
    local out status
    out="$("$@" "$work/probe" "$path" "$moves" 2>&1)"
    status=$?
    case $expect in
        saved*)
            [ "$status" -eq 0 ] || problems+=("probe: $out, status $status")
            cmp -s -- "$path" "$(reference "$moves")" || problems+=("bytes differ from the record")
            if [ -n "$also" ] && ! cmp -s -- "$also" "$(reference "$moves")"; then
                problems+=("the other link does not show the new bytes")
            fi
            if [ -n "$old" ]; then
                [ "$(kept "$path")" = "$before_kept" ] ||
                    problems+=("was $before_kept, now $(kept "$path")")
                [ "$expect" = "saved in place" ] && [ "$(identity "$path")" != "$before_id" ] &&
                    problems+=("a different file now")
            fi
            ;;
        refused)
            [ "$status" -eq 1 ] || problems+=("probe: $out, status $status")
            if [ -n "$old" ]; then
                cmp -s -- "$path" "$old" || problems+=("old bytes not kept")
                [ -n "$also" ] && ! cmp -s -- "$also" "$old" && problems+=("other link changed")
            elif [ -e "$path" ]; then
                problems+=("a file was created")
            fi
            ;;
    esac
    [ "$(leftovers "$folder")" -eq 0 ] || problems+=("temporary file left behind")
    also=""
    if [ "${#problems[@]}" -eq 0 ]; then
        report PASS "$name" "$expect"
    else
        local IFS=';'
        report FAIL "$name" "expected $expect: ${problems[*]}"
    fi
}

# A fresh folder for one case, owned by user A.
case_folder() {
    local d="$work/$1"
    mkdir -p "$d"
    chown "$user_a:" "$d" 2>/dev/null || true
    echo "$d"
}

# A file with old bytes, owned by $2 (default user A) with mode $3 (default 0644).
old_file() {
    printf "'old record\r\nJ4-J5 (J6)\r\n'End of File\r\n" >"$1"
    head -c 2000 /dev/zero | tr '\0' 'o' >>"$1"
    [ "$is_root" -eq 1 ] && chown "${2:-$user_a}:" "$1"
    chmod "${3:-0644}" "$1"
}

# A folder below $1 whose path is exactly $2 characters long, made one step at a time.
deep_folder() {
    local path=$1 length=$2 left step name
    (
        cd "$path" || exit 1
        while [ "${#path}" -lt "$length" ]; do
            left=$((length - ${#path}))
            if [ "$left" -gt 400 ]; then step=200
            elif [ "$left" -gt 201 ]; then step=$((left / 2))
            else step=$((left - 1)); fi
            name="$(printf "%${step}s" '' | tr ' ' 'd')"
            mkdir "$name" && cd "$name" || exit 1
            path="$path/$name"
        done
        echo "$path"
    )
}

need_root() {  # name: true when the case can run; reports the skip otherwise
    [ "$is_root" -eq 1 ] && return 0
    report SKIP "$1" "needs root (other users' files, mounts, reading a write-only file)"
    return 1
}

# ---- The user's own files ----

d="$(case_folder own-file)"
old_file "$d/game.amz"
run_case own-file saved "$d/game.amz" 40 as_a

d="$(case_folder new-file)"
run_case new-file saved "$d/game.amz" 40 as_a

d="$(case_folder write-protected-file)"
old_file "$d/game.amz" "$user_a" 0444
run_case write-protected-file refused "$d/game.amz" 40 as_a

# ---- A folder that takes no new files ----

d="$(case_folder folder-without-write-permission)"
old_file "$d/game.amz"
chmod 0555 "$d"
run_case folder-without-write-permission "saved in place" "$d/game.amz" 40 as_a
run_case folder-without-write-permission-new-file refused "$d/new.amz" 40 as_a
chmod 0755 "$d"

# Its old bytes cannot be read to be kept, so it is not overwritten. Only root can check that
# the bytes stay when the user saving is the user checking.
if need_root write-only-file-in-folder-without-write-permission; then
    d="$(case_folder write-only-file-in-folder-without-write-permission)"
    old_file "$d/game.amz" "$user_a" 0200
    chmod 0555 "$d"
    run_case write-only-file-in-folder-without-write-permission refused "$d/game.amz" 40 as_a
    chmod 0755 "$d"
fi

if need_root root-folder-file-of-another-user; then
    d="$(case_folder root-folder-file-of-another-user)"
    chown root: "$d"
    old_file "$d/game.amz" "$user_b" 0666
    run_case root-folder-file-of-another-user "saved in place" "$d/game.amz" 40 as_a
fi

# ---- Files of other users ----

if need_root file-of-another-user; then
    d="$(case_folder file-of-another-user)"
    old_file "$d/game.amz" "$user_b" 0666
    run_case file-of-another-user "saved in place" "$d/game.amz" 40 as_a
fi

if need_root shared-sticky-folder-file-of-another-user; then
    d="$(case_folder shared-sticky-folder-file-of-another-user)"
    chown root: "$d"
    chmod 1777 "$d"
    old_file "$d/game.amz" "$user_b" 0666
    run_case shared-sticky-folder-file-of-another-user "saved in place" "$d/game.amz" 40 as_a
fi

if need_root file-of-another-group; then
    d="$(case_folder file-of-another-group)"
    old_file "$d/game.amz" "$user_a" 0664
    chgrp "$user_b" "$d/game.amz"
    run_case file-of-another-group saved "$d/game.amz" 40 as_a
fi

# ---- Hard links and symbolic links ----

d="$(case_folder hard-link)"
old_file "$d/game.amz"
ln "$d/game.amz" "$d/copy.amz"
also="$d/copy.amz"
run_case hard-link "saved in place" "$d/game.amz" 40 as_a

d="$(case_folder hard-link-shorter-record)"
old_file "$d/game.amz"
ln "$d/game.amz" "$d/copy.amz"
also="$d/copy.amz"
run_case hard-link-shorter-record "saved in place" "$d/game.amz" 1 as_a

d="$(case_folder hard-link-in-another-folder)"
mkdir "$d/elsewhere"
old_file "$d/game.amz"
ln "$d/game.amz" "$d/elsewhere/copy.amz"
also="$d/elsewhere/copy.amz"
run_case hard-link-in-another-folder "saved in place" "$d/game.amz" 40 as_a

d="$(case_folder symbolic-link-into-folder-without-write-permission)"
mkdir "$d/locked"
old_file "$d/locked/game.amz"
ln -s locked/game.amz "$d/link.amz"
chmod 0555 "$d/locked"
run_case symbolic-link-into-folder-without-write-permission "saved in place" "$d/link.amz" 40 as_a
[ -L "$d/link.amz" ] || report FAIL symbolic-link-kept "the link was replaced"
chmod 0755 "$d/locked"

# ---- Long paths ----

d="$(case_folder long-path)"
chown "$user_a:" "$d"
deep="$(as_a bash -c "$(declare -f deep_folder); deep_folder '$d' 4078")"
if [ "${#deep}" -eq 4078 ]; then
    run_case long-path-4078-new-file saved "$deep/x.amz" 40 as_a
    run_case long-path-4078-replace saved "$deep/x.amz" 41 as_a
    ln "$deep/x.amz" "$deep/y.amz" 2>/dev/null
    also="$deep/y.amz"
    run_case long-path-4078-hard-link "saved in place" "$deep/x.amz" 42 as_a
else
    report FAIL long-path "could not make a folder path of 4078 characters"
fi

# ---- Full file systems ----

# Mounts a small tmpfs owned by user A and echoes its path (the caller notes it for unmounting).
small_tmpfs() {
    local m="$work/$1"
    mkdir -p "$m"
    mount -t tmpfs -o "size=256k,mode=0755,uid=$(id -u "$user_a"),gid=$(id -g "$user_a")" \
        tmpfs "$m" || return 1
    echo "$m"
}
fill() { dd if=/dev/zero of="$1/filler" bs=4096 2>/dev/null; sync; }

if need_root full-file-system && m="$(small_tmpfs full-rename)" && [ -n "$m" ]; then
    mounts+=("$m")
    old_file "$m/game.amz"
    fill "$m"
    run_case full-file-system refused "$m/game.amz" 20000 as_a
    run_case full-file-system-shorter-record refused "$m/game.amz" 1 as_a

    m="$(small_tmpfs full-in-place)"
    mounts+=("$m")
    old_file "$m/game.amz"
    ln "$m/game.amz" "$m/copy.amz"
    fill "$m"
    also="$m/copy.amz"
    run_case full-file-system-hard-link refused "$m/game.amz" 20000 as_a
    # Written in place, a shorter record needs no block the file does not already hold.
    also="$m/copy.amz"
    run_case full-file-system-hard-link-shorter-record "saved in place" "$m/game.amz" 1 as_a
elif [ "$is_root" -eq 1 ]; then
    report SKIP full-file-system "cannot mount a small tmpfs here; the size-limit cases stand in"
fi

d="$(case_folder size-limit)"
old_file "$d/game.amz"
run_case size-limit refused "$d/game.amz" 2000 as_a_limited 8

d="$(case_folder size-limit-hard-link)"
old_file "$d/game.amz"
ln "$d/game.amz" "$d/copy.amz"
also="$d/copy.amz"
run_case size-limit-hard-link refused "$d/game.amz" 2000 as_a_limited 8

echo "save cases: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
