// Per-file conversion options: the common ones and one object per format family.
#pragma once

#include <cstdint>
#include <string>

namespace rz {

class QXWordOptions {
public:
    bool isTrimmingBlankSpaceCharacters() const { return isTrimmingBlankSpaceCharacters_; }
    void setIsTrimmingBlankSpaceCharacters(bool v) { isTrimmingBlankSpaceCharacters_ = v; }
    bool isMergeParagraphs() const { return isMergeParagraphs_; }
    void setIsMergeParagraphs(bool v) { isMergeParagraphs_ = v; }
    bool isNeedReplaceFont() const { return isNeedReplaceFont_; }
    void setIsNeedReplaceFont(bool v) { isNeedReplaceFont_ = v; }
    bool enablePDFOutline_LikeDetect() const { return enablePDFOutline_LikeDetect_; }
    void setEnablePDFOutline_LikeDetect(bool v) { enablePDFOutline_LikeDetect_ = v; }
    bool enableShapToImage() const { return enableShapToImage_; }
    void setEnableShapToImage(bool v) { enableShapToImage_ = v; }
    bool enableShaps2Shape() const { return enableShaps2Shape_; }
    void setEnableShaps2Shape(bool v) { enableShaps2Shape_ = v; }
    bool enableMergeIntersectImages() const { return enableMergeIntersectImages_; }
    void setEnableMergeIntersectImages(bool v) { enableMergeIntersectImages_ = v; }
    // 1 the PDF's bookmarks, 2 automatic detection, other values none.
    int32_t outlineType() const { return outlineType_; }
    void setOutlineType(int32_t v) { outlineType_ = v; }

private:
    bool isTrimmingBlankSpaceCharacters_ = true;
    bool isMergeParagraphs_ = true;
    bool isNeedReplaceFont_ = true;
    bool enablePDFOutline_LikeDetect_ = true;
    bool enableShapToImage_ = false;
    bool enableShaps2Shape_ = true;
    bool enableMergeIntersectImages_ = true;
    int32_t outlineType_ = 1;
};

class QXExcelOptions {
public:
    bool allInOneSheet() const { return allInOneSheet_; }
    void setAllInOneSheet(bool v) { allInOneSheet_ = v; }
    bool aiosAddToRow() const { return aiosAddToRow_; }
    void setAiosAddToRow(bool v) { aiosAddToRow_ = v; }
    bool recognizeNumber() const { return recognizeNumber_; }
    void setRecognizeNumber(bool v) { recognizeNumber_ = v; }
    bool collectCGPaths() const { return collectCGPaths_; }
    void setCollectCGPaths(bool v) { collectCGPaths_ = v; }
    bool collectFills() const { return collectFills_; }
    void setCollectFills(bool v) { collectFills_ = v; }
    // 0 wraps text and merges cells; 1 and 2 use the default font size and
    // row height; 2 also the default font name and no number recognition.
    int32_t excelFormatOption() const { return excelFormatOption_; }
    void setExcelFormatOption(int32_t v) { excelFormatOption_ = v; }
    // 1 ".", any other value ",".
    int32_t thousandSepartor() const { return thousandSepartor_; }
    void setThousandSepartor(int32_t v) { thousandSepartor_ = v; }
    int32_t overlapText() const { return overlapText_; }
    void setOverlapText(int32_t v) { overlapText_ = v; }

private:
    bool allInOneSheet_ = false;
    bool aiosAddToRow_ = false;
    bool recognizeNumber_ = true;
    bool collectCGPaths_ = false;
    bool collectFills_ = false;
    int32_t excelFormatOption_ = 0;
    int32_t thousandSepartor_ = 0;
    int32_t overlapText_ = 0;
};

class QXImageOptions {
public:
    // The ranges setDpi and setQuality clamp to.
    static constexpr int64_t kMinDpi = 12, kMaxDpi = 2400;
    static constexpr double kMinQuality = 0.1, kMaxQuality = 1.0;

    int64_t dpi() const { return dpi_; }
    // Clamped to kMinDpi..kMaxDpi.
    void setDpi(int64_t v);
    double quality() const { return quality_; }
    // Clamped to kMinQuality..kMaxQuality (NaN gives the minimum).
    void setQuality(double v);
    const std::string& imageName() const { return imageName_; }
    void setImageName(std::string v) { imageName_ = std::move(v); }

private:
    int64_t dpi_ = 144;
    double quality_ = 0.92;
    std::string imageName_ = "IMG";
};

class QXPDFOptions {
public:
    int32_t imageDPI() const { return imageDPI_; }
    // Clamped to 72..600.
    void setImageDPI(int32_t v);
    int32_t isParserAnnots() const { return isParserAnnots_; }
    void setIsParserAnnots(int32_t v) { isParserAnnots_ = v; }

    QXWordOptions& wordOptions() { return wordOptions_; }
    const QXWordOptions& wordOptions() const { return wordOptions_; }
    void setWordOptions(const QXWordOptions& v) { wordOptions_ = v; }
    QXExcelOptions& excelOptions() { return excelOptions_; }
    const QXExcelOptions& excelOptions() const { return excelOptions_; }
    void setExcelOptions(const QXExcelOptions& v) { excelOptions_ = v; }
    QXImageOptions& imageOptions() { return imageOptions_; }
    const QXImageOptions& imageOptions() const { return imageOptions_; }
    void setImageOptions(const QXImageOptions& v) { imageOptions_ = v; }

private:
    int32_t imageDPI_ = 144;
    int32_t isParserAnnots_ = 1;
    QXWordOptions wordOptions_;
    QXExcelOptions excelOptions_;
    QXImageOptions imageOptions_;
};

} // namespace rz
