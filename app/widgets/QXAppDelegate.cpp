#include "app/widgets/QXAppDelegate.h"

#include "app/model/QXCUtilities.h"
#include "app/model/QXConversionProgress.h"
#include "app/model/QXSandBoxUtilities.h"
#include "app/widgets/QXColorView.h"
#include "app/widgets/QXImageButton.h"
#include "app/widgets/QXImages.h"
#include "app/widgets/QXPreferencesWindowController.h"
#include "app/widgets/QXQtMainQueue.h"
#include "app/widgets/QXShellServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

#include <pwd.h>
#include <unistd.h>

#include <cstdio>

namespace rz::app {

namespace {

QXAppDelegate* gSharedInstance = nullptr;

constexpr const char* kSupportAddress = "support@rzconverter.org";
const QSize kConvertButtonSize(180, 44);

QString userFullName()
{
    if (const passwd* entry = ::getpwuid(::getuid())) {
        const QString gecos = QString::fromLocal8Bit(entry->pw_gecos ? entry->pw_gecos : "").section(QLatin1Char(','), 0, 0);
        return gecos.isEmpty() ? QString::fromLocal8Bit(entry->pw_name) : gecos;
    }
    return {};
}

} // namespace

QXAppDelegate::QXAppDelegate(QXShellServices& services, QObject* parent) : QObject(parent), services_(services)
{
    mainQueue_ = new QXQtMainQueue(this);

    window_ = new QMainWindow;
    window_->setObjectName(QStringLiteral("window"));
    window_->resize(900, 600);
    window_->setMinimumSize(720, 480);
    window_->setWindowIcon(qx_iconNamed(QStringLiteral("rzconverter")));

    auto* splitter = new QSplitter(Qt::Horizontal, window_);
    leftView_ = new QWidget(splitter);
    // The settings side: a soft gradient of the window's own colour, so it
    // follows a dark theme as well.
    auto* rightBackground = new QXColorView(splitter);
    const QColor windowColour = window_->palette().color(QPalette::Window);
    rightBackground->setStartingColor(windowColour.lighter(104));
    rightBackground->setEndingColor(windowColour.darker(106));
    rightView_ = rightBackground;
    rightView_->setMinimumWidth(320);
    rightView_->setMaximumWidth(420);
    splitter->addWidget(leftView_);
    splitter->addWidget(rightView_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setChildrenCollapsible(false);
    window_->setCentralWidget(splitter);

    sourceFileViewController_ = new QXSourceFileViewController(services_, leftView_);
    sourceFileViewController_->setDelegate(this);
    auto* leftLayout = new QVBoxLayout(leftView_);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(sourceFileViewController_);

    settingsViewController_ = new QXSettingsViewController(services_, rightView_);
    settingsViewController_->setDelegate(this);
    btn_convert_ = new QXImageButton(rightView_);
    btn_convert_->setObjectName(QStringLiteral("btn_convert"));
    btn_convert_->setFixedSize(kConvertButtonSize);
    btn_convert_->setToolTip(qx_sharedLocalized("Convert"));
    connect(btn_convert_, &QXImageButton::clicked, this, [this] { startOrStopConversion(); });
    auto* rightLayout = new QVBoxLayout(rightView_);
    rightLayout->setContentsMargins(0, 0, 0, 12);
    rightLayout->addWidget(settingsViewController_, 1);
    rightLayout->addWidget(btn_convert_, 0, Qt::AlignHCenter);
    setReadyToConvertImages();

    QMenu* file = window_->menuBar()->addMenu(qx_sharedLocalized("&File"));
    QAction* add = file->addAction(qx_sharedLocalized("&Add Files..."));
    add->setShortcut(QKeySequence::Open);
    connect(add, &QAction::triggered, this, [this] { sourceFileViewController_->sourceFileBrowse(); });
    QAction* removeAll = file->addAction(qx_sharedLocalized("Remove All"));
    connect(removeAll, &QAction::triggered, this, [this] { sourceFileViewController_->sourceFileRemoveAllFromQueue(); });
    file->addSeparator();
    QAction* preferences = file->addAction(qx_sharedLocalized("&Preferences..."));
    preferences->setObjectName(QStringLiteral("showPreferences"));
    preferences->setShortcut(QKeySequence::Preferences);
    connect(preferences, &QAction::triggered, this, [] { QXPreferencesWindowController::sharedInstance()->showWindow(); });
    file->addSeparator();
    QAction* quit = file->addAction(qx_sharedLocalized("&Quit"));
    quit->setShortcut(QKeySequence::Quit);
    // Quitting is always allowed, whatever the list holds.
    connect(quit, &QAction::triggered, this, [] { QCoreApplication::exit(0); });
    QMenu* help = window_->menuBar()->addMenu(qx_sharedLocalized("&Help"));
    connect(help->addAction(qx_sharedLocalized("Technical Support")), &QAction::triggered, this,
            [this] { support_TechnicalSupport(); });
    connect(help->addAction(qx_sharedLocalized("Tell a Friend")), &QAction::triggered, this,
            [this] { support_tellAFriend(); });

    window_->setWindowTitle(qx_sharedLocalized(kApplicationName));
    window_->installEventFilter(this);
}

QXAppDelegate::~QXAppDelegate()
{
    // The manager goes first: its converter stops and drops the reports
    // still to come, which would otherwise reach the views below.
    if (converterManager_)
        converterManager_->setDelegate(nullptr);
    converterManager_.reset();
    if (gSharedInstance == this)
        gSharedInstance = nullptr;
    delete window_;
}

QXAppDelegate* QXAppDelegate::sharedInstance()
{
    return gSharedInstance;
}

void QXAppDelegate::applicationDidFinishLaunching()
{
    gSharedInstance = this;
    converterManager_ = std::make_unique<QXRUZIzevudaraManager>(*mainQueue_);
    converterManager_->setDelegate(this);
    converterManager_->setParserPDFAnnotsPreference(
        [] { return QXPreferencesWindowController::sharedInstance()->parserPDFAnnots(); });
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void QXAppDelegate::application_openFiles(const QStringList& paths)
{
    sourceFileViewController_->addFilesToCheckQueue(paths);
}

bool QXAppDelegate::applicationShouldTerminateAfterLastWindowClosed() const
{
    for (const auto& item : sourceFileViewController_->ma_sourceItems()) {
        if (item->outputPath().empty())
            return false;
    }
    return true;
}

bool QXAppDelegate::openFileAfterConversion()
{
    return QXPreferencesWindowController::sharedInstance()->openFileAfterConversion();
}

void QXAppDelegate::startOrStopConversion()
{
    if (stopping_)
        return;
    if (QXSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmark())
        startOrStopConversionGo();
    else
        settingsViewController_->browseOutputDirectryBeforeConversion();
}

void QXAppDelegate::startOrStopConversionGo()
{
    if (!converterManager_ || stopping_)
        return;
    const auto& items = sourceFileViewController_->ma_sourceItems();
    if (items.empty()) {
        converterManager_->stopConversion();
        setReadyToConvertImages();
        return;
    }
    if (converterManager_->isConverting()) {
        // The file in hand ends after its current page; until the manager
        // reports the end, the button waits so that two runs never overlap.
        stopping_ = true;
        btn_convert_->setEnable(false);
        converterManager_->stopConversion();
        setReadyToConvertImages();
        return;
    }
    converterManager_->setMa_sourceItems({items.begin(), items.end()});
    setConvertingImages();
    converterManager_->startConversion();
}

void QXAppDelegate::setReadyToConvertImages()
{
    btn_convert_->setNormalImage(qx_imageNamed(QStringLiteral("btn-convert"), kConvertButtonSize));
    btn_convert_->setMouseDownImage(qx_imageNamed(QStringLiteral("btn-convert-down"), kConvertButtonSize));
    btn_convert_->setMouseInImage(qx_imageNamed(QStringLiteral("btn-convert-hover"), kConvertButtonSize));
    btn_convert_->setToolTip(qx_sharedLocalized("Convert"));
    btn_convert_->setAccessibleName(qx_sharedLocalized("Convert"));
}

void QXAppDelegate::setConvertingImages()
{
    btn_convert_->setNormalImage(qx_imageNamed(QStringLiteral("btn-cancel"), kConvertButtonSize));
    btn_convert_->setMouseDownImage(qx_imageNamed(QStringLiteral("btn-cancel-down"), kConvertButtonSize));
    btn_convert_->setMouseInImage(qx_imageNamed(QStringLiteral("btn-cancel-hover"), kConvertButtonSize));
    btn_convert_->setToolTip(qx_sharedLocalized("Cancel"));
    btn_convert_->setAccessibleName(qx_sharedLocalized("Cancel"));
}

bool QXAppDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_) {
        if (event->type() == QEvent::Close && !applicationShouldTerminateAfterLastWindowClosed()) {
            // Files wait in the list: the program stays, its window
            // minimised where the user finds it again.
            event->ignore();
            window_->showMinimized();
            return true;
        }
        if (event->type() == QEvent::ThemeChange)
            darkModeChanged();
    }
    return QObject::eventFilter(watched, event);
}

void QXAppDelegate::darkModeChanged()
{
    std::fprintf(stderr, "Dark mode changed %s\n", btn_convert_->isDarkAppearance() ? "dark" : "light");
}

void QXAppDelegate::composeMail(const QString& subject, const QString& body)
{
    const QString address = QStringLiteral("mailto:%1?%2&%3")
                                .arg(QString::fromLatin1(QUrl::toPercentEncoding(QString::fromLatin1(kSupportAddress), "@")),
                                     QStringLiteral("SUBJECT=%1").arg(QString::fromLatin1(QUrl::toPercentEncoding(subject))),
                                     QStringLiteral("BODY=%1").arg(QString::fromLatin1(QUrl::toPercentEncoding(body))));
    services_.openURL(QUrl(address, QUrl::StrictMode));
}

void QXAppDelegate::support_TechnicalSupport()
{
    const QString subject = QString::fromLatin1(kApplicationName) +
                            QStringLiteral(" - %1: %2").arg(QCoreApplication::applicationVersion(),
                                                            qx_sharedLocalized("Technical Support"));
    const QLocale locale;
    const QString localeName = locale.name(); // "de_CH"
    QString body = qx_sharedLocalized("\n \n \n \n \nMy Device Short Info:\n ");
    body += qx_sharedLocalized("User Name:%1\n ").arg(userFullName());
    body += qx_sharedLocalized("Devie Model:%1\n ").arg(QXDeviceModelString());
    body += qx_sharedLocalized("System Version:%1\n ").arg(QXSystemVersionString());
    body += qx_sharedLocalized("Country:%1\n ").arg(localeName.section(QLatin1Char('_'), 1, 1));
    body += qx_sharedLocalized("Language:%1\n ").arg(localeName.section(QLatin1Char('_'), 0, 0));
    composeMail(subject, body);
}

void QXAppDelegate::support_tellAFriend()
{
    const QString subject =
        qx_sharedLocalized("Try out \"%1\" on the %2").arg(QString::fromLatin1(kApplicationName), QStringLiteral("Linux"));
    qx_loadResources();
    QFile text(QStringLiteral(":/text/tellfriend-short.txt"));
    const QString body = text.open(QIODevice::ReadOnly) ? QString::fromUtf8(text.readAll()) : QString();
    composeMail(subject, body);
}

void QXAppDelegate::QXSourceFileViewControllerDidUpdateSelection(QXSourceFileViewController& list)
{
    settingsViewController_->setSourceFileItem(list.selectedItem());
}

void QXAppDelegate::QXSettingsViewControllerDidUpdateSettings(QXSettingsViewController& pane)
{
    if (pane.btn_outputApplyToAll()->isChecked() && pane.sourceFileItem())
        sourceFileViewController_->applyFormatToAllData(pane.sourceFileItem()->settings_outputFormat());
    sourceFileViewController_->reloadTableView();
}

void QXAppDelegate::QXSettingsViewControllerDidCreationFirstOutputDirectory(QXSettingsViewController&)
{
    startOrStopConversionGo();
}

void QXAppDelegate::QXRUZIzevudaraManagerWillStartConversion(QXRUZIzevudaraManager&)
{
    sourceFileViewController_->resetBeforeConversion();
}

void QXAppDelegate::QXRUZIzevudaraManagerDidEndConversion(QXRUZIzevudaraManager&)
{
    sourceFileViewController_->updateConversion(nullptr, 0);
    stopping_ = false;
    btn_convert_->setEnable(true);
    setReadyToConvertImages();
    window_->raise();
    emit conversionRunEnded();
}

void QXAppDelegate::QXRUZIzevudaraManager_didStartConversion_withError(QXRUZIzevudaraManager&,
                                                                       rz::QXSourceFileItem& item,
                                                                       const std::optional<QXError>&)
{
    sourceFileViewController_->selectTableRowWithItem(&item);
    sourceFileViewController_->updateConversion(&item, kProgressStarted);
}

void QXAppDelegate::QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
    QXRUZIzevudaraManager&, rz::QXSourceFileItem& item, uint64_t, uint64_t, uint64_t done)
{
    sourceFileViewController_->updateConversion(&item, QXPageProgress(done, item.outputPDFPageIndexs().size()));
}

void QXAppDelegate::QXRUZIzevudaraManager_didConversion_willSaveDoc(QXRUZIzevudaraManager&,
                                                                    rz::QXSourceFileItem& item,
                                                                    const std::optional<QXError>&)
{
    sourceFileViewController_->updateConversion(&item, kProgressSaving);
}

void QXAppDelegate::QXRUZIzevudaraManager_didEndConversion_withError(QXRUZIzevudaraManager&,
                                                                     rz::QXSourceFileItem& item,
                                                                     const std::optional<QXError>&)
{
    sourceFileViewController_->updateConversion(&item, kProgressEnded);
    // Only a file that converted without an error and whose output is
    // there is opened; a stopped or failed one never is.
    const auto* listed = dynamic_cast<const QXSourceFileItem*>(&item);
    if (!listed || !listed->conversionSucceeded() || !openFileAfterConversion())
        return;
    const QString output = QString::fromStdString(listed->outputPath());
    if (!services_.openFile(output))
        services_.revealFile(output);
}

} // namespace rz::app
