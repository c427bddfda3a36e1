// The process-wide DOCX state: the options of the file being converted, the
// text boxes gathered on the current page, and the word processor's line
// height and ascent factors of installed fonts.
//
// The factor table is the resource "QXVerdexa/word-line-height.tsv": one
// font a line, "lower-cased name<TAB>height factor<TAB>ascent factor", '#'
// lines are comments. The height factor is a single-spaced line's height per
// point of font size; the ascent factor is the share of that height above
// the baseline. scripts/gen-word-line-height.py writes it.
#pragma once

#include "converter/QXPDFOptions.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

class QXDocxRun;
class QXDocxRunTextBox;

// One font's entry, as stored: the factors' texts.
struct QXDocxWordLineInfo {
    std::string fontHeightFactor;
    std::string fontAscentFactor;
};
// Keyed by lower-cased font name.
using QXDocxWordInfoDictionary = std::map<std::string, QXDocxWordLineInfo, std::less<>>;

class QXDocxManager {
public:
    // The one manager, created on first use.
    static QXDocxManager& sharedInstance();
    // Drops the manager; the next sharedInstance() makes a new one.
    static void destory();
    static void reset() {}

    std::vector<std::shared_ptr<QXDocxRunTextBox>>& allRunTextBoxArray() { return allRunTextBoxArray_; }
    void setAllRunTextBoxArray(std::vector<std::shared_ptr<QXDocxRunTextBox>> boxes)
    {
        allRunTextBoxArray_ = std::move(boxes);
    }
    const QXDocxWordInfoDictionary& wordInfoDictionary() const { return wordInfoDictionary_; }
    void setWordInfoDictionary(QXDocxWordInfoDictionary dictionary) { wordInfoDictionary_ = std::move(dictionary); }
    const QXPDFOptions& moreOptions() const { return moreOptions_; }
    QXPDFOptions& moreOptions() { return moreOptions_; }
    void setMoreOptions(const QXPDFOptions& options) { moreOptions_ = options; }

    // Loads the factor table when none is held yet; a missing or unreadable
    // file leaves it empty.
    void readWordInfoDictionary();
    // Where the factor table is; empty when it is missing.
    static std::string PathForWordLineHeightResources();
    // The table in a file: nothing for a missing or unreadable file; lines
    // that are not "name<TAB>height<TAB>ascent" are skipped.
    static QXDocxWordInfoDictionary ReadWordInfoDictionaryAtPath(const std::string& path);

    // A font's factors from the shared manager's table, or from `dictionary`;
    // 0 when the font has no entry or the stored factor is outside 0.5..2.
    static double WordLineHeight(std::string_view fontName);
    static double WordLineAscentFactor(std::string_view fontName);
    static double WordLineHeight(const QXDocxWordInfoDictionary& dictionary, std::string_view fontName);
    static double WordLineAscentFactor(const QXDocxWordInfoDictionary& dictionary, std::string_view fontName);

    // Accept a run and do nothing.
    void addRunTextAsTextBox(const std::shared_ptr<QXDocxRun>&) {}
    void addRunPathAsTextBox(const std::shared_ptr<QXDocxRun>&) {}

    QXDocxManager();

private:
    std::vector<std::shared_ptr<QXDocxRunTextBox>> allRunTextBoxArray_;
    QXDocxWordInfoDictionary wordInfoDictionary_;
    QXPDFOptions moreOptions_;
};

} // namespace rz
