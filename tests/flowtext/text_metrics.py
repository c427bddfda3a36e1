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
Prints the figures on stdout.
"""
import collections
import re
import sys
import unicodedata


def normalise(text):
    text = text.replace('\ufeff', '').replace('\u00ad', '')
    text = unicodedata.normalize('NFKC', text)
    return re.sub(r'\s+', ' ', text).strip()


def read(path):
    with open(path, encoding='utf-8') as f:
        return normalise(f.read())


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
