#!/usr/bin/python3
"""Generates resources/QXVerdexa/word-line-height.tsv, the word processor's
single-line height and ascent of the installed fonts, per point of font size.

Source (read at generation time only): the font files of the Debian packages
the project installs (scripts/debian-packages.txt): fonts-liberation2,
fonts-dejavu-core, fonts-urw-base35 and fonts-noto-cjk. A word processor
sets a single-spaced line of a TrueType/OpenType font from its OS/2 Windows
metrics and the external leading, the part of the hhea line gap that the
Windows metrics do not already cover, so for each face:

    leading       = max(0, hhea lineGap - ((usWinAscent + usWinDescent)
                                           - (hhea ascender - hhea descender)))
    height factor = (usWinAscent + usWinDescent + leading) / head unitsPerEm
    ascent factor = usWinAscent / (usWinAscent + usWinDescent)

(Arial and its stand-in Liberation Sans: 1.15 of the font size, as word
processors set them.)

(the ascent factor times the line height is the part above the baseline).
Each face is listed under its lower-cased full name (name ID 4), its family
and style (IDs 1 and 2, or 16 and 17) and its PostScript name (ID 6). The
Liberation faces are metric-compatible with Times New Roman, Arial and
Courier New and are listed under those names too.

Run from the repository root:  scripts/gen-word-line-height.py
"""

import glob
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "QXVerdexa", "word-line-height.tsv")

FONT_GLOBS = [
    "/usr/share/fonts/truetype/liberation2/*.ttf",
    "/usr/share/fonts/truetype/dejavu/*.ttf",
    "/usr/share/fonts/opentype/urw-base35/*.otf",
    "/usr/share/fonts/opentype/noto/*.ttc",
]

# Metric-compatible stand-ins: Liberation family -> the family it stands for.
ALIASES = {
    "liberation serif": "times new roman",
    "liberation sans": "arial",
    "liberation mono": "courier new",
}


def table_directory(data, offset):
    """{tag: (offset, length)} of the sfnt at `offset`."""
    num_tables = struct.unpack_from(">H", data, offset + 4)[0]
    tables = {}
    for i in range(num_tables):
        tag, _checksum, toff, length = struct.unpack_from(">4sIII", data, offset + 12 + 16 * i)
        tables[tag.decode("latin-1")] = (toff, length)
    return tables


def names(data, tables):
    """{name ID: text} from the Windows Unicode (or Mac Roman) records."""
    off, _ = tables["name"]
    _fmt, count, string_off = struct.unpack_from(">HHH", data, off)
    found = {}
    for i in range(count):
        platform, encoding, language, name_id, length, noff = struct.unpack_from(">HHHHHH", data, off + 6 + 12 * i)
        raw = data[off + string_off + noff: off + string_off + noff + length]
        if platform == 3 and encoding in (0, 1, 10) and language == 0x409:
            found[name_id] = raw.decode("utf-16-be", "replace")
        elif platform == 1 and encoding == 0 and name_id not in found:
            found[name_id] = raw.decode("mac-roman", "replace")
    return found


def faces(path):
    data = open(path, "rb").read()
    if data[:4] == b"ttcf":
        count = struct.unpack_from(">I", data, 8)[0]
        offsets = struct.unpack_from(">%dI" % count, data, 12)
    else:
        offsets = (0,)
    for offset in offsets:
        tables = table_directory(data, offset)
        units_per_em = struct.unpack_from(">H", data, tables["head"][0] + 18)[0]
        win_ascent, win_descent = struct.unpack_from(">HH", data, tables["OS/2"][0] + 74)
        hhea_ascender, hhea_descender, line_gap = struct.unpack_from(">hhh", data, tables["hhea"][0] + 4)
        leading = max(0, line_gap - ((win_ascent + win_descent) - (hhea_ascender - hhea_descender)))
        yield names(data, tables), units_per_em, win_ascent, win_descent, leading


def main():
    rows = {}
    for pattern in FONT_GLOBS:
        for path in sorted(glob.glob(pattern)):
            for name_table, upm, ascent, descent, leading in faces(path):
                total = ascent + descent
                if upm <= 0 or total <= 0:
                    continue
                height = "%.4f" % ((total + leading) / upm)
                ascent_share = "%.4f" % (ascent / total)
                family = name_table.get(16, name_table.get(1, ""))
                style = name_table.get(17, name_table.get(2, ""))
                keys = {name_table.get(4, ""), name_table.get(6, ""), (family + " " + style).strip()}
                for key in list(keys):
                    lower = key.lower()
                    for liberation, stand_in in ALIASES.items():
                        if lower.startswith(liberation):
                            keys.add(stand_in + lower[len(liberation):])
                for key in keys:
                    key = key.strip().lower()
                    if key and "\t" not in key and key not in rows:
                        rows[key] = (height, ascent_share)
    if not rows:
        sys.exit("no fonts found")
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, "w", encoding="utf-8") as out:
        out.write("# Generated by scripts/gen-word-line-height.py from the installed font files.\n")
        out.write("# lower-cased font name\theight factor (line height / font size)\tascent factor (share above the baseline)\n")
        for key in sorted(rows):
            out.write("%s\t%s\t%s\n" % (key, rows[key][0], rows[key][1]))


if __name__ == "__main__":
    main()
