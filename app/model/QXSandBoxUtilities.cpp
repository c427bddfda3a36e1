#include "app/model/QXSandBoxUtilities.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <unistd.h>

namespace rz::app {

std::optional<QString> QXSandBoxUtilities::UserSelectedOutputURLBookmark()
{
    return UserSelectedOutputURLBookmarkForKey(QString::fromLatin1(kOutputFolderKey));
}

std::optional<QString> QXSandBoxUtilities::UserSelectedOutputURLBookmarkForKey(const QString& key)
{
    const QString folder = QSettings().value(key).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return std::nullopt;
    return folder;
}

bool QXSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmark()
{
    const auto folder = UserSelectedOutputURLBookmark();
    return folder && isReadAndWritableUserSelectedOutputURL(*folder);
}

bool QXSandBoxUtilities::isReadAndWritableUserSelectedOutputURL(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    return ::access(QFile::encodeName(folder).constData(), R_OK | W_OK | X_OK) == 0;
}

bool QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(const QString& folder)
{
    return SaveUserSelectedOutputURLBookmark(folder, QString::fromLatin1(kOutputFolderKey));
}

bool QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(const QString& folder, const QString& key)
{
    if (folder.isEmpty())
        return false;
    QSettings settings;
    if (!settings.isWritable())
        return false;
    settings.setValue(key, QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    settings.sync();
    return true;
}

QString QXSandBoxUtilities::defaultOutputFolder()
{
    const QString folder = QDir::home().filePath(QStringLiteral("Downloads"));
    QDir().mkpath(folder);
    return folder;
}

QString QXSandBoxUtilities::outputFolder()
{
    if (const auto folder = UserSelectedOutputURLBookmark())
        return *folder;
    return defaultOutputFolder();
}

} // namespace rz::app
