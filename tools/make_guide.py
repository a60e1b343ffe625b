#!/usr/bin/env python3
"""Makes the user's guide as Windows users open it: Shift-JIS (code page 932) with CR LF line ends.

Usage: make_guide.py SOURCE OUTDIR

SOURCE is the guide's UTF-8 text in the repository. The result is written to OUTDIR under the
guide's Japanese file name, which is thus kept out of the makefiles, and only when its bytes
change: the build runs this every time, and the file keeps its time stamp when nothing changed.

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
            # Some characters map one way only (U+301C WAVE DASH is written as the code that reads
            # back as U+FF5E): the reader would see another character, so they are refused too.
            try:
                code = ch.encode("cp932")
            except UnicodeEncodeError:
                code = None
            if code is None or code.decode("cp932") != ch:
                raise ValueError(f"line {number}, column {column}: U+{ord(ch):04X} {ch!r} "
                                 "has no Shift-JIS (CP932) code of its own")
            out += code
        out += b"\r\n"
    return bytes(out)


def main(argv):
    if len(argv) != 3:
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
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
