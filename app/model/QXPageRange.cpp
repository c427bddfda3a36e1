#include "app/model/QXPageRange.h"

#include <QStringList>

#include <algorithm>

namespace rz::app {

namespace {

// Reads the integer at the start of `piece` (blanks skipped, an optional
// "+", then digits; no digits read 0), saturating at `cap`.
long long leadingNumber(const QString& piece, long long cap)
{
    qsizetype i = 0;
    while (i < piece.size() && piece[i].isSpace())
        ++i;
    if (i < piece.size() && piece[i] == QLatin1Char('+'))
        ++i;
    long long value = 0;
    for (; i < piece.size(); ++i) {
        const char16_t c = piece[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        value = std::min(cap, value * 10 + (c - u'0'));
    }
    return value;
}

} // namespace

std::vector<long long> QXPageIndexsForRange(int rangeType, const QString& rangeText, long long pageCount,
                                            const QString& allPagesText)
{
    std::vector<long long> pages;
    const long long n = std::max(0LL, pageCount);
    const auto allPages = [&] {
        for (long long p = 1; p <= n; ++p)
            pages.push_back(p);
    };
    if (rangeType == QXPageRangeAll) {
        allPages();
        return pages;
    }
    if (rangeType != QXPageRangeCustom)
        return pages;
    if (rangeText.isEmpty()) {
        if (n > 0)
            pages.push_back(1);
        return pages;
    }
    const QString lowered = rangeText.toLower();
    if (lowered == QLatin1String("all pages") || (!allPagesText.isEmpty() && lowered == allPagesText.toLower())) {
        allPages();
        return pages;
    }
    // Every number above the document reads as n + 1: it is dropped, and a
    // range reaching beyond the document stops at its end.
    const long long cap = n + 1;
    const auto take = [&](long long v) {
        if (v >= 1 && v <= n)
            pages.push_back(v);
    };
    for (const QString& piece : rangeText.split(QLatin1Char(','))) {
        if (!piece.contains(QLatin1Char('-'))) {
            take(leadingNumber(piece, cap));
            continue;
        }
        const QStringList ends = piece.split(QLatin1Char('-'));
        if (ends.size() != 2)
            continue;
        const long long a = leadingNumber(ends[0], cap);
        const long long b = leadingNumber(ends[1], cap);
        if (a < b) {
            for (long long v = a; v <= b; ++v)
                take(v);
        } else {
            for (long long v = a; v >= b; --v)
                take(v);
        }
    }
    return pages;
}

} // namespace rz::app
