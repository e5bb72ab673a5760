#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the program's text files from their editable UTF-8 sources.

    data/text-src/Player.txt    -> data/Player.ini
    data/text-src/Lang/<N>.txt  -> data/Lang/<N>.ini

The program reads these files as UTF-16 little-endian with a byte-order mark and CR LF
line ends, which few editors and no diff handle well, so the sources are kept in UTF-8 and
both are committed. Each language source is checked the way the program will read it:
every section present with exactly the entries the form uses, no text line that would be
taken for a section line, no line long enough to be split.

Usage: scripts/make-lang-files.py          write the files
       scripts/make-lang-files.py --check  only report files that are missing or stale
"""

import argparse
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SRC = ROOT / "data" / "text-src"
OUT = ROOT / "data"

# Sections in the order the program tests them, with the entries the form uses.
SECTIONS = {
    "[BUTTON]": 6,
    "[TRACKER]": 1,
    "[SYSTEM CONFIG]": 30,
    "[GSM GPRS CONFIG]": 4,
    "[SERVER CONFIG]": 6,
    "[PHONE CONFIG]": 4,
    "[SLEEP MODE]": 11,
    "[FIRMWARE UPDATE]": 2,
}
MAX_UNITS = 255  # a longer line is read as two entries


def utf16_units(text):
    return len(text.encode("utf-16-le")) // 2


def check_language(name, lines):
    """Returns the problems the program would run into with these lines."""
    problems = []
    counts = dict.fromkeys(SECTIONS, 0)
    current = None
    for number, line in enumerate(lines, 1):
        where = f"{name}:{number}"
        if line == "":
            problems.append(f"{where}: blank line (the program skips it; leave it out)")
            continue
        if utf16_units(line) > MAX_UNITS:
            problems.append(f"{where}: longer than {MAX_UNITS} UTF-16 units")
        section = None
        if "]/" not in line:
            section = next((s for s in SECTIONS if s in line), None)
        if section:
            if line != section:
                problems.append(f"{where}: section line with other text; write "
                                f"{section!r} alone, or add ']/' to make it text")
            current = section
        elif current is None:
            problems.append(f"{where}: text before the first section")
        else:
            counts[current] += 1
    for section, wanted in SECTIONS.items():
        if counts[section] != wanted:
            problems.append(f"{name}: {section} has {counts[section]} entries, wants {wanted}")
    return problems


def encode(lines):
    return "\ufeff".encode("utf-16-le") + "".join(l + "\r\n" for l in lines).encode("utf-16-le")


def read_source(path):
    text = path.read_text(encoding="utf-8")
    if "\r" in text:
        raise SystemExit(f"{path}: use LF line ends in the sources")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="report stale files, write none")
    args = parser.parse_args()

    jobs = [(SRC / "Player.txt", OUT / "Player.ini", None)]
    for source in sorted((SRC / "Lang").glob("*.txt")):
        jobs.append((source, OUT / "Lang" / (source.stem + ".ini"), source.name))

    problems = []
    outputs = {}
    for source, target, lang_name in jobs:
        lines = read_source(source)
        if lang_name:
            problems += check_language(lang_name, lines)
        outputs[target] = encode(lines)

    for stray in sorted(set((OUT / "Lang").glob("*.ini")) - set(outputs)):
        problems.append(f"{stray.relative_to(ROOT)}: no source in {SRC.relative_to(ROOT)}/Lang")

    if problems:
        print("\n".join(problems), file=sys.stderr)
        return 1

    stale = [t for t, data in outputs.items() if not t.exists() or t.read_bytes() != data]
    if args.check:
        for target in stale:
            print(f"{target.relative_to(ROOT)} is stale: run {pathlib.Path(__file__).name}",
                  file=sys.stderr)
        return 1 if stale else 0
    for target in stale:
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(outputs[target])
        print(f"wrote {target.relative_to(ROOT)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
