#!/usr/bin/env python3
"""Makes the user's guide as Windows users open it: Shift-JIS (code page 932) with CR LF line ends.

Usage: make_guide.py SOURCE OUTDIR [STAMP]

SOURCE is the guide's UTF-8 text in the repository. The result is written to OUTDIR under the
guide's Japanese file name, and only when its bytes change, so that the file keeps its time stamp
across builds. STAMP, when given, is touched afterwards for the build's dependency tracking: the
Japanese name stays out of the generated build files, which the make tools on Windows read in the
ANSI code page.

Python rather than iconv, which an MSYS2 or plain Windows set-up does not always have; Python's
cp932 codec is the code page's Windows mapping."""
import os
import sys

GUIDE_NAME = "はじめにお読みください.txt"


def convert(text):
    """The UTF-8 source text to the bytes of the guide; raises ValueError on what code page 932
    cannot hold, naming the line and column."""
    if text.startswith("\ufeff"):
        raise ValueError("the source starts with a byte-order mark")
    # A Windows checkout may have turned the source's LF into CR LF already.
    lines = text.replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    out = bytearray()
    for number, line in enumerate(lines, 1):
        if "\r" in line:
            raise ValueError(f"line {number}: a carriage return without a line feed")
        for column, ch in enumerate(line, 1):
            try:
                out += ch.encode("cp932")
            except UnicodeEncodeError:
                raise ValueError(f"line {number}, column {column}: U+{ord(ch):04X} {ch!r} "
                                 "has no Shift-JIS (CP932) code") from None
        out += b"\r\n"
    return bytes(out)


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    source, outdir = argv[1], argv[2]
    with open(source, encoding="utf-8", newline="") as f:
        try:
            data = convert(f.read())
        except ValueError as e:
            print(f"{source}: {e}", file=sys.stderr)
            return 1
    os.makedirs(outdir, exist_ok=True)
    target = os.path.join(outdir, GUIDE_NAME)
    try:
        with open(target, "rb") as f:
            same = f.read() == data
    except FileNotFoundError:
        same = False
    if not same:
        with open(target + ".tmp", "wb") as f:
            f.write(data)
        os.replace(target + ".tmp", target)
    if len(argv) == 4:
        open(argv[3], "w").close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
