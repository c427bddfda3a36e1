// The settings pane on the right of the main window: the selected file's
// preview, output format and page range, and the output folder.
#pragma once

#include "app/model/QXSourceFileItem.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rz::app {

class QXSettingsViewController;
class QXShellServices;

class QXSettingsViewControllerDelegate {
public:
    virtual ~QXSettingsViewControllerDelegate() = default;
    // The selected item's settings changed.
    virtual void QXSettingsViewControllerDidUpdateSettings(QXSettingsViewController&) {}
    // A folder was chosen before the first conversion.
    virtual void QXSettingsViewControllerDidCreationFirstOutputDirectory(QXSettingsViewController&) {}
};

class QXSettingsViewController : public QWidget {
    Q_OBJECT
public:
    // `services` (not owned) shows the folder dialog.
    explicit QXSettingsViewController(QXShellServices& services, QWidget* parent = nullptr);

    // Not owned.
    void setDelegate(QXSettingsViewControllerDelegate* d) { delegate_ = d; }

    const std::shared_ptr<QXSourceFileItem>& sourceFileItem() const { return sourceFileItem_; }
    // Shows the item's settings; nothing disables the controls.
    void setSourceFileItem(std::shared_ptr<QXSourceFileItem> item);

    // Before a conversion without a usable output folder: asks for one; once
    // it is stored, the delegate hears of it. Cancelling changes nothing.
    void browseOutputDirectryBeforeConversion();
    // The folder button: asks for a new output folder and keeps it.
    void browseOutputDirectry();
    // Shows the folder outputs go to.
    void showOutputFolder();

    QComboBox* formatPopUp() const { return pu_outputFormat_; }
    QLineEdit* outputPathField() const { return tf_ouputPath_; }
    QLineEdit* pageRangeField() const { return tf_pageRange_; }
    QRadioButton* allPagesButton() const { return btn_allPages_; }
    QRadioButton* customPagesButton() const { return btn_customPages_; }

private:
    void updateUI();
    void formatChosen();
    void pageRangeChanged(bool typed);
    std::optional<QString> askForFolder(const QString& title);

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
};

} // namespace rz::app
