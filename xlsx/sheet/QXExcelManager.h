// The process-wide state of the spreadsheet path: the options of the current
// conversion with the questions asked of them, and what the pages of one
// document share (the style registry and the count of shared strings).
// One spreadsheet conversion runs at a time; the converter sets the options
// before the exporter starts, and the exporter resets the manager at each
// document start.
#pragma once

#include "converter/QXPDFOptions.h"
#include "xlsx/sheet/QXExcelStyle.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace rz {

class QXExcelManager {
public:
    // The one manager, made on first use.
    static QXExcelManager& sharedInstance();
    // When the manager exists: the string count back to 0 and a new, empty
    // style registry; options and separator stay.
    static void reset();
    // Drops the manager; the next sharedInstance() makes a new one.
    static void destory();
    // Empty, or made only of U+0020; tabs and other white space are content.
    static bool isBlankSpace(std::string_view text);

    QXExcelManager();

    // Stores the options; the separator becomes "." for the options'
    // thousandSepartor 1, "," for any other value.
    void setOptions(const QXExcelOptions& options);

    int32_t OverlapTextOption() const { return excelOptions_.overlapText(); }
    bool isNeedCollectCGPaths() const { return excelOptions_.collectCGPaths(); }
    bool isNeedCollectFills() const { return excelOptions_.collectCGPaths() && excelOptions_.collectFills(); }
    bool isNeedValidNumbers() const
    {
        return excelOptions_.excelFormatOption() != 2 && excelOptions_.recognizeNumber();
    }
    bool isNeedDefaultFontName() const { return excelOptions_.excelFormatOption() == 2; }
    bool isNeedDefaultFontSize() const { return excelOptions_.excelFormatOption() != 0; }
    bool isNeedDefaultRowHeight() const { return excelOptions_.excelFormatOption() != 0; }
    bool isNeedWrapText() const { return excelOptions_.excelFormatOption() == 0; }
    bool isNeedMergeCells() const { return excelOptions_.excelFormatOption() == 0; }
    // Mode 2: cell fonts carry neither bold nor italic.
    bool isPlainVersion() const { return excelOptions_.excelFormatOption() == 2; }
    bool isAllInOneSheetEnabled() const { return excelOptions_.allInOneSheet(); }
    bool isAllInOneSheetAddToRow() const { return excelOptions_.aiosAddToRow(); }

    const std::string& thousandSepartor() const { return thousandSepartor_; }
    void setThousandSepartor(std::string separator) { thousandSepartor_ = std::move(separator); }
    const QXExcelOptions& excelOptions() const { return excelOptions_; }
    void setExcelOptions(const QXExcelOptions& options) { excelOptions_ = options; }
    QXExcelStyle& excelStyle() { return *excelStyle_; }
    const std::shared_ptr<QXExcelStyle>& excelStylePtr() const { return excelStyle_; }
    void setExcelStyle(std::shared_ptr<QXExcelStyle> style);
    size_t amountOfStringItems() const { return amountOfStringItems_; }
    void setAmountOfStringItems(size_t count) { amountOfStringItems_ = count; }

private:
    std::string thousandSepartor_ = ",";
    QXExcelOptions excelOptions_;
    std::shared_ptr<QXExcelStyle> excelStyle_;
    size_t amountOfStringItems_ = 0;
};

} // namespace rz
