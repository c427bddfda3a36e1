// The output folder the user chose, kept in the settings as a folder path.
// Without one (or when it is gone) outputs go to "Downloads" in the home
// folder.
#pragma once

#include <QString>

#include <optional>

namespace rz::app {

// The settings key of the chosen output folder.
inline constexpr const char* kOutputFolderKey = "QXDefaulExportDirectory_SandBox";

class QXSandBoxUtilities {
public:
    // The stored folder when one is stored and it is an existing folder.
    static std::optional<QString> UserSelectedOutputURLBookmark();
    static std::optional<QString> UserSelectedOutputURLBookmarkForKey(const QString& key);
    // True when the stored folder exists and the program may read, write
    // and enter it.
    static bool isReadAndWritableUserSelectedOutputURLBookmark();
    static bool isReadAndWritableUserSelectedOutputURL(const QString& folder);
    // Stores `folder` (made absolute) under the key; false for an empty path
    // or when the settings could not be written, the old entry then kept.
    static bool SaveUserSelectedOutputURLBookmark(const QString& folder);
    static bool SaveUserSelectedOutputURLBookmark(const QString& folder, const QString& key);

    // "Downloads" in the home folder, made when missing.
    static QString defaultOutputFolder();
    // The folder outputs are written to: the stored one when it exists,
    // else the default folder. Always an existing folder when it could be made.
    static QString outputFolder();
};

} // namespace rz::app
