#!/usr/bin/env python3
"""Turn an agreement text kept as UTF-8 into the form the setup embeds.

The agreement page shows the resource's bytes as UTF-16LE code units, byte
order mark included, and drops the last code unit, so the embedded text must
be UTF-16LE with a BOM, CR LF line ends and a final line feed.
"""
import os
import sys


def convert(source, target):
    with open(source, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        sys.exit("%s: not UTF-8: %s" % (source, e))
    if text.startswith("\ufeff"):
        text = text[1:]
    text = text.replace("\r\n", "\n")
    if "\r" in text:
        sys.exit("%s: stray carriage return" % source)
    if not text.strip():
        sys.exit("%s: empty agreement" % source)
    if not text.endswith("\n"):
        text += "\n"
    data = b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")
    # Write beside the target first so a failed run never leaves half a file
    # for the resource compiler to pick up.
    partial = target + ".partial"
    with open(partial, "wb") as f:
        f.write(data)
    os.replace(partial, target)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make_utf16.py SOURCE.txt TARGET.txt")
    convert(sys.argv[1], sys.argv[2])
