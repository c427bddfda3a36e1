// The desktop program's model: page ranges, sizes, unique names, settings
// with write-back, progress, source items and the source list.
#include "app/model/QXCUtilities.h"
#include "app/model/QXConversionProgress.h"
#include "app/model/QXPageRange.h"
#include "app/model/QXSandBoxUtilities.h"
#include "app/model/QXSourceFileItem.h"
#include "app/model/QXSourceFileListModel.h"
#include "app/model/StoreConstants.h"
#include "exporters/StandardExporters.h"
#include "platform/core/Numbers.h"
#include "tests/support/PdfWriter.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace rz::app;

Q_DECLARE_METATYPE(std::vector<long long>)

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QString writePdf(const QTemporaryDir& dir, const QString& name, int pages)
{
    std::vector<rz::test::PageFixture> fixtures(static_cast<size_t>(pages));
    for (int i = 0; i < pages; ++i)
        fixtures[size_t(i)].content = "BT /F1 12 Tf 72 700 Td (Page " + std::to_string(i + 1) + ") Tj ET";
    for (auto& page : fixtures)
        page.resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    const std::string bytes = rz::test::makePdf(fixtures);
    file.write(bytes.data(), qint64(bytes.size()));
    return path;
}

} // namespace

class TestAppModel : public QObject {
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

    void pageRanges_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<long long>("count");
        QTest::addColumn<std::vector<long long>>("pages");
        const std::vector<long long> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::newRow("list and range") << 1 << "1,3,5-7" << 10LL << std::vector<long long>{1, 3, 5, 6, 7};
        QTest::newRow("downwards") << 1 << "7-5" << 10LL << std::vector<long long>{7, 6, 5};
        QTest::newRow("from zero") << 1 << "0-3" << 10LL << std::vector<long long>{1, 2, 3};
        QTest::newRow("open start") << 1 << "-3" << 10LL << std::vector<long long>{1, 2, 3};
        QTest::newRow("open end") << 1 << "5-" << 10LL << std::vector<long long>{5, 4, 3, 2, 1};
        QTest::newRow("past the end") << 1 << "8-12" << 10LL << std::vector<long long>{8, 9, 10};
        QTest::newRow("repeated") << 1 << "2,2" << 10LL << std::vector<long long>{2, 2};
        QTest::newRow("two dashes") << 1 << "1-2-3" << 10LL << std::vector<long long>{};
        QTest::newRow("letters") << 1 << "abc" << 10LL << std::vector<long long>{};
        QTest::newRow("leading blank") << 1 << " 4" << 10LL << std::vector<long long>{4};
        QTest::newRow("all pages") << 1 << "ALL PAGES" << 10LL << all;
        QTest::newRow("all pages shown") << 1 << "alle seiten" << 10LL << all;
        QTest::newRow("empty custom") << 1 << "" << 10LL << std::vector<long long>{1};
        QTest::newRow("empty custom, no pages") << 1 << "" << 0LL << std::vector<long long>{};
        QTest::newRow("type all") << 0 << "3" << 10LL << all;
        QTest::newRow("type all, no pages") << 0 << "" << 0LL << std::vector<long long>{};
        QTest::newRow("other type") << 2 << "1" << 10LL << std::vector<long long>{};
        QTest::newRow("huge range") << 1 << "1-99999999999" << 10LL << all;
        QTest::newRow("huge downwards") << 1 << "99999999999999999999999-9" << 10LL << std::vector<long long>{10, 9};
        QTest::newRow("huge number") << 1 << "99999999999999999999999" << 10LL << std::vector<long long>{};
    }
    void pageRanges()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(long long, count);
        QFETCH(std::vector<long long>, pages);
        QCOMPARE(QXPageIndexsForRange(type, text, count, QStringLiteral("Alle Seiten")), pages);
    }

    void fileSizes_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1,023 B") << quint64(1023) << "0.0 KB";
        QTest::newRow("1,536 B") << quint64(1536) << "1.0 KB";
        QTest::newRow("1.5 MiB") << quint64(1572864) << "1.5 MB";
        QTest::newRow("2^30 - 1") << quint64(1073741823) << "1024.0 MB";
        QTest::newRow("2^30") << quint64(1073741824) << "1.0 GB";
    }
    void fileSizes()
    {
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(QXSourceFileItem::fileSizeString(bytes), text);
    }

    void uniqueNames()
    {
        QTemporaryDir dir;
        const QString free = dir.filePath(QStringLiteral("free.docx"));
        QCOMPARE(QXCUtilities::getNewPathby(free), free);
        touch(dir.filePath(QStringLiteral("Report.docx")));
        QCOMPARE(QXCUtilities::getNewPathby(dir.filePath(QStringLiteral("Report.docx"))),
                 dir.filePath(QStringLiteral("Report 2.docx")));
        touch(dir.filePath(QStringLiteral("a.txt")));
        touch(dir.filePath(QStringLiteral("a 2.txt")));
        QCOMPARE(QXCUtilities::getNewPathby(dir.filePath(QStringLiteral("a.txt"))),
                 dir.filePath(QStringLiteral("a 3.txt")));
        touch(dir.filePath(QStringLiteral("notes")));
        QCOMPARE(QXCUtilities::getNewPathby(dir.filePath(QStringLiteral("notes"))),
                 dir.filePath(QStringLiteral("notes 2")));
        // A CSV output is a folder: a folder takes the name as a file does.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sheet.csv")));
        QCOMPARE(QXCUtilities::getNewPathby(dir.filePath(QStringLiteral("sheet.csv"))),
                 dir.filePath(QStringLiteral("sheet 2.csv")));
    }

    void defaultsAreWrittenBack()
    {
        QVERIFY(QXCUtilities::boolValueForKey(QStringLiteral("flag"), true));
        QCOMPARE(QSettings().value(QStringLiteral("flag")).toBool(), true);
        QVERIFY(QXCUtilities::boolValueForKey(QStringLiteral("flag"), false));

        QCOMPARE(QXCUtilities::stringValueForKey(QStringLiteral("text"), std::nullopt), std::nullopt);
        QVERIFY(!QSettings().contains(QStringLiteral("text")));
        QCOMPARE(QXCUtilities::stringValueForKey(QStringLiteral("text"), QStringLiteral("a")), QStringLiteral("a"));
        QCOMPARE(QXCUtilities::stringValueForKey(QStringLiteral("text"), QStringLiteral("b")), QStringLiteral("a"));

        QCOMPARE(QXCUtilities::intValueForKey(QStringLiteral("int"), 7), 7);
        QCOMPARE(QXCUtilities::intValueForKey(QStringLiteral("int"), 8), 7);
        QCOMPARE(QXCUtilities::integerValueForKey(QStringLiteral("integer"), 1LL << 40), 1LL << 40);
        QCOMPARE(QXCUtilities::floatValueForKey(QStringLiteral("float"), 0.5f), 0.5f);
        QCOMPARE(QXCUtilities::floatValueForKey(QStringLiteral("float"), 2.0f), 0.5f);
    }

    void progress_data()
    {
        QTest::addColumn<quint64>("done");
        QTest::addColumn<quint64>("count");
        QTest::addColumn<double>("shown");
        QTest::newRow("10 pages, first") << quint64(1) << quint64(10) << 17.0;
        QTest::newRow("10 pages, last") << quint64(10) << quint64(10) << 90.0;
        QTest::newRow("1 page") << quint64(1) << quint64(1) << 90.0;
        QTest::newRow("1,000 pages") << quint64(1) << quint64(1000) << double(0.2f) * 0.85;
        QTest::newRow("2,000 pages") << quint64(1) << quint64(2000) << double(0.1f);
        QTest::newRow("no pages") << quint64(0) << quint64(0) << double(0.1f);
    }
    void progress()
    {
        QFETCH(quint64, done);
        QFETCH(quint64, count);
        QFETCH(double, shown);
        QCOMPARE(QXPageProgress(done, count), shown);
    }

    void newItemTakesDefaults()
    {
        QTemporaryDir dir;
        const auto item = QXSourceFileItem::initWithPath(writePdf(dir, QStringLiteral("Report.pdf"), 3));
        QVERIFY(item);
        QSettings settings;
        QCOMPARE(settings.value(QStringLiteral("Setting_Key_RUZIzevudara_OutputFormat")).toString(),
                 QStringLiteral("Microsoft Word(.docx)"));
        QCOMPARE(settings.value(QStringLiteral("Setting_Key_RUZIzevudara_Word_enableShapToImage")).toBool(), false);
        QCOMPARE(settings.value(QStringLiteral("Setting_Key_RUZIzevudara_Word_isMergeParagraphs")).toBool(), true);
        QCOMPARE(item->sourcePages(), 3LL);
        QCOMPARE(item->sourceInfo().left(8), QStringLiteral("3 Pages,"));
        QCOMPARE(item->conversionOptions(), QStringLiteral("All Pages, DOCX, Ready!"));
        QCOMPARE(item->outputPDFPageIndexs(), (std::vector<long long>{1, 2, 3}));

        // The last format chosen is the format of the next item.
        item->setSettings_outputFormat(QStringLiteral("UTF-8 Plain Text(.txt)"));
        const auto next = QXSourceFileItem::initWithPath(item->path());
        QCOMPARE(next->outputFileFormat(), std::string("txt"));
        QCOMPARE(next->outputFileIcon(), QStringLiteral("icon_txt"));

        next->setSettings_outputFormat(QStringLiteral("Something(.xyz)"));
        QCOMPARE(next->outputFileFormat(), std::string("docx"));
        QVERIFY(next->outputFileIcon().isEmpty());
        QVERIFY(!QXSourceFileItem::initWithPath(dir.filePath(QStringLiteral("missing.pdf"))));
    }

    void statusFollowsTheResult()
    {
        QTemporaryDir source, output;
        QVERIFY(QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(output.path()));
        const auto item = QXSourceFileItem::initWithPath(writePdf(source, QStringLiteral("Report.pdf"), 1));
        QCOMPARE(item->conversionIcon(), QStringLiteral("POI_History"));
        QVERIFY(!item->outputFileIconEnable());
        const std::string first = item->newOutputPath();
        QCOMPARE(QString::fromStdString(first), output.filePath(QStringLiteral("Report.docx")));
        touch(QString::fromStdString(first));
        // Not ended yet: not a success although a file is there.
        QCOMPARE(item->conversionOptions(), QStringLiteral("All Pages, DOCX, Failed!"));
        item->setConversionError(std::nullopt);
        QCOMPARE(item->conversionOptions(), QStringLiteral("All Pages, DOCX, Success!"));
        QCOMPARE(item->conversionIcon(), QStringLiteral("pwdguard_success_status_icon"));
        QVERIFY(item->outputFileIconEnable());
        // Its output deleted later: the row reads failed again.
        QVERIFY(QFile::remove(QString::fromStdString(first)));
        QCOMPARE(item->conversionOptions(), QStringLiteral("All Pages, DOCX, Failed!"));
        QCOMPARE(item->conversionIcon(), QStringLiteral("pwdguard_failed_status_icon"));
        touch(QString::fromStdString(first));
        // A stopped or failed file is never a success, whatever is on disk.
        item->setConversionError(rz::makeQXError(406, "Conversion has been canceled."));
        QCOMPARE(item->conversionOptions(), QStringLiteral("All Pages, DOCX, Failed!"));
        QCOMPARE(QString::fromStdString(item->newOutputPath()), output.filePath(QStringLiteral("Report 2.docx")));
        item->resetConversion();
        QCOMPARE(item->conversionOptions(), QStringLiteral("All Pages, DOCX, Ready!"));
        item->setSettings_pageRangeType(QXPageRangeCustom);
        item->setSettings_customPageRange(QStringLiteral("1-2"));
        QCOMPARE(item->conversionOptions(), QStringLiteral("1-2, DOCX, Ready!"));
    }

    void outputFolderIsReal()
    {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        const QString folder = QXSandBoxUtilities::outputFolder();
        qputenv("HOME", oldHome);
        QCOMPARE(folder, QDir(home.path()).filePath(QStringLiteral("Downloads")));
        QVERIFY(QFileInfo(folder).isDir());
        // A stored folder that is gone is not used.
        QSettings().setValue(QString::fromLatin1(kOutputFolderKey), home.filePath(QStringLiteral("gone")));
        QVERIFY(!QXSandBoxUtilities::UserSelectedOutputURLBookmark());
        QVERIFY(!QXSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmark());
    }

    void itemsOfAFolder()
    {
        QTemporaryDir dir;
        writePdf(dir, QStringLiteral("a.pdf"), 1);
        touch(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QCOMPARE(QXSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(dir.path()).size(), size_t(2));
        QCOMPARE(QXSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(dir.filePath(QStringLiteral("a.pdf"))).size(),
                 size_t(1));
        QVERIFY(QXSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(dir.filePath(QStringLiteral("no"))).empty());
    }

    void previewIsTheFirstPage()
    {
        QTemporaryDir dir;
        const auto item = QXSourceFileItem::initWithPath(writePdf(dir, QStringLiteral("a.pdf"), 2));
        const QImage preview = item->sourceFilePreviewIcon(QSize(400, 220));
        // A portrait letter page fits by its height.
        QCOMPARE(preview.height(), 220);
        QCOMPARE(preview.width(), 170);
        touch(dir.filePath(QStringLiteral("b.pdf")));
        QVERIFY(QXSourceFileItem(dir.filePath(QStringLiteral("b.pdf"))).sourceFilePreviewIcon().isNull());
    }

    void systemFacts()
    {
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(QXSystemVersionString()).hasMatch());
        QVERIFY(!QXDeviceModelString().isEmpty());
    }

    void formatsOffered()
    {
        const QStringList titles = StoreConstants::ConvertibleFormatTitles();
        QVERIFY(titles.contains(QStringLiteral("Microsoft Word(.docx)")));
        QVERIFY(titles.contains(QStringLiteral("UTF-8 Plain Text(.txt)")));
        const QStringList all = StoreConstants::FormatTitles();
        QCOMPARE(all.size(), 7);
        for (const QString& title : titles)
            QVERIFY(all.contains(title));
    }

    void listModel()
    {
        QTemporaryDir dir;
        QXSourceFileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const auto a = QXSourceFileItem::initWithPath(writePdf(dir, QStringLiteral("a.pdf"), 1));
        const auto b = QXSourceFileItem::initWithPath(writePdf(dir, QStringLiteral("b.pdf"), 2));
        // A row past the end is the end.
        model.insertItem(0, a);
        model.insertItem(5, b);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(1).data(QXSourceFileListModel::ItemNameRole).toString(), QStringLiteral("b.pdf"));

        model.updateConversion(b.get(), 17.0);
        QCOMPARE(model.index(1).data(QXSourceFileListModel::ProgressRole).toDouble(), 17.0);
        QVERIFY(!model.index(0).data(QXSourceFileListModel::ProgressRole).isValid());
        // The next file's progress hides the last one's bar.
        model.updateConversion(a.get(), 3.0);
        QVERIFY(!model.index(1).data(QXSourceFileListModel::ProgressRole).isValid());
        QCOMPARE(model.index(0).data(QXSourceFileListModel::ConversionIconRole).toString(), QStringLiteral("POI_History"));
        model.updateConversion(nullptr, 0);
        QVERIFY(!model.index(1).data(QXSourceFileListModel::ProgressRole).isValid());

        // Every item is reset, not only those on screen.
        a->setOutputPath("/somewhere/a.docx");
        b->setOutputPath("/somewhere/b.docx");
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.resetBeforeConversion();
        QVERIFY(a->outputPath().empty() && b->outputPath().empty());
        QVERIFY(!changed.isEmpty());

        model.updateConversion(a.get(), 5.0);
        model.removeItems({a});
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.itemAt(0), b);
        model.removeAllItems();
        QCOMPARE(model.rowCount(), 0);
    }

    void listModelMovesRows_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("dropRow");
        QTest::addColumn<QString>("order");
        // The gap is the one the user dropped in, counted before the move.
        QTest::newRow("A before D") << QList<int>{0} << 3 << "BCAD";
        QTest::newRow("A and B to the end") << QList<int>{0, 1} << 4 << "CDAB";
        QTest::newRow("D to the top") << QList<int>{3} << 0 << "DABC";
        QTest::newRow("B and D before C") << QList<int>{1, 3} << 2 << "ABDC";
        QTest::newRow("D and A, as dragged, first") << QList<int>{3, 0} << 0 << "DABC";
        QTest::newRow("B onto its own gap") << QList<int>{1} << 2 << "ABCD";
        QTest::newRow("past the end") << QList<int>{0} << 9 << "BCDA";
        QTest::newRow("rows out of range") << QList<int>{7, -1, 2, 2} << 0 << "CABD";
    }

    void listModelMovesRows()
    {
        QFETCH(QList<int>, rows);
        QFETCH(int, dropRow);
        QFETCH(QString, order);
        QTemporaryDir dir;
        QXSourceFileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const QString name : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}) {
            touch(dir.filePath(name));
            model.insertItem(model.rowCount(), QXSourceFileItem::initWithPath(dir.filePath(name)));
        }
        // What the view keeps (its selection) follows the item.
        const QPersistentModelIndex b(model.index(1));
        model.moveItems(rows, dropRow);
        QString names;
        for (int row = 0; row < model.rowCount(); ++row)
            names += model.index(row).data().toString();
        QCOMPARE(names, order);
        QCOMPARE(b.data().toString(), QStringLiteral("B"));
    }

    void listModelDrops()
    {
        QTemporaryDir dir;
        QXSourceFileListModel model, other;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const QString name : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}) {
            touch(dir.filePath(name));
            model.insertItem(model.rowCount(), QXSourceFileItem::initWithPath(dir.filePath(name)));
            other.insertItem(other.rowCount(), QXSourceFileItem::initWithPath(dir.filePath(name)));
        }
        const auto order = [&model] {
            QString names;
            for (int row = 0; row < model.rowCount(); ++row)
                names += model.index(row).data().toString();
            return names;
        };
        QVERIFY(model.mimeTypes().contains(QStringLiteral("text/uri-list")));
        QVERIFY(model.flags(QModelIndex()) & Qt::ItemIsDropEnabled);
        QVERIFY(!(model.flags(model.index(0)) & Qt::ItemIsDropEnabled));
        QVERIFY(model.flags(model.index(0)) & Qt::ItemIsDragEnabled);

        // Rows A and B dragged to the end.
        std::unique_ptr<QMimeData> rows(model.mimeData({model.index(1), model.index(0)}));
        QVERIFY(rows->hasFormat(QStringLiteral("MOVED_ROWS_TYPE")));
        QVERIFY(!model.canDropMimeData(rows.get(), Qt::MoveAction, -1, -1, model.index(2)));
        QVERIFY(!model.dropMimeData(rows.get(), Qt::MoveAction, -1, -1, model.index(2)));
        QCOMPARE(order(), QStringLiteral("ABCD"));
        QVERIFY(model.dropMimeData(rows.get(), Qt::MoveAction, -1, -1, {}));
        QCOMPARE(order(), QStringLiteral("CDAB"));

        // Rows of another list, or a payload that is not one, move nothing.
        std::unique_ptr<QMimeData> foreign(other.mimeData({other.index(0)}));
        QVERIFY(!model.canDropMimeData(foreign.get(), Qt::MoveAction, 0, 0, {}));
        QMimeData garbage;
        garbage.setData(QStringLiteral("MOVED_ROWS_TYPE"), QByteArray("\xff\xff\xff\xffjunk"));
        QVERIFY(!model.dropMimeData(&garbage, Qt::MoveAction, 0, 0, {}));
        QCOMPARE(order(), QStringLiteral("CDAB"));

        // Files from a file manager are handed on with their gap; addresses
        // that are not local files are left out.
        QSignalSpy dropped(&model, &QXSourceFileListModel::filesDropped);
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("x.pdf"))), QUrl(QStringLiteral("https://example.org/y.pdf")),
                       QUrl::fromLocalFile(dir.filePath(QStringLiteral("z.pdf")))});
        QVERIFY(model.dropMimeData(&files, Qt::CopyAction, 1, 0, {}));
        QVERIFY(model.dropMimeData(&files, Qt::CopyAction, -1, -1, {}));
        QCOMPARE(dropped.size(), 2);
        QCOMPARE(dropped[0][0].toStringList(),
                 (QStringList{dir.filePath(QStringLiteral("x.pdf")), dir.filePath(QStringLiteral("z.pdf"))}));
        QCOMPARE(dropped[0][1].toInt(), 1);
        QCOMPARE(dropped[1][1].toInt(), 4);
        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("https://example.org/y.pdf"))});
        QVERIFY(!model.canDropMimeData(&web, Qt::CopyAction, 0, 0, {}));
        QCOMPARE(order(), QStringLiteral("CDAB"));
    }
};

QTEST_GUILESS_MAIN(TestAppModel)
#include "tst_QXAppModel.moc"
