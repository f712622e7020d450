#!/bin/sh
# What a run leaves when it is cut short or has company (POSIX, the native
# driver): a kill, an interrupt or a hang-up in the middle of a large file
# keeps the old destination file and leaves no temporary file; two runs into
# one folder leave whole files; a folder that shows the destination's files
# (an overlay) is refused with the source intact. Usage: driver_interrupt_test.sh PROGRAM
set -u
program=$1
work=$(mktemp -d)
cleanup() {
    [ -n "${overlay:-}" ] && umount "$overlay" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failed=0

expect() {
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s\n  got:      [%s]\n  expected: [%s]\n' "$1" "$2" "$3"
        failed=1
    fi
}

# About 150 MB of records: long enough to be caught in the middle.
mkdir -p "$work/big"
yes '"station name",12345' | head -n 7500000 >"$work/big/BigTp.csv"

# Starts a run of big into a destination holding an old BigTp.csv, waits
# until it writes, then sends the signal.
interrupted_run() {
    signal=$1
    dst="$work/dst-$signal"
    mkdir -p "$dst"
    printf 'old\r\n' >"$dst/BigTp.csv"
    "$program" "$work/big" "$dst" >/dev/null 2>&1 &
    pid=$!
    tries=0
    while ! ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$dst"; do
        tries=$((tries + 1))
        if [ "$tries" -gt 2000 ]; then
            echo "FAIL $signal: the run never opened its destination"
            failed=1
            break
        fi
        sleep 0.005
    done
    kill "-$signal" "$pid"
    wait "$pid"
    status=$?
}

for case in KILL:137 INT:130 TERM:143 HUP:129; do
    interrupted_run "${case%%:*}"
    expect "$signal status" "$status" "${case#*:}"
    expect "$signal keeps the old file" "$(cat "$dst/BigTp.csv")" "$(printf 'old\r\n')"
    expect "$signal leaves nothing else" "$(ls -A "$dst")" "BigTp.csv"
done

# Two runs at once from different sources into one folder: every file is
# one run's whole output.
mkdir -p "$work/a" "$work/b" "$work/both" "$work/expect-a" "$work/expect-b"
for i in 1 2 3 4 5 6 7 8; do
    yes "\"a$i\",1" | head -n 200000 >"$work/a/F${i}Tp.csv"
    yes "\"b$i\",-2" | head -n 300000 >"$work/b/F${i}Tp.csv"
done
"$program" "$work/a" "$work/expect-a" >/dev/null
"$program" "$work/b" "$work/expect-b" >/dev/null
"$program" "$work/a" "$work/both" >/dev/null &
first=$!
"$program" "$work/b" "$work/both" >/dev/null
wait "$first"
for i in 1 2 3 4 5 6 7 8; do
    if ! cmp -s "$work/both/F${i}Tp.csv" "$work/expect-a/F${i}Tp.csv" &&
        ! cmp -s "$work/both/F${i}Tp.csv" "$work/expect-b/F${i}Tp.csv"; then
        echo "FAIL concurrent runs mixed F${i}Tp.csv"
        failed=1
    fi
done
expect "concurrent runs leave nothing else" "$(ls -A "$work/both" | wc -l)" 8

# An overlay's merged view of a folder is not the folder by identity; the run
# finds out by what it sees, before replacing anything.
if [ "$(id -u)" = 0 ] && mkdir -p "$work/lower" "$work/upper" "$work/ovl-work" "$work/merged" &&
    mount -t overlay overlay -o "lowerdir=$work/lower,upperdir=$work/upper,workdir=$work/ovl-work" \
        "$work/merged" 2>/dev/null; then
    overlay="$work/merged"
    printf '"legacy",1\r\n' >"$work/lower/ATp.csv"
    "$program" "$work/merged" "$work/lower" >"$work/out" 2>"$work/err"
    expect "overlay alias status" "$?" 1
    case "$(cat "$work/err")" in
        *"変換先のファイルが変換元のファイルそのものです。"*) ;;
        *) echo "FAIL overlay alias report: $(cat "$work/err")"; failed=1 ;;
    esac
    expect "overlay alias keeps the source" "$(cat "$work/lower/ATp.csv")" "$(printf '"legacy",1\r\n')"
    expect "overlay alias leaves nothing else" "$(ls -A "$work/lower")" "ATp.csv"
else
    echo "overlay alias: skipped (needs root and an overlay mount)"
fi

exit $failed
