#include "app/widgets/QXSettingsViewController.h"

#include "app/model/QXCUtilities.h"
#include "app/model/QXPageRange.h"
#include "app/model/QXSandBoxUtilities.h"
#include "app/model/StoreConstants.h"
#include "app/widgets/QXImages.h"
#include "app/widgets/QXShellServices.h"
#include "app/widgets/QXWordSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include <utility>

namespace rz::app {

namespace {

const QSize kPreviewSize(280, 154);

} // namespace

QXSettingsViewController::QXSettingsViewController(QXShellServices& services, QWidget* parent)
    : QWidget(parent), services_(services)
{
    iv_preview_ = new QLabel(this);
    iv_preview_->setAlignment(Qt::AlignCenter);
    iv_preview_->setFixedHeight(kPreviewSize.height());
    iv_preview_->setMinimumWidth(kPreviewSize.width());
    tf_title_ = new QLabel(this);
    tf_title_->setAlignment(Qt::AlignCenter);
    QFont bold = tf_title_->font();
    bold.setBold(true);
    tf_title_->setFont(bold);
    tf_info_ = new QLabel(this);
    tf_info_->setAlignment(Qt::AlignCenter);

    pu_outputFormat_ = new QComboBox(this);
    pu_outputFormat_->setObjectName(QStringLiteral("pu_outputFormat"));
    for (const QString& title : StoreConstants::ConvertibleFormatTitles())
        pu_outputFormat_->addItem(qx_iconNamed(StoreConstants::FormatIconDictionary().value(title)), title, title);
    btn_outputApplyToAll_ = new QCheckBox(qx_sharedLocalized("Apply to all files"), this);
    btn_outputApplyToAll_->setObjectName(QStringLiteral("btn_outputApplyToAll"));
    btn_moreSettings_ = new QPushButton(qx_sharedLocalized("Options..."), this);
    btn_moreSettings_->setObjectName(QStringLiteral("btn_moreSettings"));

    btn_allPages_ = new QRadioButton(qx_sharedLocalized("All Pages"), this);
    btn_customPages_ = new QRadioButton(qx_sharedLocalized("Pages:"), this);
    mx_pageRange_ = new QButtonGroup(this);
    mx_pageRange_->addButton(btn_allPages_, QXPageRangeAll);
    mx_pageRange_->addButton(btn_customPages_, QXPageRangeCustom);
    tf_pageRange_ = new QLineEdit(this);
    tf_pageRange_->setObjectName(QStringLiteral("tf_pageRange"));
    tf_pageRange_->setPlaceholderText(qx_sharedLocalized("e.g. 1,3,5-7"));

    tf_ouputPath_ = new QLineEdit(this);
    tf_ouputPath_->setObjectName(QStringLiteral("tf_ouputPath"));
    tf_ouputPath_->setReadOnly(true);
    btn_browse_ = new QPushButton(qx_sharedLocalized("Change..."), this);
    btn_reveal_ = new QPushButton(qx_sharedLocalized("Show"), this);
    btn_reveal_->setToolTip(qx_sharedLocalized("Show the output folder"));

    auto* format = new QGroupBox(qx_sharedLocalized("Output Format"), this);
    auto* formatLayout = new QGridLayout(format);
    formatLayout->addWidget(pu_outputFormat_, 0, 0, 1, 2);
    formatLayout->addWidget(btn_outputApplyToAll_, 1, 0);
    formatLayout->addWidget(btn_moreSettings_, 1, 1, Qt::AlignRight);

    auto* range = new QGroupBox(qx_sharedLocalized("Page Range"), this);
    auto* rangeLayout = new QGridLayout(range);
    rangeLayout->addWidget(btn_allPages_, 0, 0, 1, 2);
    rangeLayout->addWidget(btn_customPages_, 1, 0);
    rangeLayout->addWidget(tf_pageRange_, 1, 1);

    auto* folder = new QGroupBox(qx_sharedLocalized("Output Folder"), this);
    auto* folderLayout = new QHBoxLayout(folder);
    folderLayout->addWidget(tf_ouputPath_, 1);
    folderLayout->addWidget(btn_browse_);
    folderLayout->addWidget(btn_reveal_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(iv_preview_);
    layout->addWidget(tf_title_);
    layout->addWidget(tf_info_);
    layout->addSpacing(8);
    layout->addWidget(format);
    layout->addWidget(range);
    layout->addWidget(folder);
    layout->addStretch(1);

    // The option sheet: window-modal over the main window, opened without
    // blocking; the DOCX pane lives in it.
    panel_moreSettings_ = new QDialog(this);
    panel_moreSettings_->setObjectName(QStringLiteral("panel_moreSettings"));
    panel_moreSettings_->setWindowModality(Qt::WindowModal);
    panel_moreSettings_->setWindowTitle(qx_sharedLocalized("Options"));
    settings_Word_ = new QXWordSettings(panel_moreSettings_);
    settings_Word_->setDelegate(this);
    auto* panelLayout = new QVBoxLayout(panel_moreSettings_);
    panelLayout->setSizeConstraint(QLayout::SetFixedSize);
    panelLayout->addWidget(settings_Word_);

    connect(pu_outputFormat_, &QComboBox::currentIndexChanged, this, [this] { settingsButtonPressed(); });
    connect(mx_pageRange_, &QButtonGroup::idClicked, this, [this](int row) {
        settingsButtonPressed();
        if (row != QXPageRangeAll)
            tf_pageRange_->setFocus();
    });
    connect(tf_pageRange_, &QLineEdit::textEdited, this, [this] { settingsButtonPressed(); });
    connect(btn_moreSettings_, &QPushButton::clicked, this, [this] { moreSettingsButtonAction(); });
    connect(btn_browse_, &QPushButton::clicked, this, [this] { browseOutputDirectry(); });
    connect(btn_reveal_, &QPushButton::clicked, this, [this] { revealOutputDirectry(); });

    // A stored format this build does not write falls back to the default.
    const QString key = QStringLiteral("Setting_Key_RUZIzevudara_OutputFormat");
    const QString stored = QXCUtilities::stringValueForKey(key, QString::fromLatin1(kDefaultOutputFormatTitle))
                               .value_or(QString::fromLatin1(kDefaultOutputFormatTitle));
    if (pu_outputFormat_->findData(stored) < 0) {
        QSettings settings;
        settings.setValue(key, QString::fromLatin1(kDefaultOutputFormatTitle));
        settings.sync();
    }
    showOutputFolder();
    setSourceFileItem(nullptr);
}

void QXSettingsViewController::setSourceFileItem(std::shared_ptr<QXSourceFileItem> item)
{
    sourceFileItem_ = std::move(item);
    showItem();
    // The selection can move while the sheet is open (a conversion selects
    // the file it starts): the sheet then shows the new file's options, so
    // that a click never copies one file's choices onto another, or ends
    // when the new file has no sheet.
    if (panel_moreSettings_->isVisible()) {
        if (sourceFileItem_ && sourceFileItem_->settings_outputFormat() == QLatin1String("Microsoft Word(.docx)"))
            settings_Word_->fillWithValues(*sourceFileItem_);
        else
            panel_moreSettings_->reject();
    }
}

void QXSettingsViewController::showItem()
{
    updating_ = true;
    const bool hasItem = sourceFileItem_ != nullptr;
    for (QWidget* control : {static_cast<QWidget*>(btn_moreSettings_), static_cast<QWidget*>(btn_outputApplyToAll_),
                             static_cast<QWidget*>(pu_outputFormat_), static_cast<QWidget*>(btn_allPages_),
                             static_cast<QWidget*>(btn_customPages_), static_cast<QWidget*>(tf_pageRange_)})
        control->setEnabled(hasItem);
    if (!hasItem) {
        iv_preview_->setPixmap(qx_imageNamed(QStringLiteral("default-eye"), QSize(96, 96)));
        tf_title_->setText(qx_sharedLocalized("No File Selected"));
        tf_info_->clear();
        btn_allPages_->setChecked(true);
        tf_pageRange_->clear();
        updateUI();
        updating_ = false;
        return;
    }
    const QImage preview = sourceFileItem_->sourceFilePreviewIcon(kPreviewSize);
    iv_preview_->setPixmap(preview.isNull() ? qx_imageNamed(sourceFileItem_->sourceFileIcon(), QSize(96, 96))
                                            : QPixmap::fromImage(preview));
    tf_title_->setText(QFileInfo(sourceFileItem_->path()).fileName());
    tf_info_->setText(sourceFileItem_->sourceInfo());
    const int row = pu_outputFormat_->findData(sourceFileItem_->settings_outputFormat());
    if (row >= 0)
        pu_outputFormat_->setCurrentIndex(row);
    const bool custom = sourceFileItem_->settings_pageRangeType() == QXPageRangeCustom;
    (custom ? btn_customPages_ : btn_allPages_)->setChecked(true);
    // A new item's range text is "All Pages": the field shows its hint instead.
    const QString text = sourceFileItem_->settings_customPageRange();
    tf_pageRange_->setText(text == qx_sharedLocalized("All Pages") ? QString() : text);
    updateUI();
    updating_ = false;
}

void QXSettingsViewController::updateUI()
{
    if (!sourceFileItem_) {
        const bool wasUpdating = std::exchange(updating_, true);
        const QString stored = QSettings().value(QStringLiteral("Setting_Key_RUZIzevudara_OutputFormat")).toString();
        const int row = pu_outputFormat_->findData(stored);
        pu_outputFormat_->setCurrentIndex(row >= 0 ? row : pu_outputFormat_->findData(QString::fromLatin1(kDefaultOutputFormatTitle)));
        updating_ = wasUpdating;
        return;
    }
    tf_pageRange_->setEnabled(mx_pageRange_->checkedId() != QXPageRangeAll);
    const QString format = sourceFileItem_->settings_outputFormat();
    btn_moreSettings_->setEnabled(format == QLatin1String("Microsoft Word(.docx)") ||
                                  format == QLatin1String("Microsoft Excel(.xlsx)") ||
                                  format == QLatin1String("Comma-Separated Values(.csv)"));
}

void QXSettingsViewController::settingsButtonPressed()
{
    if (updating_ || !sourceFileItem_)
        return;
    if (pu_outputFormat_->currentIndex() >= 0)
        sourceFileItem_->setSettings_outputFormat(pu_outputFormat_->currentData().toString());
    sourceFileItem_->setSettings_pageRangeType(mx_pageRange_->checkedId() == QXPageRangeCustom ? QXPageRangeCustom
                                                                                               : QXPageRangeAll);
    sourceFileItem_->setSettings_customPageRange(tf_pageRange_->text());
    updateUI();
    if (delegate_)
        delegate_->QXSettingsViewControllerDidUpdateSettings(*this);
}

void QXSettingsViewController::moreSettingsButtonAction()
{
    // XLSX and CSV have no option sheet: their options are not offered here.
    if (!sourceFileItem_ || sourceFileItem_->settings_outputFormat() != QLatin1String("Microsoft Word(.docx)"))
        return;
    settings_Word_->fillWithValues(*sourceFileItem_);
    panel_moreSettings_->open();
}

void QXSettingsViewController::QXPDFConversionSettingsValueUpdated(QXPDFConversionSettings& pane)
{
    if (&pane != settings_Word_ || !sourceFileItem_)
        return;
    // A new options object: a conversion running on another thread keeps
    // reading the one it was handed, unchanged.
    const auto current = sourceFileItem_->convertOpts();
    auto options = current ? std::make_shared<QXPDFOptions>(*current) : std::make_shared<QXPDFOptions>();
    settings_Word_->storeValues(options->wordOptions());
    sourceFileItem_->setConvertOpts(std::move(options));
    settingsButtonPressed();
}

void QXSettingsViewController::QXPDFConversionSettingsButtonDoneAction(QXPDFConversionSettings& pane)
{
    if (&pane != settings_Word_)
        return;
    panel_moreSettings_->done(0);
}

std::optional<QString> QXSettingsViewController::askForFolder(const QString& title)
{
    // The dialog opens on the folder shown.
    const auto chosen = services_.chooseFolder(window(), title, QXSandBoxUtilities::outputFolder());
    if (!chosen || chosen->isEmpty() || !QXSandBoxUtilities::SaveUserSelectedOutputURLBookmark(*chosen))
        return std::nullopt;
    showOutputFolder();
    return chosen;
}

void QXSettingsViewController::browseOutputDirectryBeforeConversion()
{
    if (!askForFolder(qx_sharedLocalized("Choose a output directory to save documents:")))
        return;
    if (delegate_)
        delegate_->QXSettingsViewControllerDidCreationFirstOutputDirectory(*this);
}

void QXSettingsViewController::browseOutputDirectry()
{
    askForFolder(qx_sharedLocalized("Choose a output directory to save documents:"));
}

void QXSettingsViewController::showOutputFolder()
{
    tf_ouputPath_->setText(QXSandBoxUtilities::outputFolder());
    tf_ouputPath_->setCursorPosition(0);
}

void QXSettingsViewController::revealOutputDirectry()
{
    const QString folder = tf_ouputPath_->text();
    if (!folder.isEmpty() && QFileInfo::exists(folder))
        services_.openFile(folder);
}

} // namespace rz::app
