#include "app/widgets/QXWordSettings.h"

#include "app/model/QXCUtilities.h"
#include "app/model/StoreConstants.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace rz::app {

QXWordSettings::QXWordSettings(QWidget* parent) : QXPDFConversionSettings(parent)
{
    setObjectName(QStringLiteral("QXWordSettings"));
    const auto makeBox = [this](const char* name, const char* text, const char* hint) {
        auto* box = new QCheckBox(qx_sharedLocalized(text), this);
        box->setObjectName(QString::fromLatin1(name));
        box->setToolTip(qx_sharedLocalized(hint));
        connect(box, &QCheckBox::clicked, this, [this] { updateValueAction(); });
        return box;
    };
    docx_btn_mergeParagraph_ = makeBox("docx_btn_mergeParagraph", "Join lines into paragraphs",
                                       "Lines that continue one another become one paragraph.");
    docx_btn_trimBlankSpace_ = makeBox("docx_btn_trimBlankSpace", "Leave out blank space characters",
                                       "Runs of spaces that only position text are not written.");
    docx_btn_enableShapToImage_ = makeBox("docx_btn_enableShapToImage", "Draw vector shapes as pictures",
                                          "Each page's lines and shapes become one picture.");
    docx_btn_enableMergeIntersectImages_ = makeBox("docx_btn_enableMergeIntersectImages", "Merge overlapping images",
                                                   "Images that overlap become one picture.");

    auto* title = new QLabel(qx_sharedLocalized("Microsoft Word(.docx) Options"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto* buttons = new QDialogButtonBox(this);
    btn_done_ = buttons->addButton(qx_sharedLocalized("Done"), QDialogButtonBox::AcceptRole);
    btn_done_->setObjectName(QStringLiteral("btn_done"));
    btn_done_->setDefault(true);
    connect(btn_done_, &QPushButton::clicked, this, [this] { buttonDoneAction(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addSpacing(6);
    for (QCheckBox* box : {docx_btn_mergeParagraph_, docx_btn_trimBlankSpace_, docx_btn_enableShapToImage_,
                           docx_btn_enableMergeIntersectImages_})
        layout->addWidget(box);
    layout->addSpacing(10);
    layout->addWidget(buttons);
}

void QXWordSettings::fillWithValues(const QXSourceFileItem& item)
{
    QXPDFConversionSettings::fillWithValues(item);
    const auto options = item.convertOpts();
    const QXWordOptions word = options ? options->wordOptions() : QXWordOptions();
    docx_btn_mergeParagraph_->setChecked(word.isMergeParagraphs());
    docx_btn_trimBlankSpace_->setChecked(word.isTrimmingBlankSpaceCharacters());
    docx_btn_enableShapToImage_->setChecked(word.enableShapToImage());
    docx_btn_enableMergeIntersectImages_->setChecked(word.enableMergeIntersectImages());
}

void QXWordSettings::storeValues(QXWordOptions& options) const
{
    options.setIsMergeParagraphs(docx_btn_mergeParagraph_->isChecked());
    options.setIsTrimmingBlankSpaceCharacters(docx_btn_trimBlankSpace_->isChecked());
    options.setEnableShapToImage(docx_btn_enableShapToImage_->isChecked());
    options.setEnableMergeIntersectImages(docx_btn_enableMergeIntersectImages_->isChecked());
}

void QXWordSettings::updateValueAction()
{
    if (delegate())
        delegate()->QXPDFConversionSettingsValueUpdated(*this);
}

void QXWordSettings::buttonDoneAction()
{
    QSettings settings;
    settings.setValue(QString::fromLatin1(kWordMergeParagraphsKey), docx_btn_mergeParagraph_->isChecked());
    settings.setValue(QString::fromLatin1(kWordTrimBlankSpaceKey), docx_btn_trimBlankSpace_->isChecked());
    settings.setValue(QString::fromLatin1(kWordShapesToImageKey), docx_btn_enableShapToImage_->isChecked());
    settings.setValue(QString::fromLatin1(kWordMergeIntersectImagesKey),
                      docx_btn_enableMergeIntersectImages_->isChecked());
    settings.sync();
    if (delegate())
        delegate()->QXPDFConversionSettingsButtonDoneAction(*this);
}

} // namespace rz::app
