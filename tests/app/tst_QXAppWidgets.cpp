// The desktop program's widgets: the image button, the source list with its
// checks and sheets, and the conversion road from a file given to the
// program to its output on disk.
#include "app/model/QXSandBoxUtilities.h"
#include "app/model/StoreConstants.h"
#include "app/widgets/QXAppDelegate.h"
#include "app/widgets/QXColorView.h"
#include "app/widgets/QXImageButton.h"
#include "app/widgets/QXPreferencesWindowController.h"
#include "app/widgets/QXShellServices.h"
#include "app/widgets/QXWordSettings.h"
#include "exporters/StandardExporters.h"
#include "platform/core/Numbers.h"
#include "tests/support/PdfWriter.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <array>

using namespace rz::app;

namespace {

// Records what the program asks of the desktop and launches nothing.
class RecordingServices : public QXShellServices {
public:
    bool openFile(const QString& path) override
    {
        opened.append(path);
        return openSucceeds;
    }
    void revealFile(const QString& path) override { revealed.append(path); }
    bool openURL(const QUrl& url) override
    {
        urls.append(url);
        return true;
    }
    std::optional<QString> chooseFolder(QWidget*, const QString&, const QString&) override
    {
        ++folderQuestions;
        return folderAnswer;
    }
    std::optional<QStringList> chooseFiles(QWidget*, const QString& message, const QString&) override
    {
        fileQuestions.append(message);
        return filesAnswer;
    }
    void setBadgeCount(int count) override { badge = count; }

    QStringList opened, revealed;
    QList<QUrl> urls;
    bool openSucceeds = true;
    int folderQuestions = 0;
    std::optional<QString> folderAnswer;
    QStringList fileQuestions;
    std::optional<QStringList> filesAnswer;
    int badge = -1;
};

QString writeText(const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("not a PDF");
    return path;
}

QString corpusFile(const char* name)
{
    return QStringLiteral("/work/shared/corpus/passwords/") + QString::fromUtf8(name);
}

// The file names of the list, in row order, joined by commas.
QString listed(const QXSourceFileViewController& list)
{
    QStringList names;
    for (const auto& item : list.ma_sourceItems())
        names.append(QFileInfo(item->path()).fileName());
    return names.join(QLatin1Char(','));
}

QString shotPath(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

QString writePdf(const QString& folder, const QString& name, int pages)
{
    std::vector<rz::test::PageFixture> fixtures(static_cast<size_t>(pages));
    for (int i = 0; i < pages; ++i) {
        fixtures[size_t(i)].content = "BT /F1 12 Tf 72 700 Td (Page " + std::to_string(i + 1) + " of the road) Tj ET";
        fixtures[size_t(i)].resources =
            "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";
    }
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    const std::string bytes = rz::test::makePdf(fixtures);
    file.write(bytes.data(), qint64(bytes.size()));
    return path;
}

QPixmap filled(QColor colour)
{
    QPixmap image(20, 10);
    image.fill(colour);
    return image;
}

// Every progress value a row showed, in order.
struct ProgressLog : QObject {
    explicit ProgressLog(QXSourceFileListModel* model)
    {
        connect(model, &QAbstractItemModel::dataChanged, this, [this, model](const QModelIndex& from, const QModelIndex& to) {
            for (int row = from.row(); row <= to.row(); ++row) {
                const QVariant value = model->index(row).data(QXSourceFileListModel::ProgressRole);
                if (value.isValid() && (values.isEmpty() || values.last() != value.toDouble()))
                    values.append(value.toDouble());
            }
        });
    }
    QList<double> values;
};

} // namespace

class TestAppWidgets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // As the program does once Qt has set the locale from the environment.
        rz::useCNumericLocale();
        QStandardPaths::setTestModeEnabled(true);
        rz::registerStandardExporters();
    }
    void init() { QSettings().clear(); }

    void imageButtonClicks()
    {
        QXImageButton button;
        button.resize(40, 20);
        button.setNormalImage(filled(Qt::blue));
        button.show();
        QSignalSpy clicked(&button, &QXImageButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicked.count(), 1);
        // A press that ends outside does not click.
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(60, 10));
        QCOMPARE(clicked.count(), 1);
        button.setEnable(false);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicked.count(), 1);
    }

    void imageButtonImages()
    {
        QXImageButton button;
        const QPixmap normal = filled(Qt::blue), hover = filled(Qt::green), down = filled(Qt::red);
        button.setNormalImage(normal);
        button.setMouseInImage(hover);
        button.setMouseDownImage(down);
        QCOMPARE(button.imageToDraw().cacheKey(), normal.cacheKey());
        button.setMouseInside(true);
        QCOMPARE(button.imageToDraw().cacheKey(), hover.cacheKey());
        button.setMouseDown(true);
        QCOMPARE(button.imageToDraw().cacheKey(), down.cacheKey());
        button.setMouseInside(false);
        QCOMPARE(button.imageToDraw().cacheKey(), normal.cacheKey());
        // Disabled without a disable image: the normal one, faded.
        button.setEnable(false);
        QCOMPARE(button.imageToDraw().cacheKey(), normal.cacheKey());
        QCOMPARE(button.opacityToDraw(), 0.6);
        button.setEnable(true);
        QCOMPARE(button.opacityToDraw(), 1.0);

        // A dark palette without dark images shows the same images; with
        // one, its dark counterpart.
        QPalette dark = button.palette();
        dark.setColor(QPalette::Window, QColor(30, 30, 30));
        button.setPalette(dark);
        QVERIFY(button.isDarkAppearance());
        QCOMPARE(button.imageToDraw().cacheKey(), normal.cacheKey());
        const QPixmap normalDark = filled(Qt::darkBlue);
        button.setNormalImage_dark(normalDark);
        QCOMPARE(button.imageToDraw().cacheKey(), normalDark.cacheKey());
    }

    void colorViewPaints()
    {
        QXColorView view;
        view.resize(20, 40);
        view.setStartingColor(Qt::red);
        view.setEndingColor(Qt::red);
        const QImage flat = view.grab().toImage();
        QCOMPARE(flat.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(flat.pixelColor(19, 39), QColor(Qt::red));
        // 270 degrees: from the top down.
        view.setStartingColor(Qt::white);
        view.setEndingColor(Qt::black);
        const QImage gradient = view.grab().toImage();
        QVERIFY(gradient.pixelColor(10, 1).lightness() > 240);
        QVERIFY(gradient.pixelColor(10, 38).lightness() < 15);
        QCOMPARE(gradient.pixelColor(0, 20), gradient.pixelColor(19, 20));
    }

    void wholeRoad()
    {
        QTemporaryDir sources, outputs;
        const QString pdf = writePdf(sources.path(), QStringLiteral("Road.pdf"), 3);
        const QString notPdf = sources.filePath(QStringLiteral("notes.txt"));
        {
            QFile text(notPdf);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("not a PDF");
        }
        RecordingServices services;
        services.folderAnswer = outputs.path();
        QXAppDelegate delegate(services);
        delegate.applicationDidFinishLaunching();
        QVERIFY(delegate.applicationShouldTerminateAfterLastWindowClosed());
        delegate.application_openFiles({pdf, notPdf});
        QXSourceFileViewController* list = delegate.sourceFileViewController();
        QXSourceFileListModel* model = list->model();
        // The text file waits on its sheet; the PDF joins once it is discarded.
        QVERIFY(list->unsupportedSheet()->isVisible());
        QCOMPARE(model->rowCount(), 0);
        list->discardUnsupportedFile();
        QVERIFY(!list->unsupportedSheet()->isVisible());
        QCOMPARE(model->rowCount(), 1);
        list->selectTableRowWithItem(model->itemAt(0).get());
        QCOMPARE(delegate.settingsViewController()->sourceFileItem(), model->itemAt(0));
        // A file never converted keeps the program open.
        QVERIFY(!delegate.applicationShouldTerminateAfterLastWindowClosed());
        QVERIFY(!delegate.window()->close());

        ProgressLog progress(model);
        QSignalSpy ended(&delegate, &QXAppDelegate::conversionRunEnded);
        // No folder kept yet: the first press asks for one, then converts.
        QVERIFY(delegate.btn_convert()->isVisible());
        QTest::mouseClick(delegate.btn_convert(), Qt::LeftButton, {}, delegate.btn_convert()->rect().center());
        QCOMPARE(services.folderQuestions, 1);
        QCOMPARE(*QXSandBoxUtilities::UserSelectedOutputURLBookmark(), outputs.path());
        QVERIFY(delegate.converterManager()->isConverting());
        QVERIFY(ended.wait(120000));

        const QString output = outputs.filePath(QStringLiteral("Road.docx"));
        QVERIFY(QFileInfo(output).isFile());
        // Nothing but the output is left in the folder.
        QCOMPARE(QDir(outputs.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Road.docx")});
        QCOMPARE(model->index(0).data(QXSourceFileListModel::ConversionOptionsRole).toString(),
                 QStringLiteral("All Pages, DOCX, Success!"));
        QCOMPARE(services.opened, QStringList{output});
        QVERIFY(services.revealed.isEmpty());
        QVERIFY(delegate.applicationShouldTerminateAfterLastWindowClosed());
        // 3 pages: 1 at the start, then 56.67, 85, 90 (not 113), 90 saving, 100 at the end.
        QVERIFY(progress.values.size() >= 4);
        QCOMPARE(progress.values.first(), 1.0);
        QCOMPARE(progress.values.last(), 100.0);
        for (qsizetype i = 0; i + 1 < progress.values.size(); ++i) {
            QVERIFY(progress.values[i] <= progress.values[i + 1]);
            QVERIFY(progress.values[i] <= 90.0);
        }
        QVERIFY(!model->index(0).data(QXSourceFileListModel::ProgressRole).isValid());

        // The output as Word readers read it.
        const QString check = QStringLiteral("import docx,sys; d=docx.Document(sys.argv[1]); "
                                             "sys.exit(0 if 'Page 2 of the road' in '\\n'.join(p.text for p in d.paragraphs) else 1)");
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), check, output}), 0);

        delegate.window()->resize(900, 600);
        const QString shot = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("rzconverter-road.png"));
        QVERIFY(delegate.window()->grab().save(shot));

        // A second run over the same list writes a second output.
        delegate.startOrStopConversion();
        QVERIFY(ended.wait(120000));
        QVERIFY(QFileInfo(outputs.filePath(QStringLiteral("Road 2.docx"))).isFile());
    }

    void failedFileIsNeitherSuccessNorOpened()
    {
        QTemporaryDir sources, outputs;
        QVERIFY(QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(outputs.path()));
        const QString pdf = writePdf(sources.path(), QStringLiteral("Gone.pdf"), 1);
        RecordingServices services;
        QXAppDelegate delegate(services);
        delegate.applicationDidFinishLaunching();
        delegate.application_openFiles({pdf});
        QVERIFY(QFile::remove(pdf));
        QSignalSpy ended(&delegate, &QXAppDelegate::conversionRunEnded);
        delegate.startOrStopConversion();
        QVERIFY(ended.wait(60000));
        QCOMPARE(services.folderQuestions, 0);
        QVERIFY(services.opened.isEmpty());
        QVERIFY(delegate.sourceFileViewController()->model()->index(0)
                    .data(QXSourceFileListModel::ConversionOptionsRole).toString().endsWith(QStringLiteral("Failed!")));
    }

    void stopWaitsForTheEnd()
    {
        QTemporaryDir sources, outputs;
        QVERIFY(QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(outputs.path()));
        const QString pdf = writePdf(sources.path(), QStringLiteral("Long.pdf"), 1500);
        RecordingServices services;
        QXAppDelegate delegate(services);
        delegate.applicationDidFinishLaunching();
        delegate.application_openFiles({pdf});
        QXSourceFileListModel* model = delegate.sourceFileViewController()->model();
        model->itemAt(0)->setSettings_outputFormat(QStringLiteral("UTF-8 Plain Text(.txt)"));
        QSignalSpy ended(&delegate, &QXAppDelegate::conversionRunEnded);
        // Stop as soon as the first page is reported.
        bool stopped = false;
        connect(model, &QAbstractItemModel::dataChanged, this, [&] {
            const double value = model->index(0).data(QXSourceFileListModel::ProgressRole).toDouble();
            if (!stopped && value > 0 && value < 90 && value != 1.0) {
                stopped = true;
                delegate.startOrStopConversion();
                QVERIFY(delegate.isStopping());
                QVERIFY(!delegate.btn_convert()->enable());
                // A press before the end report starts nothing.
                delegate.startOrStopConversion();
                delegate.startOrStopConversionGo();
                QVERIFY(!delegate.converterManager()->isConverting());
            }
        });
        delegate.startOrStopConversion();
        QVERIFY(ended.wait(120000));
        QVERIFY(stopped);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!delegate.isStopping());
        QVERIFY(delegate.btn_convert()->enable());
        QVERIFY(services.opened.isEmpty());
        QVERIFY(model->index(0).data(QXSourceFileListModel::ConversionOptionsRole).toString().endsWith(
            QStringLiteral("Failed!")));
        // Stopped: the row shows its status icon again, no progress bar.
        QVERIFY(!model->index(0).data(QXSourceFileListModel::ProgressRole).isValid());
        QCOMPARE(model->index(0).data(QXSourceFileListModel::ConversionIconRole).toString(),
                 QStringLiteral("pwdguard_failed_status_icon"));
    }

    void settingsPaneEditsTheSelectedItem()
    {
        QTemporaryDir sources;
        QVERIFY(QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(sources.path()));
        RecordingServices services;
        QXAppDelegate delegate(services);
        delegate.applicationDidFinishLaunching();
        // An empty list: the button starts nothing.
        delegate.startOrStopConversion();
        QVERIFY(!delegate.converterManager()->isConverting());
        QVERIFY(!delegate.settingsViewController()->formatPopUp()->isEnabled());

        delegate.application_openFiles({writePdf(sources.path(), QStringLiteral("a.pdf"), 4)});
        delegate.sourceFileViewController()->selectTableRowWithItem(
            delegate.sourceFileViewController()->model()->itemAt(0).get());
        QXSettingsViewController* pane = delegate.settingsViewController();
        // A folder question cancelled starts nothing.
        QSettings().remove(QString::fromLatin1(kOutputFolderKey));
        delegate.startOrStopConversion();
        QCOMPARE(services.folderQuestions, 1);
        QVERIFY(!delegate.converterManager()->isConverting());
        QVERIFY(QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(sources.path()));
        const auto item = pane->sourceFileItem();
        QVERIFY(item);
        QVERIFY(pane->formatPopUp()->isEnabled());
        pane->formatPopUp()->setCurrentIndex(pane->formatPopUp()->findData(QStringLiteral("UTF-8 Plain Text(.txt)")));
        QCOMPARE(item->outputFileFormat(), std::string("txt"));
        // The range field is open only while "Pages:" is chosen.
        QVERIFY(!pane->pageRangeField()->isEnabled());
        QTest::mouseClick(pane->customPagesButton(), Qt::LeftButton);
        QVERIFY(pane->pageRangeField()->isEnabled());
        QTest::keyClicks(pane->pageRangeField(), QStringLiteral("2-3"));
        QCOMPARE(item->settings_pageRangeType(), 1);
        QCOMPARE(item->outputPDFPageIndexs(), (std::vector<long long>{2, 3}));
        QCOMPARE(delegate.sourceFileViewController()->model()->index(0)
                     .data(QXSourceFileListModel::ConversionOptionsRole).toString(),
                 QStringLiteral("2-3, TXT, Ready!"));
        QCOMPARE(pane->outputPathField()->text(), sources.path());
        pane->revealOutputDirectry();
        QCOMPARE(services.opened, QStringList{sources.path()});
        QTest::mouseClick(pane->allPagesButton(), Qt::LeftButton, {}, QPoint(6, pane->allPagesButton()->height() / 2));
        QVERIFY(!pane->pageRangeField()->isEnabled());
        QCOMPARE(item->outputPDFPageIndexs(), (std::vector<long long>{1, 2, 3, 4}));

        // Without a selection: five controls off, the stored format shown.
        delegate.sourceFileViewController()->tableView()->selectionModel()->clear();
        QVERIFY(!pane->sourceFileItem());
        for (QWidget* control : {static_cast<QWidget*>(pane->btn_moreSettings()),
                                 static_cast<QWidget*>(pane->btn_outputApplyToAll()),
                                 static_cast<QWidget*>(pane->formatPopUp()), static_cast<QWidget*>(pane->customPagesButton()),
                                 static_cast<QWidget*>(pane->pageRangeField())})
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QCOMPARE(pane->formatPopUp()->currentData().toString(), QStringLiteral("UTF-8 Plain Text(.txt)"));
        const QList<QLabel*> labels = pane->findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.cbegin(), labels.cend(),
                            [](const QLabel* label) { return label->text() == QStringLiteral("No File Selected"); }));
    }

    void applyToAllSetsEveryFormat()
    {
        QTemporaryDir sources;
        RecordingServices services;
        QXAppDelegate delegate(services);
        delegate.application_openFiles({writePdf(sources.path(), QStringLiteral("a.pdf"), 1),
                                        writePdf(sources.path(), QStringLiteral("b.pdf"), 1)});
        QXSourceFileListModel* model = delegate.sourceFileViewController()->model();
        delegate.sourceFileViewController()->selectTableRowWithItem(model->itemAt(0).get());
        QXSettingsViewController* pane = delegate.settingsViewController();
        const auto choose = [pane](const char* title) {
            pane->formatPopUp()->setCurrentIndex(pane->formatPopUp()->findData(QString::fromLatin1(title)));
        };
        choose("Rich Text File(.rtf)");
        QCOMPARE(model->itemAt(0)->outputFileFormat(), std::string("rtf"));
        QCOMPARE(model->itemAt(1)->outputFileFormat(), std::string("docx"));
        pane->btn_outputApplyToAll()->setChecked(true);
        choose("Web Source File(.html)");
        QCOMPARE(model->itemAt(0)->outputFileFormat(), std::string("html"));
        QCOMPARE(model->itemAt(1)->outputFileFormat(), std::string("html"));
        QCOMPARE(model->index(1).data(QXSourceFileListModel::ConversionOptionsRole).toString(),
                 QStringLiteral("All Pages, HTML, Ready!"));
    }

    void optionsButtonFollowsTheFormat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("sheet");
        QTest::newRow("docx") << "Microsoft Word(.docx)" << true << true;
        QTest::newRow("xlsx") << "Microsoft Excel(.xlsx)" << true << false;
        QTest::newRow("csv") << "Comma-Separated Values(.csv)" << true << false;
        QTest::newRow("pptx") << "Microsoft PowerPoint(.pptx)" << false << false;
        QTest::newRow("rtf") << "Rich Text File(.rtf)" << false << false;
        QTest::newRow("html") << "Web Source File(.html)" << false << false;
        QTest::newRow("txt") << "UTF-8 Plain Text(.txt)" << false << false;
    }

    void optionsButtonFollowsTheFormat()
    {
        QFETCH(QString, format);
        QFETCH(bool, enabled);
        QFETCH(bool, sheet);
        QTemporaryDir sources;
        RecordingServices services;
        QXSettingsViewController pane(services);
        pane.show();
        pane.setSourceFileItem(QXSourceFileItem::initWithPath(writePdf(sources.path(), QStringLiteral("a.pdf"), 1)));
        const int row = pane.formatPopUp()->findData(format);
        if (row < 0)
            QSKIP("this build does not write the format");
        pane.formatPopUp()->setCurrentIndex(row);
        QCOMPARE(pane.btn_moreSettings()->isEnabled(), enabled);
        if (enabled)
            QTest::mouseClick(pane.btn_moreSettings(), Qt::LeftButton);
        QCOMPARE(pane.panel_moreSettings()->isVisible(), sheet);
    }

    void docxSheetOptionsReachTheConversion()
    {
        QTemporaryDir sources, outputs;
        QVERIFY(QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(outputs.path()));
        // A text line and a filled zigzag of 24 corners: the zigzag is a
        // shape unless shapes are drawn as pictures.
        rz::test::PageFixture page;
        page.content = "0 0 1 rg 100 500 m";
        for (int corner = 1; corner < 24; ++corner)
            page.content += " " + std::to_string(100 + 4 * corner) + (corner % 2 ? " 540 l" : " 500 l");
        page.content += " h f BT /F1 12 Tf 72 700 Td (Boxed text) Tj ET";
        page.resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";
        const QString pdf = sources.filePath(QStringLiteral("Box.pdf"));
        {
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const std::string bytes = rz::test::makePdf({page});
            file.write(bytes.data(), qint64(bytes.size()));
        }
        RecordingServices services;
        QXAppDelegate delegate(services);
        delegate.applicationDidFinishLaunching();
        delegate.window()->show();
        delegate.application_openFiles({pdf, writePdf(sources.path(), QStringLiteral("other.pdf"), 1)});
        QXSourceFileListModel* model = delegate.sourceFileViewController()->model();
        const auto item = model->itemAt(1);
        const auto other = model->itemAt(0);
        QCOMPARE(item->path(), pdf);
        delegate.sourceFileViewController()->selectTableRowWithItem(item.get());
        QXSettingsViewController* pane = delegate.settingsViewController();

        QTest::mouseClick(pane->btn_moreSettings(), Qt::LeftButton);
        QDialog* sheet = pane->panel_moreSettings();
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QXWordSettings* word = pane->settings_Word();
        const std::array<QCheckBox*, 4> boxes = {word->docx_btn_mergeParagraph(), word->docx_btn_trimBlankSpace(),
                                                 word->docx_btn_enableShapToImage(),
                                                 word->docx_btn_enableMergeIntersectImages()};
        const std::array<const char*, 4> keys = {kWordMergeParagraphsKey, kWordTrimBlankSpaceKey,
                                                 kWordShapesToImageKey, kWordMergeIntersectImagesKey};
        const auto itemValues = [](const QXSourceFileItem& source) {
            const rz::QXWordOptions& o = source.convertOpts()->wordOptions();
            return QList<bool>{o.isMergeParagraphs(), o.isTrimmingBlankSpaceCharacters(), o.enableShapToImage(),
                               o.enableMergeIntersectImages()};
        };
        const auto storedValues = [&keys] {
            QList<bool> values;
            for (const char* key : keys)
                values.append(QSettings().value(QString::fromLatin1(key)).toBool());
            return values;
        };
        const QList<bool> defaults{true, true, false, true}, flipped{false, false, true, false};
        // The sheet shows the item's options, the first-launch defaults.
        QList<bool> shown;
        for (QCheckBox* box : boxes)
            shown.append(box->isChecked());
        QCOMPARE(shown, defaults);
        QVERIFY(sheet->grab().save(shotPath(QStringLiteral("rzconverter-docx-options.png"))));

        // Each click changes the shown item at once, and nothing else.
        for (QCheckBox* box : boxes)
            QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(itemValues(*item), flipped);
        QCOMPARE(itemValues(*other), defaults);
        QCOMPARE(storedValues(), defaults);
        // Done stores them for files added later and ends the sheet.
        QTest::mouseClick(word->btn_done(), Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QCOMPARE(storedValues(), flipped);
        QCOMPARE(itemValues(*other), defaults);
        delegate.application_openFiles({writePdf(sources.path(), QStringLiteral("later.pdf"), 1)});
        QCOMPARE(itemValues(*model->itemAt(2)), flipped);

        // The conversion is handed these options, and the preference on
        // annotations; the picture in the package shows they were used.
        QXPreferencesWindowController* preferences = QXPreferencesWindowController::sharedInstance();
        preferences->btn_parserPDFAnnots()->click();
        QVERIFY(!preferences->parserPDFAnnots());
        delegate.sourceFileViewController()->removeItemsFromTable({other, model->itemAt(2)});
        QSignalSpy ended(&delegate, &QXAppDelegate::conversionRunEnded);
        delegate.startOrStopConversion();
        QVERIFY(ended.wait(120000));
        preferences->btn_parserPDFAnnots()->click();
        QVERIFY(preferences->parserPDFAnnots());
        QVERIFY(item->conversionSucceeded());
        const auto handed = delegate.converterManager()->ruzIzevudara().moreOptions();
        QCOMPARE(handed.get(), item->convertOpts().get());
        QCOMPARE(handed->isParserAnnots(), 0);
        // Options changed later are the item's new ones; those a conversion
        // was handed stay as they were.
        QTest::mouseClick(pane->btn_moreSettings(), Qt::LeftButton);
        QTest::mouseClick(word->docx_btn_mergeParagraph(), Qt::LeftButton);
        QVERIFY(item->convertOpts()->wordOptions().isMergeParagraphs());
        QVERIFY(!handed->wordOptions().isMergeParagraphs());
        const QString media = QStringLiteral("import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                                             "sys.exit(0 if any(n.startswith('word/media/') for n in z.namelist()) else 1)");
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/python3"),
                                   {QStringLiteral("-c"), media, QString::fromStdString(item->outputPath())}),
                 0);
    }

    void docxSheetFollowsTheSelection()
    {
        QTemporaryDir sources;
        RecordingServices services;
        QXAppDelegate delegate(services);
        delegate.window()->show();
        delegate.application_openFiles({writePdf(sources.path(), QStringLiteral("a.pdf"), 1),
                                        writePdf(sources.path(), QStringLiteral("b.pdf"), 1),
                                        writePdf(sources.path(), QStringLiteral("c.pdf"), 1)});
        QXSourceFileViewController* list = delegate.sourceFileViewController();
        const auto first = list->model()->itemAt(0), second = list->model()->itemAt(1), third = list->model()->itemAt(2);
        second->convertOpts()->wordOptions().setIsMergeParagraphs(false);
        third->setSettings_outputFormat(QStringLiteral("UTF-8 Plain Text(.txt)"));
        list->selectTableRowWithItem(first.get());
        QXSettingsViewController* pane = delegate.settingsViewController();
        QTest::mouseClick(pane->btn_moreSettings(), Qt::LeftButton);
        QCheckBox* merge = pane->settings_Word()->docx_btn_mergeParagraph();
        QVERIFY(merge->isChecked());
        // Another file selected under the open sheet (as a conversion does):
        // the sheet shows its options and a click changes it alone.
        list->selectTableRowWithItem(second.get());
        QVERIFY(pane->panel_moreSettings()->isVisible());
        QVERIFY(!merge->isChecked());
        QTest::mouseClick(pane->settings_Word()->docx_btn_trimBlankSpace(), Qt::LeftButton);
        QVERIFY(!second->convertOpts()->wordOptions().isMergeParagraphs());
        QVERIFY(!second->convertOpts()->wordOptions().isTrimmingBlankSpaceCharacters());
        QVERIFY(first->convertOpts()->wordOptions().isMergeParagraphs());
        QVERIFY(first->convertOpts()->wordOptions().isTrimmingBlankSpaceCharacters());
        // A file without a sheet selected: the sheet ends, nothing stored.
        list->selectTableRowWithItem(third.get());
        QVERIFY(!pane->panel_moreSettings()->isVisible());
        QVERIFY(QSettings().value(QString::fromLatin1(kWordTrimBlankSpaceKey)).toBool());
    }

    void preferencesPersist()
    {
        {
            QXPreferencesWindowController preferences;
            // Created with no settings: both are on, and stored so.
            QVERIFY(preferences.openFileAfterConversion());
            QVERIFY(preferences.parserPDFAnnots());
            QCOMPARE(QSettings().value(QString::fromLatin1(kOpenFileAfterConversionKey)), QVariant(true));
            QCOMPARE(QSettings().value(QString::fromLatin1(kParserPDFAnnotsKey)), QVariant(true));
            QVERIFY(preferences.btn_openFileAfterConversion()->isChecked());
            preferences.showWindow();
            QVERIFY(preferences.isVisible());
            QVERIFY(preferences.btn_openFileAfterConversion()->isVisible());
            QTest::mouseClick(preferences.btn_openFileAfterConversion(), Qt::LeftButton);
            QVERIFY(!preferences.openFileAfterConversion());
            QCOMPARE(QSettings().value(QString::fromLatin1(kOpenFileAfterConversionKey)), QVariant(false));
            QVERIFY(preferences.grab().save(shotPath(QStringLiteral("rzconverter-preferences.png"))));
            // Shown: asked again, it closes.
            preferences.showWindow();
            QVERIFY(!preferences.isVisible());
        }
        QXPreferencesWindowController again;
        QVERIFY(!again.openFileAfterConversion());
        QVERIFY(again.parserPDFAnnots());
        QVERIFY(!again.btn_openFileAfterConversion()->isChecked());
        QVERIFY(again.btn_parserPDFAnnots()->isChecked());

        // The menu entry shows the program's window and, while it is shown, closes it.
        RecordingServices services;
        QXAppDelegate delegate(services);
        QAction* entry = delegate.window()->findChild<QAction*>(QStringLiteral("showPreferences"));
        QVERIFY(entry);
        entry->trigger();
        QVERIFY(QXPreferencesWindowController::sharedInstance()->isVisible());
        entry->trigger();
        QVERIFY(!QXPreferencesWindowController::sharedInstance()->isVisible());
    }

    void filesJoinInTheirPlace()
    {
        QTemporaryDir dir;
        RecordingServices services;
        QXSourceFileViewController list(services);
        QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        list.resize(500, 400);
        list.show();
        QVERIFY(list.emptyMessage()->isVisible());
        QStringList picked;
        for (const char* name : {"a.pdf", "b.pdf", "c.pdf"})
            picked.append(writePdf(dir.path(), QString::fromLatin1(name), 1));
        // A cancelled open dialog adds nothing.
        list.sourceFileBrowse();
        QCOMPARE(services.fileQuestions, QStringList{QStringLiteral("Select PDF files for conversion:")});
        QCOMPARE(list.model()->rowCount(), 0);
        // Picked a, b, c: listed c, b, a, shortly after the dialog closed.
        services.filesAnswer = picked;
        list.sourceFileBrowse();
        QCOMPARE(list.model()->rowCount(), 0);
        QTRY_COMPARE(listed(list), QStringLiteral("c.pdf,b.pdf,a.pdf"));
        QVERIFY(!list.emptyMessage()->isVisible());
        QVERIFY(!list.selectedItem());

        // Dropped x, y, z between rows 1 and 2: there, in their dragged order.
        QStringList droppedNames;
        for (const char* name : {"x.pdf", "y.pdf", "z.pdf"})
            droppedNames.append(writePdf(dir.path(), QString::fromLatin1(name), 1));
        list.selectTableRowWithItem(list.model()->itemAt(1).get());
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(droppedNames[0]), QUrl::fromLocalFile(droppedNames[1]),
                       QUrl::fromLocalFile(droppedNames[2])});
        QVERIFY(list.model()->dropMimeData(&files, Qt::CopyAction, 1, 0, {}));
        QCOMPARE(listed(list), QStringLiteral("c.pdf,x.pdf,y.pdf,z.pdf,b.pdf,a.pdf"));
        // The selected row number stays selected.
        QCOMPARE(list.selectedItem(), list.model()->itemAt(1));

        // A dropped folder is one file that does not open.
        QMimeData folder;
        folder.setUrls({QUrl::fromLocalFile(dir.path())});
        QVERIFY(list.model()->dropMimeData(&folder, Qt::CopyAction, 0, 0, {}));
        QVERIFY(list.unsupportedSheet()->isVisible());
        list.discardUnsupportedFile();
        QVERIFY(!list.unsupportedSheet()->isVisible());
        QCOMPARE(list.model()->rowCount(), 6);
    }

    void unsupportedFileIsNotAdded()
    {
        QTemporaryDir dir;
        RecordingServices services;
        QXSourceFileViewController list(services);
        list.show();
        const QString one = writePdf(dir.path(), QStringLiteral("one.pdf"), 1);
        const QString text = writeText(dir.path(), QStringLiteral("notes.pdf"));
        const QString two = writePdf(dir.path(), QStringLiteral("two.pdf"), 2);
        list.addFilesToCheckQueue({one, text, two});
        QDialog* sheet = list.unsupportedSheet();
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QCOMPARE(list.readyToCheckItem()->path(), text);
        const QList<QLabel*> labels = sheet->findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.cbegin(), labels.cend(),
                            [](const QLabel* label) { return label->text() == QStringLiteral("notes.pdf"); }));
        QVERIFY(sheet->grab().save(shotPath(QStringLiteral("rzconverter-unsupported.png"))));
        // Looking at the file keeps the sheet.
        list.openCheckSourceItem();
        QCOMPARE(services.opened, QStringList{text});
        QVERIFY(sheet->isVisible());
        // Files handed over meanwhile wait behind this batch; none is lost.
        const QString three = writePdf(dir.path(), QStringLiteral("three.pdf"), 1);
        list.addFilesToCheckQueue({three, writeText(dir.path(), QStringLiteral("more.txt"))});
        QCOMPARE(list.model()->rowCount(), 0);
        // Escape discards it too; the waiting batch is checked next.
        QTest::keyClick(sheet, Qt::Key_Escape);
        QCOMPARE(listed(list), QStringLiteral("two.pdf,one.pdf"));
        QVERIFY(sheet->isVisible());
        QVERIFY(list.readyToCheckItem()->path().endsWith(QStringLiteral("more.txt")));
        QTest::mouseClick(sheet->findChild<QPushButton*>(QStringLiteral("btn_discard")), Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QVERIFY(!list.readyToCheckItem());
        QCOMPARE(listed(list), QStringLiteral("two.pdf,one.pdf,three.pdf"));
    }

    void lockedFileAsksForItsPassword_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("wrong");
        QTest::addColumn<QString>("right");
        QTest::newRow("user password") << corpusFile("pypdf__r4-aes-user-password.pdf") << "asdfzxc" << "asdfzxcv";
        // The user password opens it but printing stays denied: only the
        // owner password lets it in.
        QTest::newRow("print-locked") << corpusFile("pdfbox__PasswordSample-128bit.pdf") << "user" << "owner";
        QTest::newRow("non-ASCII") << corpusFile("pdfjs__issue6010_2.pdf") << "aeoa" << QStringLiteral("æøå");
    }

    void lockedFileAsksForItsPassword()
    {
        QFETCH(QString, file);
        QFETCH(QString, wrong);
        QFETCH(QString, right);
        QTemporaryDir dir;
        // A copy, so that the name on the sheet is known.
        const QString locked = dir.filePath(QStringLiteral("locked.pdf"));
        QVERIFY(QFile::copy(file, locked));
        RecordingServices services;
        QXSourceFileViewController list(services);
        list.show();
        list.addFilesToCheckQueue({locked});
        QDialog* sheet = list.passwordSheet();
        QVERIFY(sheet->isVisible());
        QCOMPARE(list.model()->rowCount(), 0);
        QPushButton* done = sheet->findChild<QPushButton*>(QStringLiteral("btn_done"));
        list.passwordField()->setText(wrong);
        QTest::mouseClick(done, Qt::LeftButton);
        QVERIFY(sheet->isVisible());
        QVERIFY(list.wrongPasswordMessage()->isVisible());
        QCOMPARE(list.model()->rowCount(), 0);
        if (QTest::currentDataTag() == QByteArray("print-locked"))
            QVERIFY(sheet->grab().save(shotPath(QStringLiteral("rzconverter-password.png"))));
        // Typing hides the message again.
        QTest::keyClick(list.passwordField(), Qt::Key_Backspace);
        QVERIFY(!list.wrongPasswordMessage()->isVisible());
        list.passwordField()->setText(right);
        QTest::mouseClick(done, Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QCOMPARE(list.model()->rowCount(), 1);
        const auto item = list.model()->itemAt(0);
        QCOMPARE(item->sourcePassword(), std::optional<std::string>(right.toStdString()));
        QVERIFY(item->sourcePages() > 0);
    }

    void passwordBatchEdges()
    {
        QTemporaryDir dir;
        RecordingServices services;
        QXSourceFileViewController list(services);
        list.show();
        const QString plain = writePdf(dir.path(), QStringLiteral("plain.pdf"), 1);
        // Encrypted with an owner password only: it opens and prints as it
        // is, so it joins without a sheet and without a password.
        const QString ownerOnly = corpusFile("pypdf__r6-owner-password.pdf");
        list.addFilesToCheckQueue({ownerOnly});
        QVERIFY(!list.passwordSheet()->isVisible());
        QCOMPARE(list.model()->rowCount(), 1);
        QVERIFY(!list.model()->itemAt(0)->sourcePassword());
        // A cancelled password drops that file only.
        list.addFilesToCheckQueue({corpusFile("pypdf__r2-user-password.pdf"), plain});
        QVERIFY(list.passwordSheet()->isVisible());
        list.cancelInputPassword();
        QVERIFY(!list.passwordSheet()->isVisible());
        QCOMPARE(listed(list), QStringLiteral("pypdf__r6-owner-password.pdf,plain.pdf"));
    }

    void removingRows()
    {
        QTemporaryDir dir;
        RecordingServices services;
        QXSourceFileViewController list(services);
        list.show();
        QStringList paths;
        for (const char* name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf"})
            paths.append(writePdf(dir.path(), QString::fromLatin1(name), 1));
        list.addFilesToCheckQueue(paths);
        QCOMPARE(listed(list), QStringLiteral("d.pdf,c.pdf,b.pdf,a.pdf"));
        QCOMPARE(services.badge, 4);
        // The selected last row removed: the new last row is selected.
        list.selectTableRowWithItem(list.model()->itemAt(3).get());
        list.sourceFileRemoveItemFromQueue();
        QCOMPARE(listed(list), QStringLiteral("d.pdf,c.pdf,b.pdf"));
        QCOMPARE(list.selectedItem(), list.model()->itemAt(2));
        // The Delete key removes the selected rows; the row number stays.
        list.tableView()->selectionModel()->select(list.model()->index(0), QItemSelectionModel::ClearAndSelect);
        list.tableView()->selectionModel()->select(list.model()->index(1), QItemSelectionModel::Select);
        QCOMPARE(list.selectedItems().size(), size_t(2));
        list.tableView()->setFocus();
        QTest::keyClick(list.tableView(), Qt::Key_Delete);
        QCOMPARE(listed(list), QStringLiteral("b.pdf"));
        QCOMPARE(list.selectedItem(), list.model()->itemAt(0));
        // The row menu removes the row it was opened on, selected or not.
        list.addFilesToCheckQueue({paths[0]});
        list.tableView()->selectionModel()->clear();
        QMenu* menu = list.rowMenu(0);
        const QList<QAction*> actions = menu->actions();
        const auto remove = std::find_if(actions.cbegin(), actions.cend(),
                                         [](const QAction* action) { return action->text() == QStringLiteral("Remove"); });
        QVERIFY(remove != actions.cend());
        (*remove)->trigger();
        QCOMPARE(listed(list), QStringLiteral("a.pdf"));
        QVERIFY(!list.selectedItem());
        // All removed: no selection and the empty-list message.
        list.sourceFileRemoveAllFromQueue();
        QCOMPARE(list.model()->rowCount(), 0);
        QVERIFY(list.selectedItems().empty());
        QVERIFY(list.emptyMessage()->isVisible());
        QCOMPARE(services.badge, 0);
    }

    void hoveredRowOffersRemove()
    {
        QTemporaryDir dir;
        RecordingServices services;
        QXSourceFileViewController list(services);
        list.resize(500, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.addFilesToCheckQueue({writePdf(dir.path(), QStringLiteral("a.pdf"), 1),
                                   writePdf(dir.path(), QStringLiteral("b.pdf"), 1)});
        QListView* view = list.tableView();
        const QRect first = view->visualRect(list.model()->index(0));
        const QRect second = view->visualRect(list.model()->index(1));
        QCOMPARE(first.height(), 52);
        QTest::mouseMove(view->viewport(), first.center());
        QTRY_COMPARE(list.hoverItem(), list.model()->itemAt(0));
        QTest::mouseMove(view->viewport(), second.center());
        QTRY_COMPARE(list.hoverItem(), list.model()->itemAt(1));
        const QImage shot = view->viewport()->grab().toImage();
        QVERIFY(shot.save(shotPath(QStringLiteral("rzconverter-rows.png"))));
        // The source icon opens the source; the output icon, with no output yet, nothing.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(second.left() + 20, second.center().y()));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(second.right() - 20, second.center().y()));
        QCOMPARE(services.opened, QStringList{list.model()->itemAt(1)->path()});
        // The remove button sits left of the output icon: 10 + 28 + 10 + 18 from the right.
        const QPoint remove(second.right() - 10 - 28 - 10 - 9, second.center().y());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, remove);
        QTRY_COMPARE(listed(list), QStringLiteral("b.pdf"));
    }

    void mailGoesToTheMailProgram()
    {
        RecordingServices services;
        QXAppDelegate delegate(services);
        delegate.support_tellAFriend();
        delegate.support_TechnicalSupport();
        QCOMPARE(services.urls.size(), 2);
        for (const QUrl& url : services.urls) {
            QCOMPARE(url.scheme(), QStringLiteral("mailto"));
            QVERIFY(url.toString().contains(QStringLiteral("SUBJECT=")));
            QVERIFY(url.toString().contains(QStringLiteral("BODY=")));
        }
        QVERIFY(QUrl::fromPercentEncoding(services.urls[1].toEncoded()).contains(QStringLiteral("My Device Short Info:")));
    }
};

QTEST_MAIN(TestAppWidgets)
#include "tst_QXAppWidgets.moc"
