#include "converter/ooxml/QXPDFInfo.h"

#include "platform/core/Numbers.h"
#include "platform/pdf/PdfDocument.h"

#include <cctype>

namespace rz {

namespace {

// Reads `count` digits at `pos`; false when they are not all there.
bool readDigits(std::string_view text, size_t& pos, size_t count, int& value)
{
    if (pos + count > text.size())
        return false;
    int result = 0;
    for (size_t i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    value = result;
    pos += count;
    return true;
}

} // namespace

const std::string& QXPDFInfo::defaultCreator()
{
    static const std::string value = "Verdexa Sheets";
    return value;
}

const std::string& QXPDFInfo::defaultCompany()
{
    static const std::string value = "Verdexa";
    return value;
}

const std::string& QXPDFInfo::defaultCopyright()
{
    static const std::string value = "Copyright \xC2\xA9 Verdexa. All rights reserved.";
    return value;
}

const std::string& QXPDFInfo::defaultWebsite()
{
    static const std::string value = "https://rzconverter.org";
    return value;
}

QXPDFInfo::QXPDFInfo()
    : author_(defaultCreator()),
      creator_(defaultCompany()),
      note_(defaultCopyright() + "\n" + defaultWebsite())
{
}

std::shared_ptr<QXPDFInfo> QXPDFInfo::initWithCGPDFDocument(const std::shared_ptr<const pdf::Document>& document)
{
    if (!document)
        return nullptr;
    auto info = std::make_shared<QXPDFInfo>();
    const int pages = document->pageCount();
    info->numPages_ = pages > 0 ? static_cast<std::uint64_t>(pages) : 0;
    info->loadDocumentInfo(*document);
    return info;
}

void QXPDFInfo::loadDocumentInfo(const pdf::Document& document)
{
    // "1.7": major and minor version.
    const std::string version = document.version();
    const size_t dot = version.find('.');
    if (dot != std::string::npos) {
        const auto major = parseInteger(std::string_view(version).substr(0, dot));
        const auto minor = parseInteger(std::string_view(version).substr(dot + 1));
        if (major && minor && *major >= 0 && *major <= 99 && *minor >= 0 && *minor <= 99) {
            majorVersion_ = static_cast<int>(*major);
            minorVersion_ = static_cast<int>(*minor);
        }
    }

    const auto replace = [&](const char* key, std::string& field) {
        std::string value = document.infoString(key);
        if (!value.empty())
            field = std::move(value);
    };
    replace("Title", title_);
    replace("Author", author_);
    replace("Subject", subject_);
    replace("Keywords", keywords_);
    replace("Producer", producer_);
    creationDate_ = parsePDFDate(document.infoString("CreationDate"));
    modificationDate_ = parsePDFDate(document.infoString("ModDate"));
}

std::optional<QXPDFInfo::Date> QXPDFInfo::parsePDFDate(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    if (text.substr(0, 2) == "D:")
        text.remove_prefix(2);

    size_t pos = 0;
    int year = 0, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    if (!readDigits(text, pos, 4, year))
        return std::nullopt;
    // Each later field is optional, but only in order.
    if (readDigits(text, pos, 2, month) && readDigits(text, pos, 2, day) &&
        readDigits(text, pos, 2, hour) && readDigits(text, pos, 2, minute))
        readDigits(text, pos, 2, second);

    int offsetMinutes = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        const int sign = text[pos] == '-' ? -1 : 1;
        ++pos;
        int offsetHours = 0, offsetMins = 0;
        if (readDigits(text, pos, 2, offsetHours)) {
            if (pos < text.size() && text[pos] == '\'')
                ++pos;
            readDigits(text, pos, 2, offsetMins);
        }
        if (offsetHours > 23 || offsetMins > 59)
            return std::nullopt;
        offsetMinutes = sign * (offsetHours * 60 + offsetMins);
    }

    using namespace std::chrono;
    if (month < 1 || month > 12 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok())
        return std::nullopt;
    const sys_seconds local = sys_days{date} + hours{hour} + minutes{minute} + seconds{second};
    return time_point_cast<system_clock::duration>(local - minutes{offsetMinutes});
}

} // namespace rz
