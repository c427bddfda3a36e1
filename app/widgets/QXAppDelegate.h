// The desktop program's one window and its conversion road: the source list
// on the left, the settings pane and the convert button on the right, and
// the conversion manager that converts the listed files one after another.
#pragma once

#include "app/widgets/QXSettingsViewController.h"
#include "app/widgets/QXSourceFileViewController.h"
#include "converter/QXRUZIzevudaraManager.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QMainWindow;

namespace rz::app {

class QXImageButton;
class QXQtMainQueue;
class QXShellServices;

// The name the window shows.
inline constexpr const char* kApplicationName = "RZ Converter";

class QXAppDelegate : public QObject,
                      public QXRUZIzevudaraManagerDelegate,
                      public QXSourceFileViewControllerDelegate,
                      public QXSettingsViewControllerDelegate {
    Q_OBJECT
public:
    // Builds the window; `services` (not owned) reach the desktop.
    explicit QXAppDelegate(QXShellServices& services, QObject* parent = nullptr);
    ~QXAppDelegate() override;

    // The running program's delegate once launching has finished, else null.
    static QXAppDelegate* sharedInstance();

    // Makes the conversion manager and shows the window.
    void applicationDidFinishLaunching();
    // Files given on the command line or by a file manager join the list.
    void application_openFiles(const QStringList& paths);
    // True when the list is empty or every listed file has an output path:
    // closing the window then ends the program.
    bool applicationShouldTerminateAfterLastWindowClosed() const;

    // The convert button: asks for an output folder first when none usable is kept.
    void startOrStopConversion();
    // Starts a run over the list, or stops the running one.
    void startOrStopConversionGo();

    void support_TechnicalSupport();
    void support_tellAFriend();

    QMainWindow* window() const { return window_; }
    QXSourceFileViewController* sourceFileViewController() const { return sourceFileViewController_; }
    QXSettingsViewController* settingsViewController() const { return settingsViewController_; }
    QXImageButton* btn_convert() const { return btn_convert_; }
    QXRUZIzevudaraManager* converterManager() const { return converterManager_.get(); }
    // A stopped run has not reported its end yet; the button waits for it.
    bool isStopping() const { return stopping_; }

    // The preference to open each output once it is written; on by default.
    // Read from the preferences window.
    static bool openFileAfterConversion();

signals:
    // The manager reported the end of a run (all files done, or stopped).
    void conversionRunEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setReadyToConvertImages();
    void setConvertingImages();
    void darkModeChanged();
    void composeMail(const QString& subject, const QString& body);

    void QXSourceFileViewControllerDidUpdateSelection(QXSourceFileViewController&) override;
    void QXSettingsViewControllerDidUpdateSettings(QXSettingsViewController&) override;
    void QXSettingsViewControllerDidCreationFirstOutputDirectory(QXSettingsViewController&) override;

    void QXRUZIzevudaraManagerWillStartConversion(QXRUZIzevudaraManager&) override;
    void QXRUZIzevudaraManagerDidEndConversion(QXRUZIzevudaraManager&) override;
    void QXRUZIzevudaraManager_didStartConversion_withError(QXRUZIzevudaraManager&, rz::QXSourceFileItem&,
                                                            const std::optional<QXError>&) override;
    void QXRUZIzevudaraManager_didEndConversion_withError(QXRUZIzevudaraManager&, rz::QXSourceFileItem&,
                                                          const std::optional<QXError>&) override;
    void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
        QXRUZIzevudaraManager&, rz::QXSourceFileItem&, uint64_t pdfPage, uint64_t position, uint64_t done) override;
    void QXRUZIzevudaraManager_didConversion_willSaveDoc(QXRUZIzevudaraManager&, rz::QXSourceFileItem&,
                                                         const std::optional<QXError>&) override;

    QXShellServices& services_;
    QMainWindow* window_ = nullptr;
    QWidget* leftView_ = nullptr;
    QWidget* rightView_ = nullptr;
    QXSourceFileViewController* sourceFileViewController_ = nullptr;
    QXSettingsViewController* settingsViewController_ = nullptr;
    QXImageButton* btn_convert_ = nullptr;
    QXQtMainQueue* mainQueue_ = nullptr;
    std::unique_ptr<QXRUZIzevudaraManager> converterManager_;
    bool stopping_ = false;
};

} // namespace rz::app
