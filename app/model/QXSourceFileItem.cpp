#include "app/model/QXSourceFileItem.h"

#include "app/model/QXCUtilities.h"
#include "app/model/QXFilePreview.h"
#include "app/model/QXPageRange.h"
#include "app/model/QXSandBoxUtilities.h"
#include "app/model/StoreConstants.h"
#include "pdfengine/base/QXCPDFUtilities.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace rz::app {

namespace {

constexpr const char* kOutputFormatKey = "Setting_Key_RUZIzevudara_OutputFormat";

} // namespace

std::vector<std::shared_ptr<QXSourceFileItem>> QXSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(
    const QString& path)
{
    std::vector<std::shared_ptr<QXSourceFileItem>> items;
    const QFileInfo info(path);
    if (!info.exists())
        return items;
    if (!info.isDir()) {
        if (auto item = initWithPath(path))
            items.push_back(std::move(item));
        return items;
    }
    const QDir folder(path);
    const QStringList names =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& name : names) {
        const QString child = folder.filePath(name);
        const QFileInfo childInfo(child);
        if (childInfo.exists() && !childInfo.isDir()) {
            if (auto item = initWithPath(child))
                items.push_back(std::move(item));
        }
    }
    return items;
}

std::shared_ptr<QXSourceFileItem> QXSourceFileItem::initWithPath(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return nullptr;
    return std::make_shared<QXSourceFileItem>(path);
}

QXSourceFileItem::QXSourceFileItem(const QString& path)
{
    setSourcePath(path.toStdString());
    initDefaults();
}

void QXSourceFileItem::initDefaults()
{
    sourcePages_ = 0;
    setOutputPath({});
    rz::QXSourceFileItem::setConversionError(std::nullopt);
    conversionEnded_ = false;
    setSettings_outputFormat(QXCUtilities::stringValueForKey(QString::fromLatin1(kOutputFormatKey),
                                                             QString::fromLatin1(kDefaultOutputFormatTitle))
                                 .value_or(QString::fromLatin1(kDefaultOutputFormatTitle)));
    settings_pageRangeType_ = QXPageRangeAll;
    settings_customPageRange_ = qx_sharedLocalized("All Pages");
    auto options = std::make_shared<QXPDFOptions>();
    QXWordOptions& word = options->wordOptions();
    word.setIsMergeParagraphs(QXCUtilities::boolValueForKey(QString::fromLatin1(kWordMergeParagraphsKey), true));
    word.setIsTrimmingBlankSpaceCharacters(
        QXCUtilities::boolValueForKey(QString::fromLatin1(kWordTrimBlankSpaceKey), true));
    word.setEnableShapToImage(QXCUtilities::boolValueForKey(QString::fromLatin1(kWordShapesToImageKey), false));
    word.setEnableMergeIntersectImages(
        QXCUtilities::boolValueForKey(QString::fromLatin1(kWordMergeIntersectImagesKey), true));
    setConvertOpts(std::move(options));
}

void QXSourceFileItem::setSettings_outputFormat(const QString& title)
{
    settings_outputFormat_ = title;
    QSettings settings;
    settings.setValue(QString::fromLatin1(kOutputFormatKey), title);
    settings.sync();
}

long long QXSourceFileItem::sourcePages() const
{
    if (sourcePages_ > 0)
        return sourcePages_;
    const auto document = QXCPDFUtilities::initPDFDocumentAtPath(sourcePath(), sourcePassword().value_or(""));
    if (document && document->isUnlocked())
        sourcePages_ = std::max(0, document->pageCount());
    return sourcePages_;
}

uint64_t QXSourceFileItem::fileSize() const
{
    const QFileInfo info(path());
    return info.exists() && !info.isDir() ? uint64_t(info.size()) : 0;
}

QString QXSourceFileItem::fileSizeString() const
{
    return fileSizeString(fileSize());
}

QString QXSourceFileItem::fileSizeString(uint64_t bytes)
{
    const double kilobytes = double(bytes / 1024);
    double value = kilobytes;
    char unit = 'K';
    if (bytes >= 1048576ULL && bytes <= 1073741823ULL) {
        value = kilobytes / 1024.0;
        unit = 'M';
    } else if (bytes > 1073741823ULL) {
        value = kilobytes / 1048576.0;
        unit = 'G';
    }
    // Formatted by Qt, which does not follow the C library's locale.
    return QStringLiteral("%1 %2B").arg(value, 0, 'f', 1).arg(QLatin1Char(unit));
}

QString QXSourceFileItem::sourceInfo() const
{
    return qx_sharedLocalized("%1 Pages, %2").arg(sourcePages()).arg(fileSizeString());
}

QString QXSourceFileItem::conversionOptions() const
{
    const QString range = settings_pageRangeType_ == QXPageRangeCustom ? settings_customPageRange_
                                                                        : qx_sharedLocalized("All Pages");
    const QString format = QString::fromStdString(outputFileFormat()).toUpper();
    const char* status = "%1, %2, Ready!";
    if (!outputPath().empty())
        status = conversionSucceeded() ? "%1, %2, Success!" : "%1, %2, Failed!";
    return qx_sharedLocalized(status).arg(range, format);
}

QString QXSourceFileItem::sourceFileIcon() const
{
    if (!locked_)
        locked_ = QXCPDFUtilities::isPDFDocumentLockedAtPath(sourcePath());
    return *locked_ ? QStringLiteral("icon_pdf_pw") : QStringLiteral("icon_pdf");
}

QString QXSourceFileItem::outputFileIcon() const
{
    return StoreConstants::FormatIconDictionary().value(settings_outputFormat_);
}

QString QXSourceFileItem::conversionIcon() const
{
    if (outputPath().empty())
        return QStringLiteral("POI_History");
    return conversionSucceeded() ? QStringLiteral("pwdguard_success_status_icon")
                                 : QStringLiteral("pwdguard_failed_status_icon");
}

bool QXSourceFileItem::outputFileIconEnable() const
{
    return !outputPath().empty() && QFileInfo::exists(QString::fromStdString(outputPath()));
}

QImage QXSourceFileItem::sourceFilePreviewIcon(const QSize& size) const
{
    return imageWithPreviewOfFileAtPath(path(), size, sourcePassword().value_or(""));
}

bool QXSourceFileItem::conversionSucceeded() const
{
    return conversionEnded_ && !conversionError() && !outputPath().empty() &&
           QFileInfo::exists(QString::fromStdString(outputPath()));
}

void QXSourceFileItem::resetConversion()
{
    setOutputPath({});
    rz::QXSourceFileItem::setConversionError(std::nullopt);
    conversionEnded_ = false;
}

std::vector<long long> QXSourceFileItem::outputPDFPageIndexs() const
{
    return QXPageIndexsForRange(settings_pageRangeType_, settings_customPageRange_, sourcePages(),
                                qx_sharedLocalized("All Pages"));
}

std::string QXSourceFileItem::outputFileFormat() const
{
    const QString extension = StoreConstants::FormatTypeDictionary().value(settings_outputFormat_);
    return extension.isEmpty() ? std::string("docx") : extension.toStdString();
}

std::string QXSourceFileItem::newOutputPath()
{
    const QString folder = QXSandBoxUtilities::outputFolder();
    const QString name = QFileInfo(path()).completeBaseName() + QLatin1Char('.') +
                         QString::fromStdString(outputFileFormat());
    const QString output = QXCUtilities::getNewPathby(QDir(folder).filePath(name));
    setOutputPath(output.toStdString());
    conversionEnded_ = false;
    return outputPath();
}

void QXSourceFileItem::setConversionError(const std::optional<QXError>& e)
{
    rz::QXSourceFileItem::setConversionError(e);
    conversionEnded_ = true;
}

} // namespace rz::app
