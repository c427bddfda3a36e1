// The spreadsheet manager: separator from the options, the flags of the
// three output modes, blank texts, reset between documents, and custom
// number-format ids that never reach the built-in range.
#include "xlsx/sheet/QXExcelManager.h"

#include <gtest/gtest.h>

using namespace rz;

TEST(QXExcelManagerTest, SeparatorFollowsTheOptions)
{
    QXExcelManager manager;
    EXPECT_EQ(manager.thousandSepartor(), ",");
    const std::pair<int32_t, const char*> cases[] = {{1, "."}, {0, ","}, {2, ","}, {-1, ","}};
    for (const auto& [option, separator] : cases) {
        QXExcelOptions options;
        options.setThousandSepartor(option);
        manager.setOptions(options);
        EXPECT_EQ(manager.thousandSepartor(), separator) << option;
    }
}

TEST(QXExcelManagerTest, FlagsOfTheOutputModes)
{
    struct ModeCase {
        int32_t mode;
        bool wrapAndMerge, defaultSize, defaultName, validNumbers;
    };
    const ModeCase cases[] = {
        {0, true, false, false, true},
        {1, false, true, false, true},
        {2, false, true, true, false},
        {3, false, true, false, true},
    };
    QXExcelManager manager;
    for (const ModeCase& c : cases) {
        QXExcelOptions options;
        options.setExcelFormatOption(c.mode);
        manager.setOptions(options);
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(manager.isNeedWrapText(), c.wrapAndMerge);
        EXPECT_EQ(manager.isNeedMergeCells(), c.wrapAndMerge);
        EXPECT_EQ(manager.isNeedDefaultFontSize(), c.defaultSize);
        EXPECT_EQ(manager.isNeedDefaultRowHeight(), c.defaultSize);
        EXPECT_EQ(manager.isNeedDefaultFontName(), c.defaultName);
        EXPECT_EQ(manager.isPlainVersion(), c.defaultName);
        EXPECT_EQ(manager.isNeedValidNumbers(), c.validNumbers);
    }
    QXExcelOptions options;
    options.setRecognizeNumber(false);
    manager.setOptions(options);
    EXPECT_FALSE(manager.isNeedValidNumbers());

    options = QXExcelOptions();
    options.setCollectFills(true);
    manager.setOptions(options);
    EXPECT_FALSE(manager.isNeedCollectFills());
    options.setCollectCGPaths(true);
    manager.setOptions(options);
    EXPECT_TRUE(manager.isNeedCollectCGPaths());
    EXPECT_TRUE(manager.isNeedCollectFills());

    options.setAllInOneSheet(true);
    options.setAiosAddToRow(true);
    options.setOverlapText(2);
    manager.setOptions(options);
    EXPECT_TRUE(manager.isAllInOneSheetEnabled());
    EXPECT_TRUE(manager.isAllInOneSheetAddToRow());
    EXPECT_EQ(manager.OverlapTextOption(), 2);
}

TEST(QXExcelManagerTest, BlankSpaceIsOnlyU0020)
{
    for (const char* blank : {"", " ", "   "})
        EXPECT_TRUE(QXExcelManager::isBlankSpace(blank)) << '"' << blank << '"';
    for (const char* content : {"\t", " a ", "\xC2\xA0", "\n", " . "})
        EXPECT_FALSE(QXExcelManager::isBlankSpace(content)) << '"' << content << '"';
}

TEST(QXExcelManagerTest, ResetStartsANewDocumentAndKeepsTheOptions)
{
    QXExcelManager::destory();
    QXExcelManager::reset(); // no manager yet: nothing to do
    QXExcelManager& manager = QXExcelManager::sharedInstance();
    QXExcelOptions options;
    options.setThousandSepartor(1);
    options.setExcelFormatOption(1);
    manager.setOptions(options);
    manager.setAmountOfStringItems(7);
    manager.excelStyle().collectNumberFormat("#,##0.00");

    QXExcelManager::reset();
    EXPECT_EQ(&QXExcelManager::sharedInstance(), &manager);
    EXPECT_EQ(manager.amountOfStringItems(), 0u);
    EXPECT_TRUE(manager.excelStyle().numFmtsArr().empty());
    EXPECT_EQ(manager.thousandSepartor(), ".");
    EXPECT_EQ(manager.excelOptions().excelFormatOption(), 1);
    QXExcelManager::destory();
}

TEST(QXExcelManagerTest, CustomNumberFormatsStartAt164)
{
    QXExcelStyle style;
    EXPECT_EQ(style.collectNumberFormat("#,##0.00"), 164);
    EXPECT_EQ(style.collectNumberFormat("$#,##0"), 165);
    EXPECT_EQ(style.collectNumberFormat("#,##0.00"), 164);
    EXPECT_EQ(style.collectNumberFormat("#,##0.0\xE2\x82\xAC"), 166);
    ASSERT_EQ(style.numFmtsArr().size(), 3u);
    for (const QXExcelStyleNumFmt& entry : style.numFmtsArr())
        EXPECT_GE(entry.numFmtID, QXExcelStyle::kFirstCustomNumFmtID) << entry.formatCode;
    EXPECT_TRUE(style.existNumberFormat(165));
    EXPECT_FALSE(style.existNumberFormat(9));
}
