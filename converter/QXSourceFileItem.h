// A source file waiting for conversion, as the conversion manager reads it.
// The desktop program's list items derive from it.
#pragma once

#include "converter/QXError.h"
#include "converter/QXOpenedPDFDocument.h"
#include "converter/QXPDFOptions.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXSourceFileItem {
public:
    QXSourceFileItem() : convertOpts_(std::make_shared<QXPDFOptions>()) {}
    virtual ~QXSourceFileItem() = default;

    virtual std::string sourcePath() const { return sourcePath_; }
    void setSourcePath(std::string v) { sourcePath_ = std::move(v); }
    virtual std::optional<std::string> sourcePassword() const { return sourcePassword_; }
    void setSourcePassword(std::optional<std::string> v) { sourcePassword_ = std::move(v); }
    // 1-based page numbers in conversion order.
    virtual std::vector<long long> outputPDFPageIndexs() const { return outputPDFPageIndexs_; }
    void setOutputPDFPageIndexs(std::vector<long long> v) { outputPDFPageIndexs_ = std::move(v); }
    // The output type key ("docx", "png", ...).
    virtual std::string outputFileFormat() const { return outputFileFormat_; }
    void setOutputFileFormat(std::string v) { outputFileFormat_ = std::move(v); }
    // A new output path, made when asked; also kept as outputPath().
    virtual std::string newOutputPath();
    const std::string& outputPath() const { return outputPath_; }
    void setOutputPath(std::string v) { outputPath_ = std::move(v); }
    // The folder new output paths are made in.
    const std::string& outputFolder() const { return outputFolder_; }
    void setOutputFolder(std::string v) { outputFolder_ = std::move(v); }
    virtual std::shared_ptr<QXPDFOptions> convertOpts() const { return convertOpts_; }
    void setConvertOpts(std::shared_ptr<QXPDFOptions> v) { convertOpts_ = std::move(v); }
    const std::optional<QXError>& conversionError() const { return conversionError_; }
    virtual void setConversionError(const std::optional<QXError>& e) { conversionError_ = e; }

    // Sent by the manager when the item's turn comes, before it reads the
    // item's fields. An item that has to open its document to answer them
    // (to list every page, say) does it here and keeps the document with
    // setOpenedPDFDocument; the base does nothing.
    virtual void willStartConversion() {}
    // The document opened for the coming conversion, or why it could not
    // be; the manager takes it (leaving nothing) and hands it to the
    // converter with the item's request. Without one the converter opens
    // the file itself.
    void setOpenedPDFDocument(std::optional<QXOpenedPDFDocument> v) { openedPDFDocument_ = std::move(v); }
    std::optional<QXOpenedPDFDocument> takeOpenedPDFDocument()
    {
        auto taken = std::move(openedPDFDocument_);
        openedPDFDocument_.reset();
        return taken;
    }

private:
    std::string sourcePath_;
    std::optional<std::string> sourcePassword_;
    std::vector<long long> outputPDFPageIndexs_;
    std::string outputFileFormat_ = "docx";
    std::string outputPath_;
    std::string outputFolder_;
    std::shared_ptr<QXPDFOptions> convertOpts_;
    std::optional<QXError> conversionError_;
    std::optional<QXOpenedPDFDocument> openedPDFDocument_;
};

} // namespace rz
