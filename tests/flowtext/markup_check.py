#!/usr/bin/python3
"""Structure checks of the HTML and RTF documents, as their readers see them.

  markup_check.py html FILE TITLE
      the document is well-formed UTF-8 without control characters (but
      tab, line feed and carriage return) or noncharacters, and parses with
      one title (equal to TITLE), one style element, no script element, and
      every p and span closed
  markup_check.py rtf FILE
      the document is 7-bit text without control characters (but tab, line
      feed and carriage return), every group opened is closed, the document
      is one group, and the font table holds no group of its own
"""
import html.parser
import sys


class Html(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.starts = []
        self.open = []
        self.title = ''
        self.in_title = False

    def handle_starttag(self, tag, attrs):
        self.starts.append(tag)
        if tag in ('p', 'span', 'b', 'i', 'title', 'style'):
            self.open.append(tag)
        self.in_title = tag == 'title'

    def handle_endtag(self, tag):
        if tag in ('p', 'span', 'b', 'i', 'title', 'style'):
            if not self.open or self.open[-1] != tag:
                raise SystemExit('misnested </%s>, open %r' % (tag, self.open))
            self.open.pop()
        self.in_title = False

    def handle_data(self, data):
        if self.in_title:
            self.title += data


def forbidden(c):
    """A character HTML and XML readers reject or report."""
    n = ord(c)
    if n < 0x20:
        return c not in '\t\n\r'
    return (0x7F <= n <= 0x9F or 0xD800 <= n <= 0xDFFF or 0xFDD0 <= n <= 0xFDEF
            or (n & 0xFFFE) == 0xFFFE)


def character_problems(text):
    bad = sorted({'U+%04X' % ord(c) for c in text if forbidden(c)})
    return ['forbidden characters: ' + ' '.join(bad)] if bad else []


def read_text(path, encoding):
    with open(path, 'rb') as f:
        data = f.read()
    try:
        return data.decode(encoding), []
    except UnicodeDecodeError as e:
        return data.decode(encoding, errors='replace'), ['not %s: %s' % (encoding, e)]


def check_html(path, title):
    text, problems = read_text(path, 'utf-8')
    problems += character_problems(text)
    parser = Html()
    parser.feed(text)
    parser.close()
    if parser.starts.count('style') != 1:
        problems.append('style elements: %d' % parser.starts.count('style'))
    if 'script' in parser.starts:
        problems.append('a script element')
    if parser.starts.count('title') != 1 or parser.title != title:
        problems.append('title %r' % parser.title)
    if parser.open:
        problems.append('left open: %r' % parser.open)
    return problems


def check_rtf(path):
    text, problems = read_text(path, 'ascii')
    problems += character_problems(text)
    depth = 0
    closed_at = None
    i = 0
    font_table = text.find('{\\fonttbl')
    font_table_end = text.find('}', font_table)
    if '{' in text[font_table + 1:font_table_end]:
        problems.append('a group inside the font table')
    while i < len(text):
        c = text[i]
        if c == '\\':
            i += 2
            continue
        if c == '{':
            depth += 1
        elif c == '}':
            depth -= 1
            if depth < 0:
                problems.append('closed more groups than opened')
                break
            if depth == 0 and closed_at is None:
                closed_at = i
        i += 1
    if depth != 0:
        problems.append('groups left open: %d' % depth)
    if closed_at is not None and closed_at != len(text) - 1:
        problems.append('text after the document group')
    return problems


def main(argv):
    problems = check_html(argv[2], argv[3]) if argv[1] == 'html' else check_rtf(argv[2])
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
