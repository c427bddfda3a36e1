#include "app/widgets/QXShellServices.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QVariantMap>

namespace rz::app {

bool QXDesktopShellServices::openFile(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QXDesktopShellServices::revealFile(const QString& path)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage answer = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    if (answer.type() != QDBusMessage::ReplyMessage)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

bool QXDesktopShellServices::openURL(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

std::optional<QString> QXDesktopShellServices::chooseFolder(QWidget* parent, const QString& title,
                                                            const QString& startFolder)
{
    QFileDialog dialog(parent, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QStringList> QXDesktopShellServices::chooseFiles(QWidget* parent, const QString& message,
                                                               const QString& prompt)
{
    QFileDialog dialog(parent, message);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, prompt);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles();
}

void QXDesktopShellServices::setBadgeCount(int count)
{
    QDBusMessage update = QDBusMessage::createSignal(QStringLiteral("/org/rzconverter/LauncherEntry"),
                                                     QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                                     QStringLiteral("Update"));
    const QVariantMap properties{{QStringLiteral("count"), qint64(count)},
                                 {QStringLiteral("count-visible"), count > 0}};
    update << QStringLiteral("application://rzconverter.desktop") << properties;
    QDBusConnection::sessionBus().send(update);
}

} // namespace rz::app
