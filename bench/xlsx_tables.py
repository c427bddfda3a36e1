#!/usr/bin/python3
"""Cell F1 of the corpus's table ground truth against XLSX output.

  xlsx_tables.py RZCONVERT CORPUS [--keep DIR]

Converts every PDF of CORPUS/tables/icdar2013 and CORPUS/tables/camelot
that has ground truth to XLSX with RZCONVERT, then scores each truth table
against the best-matching window of any sheet: the truth grid is laid on
the sheet at the offset most of its cell texts agree with (texts NFKC,
whitespace collapsed), and precision (matched over the sheet's non-empty
cells inside the window), recall (matched over the truth's non-empty
cells) and F1 are taken over (row, column, text). A truth cell whose text
is a number (^[-(]?[\\d.,]+%?\\)?$) counts as a numeric match when the
sheet cell at its place is a number of the same value; apart from that,
it counts as recognised when some cell of that sheet is a number of that
value, wherever it lies (so a miss at its place that is recognised lies
in another row or column, not in a cell left as text).

Prints one line per truth table and the means.
"""
import csv
import os
import re
import subprocess
import sys
import tempfile
import unicodedata
import xml.etree.ElementTree as ET

import openpyxl

NUMBER = re.compile(r'^[-(]?[\d.,]+%?\)?$')


def norm(text):
    text = unicodedata.normalize('NFKC', str(text)).replace('\u00ad', '').replace('\ufeff', '')
    return ' '.join(text.split())


def icdar_tables(path):
    tables = []
    root = ET.parse(path).getroot()
    for number, table in enumerate(root.iter('table')):
        cells = {}
        for region in table.iter('region'):
            for cell in region.iter('cell'):
                r, c = int(cell.get('start-row')), int(cell.get('start-col'))
                text = norm(cell.findtext('content') or '')
                if text:
                    cells[(r, c)] = text
        if cells:
            tables.append(('table%d' % (number + 1), cells))
    return tables


def csv_table(path):
    cells = {}
    with open(path, newline='', encoding='utf-8-sig') as f:
        for r, row in enumerate(csv.reader(f)):
            for c, value in enumerate(row):
                text = norm(value)
                if text:
                    cells[(r, c)] = text
    return cells


def truth(corpus):
    """(pdf, name, cells) for every truth table."""
    out = []
    icdar = os.path.join(corpus, 'tables', 'icdar2013')
    for name in sorted(os.listdir(icdar)):
        if name.endswith('-str.xml'):
            pdf = os.path.join(icdar, name[:-len('-str.xml')] + '.pdf')
            for label, cells in icdar_tables(os.path.join(icdar, name)):
                out.append((pdf, os.path.basename(pdf) + ':' + label, cells))
    camelot = os.path.join(corpus, 'tables', 'camelot')
    with open(os.path.join(camelot, 'INDEX.tsv'), encoding='utf-8') as index:
        next(index)
        for line in index:
            fields = line.rstrip('\n').split('\t')
            if len(fields) < 8 or not fields[7]:
                continue
            seen = set()
            for entry in fields[7].split():
                for expected in entry.split(':', 1)[1].split('+'):
                    if expected in seen:
                        continue
                    seen.add(expected)
                    path = os.path.join(camelot, expected + '.csv')
                    if os.path.exists(path):
                        out.append((os.path.join(camelot, fields[0]), fields[0] + ':' + expected, csv_table(path)))
    return out


def sheet_cells(path):
    sheets = []
    workbook = openpyxl.load_workbook(path)
    for sheet in workbook.worksheets:
        cells = {}
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is not None and norm(cell.value):
                    cells[(cell.row, cell.column)] = cell.value
        sheets.append(cells)
    return sheets


def as_number(text):
    negative = text.startswith('(') and text.endswith(')') or text.startswith('-')
    digits = text.strip('()-%').replace(',', '')
    try:
        value = float(digits)
    except ValueError:
        return None
    if text.endswith('%') or text.endswith('%)'):
        value /= 100
    return -value if negative else value


def same(value, text):
    """A sheet cell agrees with a truth text: the same text, or the number
    the text reads as."""
    if value is None:
        return False
    if isinstance(value, (int, float)) and NUMBER.match(text):
        expected = as_number(text)
        return expected is not None and abs(value - expected) <= 1e-9 * max(1, abs(value))
    return norm(value) == text


def key(value):
    if isinstance(value, (int, float)):
        return 'number:%r' % float(value)
    return norm(value)


def truth_key(text):
    if NUMBER.match(text) and as_number(text) is not None:
        return 'number:%r' % float(as_number(text))
    return text


def score(table, sheet):
    by_text = {}
    for place, value in sheet.items():
        by_text.setdefault(key(value), []).append(place)
        by_text.setdefault(norm(value), []).append(place)
    votes = {}
    for (r, c), text in table.items():
        places = set(by_text.get(text, [])) | set(by_text.get(truth_key(text), []))
        for (sr, sc) in places:
            votes[(sr - r, sc - c)] = votes.get((sr - r, sc - c), 0) + 1
    if not votes:
        return 0.0, 0.0, 0.0, 0, 0, 0
    dr, dc = max(votes, key=votes.get)
    rows = [r for r, _ in table]
    cols = [c for _, c in table]
    window = [p for p in sheet if min(rows) + dr <= p[0] <= max(rows) + dr and min(cols) + dc <= p[1] <= max(cols) + dc]
    matched = sum(1 for (r, c), text in table.items() if same(sheet.get((r + dr, c + dc)), text))
    numbers = [(p, t) for p, t in table.items() if NUMBER.match(t) and as_number(t) is not None]
    numeric = 0
    for (r, c), text in numbers:
        value = sheet.get((r + dr, c + dc))
        if isinstance(value, (int, float)) and abs(value - as_number(text)) <= 1e-9 * max(1, abs(value)):
            numeric += 1
    values = [value for value in sheet.values() if isinstance(value, (int, float))]
    recognised = sum(1 for _, text in numbers
                     if any(abs(value - as_number(text)) <= 1e-9 * max(1, abs(value)) for value in values))
    precision = matched / len(window) if window else 0.0
    recall = matched / len(table)
    f1 = 2 * precision * recall / (precision + recall) if precision + recall else 0.0
    return f1, precision, recall, numeric, len(numbers), recognised


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 64
    rzconvert, corpus = sys.argv[1], sys.argv[2]
    keep = sys.argv[4] if len(sys.argv) > 4 and sys.argv[3] == '--keep' else None
    out = keep or tempfile.mkdtemp()
    converted = {}
    f1s = []
    numeric_total = number_total = recognised_total = 0
    for pdf, name, table in truth(corpus):
        if pdf not in converted:
            subprocess.run([rzconvert, '--to', 'xlsx', '--out', out, pdf], capture_output=True)
            xlsx = os.path.join(out, os.path.splitext(os.path.basename(pdf))[0] + '.xlsx')
            converted[pdf] = sheet_cells(xlsx) if os.path.exists(xlsx) else []
        best = max((score(table, sheet) for sheet in converted[pdf]), default=(0.0, 0.0, 0.0, 0, 0, 0))
        f1, precision, recall, numeric, numbers, recognised = best
        f1s.append(f1)
        numeric_total += numeric
        number_total += numbers
        recognised_total += recognised
        print('%-60s F1 %.3f  P %.3f  R %.3f  numbers %d/%d (recognised %d)' %
              (name, f1, precision, recall, numeric, numbers, recognised))
    if f1s:
        print('mean F1 %.3f over %d tables; numeric cells right %d/%d; numbers recognised in the sheet %d/%d' %
              (sum(f1s) / len(f1s), len(f1s), numeric_total, number_total, recognised_total, number_total))
    return 0


if __name__ == '__main__':
    sys.exit(main())
