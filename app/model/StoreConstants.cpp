#include "app/model/StoreConstants.h"

#include "converter/QXRUZIzevudara.h"

#include <array>
#include <memory>

namespace rz::app {

namespace {

struct FormatEntry {
    const char* title;
    const char* extension;
    const char* icon;
};

constexpr std::array<FormatEntry, 7> kFormats = {{
    {"Microsoft Word(.docx)", "docx", "icon_docx"},
    {"Microsoft PowerPoint(.pptx)", "pptx", "icon_pptx"},
    {"Microsoft Excel(.xlsx)", "xlsx", "icon_xlsx"},
    {"Comma-Separated Values(.csv)", "csv", "icon_csv"},
    {"UTF-8 Plain Text(.txt)", "txt", "icon_txt"},
    {"Rich Text File(.rtf)", "rtf", "icon_rtf"},
    {"Web Source File(.html)", "html", "icon_html"},
}};

} // namespace

QMap<QString, QString> StoreConstants::FormatTypeDictionary()
{
    QMap<QString, QString> types;
    for (const FormatEntry& f : kFormats)
        types.insert(QString::fromLatin1(f.title), QString::fromLatin1(f.extension));
    return types;
}

QMap<QString, QString> StoreConstants::FormatIconDictionary()
{
    QMap<QString, QString> icons;
    for (const FormatEntry& f : kFormats)
        icons.insert(QString::fromLatin1(f.title), QString::fromLatin1(f.icon));
    return icons;
}

QStringList StoreConstants::FormatTitles()
{
    QStringList titles;
    for (const FormatEntry& f : kFormats)
        titles.append(QString::fromLatin1(f.title));
    return titles;
}

QStringList StoreConstants::ConvertibleFormatTitles()
{
    QStringList titles;
    auto options = std::make_shared<QXPDFOptions>();
    for (const FormatEntry& f : kFormats) {
        if (QXRUZIzevudara::newExporter(f.extension, options))
            titles.append(QString::fromLatin1(f.title));
    }
    return titles;
}

} // namespace rz::app
