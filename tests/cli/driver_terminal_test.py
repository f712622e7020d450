#!/usr/bin/env python3
"""talvoren-convert over a slow disk (a read shim loaded with LD_PRELOAD):
with standard error on a pseudo-terminal a long run shows its progress line
and leaves none behind, also in a narrow window and when it is interrupted;
redirected, it prints exactly the run's message.
Usage: driver_terminal_test.py DRIVER SLOW_READS_LIBRARY"""
import fcntl
import os
import pty
import select
import signal
import struct
import subprocess
import sys
import tempfile
import termios

driver, slow_reads = sys.argv[1], sys.argv[2]
failures = []
PROGRESS = "ファイル  "  # in the progress line only, also when it is cut to 30 columns


def screen(raw, width=0):
    """The lines a terminal shows after `raw`: CR returns to the line's start,
    a Japanese character fills two cells. Given a width, a character that
    would reach the last column starts a new row, as a console does, and
    leaves the row above as it is."""
    lines, cells, cursor = [], [], 0
    for ch in raw.decode("utf-8"):
        if ch == "\r":
            cursor = 0
        elif ch == "\n":
            lines.append("".join(cells).rstrip())
            cells, cursor = [], 0
        else:
            wide = ord(ch) > 0x7F
            if width and cursor + (2 if wide else 1) >= width:
                lines.append("".join(cells).rstrip())
                cells, cursor = [], 0
            for cell in [ch] + ([""] if wide else []):
                if cursor == len(cells):
                    cells.append("")
                cells[cursor] = cell
                cursor += 1
    if cells:
        lines.append("".join(cells).rstrip())
    return [line for line in lines if line]


def run(source, destination, on_terminal, columns=0, interrupt=None):
    """Runs the driver; on a terminal of `columns` (0: the pty's default), and
    sends `interrupt` once the progress line shows."""
    env = dict(os.environ, LD_PRELOAD=slow_reads)
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        if not on_terminal:
            status = subprocess.run([driver, source, destination], stdout=out, stderr=err, env=env).returncode
            out.seek(0), err.seek(0)
            return status, out.read(), err.read()
        master, slave = pty.openpty()
        if columns:
            fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, columns, 0, 0))
        process = subprocess.Popen([driver, source, destination], stdout=out, stderr=slave, env=env)
        os.close(slave)
        raw = b""
        while True:
            if interrupt and PROGRESS.encode() in raw:
                process.send_signal(interrupt)
                interrupt = None
            if not select.select([master], [], [], 60)[0]:
                break  # nothing for a minute: the status below tells
            try:
                chunk = os.read(master, 4096)
            except OSError:  # the terminal's other end is closed
                break
            if not chunk:
                break
            raw += chunk
        os.close(master)
        status = process.wait()
        out.seek(0)
        return status, out.read(), raw


def expect(what, got, wanted):
    if got != wanted:
        failures.append(f"{what}:\n  got:      {got!r}\n  expected: {wanted!r}")


with tempfile.TemporaryDirectory() as work:
    cases = [
        # name, contents of the 40 source files in list order, status, standard output, standard error
        ("completed", ["A,1\r\n"] * 40, 0, "変換が完了しました。\n", ""),
        ("failed in the last file", ["A,1\r\n"] * 39 + ["B,x\r\n"], 1, "",
         "変換中に問題が発生しました。\n\n変換元ファイル：{src}/F39Tp.csv\n変換先ファイル：{dst}/F39Tp.csv\n\n"
         "エラー内容：1 行目：数値の形式が正しくありません（「x」）\n"),
    ]
    for name, contents, status_wanted, out_wanted, err_wanted in cases:
        src, dst = os.path.join(work, name, "src"), os.path.join(work, name, "dst")
        os.makedirs(src), os.makedirs(dst)
        for index, content in enumerate(contents):
            with open(os.path.join(src, f"F{index:02}Tp.csv"), "w", newline="") as legacy:
                legacy.write(content)
        err_wanted = err_wanted.format(src=src, dst=dst)

        status, out, err = run(src, dst, on_terminal=False)
        expect(f"{name}, redirected: status", status, status_wanted)
        expect(f"{name}, redirected: standard output", out, out_wanted.encode())
        expect(f"{name}, redirected: standard error", err, err_wanted.encode())

        # A window narrower than the line: cut, it is rewritten in one row.
        for columns in (0, 30):
            what = f"{name}, terminal of {columns or 'default'} columns"
            status, out, terminal = run(src, dst, on_terminal=True, columns=columns)
            expect(f"{what}: status", status, status_wanted)
            expect(f"{what}: standard output", out, out_wanted.encode())
            expect(f"{what}: the progress line was shown", PROGRESS in terminal.decode("utf-8"), True)
            expect(f"{what}: what the terminal keeps", screen(terminal, columns), screen(err_wanted.encode(), columns))

    # Interrupted while the line shows: the prompt that follows finds the line empty.
    src = os.path.join(work, "completed", "src")
    for interrupt in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        what = f"{interrupt.name} on a terminal"
        os.makedirs(os.path.join(work, interrupt.name))
        status, out, terminal = run(src, os.path.join(work, interrupt.name), on_terminal=True, interrupt=interrupt)
        expect(f"{what}: status", status, -interrupt)
        expect(f"{what}: the progress line was shown", PROGRESS in terminal.decode("utf-8"), True)
        expect(f"{what}: what the terminal keeps", screen(terminal), [])

for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
