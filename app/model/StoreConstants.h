// The output formats the desktop program offers: each format's title (also
// the entry of the format pop-up) with its extension and icon name.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace rz::app {

class StoreConstants {
public:
    // Title -> extension ("Microsoft Word(.docx)" -> "docx").
    static QMap<QString, QString> FormatTypeDictionary();
    // Title -> icon name ("Microsoft Word(.docx)" -> "icon_docx").
    static QMap<QString, QString> FormatIconDictionary();
    // Every title, in the order the pop-up lists them.
    static QStringList FormatTitles();
    // The titles whose format this build can write, in the same order.
    static QStringList ConvertibleFormatTitles();
};

// The title that every item starts with when no other was chosen.
inline constexpr const char* kDefaultOutputFormatTitle = "Microsoft Word(.docx)";

// Settings keys of the DOCX options that items added later start with.
inline constexpr const char* kWordMergeParagraphsKey = "Setting_Key_RUZIzevudara_Word_isMergeParagraphs";
inline constexpr const char* kWordTrimBlankSpaceKey = "Setting_Key_RUZIzevudara_Word_isTrimmingBlankSpaceCharacters";
inline constexpr const char* kWordShapesToImageKey = "Setting_Key_RUZIzevudara_Word_enableShapToImage";
inline constexpr const char* kWordMergeIntersectImagesKey = "Setting_Key_RUZIzevudara_Word_enableMergeIntersectImages";

} // namespace rz::app
