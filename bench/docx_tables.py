#!/usr/bin/python3
"""Cell F1 of the ruled tables of the corpus against DOCX output.

  docx_tables.py RZCONVERT CORPUS [--keep DIR]

Converts the ruled table files of CORPUS to DOCX with RZCONVERT and reads
every w:tbl of the body (nested tables too) into a grid: a cell spanning
columns (gridSpan) or continuing a vertical merge (vMerge) leaves the grid
places it covers empty, its text stands at its top-left place. Each truth
table (ICDAR -str.xml, camelot's lattice CSVs, tabula-java's JSON, the
pdf2docx expectation) is scored against the best-matching output table the
way bench/xlsx_tables.py scores a sheet: the grids are laid on one another
at the offset most cell texts agree with, and precision, recall and F1 are
taken over (row, column, text). Camelot's copied span texts count as blank;
blanks between two Chinese or Japanese characters are dropped.

Prints one line per truth table and the mean.
"""
import importlib.util
import json
import os
import re
import subprocess
import sys
import tempfile
import zipfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
_spec = importlib.util.spec_from_file_location('xlsx_tables', os.path.join(HERE, 'xlsx_tables.py'))
xt = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(xt)

W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'

# A line break inside Chinese or Japanese text is no word break: blanks
# between two such characters are dropped on both sides of the comparison.
CJK_GAP = re.compile(r'(?<=[\u3000-\u9fff\uff00-\uffef]) (?=[\u3000-\u9fff\uff00-\uffef])')


def cjk(cells):
    return {place: CJK_GAP.sub('', text) for place, text in cells.items()}

# (pdf relative to the corpus, truth kind, truth file or None)
RULED = [
    ('tables/tabula/spanning_cells.pdf', 'tabula', 'tables/tabula/spanning_cells.json'),
    ('tables/tabula/twotables.pdf', 'tabula', 'tables/tabula/twotables.json'),
    ('tables/tabula/schools.pdf', 'tabula', 'tables/tabula/schools.json'),
    ('tables/tabula/frx_2012_disclosure.pdf', 'csv', 'tables/tabula/frx_2012_disclosure.csv'),
    ('tables/camelot/column_span_2.pdf', 'csv', 'tables/camelot/data_lattice_shift_text_left_top.csv'),
    ('tables/camelot/row_span_1.pdf', 'copy', 'tables/camelot/data_lattice_copy_text.csv'),
    ('tables/camelot/twotables_2.pdf', 'csv', 'tables/camelot/data_lattice_two_tables_1.csv'),
    ('tables/camelot/twotables_2.pdf', 'csv', 'tables/camelot/data_lattice_two_tables_2.csv'),
    ('tables/camelot/background_lines_1.pdf', 'csv', 'tables/camelot/data_lattice_process_background.csv'),
    ('tables/camelot/tableception.pdf', None, None),
    ('tables/icdar2013/us-030.pdf', 'icdar', 'tables/icdar2013/us-030-str.xml'),
    ('layout/pdf2docx/demo-table.pdf', 'csv', 'layout/pdf2docx/expected_demo-table_p1_last.csv'),
    ('layout/pdf2docx/demo-table-nested.pdf', None, None),
]


def tabula_tables(path):
    tables = []
    with open(path, encoding='utf-8') as f:
        data = json.load(f)
    if isinstance(data, dict):
        data = [data]
    for number, table in enumerate(data):
        cells = {}
        for r, row in enumerate(table.get('data', [])):
            for c, cell in enumerate(row):
                text = xt.norm(cell.get('text', ''))
                if text:
                    cells[(r, c)] = text
        if cells:
            tables.append(('table%d' % (number + 1), cells))
    return tables


def cell_text(tc):
    paragraphs = []
    for p in tc.findall(W + 'p'):
        paragraphs.append(''.join(t.text or '' for t in p.iter(W + 't')))
    return xt.norm(' '.join(paragraphs))


def docx_tables(path):
    """Grids of every table of the document, nested ones included."""
    grids = []
    with zipfile.ZipFile(path) as z:
        root = ET.fromstring(z.read('word/document.xml'))
    for tbl in root.iter(W + 'tbl'):
        cells = {}
        for r, tr in enumerate(tbl.findall(W + 'tr')):
            c = 0
            for tc in tr.findall(W + 'tc'):
                pr = tc.find(W + 'tcPr')
                span = 1
                continued = False
                if pr is not None:
                    g = pr.find(W + 'gridSpan')
                    if g is not None:
                        span = int(g.get(W + 'val', '1'))
                    v = pr.find(W + 'vMerge')
                    if v is not None and v.get(W + 'val') != 'restart':
                        continued = True
                # Text of nested tables belongs to those tables.
                for nested in tc.findall(W + 'tbl'):
                    tc.remove(nested)
                text = '' if continued else cell_text(tc)
                if text:
                    cells[(r, c)] = text
                c += span
        grids.append(cells)
    return grids


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 64
    rzconvert, corpus = sys.argv[1], sys.argv[2]
    keep = sys.argv[4] if len(sys.argv) > 4 and sys.argv[3] == '--keep' else None
    out = keep or tempfile.mkdtemp()
    converted = {}
    f1s = []
    for pdf, kind, truth in RULED:
        path = os.path.join(corpus, pdf)
        if pdf not in converted:
            subprocess.run([rzconvert, '--to', 'docx', '--out', out, path], capture_output=True)
            docx = os.path.join(out, os.path.splitext(os.path.basename(pdf))[0] + '.docx')
            converted[pdf] = docx_tables(docx) if os.path.exists(docx) else []
        grids = converted[pdf]
        if kind is None:
            print('%-60s tables %d, grids %s' % (os.path.basename(pdf), len(grids),
                                                   [(1 + max((r for r, _ in g), default=-1),
                                                     1 + max((c for _, c in g), default=-1)) for g in grids]))
            continue
        truth_path = os.path.join(corpus, truth)
        if kind == 'tabula':
            tables = tabula_tables(truth_path)
        elif kind == 'icdar':
            tables = xt.icdar_tables(truth_path)
        else:
            tables = [(os.path.basename(truth), xt.csv_table(truth_path))]
        grids = [cjk(grid) for grid in grids]
        for label, table in tables:
            table = cjk(table)
            variants = [table]
            if kind == 'copy':
                # A spanned text copied into every row it spans may be
                # blank in the output instead.
                variants.append({(r, c): t for (r, c), t in table.items() if table.get((r - 1, c)) != t})
            best = max((xt.score(variant, grid) for grid in grids for variant in variants),
                       default=(0.0, 0.0, 0.0, 0, 0))
            f1, precision, recall = best[:3]
            f1s.append(f1)
            print('%-60s F1 %.3f  P %.3f  R %.3f' % (os.path.basename(pdf) + ':' + label, f1, precision, recall))
    if f1s:
        print('mean F1 %.3f over %d tables' % (sum(f1s) / len(f1s), len(f1s)))
    return 0


if __name__ == '__main__':
    sys.exit(main())
