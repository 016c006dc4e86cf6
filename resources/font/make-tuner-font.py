#!/usr/bin/env python3
"""Makes the program's private font: a copy of a TrueType font whose family
is renamed to "Tuner", so that asking for the family "Tuner" finds this file
and nothing else installed on the system.

Usage: make-tuner-font.py SOURCE.ttf OUTPUT.ttf
"""

import sys

from fontTools.ttLib import TTFont

FAMILY = "Tuner"

# Name-table entries that carry the family: family (1), unique id (3), full
# name (4), PostScript name (6), typographic family (16) and full name for
# the Mac (18). Subfamily (2, 17) and the copyright and trademark notices stay.
RENAMED = {1: FAMILY, 3: FAMILY + " Regular", 4: FAMILY, 6: FAMILY, 16: FAMILY, 18: FAMILY}


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    source, output = argv[1], argv[2]
    font = TTFont(source)
    names = font["name"]
    for record in list(names.names):
        if record.nameID in RENAMED:
            names.setName(RENAMED[record.nameID], record.nameID, record.platformID, record.platEncID, record.langID)
    # The regular style, whatever the source called it ("Book" for DejaVu).
    for record in list(names.names):
        if record.nameID in (2, 17):
            names.setName("Regular", record.nameID, record.platformID, record.platEncID, record.langID)
    font.save(output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
