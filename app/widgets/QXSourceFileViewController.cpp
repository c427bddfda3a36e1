#include "app/widgets/QXSourceFileViewController.h"

#include "app/model/QXCUtilities.h"
#include "app/widgets/QXAppDelegate.h"
#include "app/widgets/QXImages.h"
#include "app/widgets/QXShellServices.h"
#include "pdfengine/base/QXCPDFUtilities.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace rz::app {

namespace {

constexpr int kRowHeight = 52;
constexpr int kIconSide = 36;
constexpr int kOutputSide = 28;
constexpr int kRemoveSide = 18;
constexpr int kStatusSide = 12;
constexpr int kMargin = 10;
// Between closing the open dialog and checking the first chosen file.
constexpr int kCheckDelayMs = 500;
// How often a converting row's spinning indicator turns.
constexpr int kSpinIntervalMs = 80;

QRect sourceIconRect(const QRect& row)
{
    return {row.left() + kMargin, row.top() + (row.height() - kIconSide) / 2, kIconSide, kIconSide};
}

QRect outputIconRect(const QRect& row)
{
    return {row.right() - kMargin - kOutputSide + 1, row.top() + (row.height() - kOutputSide) / 2, kOutputSide,
            kOutputSide};
}

QRect removeButtonRect(const QRect& row)
{
    const QRect output = outputIconRect(row);
    return {output.left() - kMargin - kRemoveSide, row.top() + (row.height() - kRemoveSide) / 2, kRemoveSide,
            kRemoveSide};
}

// Draws one source row: its background (hover, selection, separator), the
// source icon, name, information line, then either the status icon and
// status line or, while it converts, a spinning indicator and a progress
// bar, and the format's icon; the row with the mouse inside shows a remove
// button. Clicks on the remove button, on the source icon and on an output
// icon whose output is there are handed to the list.
class QXSourceFileRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    std::function<int()> hoverRow;
    std::function<void(int)> removePressed;
    std::function<void(int)> openOutputPressed;
    std::function<void(int)> openSourcePressed;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), kRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        const QRect row = option.rect;
        const bool hovered = hoverRow && hoverRow() == index.row();
        const bool selected = option.state & QStyle::State_Selected;
        const QColor windowColour = option.palette.color(QPalette::Window);
        const bool dark = windowColour.lightness() < 128;

        painter->fillRect(row, option.palette.color(QPalette::Base));
        if (hovered)
            painter->fillRect(row, QColor(255, 255, 255, 77));
        if (selected) {
            const QColor fill = dark ? QColor::fromRgbF(0.16f, 0.16f, 0.16f, 1.0f)
                                     : QColor::fromRgbF(0.42f, 0.68f, 0.88f, 0.6f);
            const QRectF box = QRectF(row).adjusted(0.5, 0.5, -0.5, -0.5);
            painter->fillRect(box, fill);
            painter->setPen(QPen(QColor::fromRgbF(0.52f, 0.52f, 0.52f, 1.0f), 0.5));
            painter->drawRect(box);
        }
        painter->fillRect(QRect(row.left(), row.bottom(), row.width(), 1), QColor(204, 204, 204));

        const QRect iconRect = sourceIconRect(row);
        painter->drawPixmap(iconRect, qx_imageNamed(index.data(QXSourceFileListModel::SourceIconRole).toString(),
                                                    iconRect.size()));

        const QRect outputRect = outputIconRect(row);
        const QString outputIcon = index.data(QXSourceFileListModel::OutputIconRole).toString();
        if (!outputIcon.isEmpty()) {
            painter->setOpacity(index.data(QXSourceFileListModel::OutputIconEnableRole).toBool() ? 1.0 : 0.45);
            painter->drawPixmap(outputRect, qx_imageNamed(outputIcon, outputRect.size()));
            painter->setOpacity(1.0);
        }
        const QRect removeRect = removeButtonRect(row);
        if (hovered)
            painter->drawPixmap(removeRect, qx_imageNamed(QStringLiteral("btn_remove"), removeRect.size()));

        const int textLeft = iconRect.right() + kMargin;
        const int textWidth = std::max(10, removeRect.left() - kMargin - textLeft);
        const int lineHeight = (row.height() - 6) / 3;
        QFont nameFont = option.font;
        nameFont.setBold(true);
        painter->setFont(nameFont);
        painter->setPen(option.palette.color(QPalette::Text));
        const QRect nameRect(textLeft, row.top() + 3, textWidth, lineHeight);
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(nameFont).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle,
                                                            textWidth));
        QFont small = option.font;
        small.setPointSizeF(std::max(7.0, option.font.pointSizeF() * 0.85));
        painter->setFont(small);
        const QFontMetrics smallMetrics(small);
        painter->drawText(nameRect.translated(0, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                          smallMetrics.elidedText(index.data(QXSourceFileListModel::SourceInfoRole).toString(),
                                                  Qt::ElideRight, textWidth));
        const QRect lastLine = nameRect.translated(0, 2 * lineHeight);
        const QRect statusRect(lastLine.left(), lastLine.top() + (lastLine.height() - kStatusSide) / 2, kStatusSide,
                               kStatusSide);
        const int afterStatus = statusRect.right() + 5;
        const QRect lineRest(afterStatus, lastLine.top(), std::max(1, lastLine.right() - afterStatus), lastLine.height());
        const QVariant progress = index.data(QXSourceFileListModel::ProgressRole);
        if (progress.isValid()) {
            // The spinning indicator: an arc that turns with the clock.
            const int angle = int((QTime::currentTime().msecsSinceStartOfDay() / 3) % 360);
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2, Qt::SolidLine, Qt::RoundCap));
            painter->drawArc(QRectF(statusRect).adjusted(1, 1, -1, -1), -angle * 16, 270 * 16);
            QStyleOptionProgressBar bar;
            bar.rect = lineRest.adjusted(0, 3, 0, -3);
            bar.minimum = 0;
            bar.maximum = 1000;
            bar.progress = int(std::lround(std::clamp(progress.toDouble(), 0.0, 100.0) * 10));
            bar.state = QStyle::State_Enabled | QStyle::State_Horizontal;
            bar.palette = option.palette;
            const QWidget* view = option.widget;
            (view ? view->style() : QApplication::style())->drawControl(QStyle::CE_ProgressBar, &bar, painter, view);
        } else {
            painter->drawPixmap(statusRect, qx_imageNamed(index.data(QXSourceFileListModel::ConversionIconRole).toString(),
                                                          statusRect.size()));
            painter->drawText(lineRest, Qt::AlignLeft | Qt::AlignVCenter,
                              smallMetrics.elidedText(
                                  index.data(QXSourceFileListModel::ConversionOptionsRole).toString(),
                                  Qt::ElideRight, lineRest.width()));
        }
        painter->restore();
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->position().toPoint();
            if (mouse->button() == Qt::LeftButton && hoverRow && hoverRow() == index.row() &&
                removeButtonRect(option.rect).contains(at) && removePressed) {
                removePressed(index.row());
                return true;
            }
            if (mouse->button() == Qt::LeftButton && sourceIconRect(option.rect).contains(at) && openSourcePressed) {
                openSourcePressed(index.row());
                return true;
            }
            if (mouse->button() == Qt::LeftButton && outputIconRect(option.rect).contains(at) &&
                index.data(QXSourceFileListModel::OutputIconEnableRole).toBool() && openOutputPressed) {
                openOutputPressed(index.row());
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
};

// The list's view. Rows dragged inside it land through the model's drop
// handling like any other drop, so that a block of rows moves as one to the
// gap it was dropped in (the list view's own row-by-row moves would skip
// rows next to the gap).
class QXSourceTableView : public QListView {
public:
    using QListView::QListView;

protected:
    void dropEvent(QDropEvent* event) override
    {
        if (event->source() == this &&
            event->mimeData()->hasFormat(QString::fromLatin1(QXSourceFileListModel::kMovedRowsType))) {
            event->ignore();
            QAbstractItemView::dropEvent(event);
            return;
        }
        QListView::dropEvent(event);
    }
};

} // namespace

QXSourceFileViewController::QXSourceFileViewController(QXShellServices& services, QWidget* parent)
    : QWidget(parent), services_(services)
{
    model_ = new QXSourceFileListModel(this);
    tv_sourceFileList_ = new QXSourceTableView(this);
    tv_sourceFileList_->setObjectName(QStringLiteral("tv_sourceFileList"));
    tv_sourceFileList_->setModel(model_);
    auto* rows = new QXSourceFileRowDelegate(tv_sourceFileList_);
    rows->hoverRow = [this] { return hoverRow_; };
    rows->removePressed = [this](int row) {
        // Later: the click is still being delivered to the row it removes.
        if (const auto item = model_->itemAt(row))
            QTimer::singleShot(0, this, [this, item] { removeItemsFromTable({item}); });
    };
    rows->openOutputPressed = [this](int row) {
        if (const auto item = model_->itemAt(row))
            services_.openFile(QString::fromStdString(item->outputPath()));
    };
    rows->openSourcePressed = [this](int row) {
        if (const auto item = model_->itemAt(row))
            services_.openFile(item->path());
    };
    tv_sourceFileList_->setItemDelegate(rows);
    // The row with the mouse inside shows its remove button.
    tv_sourceFileList_->setMouseTracking(true);
    connect(tv_sourceFileList_, &QAbstractItemView::entered, this,
            [this](const QModelIndex& index) { setHoverRow(index.row()); });
    connect(tv_sourceFileList_, &QAbstractItemView::viewportEntered, this, [this] { setHoverRow(-1); });
    for (const auto signal : {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::rowsInserted}) {
        connect(model_, signal, this, [this] {
            updateHoverFromMouse();
            services_.setBadgeCount(model_->rowCount());
        });
    }
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] { updateHoverFromMouse(); });
    spinTimer_ = new QTimer(this);
    spinTimer_->setInterval(kSpinIntervalMs);
    connect(spinTimer_, &QTimer::timeout, this, [this] {
        if (!model_->isShowingProgress())
            spinTimer_->stop();
        tv_sourceFileList_->viewport()->update();
    });
    tv_sourceFileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tv_sourceFileList_->setUniformItemSizes(true);
    // Rows are dragged to a new place; files come from file managers.
    tv_sourceFileList_->setDragEnabled(true);
    tv_sourceFileList_->setAcceptDrops(true);
    tv_sourceFileList_->setDropIndicatorShown(true);
    tv_sourceFileList_->setDragDropOverwriteMode(false);
    tv_sourceFileList_->setDragDropMode(QAbstractItemView::DragDrop);
    tv_sourceFileList_->setDefaultDropAction(Qt::MoveAction);
    tv_sourceFileList_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tv_sourceFileList_);

    // Shown over the list while it is empty; drops pass through it to the list.
    nv_emptyMsg_ = new QWidget(tv_sourceFileList_->viewport());
    nv_emptyMsg_->setObjectName(QStringLiteral("nv_emptyMsg"));
    auto* emptyLayout = new QVBoxLayout(nv_emptyMsg_);
    emptyLayout->addStretch(1);
    auto* emptyText = new QLabel(qx_sharedLocalized("Drop PDF files here"), nv_emptyMsg_);
    emptyText->setAlignment(Qt::AlignCenter);
    QFont emptyFont = emptyText->font();
    emptyFont.setPointSizeF(emptyFont.pointSizeF() * 1.4);
    emptyText->setFont(emptyFont);
    emptyText->setEnabled(false);
    emptyLayout->addWidget(emptyText);
    auto* addButton = new QPushButton(qx_sharedLocalized("Add Files..."), nv_emptyMsg_);
    addButton->setObjectName(QStringLiteral("btn_addFiles"));
    connect(addButton, &QPushButton::clicked, this, [this] { sourceFileBrowse(); });
    emptyLayout->addWidget(addButton, 0, Qt::AlignHCenter);
    emptyLayout->addStretch(1);
    tv_sourceFileList_->viewport()->installEventFilter(this);

    mu_row_ = new QMenu(this);
    mi_showSourceFileInFinder_ = mu_row_->addAction(qx_sharedLocalized("Show Source File in Folder"));
    connect(mi_showSourceFileInFinder_, &QAction::triggered, this, [this] { sourceFileRevealInFinder_Clicked(); });
    mi_showOutputFileInFinder_ = mu_row_->addAction(qx_sharedLocalized("Show Output File in Folder"));
    connect(mi_showOutputFileInFinder_, &QAction::triggered, this,
            [this] { outputFileClickedRevealInFinder_Clicked(); });
    mu_row_->addSeparator();
    mi_remove_ = mu_row_->addAction(qx_sharedLocalized("Remove"));
    connect(mi_remove_, &QAction::triggered, this, [this] { sourceFileRemoveItemFromQueue_Clicked(); });
    mi_removeAll_ = mu_row_->addAction(qx_sharedLocalized("Remove All"));
    connect(mi_removeAll_, &QAction::triggered, this, [this] { sourceFileRemoveAllFromQueue(); });
    connect(tv_sourceFileList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        rowMenu(tv_sourceFileList_->indexAt(at).row())->popup(tv_sourceFileList_->viewport()->mapToGlobal(at));
    });
    // The Delete key removes the selected rows.
    tv_sourceFileList_->installEventFilter(this);

    connect(tv_sourceFileList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (delegate_)
            delegate_->QXSourceFileViewControllerDidUpdateSelection(*this);
    });
    connect(model_, &QXSourceFileListModel::filesDropped, this, &QXSourceFileViewController::filesDropped);
    buildSheets();
    updateEmptyMessage();
}

QXSourceFileViewController::~QXSourceFileViewController()
{
    // The children go after this object: what they report on their way
    // out (a closing sheet, a selection cleared with its model) no longer
    // reaches it or its delegate.
    delegate_ = nullptr;
    model_->disconnect(this);
    tv_sourceFileList_->disconnect(this);
    tv_sourceFileList_->selectionModel()->disconnect(this);
    spinTimer_->stop();
    win_unsupported_->disconnect(this);
    win_inputPassword_->disconnect(this);
    delete win_unsupported_;
    delete win_inputPassword_;
}

void QXSourceFileViewController::buildSheets()
{
    const auto makeSheet = [this](const QString& name, QToolButton*& icon, QLabel*& title, QLabel*& info,
                                  const QString& message) {
        auto* sheet = new QDialog(this);
        sheet->setObjectName(name);
        sheet->setWindowModality(Qt::WindowModal);
        sheet->setWindowTitle(qx_sharedLocalized(kApplicationName));
        auto* grid = new QGridLayout(sheet);
        icon = new QToolButton(sheet);
        icon->setAutoRaise(true);
        icon->setIconSize(QSize(48, 48));
        icon->setToolTip(qx_sharedLocalized("Open the file"));
        connect(icon, &QToolButton::clicked, this, [this] { openCheckSourceItem(); });
        grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
        title = new QLabel(sheet);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        title->setTextFormat(Qt::PlainText);
        grid->addWidget(title, 0, 1);
        info = new QLabel(sheet);
        info->setTextFormat(Qt::PlainText);
        grid->addWidget(info, 1, 1);
        auto* text = new QLabel(message, sheet);
        text->setWordWrap(true);
        grid->addWidget(text, 2, 0, 1, 2);
        grid->setColumnStretch(1, 1);
        sheet->setMinimumWidth(420);
        return std::pair{sheet, grid};
    };

    auto [unsupported, unsupportedGrid] =
        makeSheet(QStringLiteral("win_unsupported"), btn_unsupported_sourceIcon_, tf_unsupported_sourceTitle_,
                  tf_unsupported_sourceInfo_,
                  qx_sharedLocalized("This file does not open as a PDF document."));
    win_unsupported_ = unsupported;
    auto* unsupportedButtons = new QDialogButtonBox(win_unsupported_);
    QPushButton* open = unsupportedButtons->addButton(qx_sharedLocalized("Open"), QDialogButtonBox::ActionRole);
    connect(open, &QPushButton::clicked, this, [this] { openCheckSourceItem(); });
    QPushButton* discard = unsupportedButtons->addButton(qx_sharedLocalized("Discard"), QDialogButtonBox::AcceptRole);
    discard->setObjectName(QStringLiteral("btn_discard"));
    discard->setDefault(true);
    connect(discard, &QPushButton::clicked, this, [this] { discardUnsupportedFile(); });
    unsupportedGrid->addWidget(unsupportedButtons, 3, 0, 1, 2);
    // Escape or closing the sheet discards the file too: it cannot stay.
    connect(win_unsupported_, &QDialog::finished, this, [this] { sheetEnded(win_unsupported_, false); });

    auto [password, passwordGrid] = makeSheet(
        QStringLiteral("win_inputPassword"), btn_inputPassword_sourceIcon_, tf_inputPassword_sourceTitle_,
        tf_inputPassword_sourceInfo_,
        qx_sharedLocalized("This document is protected. Enter its password:"));
    win_inputPassword_ = password;
    tf_inputPassword_inputPassowrd_ = new QLineEdit(win_inputPassword_);
    tf_inputPassword_inputPassowrd_->setObjectName(QStringLiteral("tf_inputPassword_inputPassowrd"));
    tf_inputPassword_inputPassowrd_->setEchoMode(QLineEdit::Password);
    passwordGrid->addWidget(tf_inputPassword_inputPassowrd_, 3, 0, 1, 2);
    tf_inputPassword_passwordInfo_ =
        new QLabel(qx_sharedLocalized("The password is not correct. Please try again."), win_inputPassword_);
    QPalette warning = tf_inputPassword_passwordInfo_->palette();
    warning.setColor(QPalette::WindowText, QColor(0xc6, 0x28, 0x28));
    tf_inputPassword_passwordInfo_->setPalette(warning);
    tf_inputPassword_passwordInfo_->hide();
    passwordGrid->addWidget(tf_inputPassword_passwordInfo_, 4, 0, 1, 2);
    connect(tf_inputPassword_inputPassowrd_, &QLineEdit::textEdited, tf_inputPassword_passwordInfo_, &QWidget::hide);
    auto* passwordButtons = new QDialogButtonBox(win_inputPassword_);
    QPushButton* cancel = passwordButtons->addButton(qx_sharedLocalized("Cancel"), QDialogButtonBox::RejectRole);
    connect(cancel, &QPushButton::clicked, this, [this] { cancelInputPassword(); });
    QPushButton* done = passwordButtons->addButton(qx_sharedLocalized("Done"), QDialogButtonBox::AcceptRole);
    done->setObjectName(QStringLiteral("btn_done"));
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, [this] { finishInputPassword(); });
    passwordGrid->addWidget(passwordButtons, 5, 0, 1, 2);
    connect(win_inputPassword_, &QDialog::finished, this,
            [this](int result) { sheetEnded(win_inputPassword_, result == QDialog::Accepted); });
}

bool QXSourceFileViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tv_sourceFileList_->viewport() && event->type() == QEvent::Resize)
        nv_emptyMsg_->setGeometry(tv_sourceFileList_->viewport()->rect());
    if (watched == tv_sourceFileList_->viewport() && event->type() == QEvent::Leave)
        setHoverRow(-1);
    if (watched == tv_sourceFileList_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            sourceFileRemoveItemFromQueue();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QXSourceFileViewController::addFilesToCheckQueue(const QStringList& paths)
{
    Batch batch;
    for (const QString& path : paths) {
        for (auto& item : QXSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(path))
            batch.items.push_back(std::move(item));
    }
    startBatch(std::move(batch));
}

void QXSourceFileViewController::sourceFileBrowse()
{
    const std::optional<QStringList> chosen = services_.chooseFiles(
        window(), qx_sharedLocalized("Select PDF files for conversion:"), qx_sharedLocalized("Select"));
    if (!chosen)
        return;
    Batch batch;
    batch.delayMs = kCheckDelayMs;
    for (const QString& path : *chosen) {
        if (auto item = QXSourceFileItem::initWithPath(path))
            batch.items.push_back(std::move(item));
    }
    startBatch(std::move(batch));
}

void QXSourceFileViewController::filesDropped(const QStringList& paths, int row)
{
    Batch batch;
    batch.dropRow = row;
    // Last to first: the batch is inserted in reverse, so the files land in
    // their dragged order.
    for (auto path = paths.crbegin(); path != paths.crend(); ++path) {
        if (auto item = QXSourceFileItem::initWithPath(*path))
            batch.items.push_back(std::move(item));
    }
    startBatch(std::move(batch));
}

void QXSourceFileViewController::startBatch(Batch batch)
{
    // A batch arriving while another waits on a sheet (or on the open
    // dialog's delay) queues behind it, so no file of either is lost.
    waitingBatches_.push_back(std::move(batch));
    if (!batchActive_)
        beginNextBatch();
}

void QXSourceFileViewController::beginNextBatch()
{
    if (waitingBatches_.empty()) {
        batchActive_ = false;
        return;
    }
    Batch batch = std::move(waitingBatches_.front());
    waitingBatches_.pop_front();
    batchActive_ = true;
    readyToAddIndex_ = batch.dropRow.value_or(model_->rowCount());
    ma_readyToAddSourceItems_.assign(batch.items.begin(), batch.items.end());
    ma_checkedSourceItems_.clear();
    if (batch.delayMs > 0)
        QTimer::singleShot(batch.delayMs, this, [this] { continueCheckPDFPassword(); });
    else
        continueCheckPDFPassword();
}

void QXSourceFileViewController::continueCheckPDFPassword()
{
    // Paused on a sheet: its end resumes.
    if (readyToCheckItem_)
        return;
    while (!ma_readyToAddSourceItems_.empty()) {
        const auto& head = ma_readyToAddSourceItems_.front();
        const std::string path = head->sourcePath();
        if (!QXCPDFUtilities::isPDFDocumentValidAtPath(path)) {
            showUnsupportedSheet();
            return;
        }
        if (QXCPDFUtilities::isPDFDocumentLockPritingAtPath(path)) {
            showPasswordSheet();
            return;
        }
        ma_checkedSourceItems_.push_back(head);
        ma_readyToAddSourceItems_.pop_front();
    }
    insertCheckedItems();
    beginNextBatch();
}

void QXSourceFileViewController::insertCheckedItems()
{
    if (ma_checkedSourceItems_.empty())
        return;
    // The selected row number stays selected, whatever lands above it.
    const auto selected = selectedItem();
    const int selectedRow = selected ? model_->rowOfItem(selected.get()) : -1;
    readyToAddIndex_ = std::min(readyToAddIndex_, model_->rowCount());
    // Each at the same place: the batch ends up in reverse checking order.
    for (const auto& item : ma_checkedSourceItems_)
        model_->insertItem(readyToAddIndex_, item);
    ma_checkedSourceItems_.clear();
    if (selectedRow >= 0)
        selectRow(selectedRow);
    reloadTableView();
    updateEmptyMessage();
}

void QXSourceFileViewController::showUnsupportedSheet()
{
    readyToCheckItem_ = ma_readyToAddSourceItems_.front();
    btn_unsupported_sourceIcon_->setIcon(qx_iconNamed(QStringLiteral("icon_unknown")));
    tf_unsupported_sourceTitle_->setText(QFileInfo(readyToCheckItem_->path()).fileName());
    tf_unsupported_sourceInfo_->setText(readyToCheckItem_->fileSizeString());
    activeSheet_ = win_unsupported_;
    win_unsupported_->open();
}

void QXSourceFileViewController::showPasswordSheet()
{
    readyToCheckItem_ = ma_readyToAddSourceItems_.front();
    btn_inputPassword_sourceIcon_->setIcon(qx_iconNamed(readyToCheckItem_->sourceFileIcon()));
    tf_inputPassword_sourceTitle_->setText(QFileInfo(readyToCheckItem_->path()).fileName());
    tf_inputPassword_sourceInfo_->setText(readyToCheckItem_->fileSizeString());
    tf_inputPassword_inputPassowrd_->clear();
    tf_inputPassword_passwordInfo_->hide();
    activeSheet_ = win_inputPassword_;
    win_inputPassword_->open();
    tf_inputPassword_inputPassowrd_->setFocus();
}

void QXSourceFileViewController::openCheckSourceItem()
{
    if (readyToCheckItem_)
        services_.openFile(readyToCheckItem_->path());
}

void QXSourceFileViewController::discardUnsupportedFile()
{
    if (activeSheet_ == win_unsupported_)
        win_unsupported_->reject();
}

void QXSourceFileViewController::finishInputPassword()
{
    if (activeSheet_ != win_inputPassword_ || !readyToCheckItem_)
        return;
    const std::string typed = tf_inputPassword_inputPassowrd_->text().toStdString();
    // Only a password that unlocks the document and leaves printing allowed
    // lets it in; a user password of a print-locked file does not.
    if (!QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(readyToCheckItem_->sourcePath(), typed)) {
        tf_inputPassword_passwordInfo_->show();
        return;
    }
    readyToCheckItem_->setSourcePassword(typed);
    win_inputPassword_->accept();
}

void QXSourceFileViewController::cancelInputPassword()
{
    if (activeSheet_ == win_inputPassword_)
        win_inputPassword_->reject();
}

void QXSourceFileViewController::sheetEnded(QDialog* sheet, bool accepted)
{
    if (sheet != activeSheet_)
        return;
    activeSheet_ = nullptr;
    // The head is the file the sheet showed: accepted with its password, or dropped.
    if (!ma_readyToAddSourceItems_.empty() && ma_readyToAddSourceItems_.front() == readyToCheckItem_) {
        if (accepted)
            ma_checkedSourceItems_.push_back(readyToCheckItem_);
        ma_readyToAddSourceItems_.pop_front();
    }
    readyToCheckItem_.reset();
    continueCheckPDFPassword();
}

std::vector<std::shared_ptr<QXSourceFileItem>> QXSourceFileViewController::selectedItems() const
{
    QModelIndexList rows = tv_sourceFileList_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::shared_ptr<QXSourceFileItem>> items;
    for (const QModelIndex& row : rows) {
        if (auto item = model_->itemAt(row.row()))
            items.push_back(std::move(item));
    }
    return items;
}

std::shared_ptr<QXSourceFileItem> QXSourceFileViewController::selectedItem() const
{
    const auto items = selectedItems();
    return items.empty() ? nullptr : items.back();
}

void QXSourceFileViewController::selectRow(int row)
{
    QItemSelectionModel* selection = tv_sourceFileList_->selectionModel();
    if (row < 0 || row >= model_->rowCount()) {
        selection->clear();
        return;
    }
    const QModelIndex index = model_->index(row);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    tv_sourceFileList_->scrollTo(index);
}

void QXSourceFileViewController::selectTableRowWithItem(const rz::QXSourceFileItem* item)
{
    const int row = model_->rowOfItem(item);
    if (row >= 0)
        selectRow(row);
}

void QXSourceFileViewController::removeItemsFromTable(const std::vector<std::shared_ptr<QXSourceFileItem>>& items)
{
    const auto selected = selectedItem();
    const int selectedRow = selected ? model_->rowOfItem(selected.get()) : -1;
    model_->removeItems(items);
    if (selectedRow >= 0 && model_->rowCount() > 0)
        selectRow(std::min(selectedRow, model_->rowCount() - 1));
    else
        tv_sourceFileList_->selectionModel()->clear();
    updateEmptyMessage();
    if (delegate_)
        delegate_->QXSourceFileViewControllerDidUpdateSelection(*this);
}

std::shared_ptr<QXSourceFileItem> QXSourceFileViewController::clickedItem() const
{
    return model_->itemAt(clickedRow_);
}

QMenu* QXSourceFileViewController::rowMenu(int row)
{
    clickedRow_ = row;
    const auto item = clickedItem();
    mi_showSourceFileInFinder_->setEnabled(item != nullptr);
    mi_showOutputFileInFinder_->setEnabled(item && !item->outputPath().empty() &&
                                           QFileInfo(QString::fromStdString(item->outputPath())).isFile());
    mi_remove_->setEnabled(item != nullptr);
    mi_removeAll_->setEnabled(model_->rowCount() > 0);
    return mu_row_;
}

void QXSourceFileViewController::sourceFileRemoveItemFromQueue()
{
    const auto items = selectedItems();
    if (!items.empty())
        removeItemsFromTable(items);
}

void QXSourceFileViewController::sourceFileRemoveItemFromQueue_Clicked()
{
    if (const auto item = clickedItem())
        removeItemsFromTable({item});
}

void QXSourceFileViewController::sourceFileRemoveAllFromQueue()
{
    removeItemsFromTable(model_->ma_sourceItems());
}

namespace {

void revealSource(QXShellServices& services, const std::shared_ptr<QXSourceFileItem>& item)
{
    if (item)
        services.revealFile(item->path());
}

void revealOutput(QXShellServices& services, const std::shared_ptr<QXSourceFileItem>& item)
{
    if (!item || item->outputPath().empty())
        return;
    const QString output = QString::fromStdString(item->outputPath());
    if (QFileInfo(output).isFile())
        services.revealFile(output);
}

} // namespace

void QXSourceFileViewController::sourceFileRevealInFinder()
{
    revealSource(services_, selectedItem());
}

void QXSourceFileViewController::sourceFileRevealInFinder_Clicked()
{
    revealSource(services_, clickedItem());
}

void QXSourceFileViewController::outputFileRevealInFinder()
{
    revealOutput(services_, selectedItem());
}

void QXSourceFileViewController::outputFileClickedRevealInFinder_Clicked()
{
    revealOutput(services_, clickedItem());
}

void QXSourceFileViewController::updateEmptyMessage()
{
    nv_emptyMsg_->setGeometry(tv_sourceFileList_->viewport()->rect());
    nv_emptyMsg_->setVisible(model_->rowCount() == 0);
}

void QXSourceFileViewController::updateConversion(const rz::QXSourceFileItem* item, double progress)
{
    model_->updateConversion(item, progress);
    if (model_->isShowingProgress())
        spinTimer_->start();
    else
        spinTimer_->stop();
}

void QXSourceFileViewController::setHoverRow(int row)
{
    if (row == hoverRow_)
        return;
    hoverRow_ = row;
    updateHoverSelection();
}

void QXSourceFileViewController::updateHoverFromMouse()
{
    QWidget* viewport = tv_sourceFileList_->viewport();
    const QModelIndex under = viewport->underMouse()
                                  ? tv_sourceFileList_->indexAt(viewport->mapFromGlobal(QCursor::pos()))
                                  : QModelIndex();
    hoverRow_ = under.row();
    updateHoverSelection();
}

void QXSourceFileViewController::updateHoverSelection()
{
    tv_sourceFileList_->viewport()->update();
}

std::shared_ptr<QXSourceFileItem> QXSourceFileViewController::hoverItem() const
{
    return model_->itemAt(hoverRow_);
}

void QXSourceFileViewController::resetBeforeConversion()
{
    model_->resetBeforeConversion();
}

void QXSourceFileViewController::reloadTableView()
{
    model_->reloadTableView();
}

void QXSourceFileViewController::applyFormatToAllData(const QString& title)
{
    for (const auto& item : model_->ma_sourceItems())
        item->setSettings_outputFormat(title);
    model_->reloadTableView();
}

} // namespace rz::app
