#include "pdfengine/fonts/QXPDFCMapTokenizer.h"

namespace rz {

namespace {

bool isWhite(int c)
{
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool isDelimiter(int c)
{
    switch (c) {
    case '%': case '(': case ')': case '/': case '<': case '>':
    case '[': case ']': case '{': case '}':
        return true;
    default:
        return false;
    }
}

} // namespace

QXPDFCMapTokenizer::QXPDFCMapTokenizer(std::string_view data) : charData_(data) {}

int QXPDFCMapTokenizer::lookChar()
{
    if (pos_ >= charData_.size())
        return -1;
    return static_cast<unsigned char>(charData_[pos_]);
}

int QXPDFCMapTokenizer::getChar()
{
    const int c = lookChar();
    if (c >= 0)
        ++pos_;
    return c;
}

bool QXPDFCMapTokenizer::getToken(std::string& token, size_t size)
{
    token.clear();
    const size_t keep = size > 0 ? size - 1 : 0;
    auto append = [&](int ch) {
        if (token.size() < keep)
            token.push_back(static_cast<char>(ch));
    };

    int c = 0;
    bool comment = false;
    for (;;) {
        c = getChar();
        if (c < 0)
            return false;
        if (comment) {
            if (c == '\n' || c == '\r')
                comment = false;
        } else if (c == '%') {
            comment = true;
        } else if (!isWhite(c)) {
            break;
        }
    }

    append(c);
    if (c == '(') {
        bool backslash = false;
        while ((c = getChar()) >= 0) {
            append(c);
            if (c == '\\')
                backslash = true;
            else if (!backslash && c == ')')
                break;
            else
                backslash = false;
        }
    } else if (c == '<') {
        while ((c = getChar()) >= 0) {
            if (!isWhite(c))
                append(c);
            if (c == '>')
                break;
        }
    } else if (c != '[' && c != ']') {
        while ((c = lookChar()) >= 0 && !isWhite(c) && !isDelimiter(c)) {
            getChar();
            append(c);
        }
    }
    return true;
}

} // namespace rz
