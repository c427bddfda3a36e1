// The DOCX option pane: four check boxes for the Word options of an item.
// A click changes only the shown item's options (through the delegate);
// Done also keeps the choices as the options of items added later.
#pragma once

#include "app/widgets/QXPDFConversionSettings.h"

#include "converter/QXPDFOptions.h"

class QCheckBox;
class QPushButton;

namespace rz::app {

class QXWordSettings : public QXPDFConversionSettings {
    Q_OBJECT
public:
    explicit QXWordSettings(QWidget* parent = nullptr);

    // Each check box on exactly when the item's Word option is.
    void fillWithValues(const QXSourceFileItem& item) override;
    // Copies the check boxes into the Word options.
    void storeValues(QXWordOptions& options) const;

    // A check box's action: the delegate hears of the change.
    void updateValueAction();
    // Done: the choices are stored as the defaults of new items, then the
    // delegate hears of it.
    void buttonDoneAction();

    QCheckBox* docx_btn_mergeParagraph() const { return docx_btn_mergeParagraph_; }
    QCheckBox* docx_btn_trimBlankSpace() const { return docx_btn_trimBlankSpace_; }
    QCheckBox* docx_btn_enableShapToImage() const { return docx_btn_enableShapToImage_; }
    QCheckBox* docx_btn_enableMergeIntersectImages() const { return docx_btn_enableMergeIntersectImages_; }
    QPushButton* btn_done() const { return btn_done_; }

private:
    QCheckBox* docx_btn_mergeParagraph_ = nullptr;
    QCheckBox* docx_btn_trimBlankSpace_ = nullptr;
    QCheckBox* docx_btn_enableShapToImage_ = nullptr;
    QCheckBox* docx_btn_enableMergeIntersectImages_ = nullptr;
    QPushButton* btn_done_ = nullptr;
};

} // namespace rz::app
