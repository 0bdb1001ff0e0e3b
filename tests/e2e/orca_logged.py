#!/usr/bin/python3
"""Runs the screen reader Orca unchanged, with its debug log written line by
line, so that a test can read what it speaks while it runs:

    orca_logged.py LOG [ORCA-ARGUMENTS...]

Orca opens its --debug-file with Python's default block buffering, which
would hold the last utterances back until several kilobytes more follow.
"""
import builtins
import runpy
import sys

ORCA = "/usr/bin/orca"


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 1
    log = sys.argv[1]
    plain_open = builtins.open

    def open_log_by_lines(file, mode="r", buffering=-1, *args, **kwargs):
        if file == log and "w" in mode:
            buffering = 1
        return plain_open(file, mode, buffering, *args, **kwargs)

    builtins.open = open_log_by_lines
    sys.argv = [ORCA, "--debug-file", log] + sys.argv[2:]
    runpy.run_path(ORCA, run_name="__main__")
    return 0


if __name__ == "__main__":
    sys.exit(main())
