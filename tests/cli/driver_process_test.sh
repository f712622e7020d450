#!/bin/sh
# Runs the built talvoren-convert as a user would, through the Windows
# emulator when one is given: exit statuses, which stream carries which text,
# and UTF-8 output. Usage: driver_process_test.sh PROGRAM [EMULATOR]
set -u
program=$1
emulator=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# The program's view of a path: a Windows program under Wine sees / as Z:\.
native_path() {
    if [ -n "$emulator" ]; then printf 'Z:%s' "$1" | tr / '\\'; else printf '%s' "$1"; fi
}
run() {
    $emulator "$program" "$@" >"$work/out" 2>"$work/err"
    status=$?
    out=$(tr -d '\r' <"$work/out")
    err=$(tr -d '\r' <"$work/err")
}
expect() {
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s\n  got:      [%s]\n  expected: [%s]\n' "$1" "$2" "$3"
        failed=1
    fi
}

mkdir -p "$work/旧データ" "$work/dst" "$work/none" "$work/bad"
# A Japanese folder name reaches the program intact; "駅" and "東京" in code
# page 932; the last record has no line end.
printf '"\211\167",12\r\n\223\214\213\236,-7' >"$work/旧データ/駅Tp.csv"
printf 'A,1\r\nB,x\r\n' >"$work/bad/ATp.csv"
sep=/
[ -n "$emulator" ] && sep='\'
src=$(native_path "$work/旧データ")
dst=$(native_path "$work/dst")

run --version
expect "--version status" "$status" 0
expect "--version output" "$out" "Talvoren 1.00.0018"
expect "--version error output" "$err" ""

run "$src"
expect "one argument status" "$status" 64
expect "one argument output" "$out" ""

run "$src" "$src"
expect "identical status" "$status" 2
expect "identical error output" "$err" "変換元と変換先のフォルダーに同一の場所を指定することは出来ません"
expect "identical output" "$out" ""

run "$(native_path "$work/none")" "$dst"
expect "no files status" "$status" 2
expect "no files output" "$out" "変換元に指定したフォルダーには該当するファイルがありませんでした。"

run "$src" "$dst"
expect "completed status" "$status" 0
expect "completed output" "$out" "変換が完了しました。"
expect "completed error output" "$err" ""
printf '\211\167, 12,0\r\n\223\214\213\236,-7,0\r\n' >"$work/expected"
if ! cmp -s "$work/expected" "$work/dst/駅Tp.csv"; then
    echo "FAIL converted file differs"
    failed=1
fi

run "$(native_path "$work/bad")" "$dst"
expect "failure status" "$status" 1
expect "failure output" "$out" ""
expect "failure report start" "$(printf '%s\n' "$err" | head -n 1)" "変換中に問題が発生しました。"
expect "failure report names the file" "$(printf '%s\n' "$err" | sed -n 3p)" \
    "変換元ファイル：$(native_path "$work/bad")${sep}ATp.csv"
case "$(printf '%s\n' "$err" | sed -n 6p)" in
    "エラー内容：2 行目："*) ;;
    *) echo "FAIL failure report line 6: $err"; failed=1 ;;
esac

run "$(native_path "$work/missing")" "$dst"
expect "unreadable source status" "$status" 1
expect "unreadable source first line" "$(printf '%s\n' "$err" | head -n 1)" "変換元のフォルダーを読み取れません。"

# Under Wine, files made here by Linux: a folder that tells letter case apart,
# names Windows keeps for devices, names that are no valid text.
if [ -n "$emulator" ]; then
    mkdir -p "$work/case" "$work/devices" "$work/bytes" "$work/case-dst" "$work/devices-dst" "$work/bytes-dst"
    printf 'A,1\r\n' >"$work/case/ATp.csv"
    printf 'a,2\r\n' >"$work/case/aTp.csv"
    run "$(native_path "$work/case")" "$(native_path "$work/case-dst")"
    expect "letter case status" "$status" 1
    expect "letter case report names the second" "$(printf '%s\n' "$err" | sed -n 3p)" \
        "変換元ファイル：$(native_path "$work/case")${sep}aTp.csv"
    case "$err" in
        *"この変換で別の変換元ファイルから書き込んだ"*) ;;
        *) echo "FAIL letter case description: $err"; failed=1 ;;
    esac
    expect "letter case keeps the first output whole" "$(cat "$work/case-dst/ATp.csv")" "$(printf 'A, 1,0\r\n')"

    for name in NUL CON AUX COM1; do printf '%s,1\r\n' "$name" >"$work/devices/$name.Tp.csv"; done
    run "$(native_path "$work/devices")" "$(native_path "$work/devices-dst")"
    expect "device names status" "$status" 0
    for name in NUL CON AUX COM1; do
        expect "device name $name converted as a file" "$(cat "$work/devices-dst/$name.Tp.csv")" \
            "$(printf '%s, 1,0\r\n' "$name")"
    done

    printf 'X,1\r\n' >"$work/bytes/$(printf '\377')Tp.csv"
    printf 'Y,2\r\n' >"$work/bytes/$(printf '\376')Tp.csv"
    run "$(native_path "$work/bytes")" "$(native_path "$work/bytes-dst")"
    expect "names that are no text never complete as one" "$status" 1
    expect "names that are no text: one output" "$(ls -A "$work/bytes-dst" | wc -l)" 1
fi

exit $failed
