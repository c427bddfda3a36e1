// What the program asks of the desktop: opening files and addresses,
// showing a file in the file manager, and choosing files or a folder. The program
// reaches the desktop only through this, so tests can put a recorder in
// its place.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QWidget;

namespace rz::app {

class QXShellServices {
public:
    virtual ~QXShellServices() = default;
    // Opens the file in its default application; false when that failed.
    virtual bool openFile(const QString& path) = 0;
    // Shows the file selected in the file manager, or else opens its folder.
    virtual void revealFile(const QString& path) = 0;
    // Hands the address (web or mail) to the default application.
    virtual bool openURL(const QUrl& url) = 0;
    // Asks for a folder, window-modal over `parent`; nothing on cancel.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& startFolder) = 0;
    // Asks for existing files, several at once, window-modal over `parent`,
    // in the order the dialog gives them; nothing on cancel.
    virtual std::optional<QStringList> chooseFiles(QWidget* parent, const QString& message, const QString& prompt) = 0;
    // The number shown on the program's launcher icon; 0 shows none.
    virtual void setBadgeCount(int count) = 0;
};

// The real desktop: QDesktopServices, the file manager's ShowItems call
// over D-Bus, and the file and folder dialogs.
class QXDesktopShellServices : public QXShellServices {
public:
    bool openFile(const QString& path) override;
    void revealFile(const QString& path) override;
    bool openURL(const QUrl& url) override;
    std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override;
    std::optional<QStringList> chooseFiles(QWidget* parent, const QString& message, const QString& prompt) override;
    // Through the launcher-entry signal that docks and task bars listen to.
    void setBadgeCount(int count) override;
};

} // namespace rz::app
