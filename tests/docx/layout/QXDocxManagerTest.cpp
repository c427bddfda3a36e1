// The DOCX manager: the font factor lookup (keys tried, the believable
// range), reading the factor table (the shipped one, a damaged one, a
// missing one) and the shared options.
#include "docx/layout/QXDocxManager.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace rz;

namespace {

QXDocxWordInfoDictionary dictionaryOf(std::initializer_list<std::pair<const char*, const char*>> heights)
{
    QXDocxWordInfoDictionary dictionary;
    for (const auto& [name, height] : heights)
        dictionary[name] = QXDocxWordLineInfo{height, "0.8"};
    return dictionary;
}

} // namespace

TEST(QXDocxManagerTest, FactorsOutsideTheRangeReadAsZero)
{
    struct Case {
        const char* stored;
        double expected;
    };
    const Case cases[] = {
        {"2.0", 2},  {"2", 2},     {"2.01", 0},   {"0.5", 0.5}, {"0.49", 0}, {"1.15", 1.15f},
        {"", 0},     {"abc", 0},   {"1.2x", 0},   {"nan", 0},   {"inf", 0},  {"-1.1", 0},
    };
    for (const Case& c : cases) {
        const auto dictionary = dictionaryOf({{"arial", c.stored}});
        EXPECT_EQ(QXDocxManager::WordLineHeight(dictionary, "Arial"), c.expected) << c.stored;
    }
}

TEST(QXDocxManagerTest, LookupKeys)
{
    const auto dictionary = dictionaryOf({
        {"alpha", "1.1"},
        {"beta ", "1.2"},
        {"gamma regular", "1.3"},
        {"delta regular ", "1.4"},
        {"epsilon", "1.5"},
        {"zeta", "1.6"},
    });
    struct Case {
        const char* name;
        float expected;
    };
    const Case cases[] = {
        {"ALPHA", 1.1f},           {"Beta", 1.2f},        {"Gamma", 1.3f},         {"delta", 1.4f},
        {"Epsilon Regular", 1.5f}, {"Zeta Regular Regular", 1.6f}, {"Eta", 0},      {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QXDocxManager::WordLineHeight(dictionary, c.name), c.expected) << c.name;
    EXPECT_EQ(QXDocxManager::WordLineAscentFactor(dictionary, "Epsilon Regular"), 0.8f);
    EXPECT_EQ(QXDocxManager::WordLineAscentFactor(dictionary, "Eta"), 0);
}

TEST(QXDocxManagerTest, ShippedTableHasTheCommonFonts)
{
    const std::string path = QXDocxManager::PathForWordLineHeightResources();
    ASSERT_FALSE(path.empty());
    const auto table = QXDocxManager::ReadWordInfoDictionaryAtPath(path);
    // Liberation's Windows metrics: ascent 1854 + descent 434 over 2048
    // units (Arial's).
    // Windows ascent and descent and the external leading: 1854 + 434 + 67.
    EXPECT_NEAR(QXDocxManager::WordLineHeight(table, "Arial"), 2355.0 / 2048, 1e-3);
    EXPECT_NEAR(QXDocxManager::WordLineAscentFactor(table, "Arial"), 1854.0 / 2288, 1e-3);
    for (const char* name : {"Times New Roman", "Courier New", "Liberation Serif", "LiberationSans-Bold",
                             "DejaVu Sans", "Arial Regular"}) {
        const double height = QXDocxManager::WordLineHeight(table, name);
        EXPECT_GE(height, 1.0) << name;
        EXPECT_LE(height, 1.5) << name;
        EXPECT_GT(QXDocxManager::WordLineAscentFactor(table, name), 0.5) << name;
    }
    // The shared manager reads the same table.
    EXPECT_EQ(QXDocxManager::WordLineHeight("Arial"), QXDocxManager::WordLineHeight(table, "Arial"));
}

TEST(QXDocxManagerTest, DamagedOrMissingTableGivesNoFactors)
{
    EXPECT_TRUE(QXDocxManager::ReadWordInfoDictionaryAtPath("/nonexistent/word-line-height.tsv").empty());
    const std::string folder = test::makeTempDir();
    EXPECT_TRUE(QXDocxManager::ReadWordInfoDictionaryAtPath(folder).empty());

    const std::string path = folder + "/table.tsv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "# comment\tx\ty\n"
               "Good Font\t1.2\t0.75\r\n"
               "no tabs here\n"
               "\t1.1\t0.8\n"
               "too\tmany\ttabs\there\n"
               "half\t1.3\n"
               "\n"
               "\x01\xff\tbinary\t\xfe\n"
               "empty\t\t\n";
    }
    const auto table = QXDocxManager::ReadWordInfoDictionaryAtPath(path);
    EXPECT_EQ(QXDocxManager::WordLineHeight(table, "good font"), 1.2f);
    EXPECT_EQ(QXDocxManager::WordLineAscentFactor(table, "Good Font"), 0.75f);
    EXPECT_EQ(QXDocxManager::WordLineHeight(table, "half"), 0);
    EXPECT_EQ(QXDocxManager::WordLineHeight(table, "too"), 0);
    EXPECT_EQ(QXDocxManager::WordLineHeight(table, "empty"), 0);
    EXPECT_EQ(QXDocxManager::WordLineHeight(table, "\x01\xff"), 0);
    EXPECT_EQ(table.size(), 3u);  // "good font", "\x01\xff" and "empty"

    // The shared manager keeps a table it was given.
    QXDocxManager& manager = QXDocxManager::sharedInstance();
    const QXDocxWordInfoDictionary saved = manager.wordInfoDictionary();
    manager.setWordInfoDictionary(table);
    manager.readWordInfoDictionary();
    EXPECT_EQ(QXDocxManager::WordLineHeight("Good Font"), 1.2f);
    manager.setWordInfoDictionary(saved);
}

TEST(QXDocxManagerTest, SharedInstanceAndOptions)
{
    QXDocxManager& first = QXDocxManager::sharedInstance();
    EXPECT_EQ(&first, &QXDocxManager::sharedInstance());
    EXPECT_EQ(first.moreOptions().imageDPI(), 144);
    EXPECT_TRUE(first.allRunTextBoxArray().empty());
    QXPDFOptions options;
    options.setImageDPI(300);
    first.setMoreOptions(options);
    EXPECT_EQ(QXDocxManager::sharedInstance().moreOptions().imageDPI(), 300);
    first.addRunPathAsTextBox(nullptr);

    QXDocxManager::destory();
    EXPECT_EQ(QXDocxManager::sharedInstance().moreOptions().imageDPI(), 144);
    EXPECT_FALSE(QXDocxManager::sharedInstance().wordInfoDictionary().empty());
}
