#!/usr/bin/python3
"""Reads XLSX outputs the way their users' tools read them.

  xlsx_check.py dump XLSX
      Reads the workbook with openpyxl and prints, per sheet,
      "sheet NAME", then "cell REF TYPE FORMAT VALUE" per cell with a value
      (TYPE n for numbers, s for text; VALUE with \\t, \\n and \\\\ escaped),
      "fill REF RRGGBB" per cell with a solid fill, then "merge RANGE" per
      merged range, "width COLUMN WIDTH" per column and "height ROW HEIGHT"
      per row given a size.
  xlsx_check.py parts XLSX
      Runs xmllint --noout on every XML part and prints "part NAME ok|fail";
      exit 1 when any part fails.
  xlsx_check.py check XLSX...
      Per workbook: openpyxl opens it and reads every cell, and xmllint
      accepts every part; prints "ok NAME" or "fail NAME REASON"; exit 1
      when any failed.
"""
import subprocess
import sys
import tempfile
import zipfile

import openpyxl


def escaped(text):
    return str(text).replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n')


def dump(path):
    workbook = openpyxl.load_workbook(path)
    for sheet in workbook.worksheets:
        print('sheet', sheet.title)
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is None:
                    continue
                kind = 'n' if isinstance(cell.value, (int, float)) else 's'
                print('cell', cell.coordinate, kind, cell.number_format, escaped(cell.value))
                if cell.fill is not None and cell.fill.fill_type == 'solid':
                    print('fill', cell.coordinate, str(cell.fill.fgColor.rgb)[-6:].lower())
        for merged in sheet.merged_cells.ranges:
            print('merge', merged.coord)
        for letter, column in sheet.column_dimensions.items():
            if column.width is not None:
                print('width', letter, column.width)
        for number, row in sheet.row_dimensions.items():
            if row.height is not None:
                print('height', number, row.height)
    return 0


def parts(path):
    failed = False
    with zipfile.ZipFile(path) as package, tempfile.TemporaryDirectory() as folder:
        for name in package.namelist():
            if not (name.endswith('.xml') or name.endswith('.rels')):
                continue
            extracted = package.extract(name, folder)
            ok = subprocess.run(['xmllint', '--noout', extracted], capture_output=True).returncode == 0
            failed = failed or not ok
            print('part', name, 'ok' if ok else 'fail')
    return 1 if failed else 0


def check(paths):
    failed = False
    for path in paths:
        try:
            workbook = openpyxl.load_workbook(path)
            for sheet in workbook.worksheets:
                for row in sheet.iter_rows():
                    for cell in row:
                        cell.value
            with zipfile.ZipFile(path) as package, tempfile.TemporaryDirectory() as folder:
                for name in package.namelist():
                    if name.endswith('.xml') or name.endswith('.rels'):
                        extracted = package.extract(name, folder)
                        if subprocess.run(['xmllint', '--noout', extracted], capture_output=True).returncode != 0:
                            raise ValueError('xmllint refuses ' + name)
            print('ok', path)
        except Exception as error:  # every failure is reported, the others still checked
            failed = True
            print('fail', path, escaped(error))
    return 1 if failed else 0


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == 'check':
        return check(sys.argv[2:])
    if len(sys.argv) != 3 or sys.argv[1] not in ('dump', 'parts'):
        print(__doc__, file=sys.stderr)
        return 64
    return dump(sys.argv[2]) if sys.argv[1] == 'dump' else parts(sys.argv[2])


if __name__ == '__main__':
    sys.exit(main())
