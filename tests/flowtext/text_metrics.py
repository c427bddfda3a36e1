#!/usr/bin/python3
"""Compares a text output with an expected text the way the corpus README
says: NFKC, soft hyphens and byte-order marks dropped, whitespace runs
collapsed to one space.

  text_metrics.py exact OUT EXPECTED
      exit 0 when the normalised texts are equal
  text_metrics.py recall OUT EXPECTED MIN_RECALL MIN_ORDER
      word recall (multiset) and order (longest common word subsequence
      over the expected word count); exit 0 when both reach their minimum
  text_metrics.py order OUT PHRASE1 PHRASE2 ...
      exit 0 when every phrase occurs, each after the one before
Prints the figures on stdout. An OUT ending in ".html" or ".rtf" is read
as its readers show it: the text of the body, line breaks and paragraphs
as new lines (HTML entities, RTF escapes and \\uN characters decoded; the
RTF font, colour and information tables left out).
"""
import collections
import html.parser
import re
import sys
import unicodedata


def normalise(text):
    text = text.replace('\ufeff', '').replace('\u00ad', '')
    text = unicodedata.normalize('NFKC', text)
    return re.sub(r'\s+', ' ', text).strip()


class HtmlText(html.parser.HTMLParser):
    HIDDEN = ('head', 'title', 'style', 'script')

    def __init__(self):
        super().__init__()
        self.parts = []
        self.hidden = 0

    def handle_starttag(self, tag, attrs):
        if tag in self.HIDDEN:
            self.hidden += 1
        elif tag in ('br', 'p'):
            self.parts.append('\n')

    def handle_endtag(self, tag):
        if tag in self.HIDDEN:
            self.hidden = max(0, self.hidden - 1)

    def handle_data(self, data):
        if not self.hidden:
            self.parts.append(data)


def html_text(source):
    parser = HtmlText()
    parser.feed(source)
    parser.close()
    return ''.join(parser.parts)


RTF_HIDDEN = ('fonttbl', 'colortbl', 'info', 'stylesheet', '*')
RTF_CONTROL = re.compile(r'\\([a-z]+)(-?\d+)? ?|\\(.)', re.S)


def rtf_text(source):
    units = []            # UTF-16 units, so that surrogate pairs join
    hidden_depths = []    # group depths whose text is not shown
    depth = 0
    i = 0
    while i < len(source):
        c = source[i]
        if c == '{':
            depth += 1
            i += 1
        elif c == '}':
            if hidden_depths and hidden_depths[-1] == depth:
                hidden_depths.pop()
            depth -= 1
            i += 1
        elif c == '\\':
            m = RTF_CONTROL.match(source, i)
            if not m:
                break
            i = m.end()
            word, number, symbol = m.group(1), m.group(2), m.group(3)
            shown = not hidden_depths
            if symbol is not None:
                if symbol in '\\{}' and shown:
                    units.append(ord(symbol))
                elif symbol in '\r\n' and shown:
                    units.append(10)
                elif symbol == '*':
                    hidden_depths.append(depth)
                elif symbol == "'" and shown:
                    units.append(int(source[i:i + 2], 16))
                    i += 2
            elif word in RTF_HIDDEN:
                hidden_depths.append(depth)
            elif not shown:
                pass
            elif word in ('par', 'line'):
                units.append(10)
            elif word == 'tab':
                units.append(9)
            elif word == 'u' and number is not None:
                units.append(int(number) % 65536)
        else:
            if not hidden_depths and c not in '\r\n':
                units.append(ord(c))
            i += 1
    data = b''.join(u.to_bytes(2, 'little') for u in units)
    return data.decode('utf-16-le', errors='replace')


def read(path):
    with open(path, encoding='utf-8') as f:
        source = f.read()
    if path.endswith('.html'):
        source = html_text(source)
    elif path.endswith('.rtf'):
        source = rtf_text(source)
    return normalise(source)


def lcs_length(a, b):
    previous = [0] * (len(b) + 1)
    for x in a:
        current = [0] * (len(b) + 1)
        for j, y in enumerate(b, 1):
            current[j] = previous[j - 1] + 1 if x == y else max(previous[j], current[j - 1])
        previous = current
    return previous[-1]


def main(argv):
    mode = argv[1]
    out = read(argv[2])
    if mode == 'exact':
        expected = read(argv[3])
        print('ours: %r\nwant: %r' % (out[:400], expected[:400]))
        return 0 if out == expected else 1
    if mode == 'recall':
        expected = read(argv[3]).split(' ')
        words = out.split(' ')
        ours = collections.Counter(words)
        want = collections.Counter(expected)
        recall = sum(min(ours[w], n) for w, n in want.items()) / max(1, len(expected))
        order = lcs_length(expected, words) / max(1, len(expected))
        print('recall %.4f order %.4f words %d expected %d' % (recall, order, len(words), len(expected)))
        return 0 if recall >= float(argv[4]) and order >= float(argv[5]) else 1
    if mode == 'order':
        at = 0
        for phrase in argv[3:]:
            found = out.find(normalise(phrase), at)
            print('%r at %d' % (phrase, found))
            if found < 0:
                return 1
            at = found + 1
        return 0
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv))
