// The settings pane on the right of the main window: the selected file's
// preview, output format, page range and format options, and the output
// folder.
#pragma once

#include "app/model/QXSourceFileItem.h"
#include "app/widgets/QXPDFConversionSettings.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rz::app {

class QXSettingsViewController;
class QXShellServices;
class QXWordSettings;

class QXSettingsViewControllerDelegate {
public:
    virtual ~QXSettingsViewControllerDelegate() = default;
    // The selected item's settings changed.
    virtual void QXSettingsViewControllerDidUpdateSettings(QXSettingsViewController&) {}
    // A folder was chosen before the first conversion.
    virtual void QXSettingsViewControllerDidCreationFirstOutputDirectory(QXSettingsViewController&) {}
};

class QXSettingsViewController : public QWidget, private QXPDFConversionSettingsDelegate {
    Q_OBJECT
public:
    // `services` (not owned) shows the folder dialog.
    explicit QXSettingsViewController(QXShellServices& services, QWidget* parent = nullptr);

    // Not owned.
    void setDelegate(QXSettingsViewControllerDelegate* d) { delegate_ = d; }

    const std::shared_ptr<QXSourceFileItem>& sourceFileItem() const { return sourceFileItem_; }
    // Shows the item's settings; without one the controls are disabled and
    // the format pop-up shows the stored format.
    void setSourceFileItem(std::shared_ptr<QXSourceFileItem> item);
    // Refreshes the enabled states from the item shown.
    void updateUI();
    // Stores the controls into the item shown and tells the delegate.
    void settingsButtonPressed();
    // Opens the option sheet of the item's format (DOCX only), window-modal
    // and without blocking.
    void moreSettingsButtonAction();

    // Before a conversion without a usable output folder: asks for one; once
    // it is stored, the delegate hears of it. Cancelling changes nothing.
    void browseOutputDirectryBeforeConversion();
    // The folder button: asks for a new output folder and keeps it.
    void browseOutputDirectry();
    // Shows the folder outputs go to.
    void showOutputFolder();
    // Opens the folder shown in the file manager, when it is there.
    void revealOutputDirectry();

    QComboBox* formatPopUp() const { return pu_outputFormat_; }
    QLineEdit* outputPathField() const { return tf_ouputPath_; }
    QLineEdit* pageRangeField() const { return tf_pageRange_; }
    QRadioButton* allPagesButton() const { return btn_allPages_; }
    QRadioButton* customPagesButton() const { return btn_customPages_; }
    // Apply the format chosen to every listed file; read by the delegate.
    QCheckBox* btn_outputApplyToAll() const { return btn_outputApplyToAll_; }
    QPushButton* btn_moreSettings() const { return btn_moreSettings_; }
    QDialog* panel_moreSettings() const { return panel_moreSettings_; }
    QXWordSettings* settings_Word() const { return settings_Word_; }

private:
    void showItem();
    std::optional<QString> askForFolder(const QString& title);

    void QXPDFConversionSettingsValueUpdated(QXPDFConversionSettings& pane) override;
    void QXPDFConversionSettingsButtonDoneAction(QXPDFConversionSettings& pane) override;

    QXShellServices& services_;
    QXSettingsViewControllerDelegate* delegate_ = nullptr;
    std::shared_ptr<QXSourceFileItem> sourceFileItem_;
    bool updating_ = false;

    QLabel* iv_preview_ = nullptr;
    QLabel* tf_title_ = nullptr;
    QLabel* tf_info_ = nullptr;
    QComboBox* pu_outputFormat_ = nullptr;
    QButtonGroup* mx_pageRange_ = nullptr;
    QRadioButton* btn_allPages_ = nullptr;
    QRadioButton* btn_customPages_ = nullptr;
    QLineEdit* tf_pageRange_ = nullptr;
    QLineEdit* tf_ouputPath_ = nullptr;
    QPushButton* btn_browse_ = nullptr;
    QPushButton* btn_reveal_ = nullptr;
    QCheckBox* btn_outputApplyToAll_ = nullptr;
    QPushButton* btn_moreSettings_ = nullptr;
    QDialog* panel_moreSettings_ = nullptr;
    QXWordSettings* settings_Word_ = nullptr;
};

} // namespace rz::app
