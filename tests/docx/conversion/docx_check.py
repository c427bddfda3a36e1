#!/usr/bin/python3
"""Reads DOCX outputs the way their users' tools read them.

  docx_check.py corpus LIST LO_DIR OOXML_CHECK
      LIST holds one tab-separated line per output: the DOCX, its source
      PDF, the source's page count, 1 when its words are measured, and the
      name to report it by. LO_DIR holds LibreOffice's PDF of each DOCX
      (same stem); OOXML_CHECK is the package checker ("-" when absent).
      Prints per file and check "check<TAB>NAME<TAB>CHECK<TAB>ok|fail<TAB>detail"
      and one "figures" line; exit 0 when every check passed.
  docx_check.py layout DOCX
      Prints "p TEXT" per non-empty paragraph, then per section
      "section WIDTH HEIGHT COLUMNS TYPE": the page size in points, the
      columns as a word processor counts them (the w:col entries, or
      w:cols/@w:num for equal columns, which list none) and the w:type
      of the break (nextPage when absent).

Words: the paragraphs of the body, of table cells and of text boxes
(w:txbxContent) in document order, each read with python-docx's
Paragraph.text, against the words pdftotext finds. Both sides are
normalised as the corpus README says: NFKC (which also splits the
ligature characters), soft hyphens and byte-order marks dropped,
whitespace collapsed (see words() for scripts without spaces and
right-to-left words). Coverage is the share of the PDF's words (as a
multiset) found in the DOCX; the sequence ratio is difflib's
SequenceMatcher ratio over the two word lists, without the automatic
junk heuristic (which would ignore the commonest words of long texts).
"""
import collections
import difflib
import os
import subprocess
import sys
import tempfile
import unicodedata
import zipfile

import docx
from docx.oxml.ns import qn
from docx.text.paragraph import Paragraph

MIN_COVERAGE = 0.98
MIN_RATIO = 0.95
MC_FALLBACK = '{http://schemas.openxmlformats.org/markup-compatibility/2006}Fallback'


def is_ideographic(c):
    o = ord(c)
    return (0x3040 <= o <= 0x30ff or 0x3400 <= o <= 0x4dbf or 0x4e00 <= o <= 0x9fff or 0xac00 <= o <= 0xd7af
            or 0xf900 <= o <= 0xfaff or 0x20000 <= o <= 0x2ffff)


def is_rtl(c):
    return unicodedata.bidirectional(c) in ('R', 'AL')


def words(text):
    """Normalised words: NFKC, format characters (soft hyphens, byte-order
    marks, bidi controls) dropped, split at whitespace; kana, CJK and
    hangul characters are words of their own, as scripts written without
    spaces have no other word boundary. pdftotext writes right-to-left
    words in visual or logical order depending on the file, so such a
    word stands for the bag of its characters (sorted)."""
    text = unicodedata.normalize('NFKC', text)
    text = ''.join(c for c in text if unicodedata.category(c) != 'Cf')
    result = []
    for word in text.split():
        piece = ''
        for c in word:
            if is_ideographic(c):
                if piece:
                    result.append(piece)
                result.append(c)
                piece = ''
            else:
                piece += c
        if piece:
            result.append(piece)
    return [''.join(sorted(w)) if any(is_rtl(c) for c in w) else w for w in result]


def dehyphenated(items):
    """pdftotext joins a word broken by a hyphen at a line end ("adip-",
    "iscing" -> "adipiscing"); a document that keeps the broken word (in
    one paragraph or across two) gets the same join, so that both sides
    count it as one word."""
    result = []
    for w in items:
        if result and len(result[-1]) > 1 and result[-1].endswith('-') and result[-1][-2].isalpha() and w[:1].islower():
            result[-1] = result[-1][:-1] + w
        else:
            result.append(w)
    return result


def docx_paragraphs(document):
    """Every w:p of the body in document order (text boxes and cells too),
    leaving out the fallback copies of alternate content."""
    body = document.element.body
    for p in body.iter(qn('w:p')):
        if any(a.tag == MC_FALLBACK for a in p.iterancestors()):
            continue
        yield Paragraph(p, document)


def docx_words(document):
    result = []
    for paragraph in docx_paragraphs(document):
        result += words(paragraph.text)
    return dehyphenated(result)


def pdf_words(pdf):
    out = subprocess.run(['pdftotext', '-enc', 'UTF-8', pdf, '-'], capture_output=True, check=True)
    return dehyphenated(words(out.stdout.decode('utf-8', errors='replace')))


def pdf_pages(pdf):
    out = subprocess.run(['pdfinfo', pdf], capture_output=True, text=True)
    for line in out.stdout.splitlines():
        if line.startswith('Pages:'):
            return int(line.split()[1])
    return None


def coverage(ours, want):
    have = collections.Counter(ours)
    need = collections.Counter(want)
    return sum(min(have[w], n) for w, n in need.items()) / max(1, len(want))


def ratio(ours, want):
    return difflib.SequenceMatcher(None, want, ours, autojunk=False).ratio()


def missing_sample(ours, want, limit=12):
    have = collections.Counter(ours)
    sample = []
    for w in want:
        if have[w] > 0:
            have[w] -= 1
        elif w not in sample:
            sample.append(w)
            if len(sample) == limit:
                break
    return ' '.join(sample)


def xml_problems(path):
    """xmllint --noout on every XML part of the package."""
    with tempfile.TemporaryDirectory() as folder:
        with zipfile.ZipFile(path) as z:
            parts = [n for n in z.namelist() if n.endswith('.xml') or n.endswith('.rels')]
            files = []
            for i, n in enumerate(parts):
                f = os.path.join(folder, '%d.xml' % i)
                with open(f, 'wb') as out:
                    out.write(z.read(n))
                files.append(f)
        if not files:
            return 'no XML parts'
        run = subprocess.run(['xmllint', '--noout'] + files, capture_output=True, text=True)
        if run.returncode == 0:
            return None
        text = run.stderr
        for i, n in enumerate(parts):
            text = text.replace(os.path.join(folder, '%d.xml' % i), n)
        return text.strip().replace('\n', ' | ')[:400]


def check_corpus(listing, lo_dir, ooxml_check):
    failed = 0

    def report(name, check, ok, detail=''):
        nonlocal failed
        failed += not ok
        print('check\t%s\t%s\t%s\t%s' % (name, check, 'ok' if ok else 'fail', detail), flush=True)

    with open(listing, encoding='utf-8') as f:
        rows = [line.rstrip('\n').split('\t') for line in f if line.strip()]
    for path, pdf, pages, measure, name in rows:
        figures = {}
        if not os.path.isfile(path):
            report(name, 'converted', False, 'no DOCX written')
            continue
        try:
            document = docx.Document(path)
            report(name, 'python-docx', True)
        except Exception as e:  # any reading failure is the finding
            document = None
            report(name, 'python-docx', False, '%s: %s' % (type(e).__name__, e))
        problem = xml_problems(path)
        report(name, 'xmllint', problem is None, problem or '')
        if ooxml_check != '-':
            run = subprocess.run(['/usr/bin/python3', ooxml_check, path], capture_output=True, text=True)
            report(name, 'ooxml-check', run.returncode == 0, run.stdout.strip().replace('\n', ' | ')[:400])
        lo_pdf = os.path.join(lo_dir, os.path.splitext(os.path.basename(path))[0] + '.pdf')
        lo_pages = pdf_pages(lo_pdf) if os.path.isfile(lo_pdf) else None
        figures['pages'] = '%s/%s' % (pages, lo_pages)
        report(name, 'LibreOffice pages', lo_pages == int(pages),
               'source %s, LibreOffice %s' % (pages, 'no PDF' if lo_pages is None else lo_pages))
        if measure == '1' and document is not None:
            want = pdf_words(pdf)
            ours = docx_words(document)
            c = coverage(ours, want)
            r = ratio(ours, want)
            figures['coverage'] = '%.4f' % c
            figures['ratio'] = '%.4f' % r
            figures['words'] = '%d/%d' % (len(ours), len(want))
            report(name, 'word coverage', c >= MIN_COVERAGE,
                   '%.4f < %.2f; missing e.g.: %s' % (c, MIN_COVERAGE, missing_sample(ours, want)) if c < MIN_COVERAGE else '%.4f' % c)
            report(name, 'sequence ratio', r >= MIN_RATIO,
                   '%.4f < %.2f' % (r, MIN_RATIO) if r < MIN_RATIO else '%.4f' % r)
        print('figures\t%s\t%s' % (name, ' '.join('%s %s' % kv for kv in figures.items())), flush=True)
    return 1 if failed else 0


def layout(path):
    document = docx.Document(path)
    for paragraph in docx_paragraphs(document):
        if paragraph.text.strip():
            print('p ' + paragraph.text)
    for section in document.sections:
        sect = section._sectPr
        cols = sect.find(qn('w:cols'))
        count = 1
        if cols is not None:
            listed = cols.findall(qn('w:col'))
            count = len(listed) if listed else int(cols.get(qn('w:num'), '1'))
        kind = sect.find(qn('w:type'))
        width, height = section.page_width, section.page_height
        print('section %g %g %d %s' % (width.pt if width is not None else 0, height.pt if height is not None else 0,
                                       count, 'nextPage' if kind is None else kind.get(qn('w:val'))))
    return 0


def main(argv):
    if len(argv) == 5 and argv[1] == 'corpus':
        return check_corpus(argv[2], argv[3], argv[4])
    if len(argv) == 3 and argv[1] == 'layout':
        return layout(argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv))
