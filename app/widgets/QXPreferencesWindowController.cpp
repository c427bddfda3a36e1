#include "app/widgets/QXPreferencesWindowController.h"

#include "app/model/QXCUtilities.h"

#include <QAction>
#include <QCheckBox>
#include <QSettings>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace rz::app {

namespace {

void storeBool(const char* key, bool value)
{
    QSettings settings;
    settings.setValue(QString::fromLatin1(key), value);
    settings.sync();
}

} // namespace

QXPreferencesWindowController* QXPreferencesWindowController::sharedInstance()
{
    // Made on first use and never destroyed: the program reads it until it ends.
    static QXPreferencesWindowController* instance = new QXPreferencesWindowController;
    return instance;
}

QXPreferencesWindowController::QXPreferencesWindowController(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("QXPreferencesWindowController"));
    setWindowTitle(qx_sharedLocalized("Preferences"));
    openFileAfterConversion_ = QXCUtilities::boolValueForKey(QString::fromLatin1(kOpenFileAfterConversionKey), true);
    parserPDFAnnots_ = QXCUtilities::boolValueForKey(QString::fromLatin1(kParserPDFAnnotsKey), true);

    tb_top_ = new QToolBar(this);
    tb_top_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QAction* general = tb_top_->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                          qx_sharedLocalized("General"));
    general->setObjectName(QStringLiteral("QXToolbarItem_General"));
    general->setCheckable(true);
    general->setChecked(true);
    connect(general, &QAction::triggered, this, [this, general] {
        general->setChecked(true);
        toolbarItemGeneralAction();
    });

    contentView_ = new QWidget(this);
    preView_General_ = new QWidget;
    btn_openFileAfterConversion_ = new QCheckBox(qx_sharedLocalized("Open each file once it is converted"), preView_General_);
    btn_openFileAfterConversion_->setObjectName(QStringLiteral("btn_openFileAfterConversion"));
    btn_parserPDFAnnots_ = new QCheckBox(qx_sharedLocalized("Convert annotations (Word documents)"), preView_General_);
    btn_parserPDFAnnots_->setObjectName(QStringLiteral("btn_parserPDFAnnots"));
    btn_parserPDFAnnots_->setToolTip(
        qx_sharedLocalized("Comments, stamps and form fields drawn on the pages join the Word output."));
    auto* page = new QVBoxLayout(preView_General_);
    page->setContentsMargins(20, 16, 20, 20);
    page->addWidget(btn_openFileAfterConversion_);
    page->addWidget(btn_parserPDFAnnots_);
    page->addStretch(1);
    connect(btn_openFileAfterConversion_, &QCheckBox::clicked, this,
            [this] { openFileAfterConversion(*btn_openFileAfterConversion_); });
    connect(btn_parserPDFAnnots_, &QCheckBox::clicked, this, [this] { parserPDFAnnotsAction(*btn_parserPDFAnnots_); });

    auto* content = new QVBoxLayout(contentView_);
    content->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tb_top_);
    layout->addWidget(contentView_, 1);

    loadUpdateSettings();
    toolbarItemGeneralAction();
}

void QXPreferencesWindowController::showWindow()
{
    if (isVisible()) {
        close();
        return;
    }
    show();
    raise();
    activateWindow();
}

void QXPreferencesWindowController::openFileAfterConversion(const QCheckBox& sender)
{
    openFileAfterConversion_ = sender.isChecked();
    storeBool(kOpenFileAfterConversionKey, openFileAfterConversion_);
}

void QXPreferencesWindowController::parserPDFAnnotsAction(const QCheckBox& sender)
{
    parserPDFAnnots_ = sender.isChecked();
    storeBool(kParserPDFAnnotsKey, parserPDFAnnots_);
}

void QXPreferencesWindowController::toolbarItemGeneralAction()
{
    if (preView_General_->parentWidget() != contentView_) {
        preView_General_->setParent(contentView_);
        contentView_->layout()->addWidget(preView_General_);
    }
    showView(preView_General_);
}

void QXPreferencesWindowController::loadUpdateSettings()
{
    btn_openFileAfterConversion_->setChecked(openFileAfterConversion_);
    btn_parserPDFAnnots_->setChecked(parserPDFAnnots_);
}

void QXPreferencesWindowController::showView(QWidget* view)
{
    for (QWidget* page : contentView_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        page->setVisible(page == view);
    // Qt keeps the top-left corner when a window is resized: the top edge stays.
    const QSize fitted = QSize(tb_top_->sizeHint().width(), tb_top_->sizeHint().height())
                             .expandedTo(QSize(view->sizeHint().width(), 0)) +
                         QSize(0, view->sizeHint().height());
    resize(fitted.expandedTo(QSize(380, 0)));
}

} // namespace rz::app
