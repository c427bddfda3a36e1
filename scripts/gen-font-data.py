#!/usr/bin/python3
"""Generates the font data tables of pdfengine/fonts from data Debian ships.

Sources (read at generation time only, never at run time):
  - Adobe's Core 14 AFM files inside PDFBox's jar (package libpdfbox2-java):
    glyph widths of the fourteen standard fonts and the built-in encodings
    (StandardEncoding from the Latin fonts, Symbol, ZapfDingbats).
  - The Adobe Glyph List and the AGL for New Fonts (package aglfn):
    glyph name <-> Unicode.
  - glibc's charmaps CP1252 and MACINTOSH (package locales / libc-bin):
    the WinAnsi and Mac OS Roman code pages.
  - The PDFDocEncoding code points, written below from the published
    encoding tables of PDF.

Run from the repository root:  scripts/gen-font-data.py
Writes pdfengine/fonts/BuiltinFontMetricsData.cpp, GlyphListData.cpp and
LegacyEncodingsData.cpp.
"""

import glob
import gzip
import os
import re
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "pdfengine", "fonts")
AGL_DIR = "/usr/share/aglfn"
CHARMAP_DIR = "/usr/share/i18n/charmaps"

# Table order of the standard fonts.
FONT_NAMES = [
    "Courier", "Courier-Bold", "Courier-BoldOblique", "Courier-Oblique",
    "Helvetica", "Helvetica-Bold", "Helvetica-BoldOblique", "Helvetica-Oblique",
    "Symbol", "Times-Bold", "Times-BoldItalic", "Times-Italic", "Times-Roman",
    "ZapfDingbats",
]

AFM_NOTICE = """This file and the 14 PostScript(R) AFM files it accompanies may be used,
copied, and distributed for any purpose and without charge, with or without
modification, provided that all copyright notices are retained; that the AFM
files are not distributed without this file; that all modifications to this
file or any of the AFM files are prominently noted in the modified file(s);
and that this paragraph is not modified. Adobe Systems has no responsibility
or obligation to support the use of the AFM files."""

# PDFDocEncoding: the codes that differ from ISO Latin-1 (0xFFFF: undefined).
PDFDOC_SPECIAL = {
    0x18: 0x02D8, 0x19: 0x02C7, 0x1A: 0x02C6, 0x1B: 0x02D9,
    0x1C: 0x02DD, 0x1D: 0x02DB, 0x1E: 0x02DA, 0x1F: 0x02DC,
    0x7F: 0xFFFF,
    0x80: 0x2022, 0x81: 0x2020, 0x82: 0x2021, 0x83: 0x2026,
    0x84: 0x2014, 0x85: 0x2013, 0x86: 0x0192, 0x87: 0x2044,
    0x88: 0x2039, 0x89: 0x203A, 0x8A: 0x2212, 0x8B: 0x2030,
    0x8C: 0x201E, 0x8D: 0x201C, 0x8E: 0x201D, 0x8F: 0x2018,
    0x90: 0x2019, 0x91: 0x201A, 0x92: 0x2122, 0x93: 0xFB01,
    0x94: 0xFB02, 0x95: 0x0141, 0x96: 0x0152, 0x97: 0x0160,
    0x98: 0x0178, 0x99: 0x017D, 0x9A: 0x0131, 0x9B: 0x0142,
    0x9C: 0x0153, 0x9D: 0x0161, 0x9E: 0x017E, 0x9F: 0xFFFF,
    0xA0: 0x20AC, 0xAD: 0xFFFF,
}

# Codes of Mac OS Roman that PDF's MacRomanEncoding leaves empty: notequal,
# infinity, lessequal, greaterequal, partialdiff, summation, product, pi,
# integral, Omega, radical, approxequal, Delta, lozenge and the Apple logo.
# Code 0xDB stays "currency" there.
MACROMAN_NOT_IN_PDF = {
    0xAD, 0xB0, 0xB2, 0xB3, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBD, 0xC3, 0xC5,
    0xC6, 0xD7, 0xF0,
}


def find_pdfbox_jar():
    for pattern in ("/usr/share/java/pdfbox2.jar", "/usr/share/java/pdfbox2-*.jar",
                    "/usr/share/java/pdfbox*.jar"):
        for path in sorted(glob.glob(pattern)):
            try:
                with zipfile.ZipFile(path) as jar:
                    jar.getinfo("org/apache/pdfbox/resources/afm/Helvetica.afm")
                return path
            except (KeyError, zipfile.BadZipFile, OSError):
                continue
    sys.exit("no PDFBox jar with the Core 14 AFM files (install libpdfbox2-java)")


def read_afms():
    """Returns {font name: [(code, name, width)]} in AFM order."""
    jar_path = find_pdfbox_jar()
    fonts = {}
    with zipfile.ZipFile(jar_path) as jar:
        for name in FONT_NAMES:
            text = jar.read("org/apache/pdfbox/resources/afm/%s.afm" % name).decode("latin-1")
            metrics = []
            in_metrics = False
            for line in text.splitlines():
                line = line.strip()
                if line.startswith("StartCharMetrics"):
                    in_metrics = True
                    continue
                if line.startswith("EndCharMetrics"):
                    break
                if not in_metrics or not line:
                    continue
                fields = {}
                for part in line.split(";"):
                    part = part.strip()
                    if not part:
                        continue
                    key, _, value = part.partition(" ")
                    fields[key] = value.strip()
                metrics.append((int(fields["C"]), fields["N"], int(round(float(fields["WX"])))))
            fonts[name] = metrics
    return fonts, os.path.basename(jar_path)


def read_glyph_list(path):
    """[(name, [code points])] in file order."""
    entries = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            name, values = line.split(";")[:2]
            entries.append((name, [int(v, 16) for v in values.split()]))
    return entries


def read_aglfn():
    """[(code point, name)] in file order."""
    entries = []
    with open(os.path.join(AGL_DIR, "aglfn.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            value, name = line.split(";")[:2]
            entries.append((int(value, 16), name))
    return entries


def read_charmap(name):
    """{byte: code point} of a single-byte glibc charmap."""
    table = {}
    with gzip.open(os.path.join(CHARMAP_DIR, name + ".gz"), "rt", encoding="latin-1") as f:
        in_map = False
        for line in f:
            if line.startswith("CHARMAP"):
                in_map = True
                continue
            if line.startswith("END CHARMAP"):
                break
            if not in_map:
                continue
            m = re.match(r"<U([0-9A-Fa-f]+)>\s+/x([0-9a-fA-F]{2})\s", line)
            if m:
                table[int(m.group(2), 16)] = int(m.group(1), 16)
    return table


def c_string(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def identifier(font_name):
    return "k" + font_name.replace("-", "") + "Widths"


def write(path, text):
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    print("wrote", os.path.relpath(path, ROOT))


def comment_block(text):
    return "".join("// " + line + "\n" if line else "//\n" for line in text.splitlines())


def gen_metrics(fonts, jar_name):
    out = []
    out.append("// Generated by scripts/gen-font-data.py; do not edit.\n")
    out.append("//\n// Glyph widths of the fourteen standard fonts, taken from Adobe's Core 14\n")
    out.append("// AFM files (as shipped in %s). Modification: only the glyph\n" % jar_name)
    out.append("// names and widths (WX) of the character metrics were extracted. The\n")
    out.append("// notice that accompanies the AFM files:\n//\n")
    out.append(comment_block(AFM_NOTICE))
    out.append("//\n// The AFM files carry: Copyright (c) 1985, 1987, 1989, 1990, 1991, 1992,\n")
    out.append("// 1993, 1997 Adobe Systems Incorporated. All Rights Reserved.\n\n")
    out.append('#include "pdfengine/fonts/FontDataTables.h"\n\n')
    out.append("namespace rz {\n\nnamespace {\n\n")
    for name in FONT_NAMES:
        out.append("const BFontWidth %s[] = {\n" % identifier(name))
        for _, glyph, width in fonts[name]:
            out.append("    {%s, %d},\n" % (c_string(glyph), width))
        out.append("};\n\n")
    out.append("} // namespace\n\n")
    out.append("const BuiltinFontWidthTable kBuiltinFontWidthTables[kBuiltinFontCount] = {\n")
    for name in FONT_NAMES:
        out.append("    {%s, %s, %d},\n" % (c_string(name), identifier(name), len(fonts[name])))
    out.append("};\n\n} // namespace rz\n")
    write(os.path.join(OUT_DIR, "BuiltinFontMetricsData.cpp"), "".join(out))


def gen_glyph_lists(agl, zapf, aglfn):
    with open(os.path.join(AGL_DIR, "glyphlist.txt"), encoding="utf-8") as f:
        notice = [l[2:].rstrip() for l in f if l.startswith("# ")][:32]
    names = []
    seen = set()
    for name, values in agl + zapf:
        # Names for sequences of several characters are left out: a glyph
        # name here stands for one UTF-16 unit.
        if len(values) != 1 or values[0] > 0xFFFF or name in seen:
            continue
        seen.add(name)
        names.append((values[0], name))
    preferred = [(0, ".notdef")] + sorted(aglfn, key=lambda e: e[0])

    out = []
    out.append("// Generated by scripts/gen-font-data.py; do not edit.\n")
    out.append("//\n// Glyph names from the Adobe Glyph List (glyphlist.txt and\n")
    out.append("// zapfdingbats.txt) and the Adobe Glyph List For New Fonts (aglfn.txt),\n")
    out.append("// as shipped in Debian's aglfn package. Their notice:\n//\n")
    out.append(comment_block("\n".join(notice)))
    out.append('\n#include "pdfengine/fonts/FontDataTables.h"\n\n')
    out.append("namespace rz {\n\n")
    out.append("const GlyphNameEntry kGlyphNameList[] = {\n")
    for value, name in names:
        out.append("    {0x%04X, %s},\n" % (value, c_string(name)))
    out.append("};\nconst size_t kGlyphNameListCount = sizeof(kGlyphNameList) / sizeof(kGlyphNameList[0]);\n\n")
    out.append("const GlyphNameEntry kPreferredGlyphNameList[] = {\n")
    for value, name in preferred:
        out.append("    {0x%04X, %s},\n" % (value, c_string(name)))
    out.append("};\nconst size_t kPreferredGlyphNameListCount =\n")
    out.append("    sizeof(kPreferredGlyphNameList) / sizeof(kPreferredGlyphNameList[0]);\n\n")
    out.append("} // namespace rz\n")
    write(os.path.join(OUT_DIR, "GlyphListData.cpp"), "".join(out))


def gen_encodings(fonts, agl, aglfn):
    # The name the glyph-name lookup answers for a Unicode value: the AGL For
    # New Fonts first, then the first name of the Adobe Glyph List.
    name_for = {}
    for value, name in aglfn:
        name_for.setdefault(value, name)
    for name, values in agl:
        if len(values) == 1:
            name_for.setdefault(values[0], name)

    def names_from_unicode(table, overrides, drop=()):
        result = [None] * 256
        for code, value in table.items():
            name = name_for.get(value)
            if name and code not in drop and value >= 0x20:
                result[code] = name
        for code, name in overrides.items():
            result[code] = name
        return result

    def names_from_afm(metrics):
        result = [None] * 256
        for code, name, _ in metrics:
            if 0 <= code <= 255:
                result[code] = name
        return result

    cp1252 = read_charmap("CP1252")
    mac = read_charmap("MACINTOSH")
    # Apple's own Mac OS Roman maps its logo to U+F8FF (glibc: a private U+E01E).
    if 0xF0 in mac:
        mac[0xF0] = 0xF8FF
    pdfdoc = {}
    for code in range(256):
        if code in PDFDOC_SPECIAL:
            value = PDFDOC_SPECIAL[code]
        elif code < 0x18 and code not in (0x09, 0x0A, 0x0D):
            value = 0xFFFF
        else:
            value = code
        if value != 0xFFFF:
            pdfdoc[code] = value

    tables = [
        ("kStandardEncodingNames", names_from_afm(fonts["Times-Roman"])),
        ("kWinAnsiEncodingNames", names_from_unicode(cp1252, {0xA0: "space", 0xAD: "hyphen"})),
        ("kMacRomanEncodingNames", names_from_unicode(mac, {0xCA: "space", 0xDB: "currency"},
                                                      MACROMAN_NOT_IN_PDF)),
        ("kPDFDocEncodingNames", names_from_unicode(pdfdoc, {})),
        ("kSymbolEncodingNames", names_from_afm(fonts["Symbol"])),
        ("kZapfDingbatsEncodingNames", names_from_afm(fonts["ZapfDingbats"])),
    ]

    out = []
    out.append("// Generated by scripts/gen-font-data.py; do not edit.\n")
    out.append("//\n// Single-byte encodings of PDF fonts. Glyph names of StandardEncoding and\n")
    out.append("// of the Symbol and ZapfDingbats built-in encodings come from the codes of\n")
    out.append("// Adobe's Core 14 AFM files; WinAnsi and MacRoman from glibc's CP1252 and\n")
    out.append("// MACINTOSH charmaps named through the AGL For New Fonts, with the PDF\n")
    out.append("// reference's own entries (0xA0 space, 0xAD hyphen in WinAnsi; 0xCA\n")
    out.append("// space, 0xDB currency and no Symbol-font characters in MacRoman);\n")
    out.append("// PDFDocEncoding from its published table.\n\n")
    out.append('#include "pdfengine/fonts/FontDataTables.h"\n\n')
    out.append("namespace rz {\n\n")
    for ident, names in tables:
        out.append("const char* const %s[256] = {\n" % ident)
        for row in range(0, 256, 4):
            cells = []
            for code in range(row, row + 4):
                cells.append(c_string(names[code]) if names[code] else "nullptr")
            out.append("    " + ", ".join(cells) + ", // 0x%02X\n" % row)
        out.append("};\n\n")

    def unicode_table(ident, table):
        out.append("const uint16_t %s[256] = {\n" % ident)
        for row in range(0, 256, 8):
            cells = ["0x%04X" % table.get(code, 0xFFFF) for code in range(row, row + 8)]
            out.append("    " + ", ".join(cells) + ",\n")
        out.append("};\n\n")

    unicode_table("kCP1252ToUnicode", cp1252)
    unicode_table("kMacOSRomanToUnicode", mac)
    unicode_table("kPDFDocToUnicode", pdfdoc)
    out.append("} // namespace rz\n")
    write(os.path.join(OUT_DIR, "LegacyEncodingsData.cpp"), "".join(out))


def main():
    fonts, jar_name = read_afms()
    agl = read_glyph_list(os.path.join(AGL_DIR, "glyphlist.txt"))
    zapf = read_glyph_list(os.path.join(AGL_DIR, "zapfdingbats.txt"))
    aglfn = read_aglfn()
    gen_metrics(fonts, jar_name)
    gen_glyph_lists(agl, zapf, aglfn)
    gen_encodings(fonts, agl, aglfn)


if __name__ == "__main__":
    main()
