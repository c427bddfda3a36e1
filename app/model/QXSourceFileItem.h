// One source PDF of the program's list with the output settings chosen for
// it; the conversion manager reads it when its turn comes.
#pragma once

#include "converter/QXSourceFileItem.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace rz::app {

class QXSourceFileItem : public rz::QXSourceFileItem {
public:
    // Items for a file (one) or the files directly inside a folder (one
    // each, sub-folders skipped); none when nothing is at the path.
    static std::vector<std::shared_ptr<QXSourceFileItem>> CreateSourceItemsOfFileOrDirectoryAtPath(const QString& path);
    // Nothing when nothing is at the path.
    static std::shared_ptr<QXSourceFileItem> initWithPath(const QString& path);

    explicit QXSourceFileItem(const QString& path);

    // Format title, page range and options from the settings.
    void initDefaults();

    QString path() const { return QString::fromStdString(sourcePath()); }

    const QString& settings_outputFormat() const { return settings_outputFormat_; }
    // Also stored in the settings as the format of items made later.
    void setSettings_outputFormat(const QString& title);
    int settings_pageRangeType() const { return settings_pageRangeType_; }
    void setSettings_pageRangeType(int type) { settings_pageRangeType_ = type; }
    const QString& settings_customPageRange() const { return settings_customPageRange_; }
    void setSettings_customPageRange(const QString& text) { settings_customPageRange_ = text; }

    // Page count, opened once and kept; 0 while the file does not open.
    long long sourcePages() const;
    uint64_t fileSize() const;
    // "0.0 KB", "1.5 MB", "1.0 GB".
    QString fileSizeString() const;
    static QString fileSizeString(uint64_t bytes);
    // "12 Pages, 1.5 MB".
    QString sourceInfo() const;
    // "All Pages, DOCX, Ready!": the range, the format, and the state of the
    // last conversion.
    QString conversionOptions() const;

    // "icon_pdf_pw" for a locked file, else "icon_pdf"; the file is looked
    // at once.
    QString sourceFileIcon() const;
    // Empty for a title the table does not hold.
    QString outputFileIcon() const;
    // The state icon beside the status line: "POI_History" before a run,
    // then "pwdguard_success_status_icon" or "pwdguard_failed_status_icon"
    // as the status line reads.
    QString conversionIcon() const;
    bool outputFileIconEnable() const;
    // Page 1 drawn to fit `size` (white behind it); a null image when the
    // file does not open.
    QImage sourceFilePreviewIcon(const QSize& size = QSize(400, 220)) const;

    // Whether the last conversion started has ended, and ended well: no
    // error, nothing stopped it, and its output is there.
    bool conversionEnded() const { return conversionEnded_; }
    bool conversionSucceeded() const;
    // Clears the output path, the error and the ended state before a run.
    void resetConversion();

    // What the conversion manager reads.
    std::vector<long long> outputPDFPageIndexs() const override;
    std::string outputFileFormat() const override;
    // A free name for the source's base name and the output extension in
    // the output folder; kept as outputPath().
    std::string newOutputPath() override;
    void setConversionError(const std::optional<QXError>& e) override;

private:
    QString settings_outputFormat_;
    int settings_pageRangeType_ = 0;
    QString settings_customPageRange_;
    mutable long long sourcePages_ = 0;
    bool conversionEnded_ = false;
    mutable std::optional<bool> locked_;
};

} // namespace rz::app
