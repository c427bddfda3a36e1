#include "app/widgets/QXSourceFileViewController.h"

#include "app/model/QXCUtilities.h"
#include "app/widgets/QXImages.h"
#include "pdfengine/base/QXCPDFUtilities.h"

#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <cmath>

namespace rz::app {

namespace {

constexpr int kRowHeight = 64;
constexpr int kIconSide = 40;
constexpr int kMargin = 10;

// Draws one source row: source icon, name, information line, then either the
// conversion's progress or its settings and state, and the format's icon.
class QXSourceFileRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), kRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        background.icon = QIcon();
        const QWidget* view = option.widget;
        QStyle* style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, view);

        painter->save();
        const QRect row = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorRole textRole = selected ? QPalette::HighlightedText : QPalette::Text;

        const QRect iconRect(row.left() + kMargin, row.top() + (row.height() - kIconSide) / 2, kIconSide, kIconSide);
        painter->drawPixmap(iconRect, qx_imageNamed(index.data(QXSourceFileListModel::SourceIconRole).toString(),
                                                    iconRect.size()));

        const QRect outputRect(row.right() - kMargin - 28, row.top() + (row.height() - 28) / 2, 28, 28);
        const QString outputIcon = index.data(QXSourceFileListModel::OutputIconRole).toString();
        if (!outputIcon.isEmpty()) {
            painter->setOpacity(index.data(QXSourceFileListModel::OutputIconEnableRole).toBool() ? 1.0 : 0.45);
            painter->drawPixmap(outputRect, qx_imageNamed(outputIcon, outputRect.size()));
            painter->setOpacity(1.0);
        }

        const int textLeft = iconRect.right() + kMargin;
        const int textWidth = std::max(10, outputRect.left() - kMargin - textLeft);
        const int lineHeight = (row.height() - 8) / 3;
        QFont nameFont = option.font;
        nameFont.setBold(true);
        painter->setFont(nameFont);
        painter->setPen(option.palette.color(textRole));
        const QRect nameRect(textLeft, row.top() + 4, textWidth, lineHeight);
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(nameFont).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle,
                                                            textWidth));
        QFont small = option.font;
        small.setPointSizeF(std::max(7.0, option.font.pointSizeF() * 0.9));
        painter->setFont(small);
        const QFontMetrics smallMetrics(small);
        painter->drawText(nameRect.translated(0, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                          smallMetrics.elidedText(index.data(QXSourceFileListModel::SourceInfoRole).toString(),
                                                  Qt::ElideRight, textWidth));
        const QRect lastLine = nameRect.translated(0, 2 * lineHeight);
        const QVariant progress = index.data(QXSourceFileListModel::ProgressRole);
        if (progress.isValid() && progress.toDouble() > 0) {
            QStyleOptionProgressBar bar;
            bar.rect = lastLine.adjusted(0, 3, 0, -3);
            bar.minimum = 0;
            bar.maximum = 1000;
            bar.progress = int(std::lround(std::clamp(progress.toDouble(), 0.0, 100.0) * 10));
            bar.state = QStyle::State_Enabled | QStyle::State_Horizontal;
            bar.palette = option.palette;
            style->drawControl(QStyle::CE_ProgressBar, &bar, painter, view);
        } else {
            painter->drawText(lastLine, Qt::AlignLeft | Qt::AlignVCenter,
                              smallMetrics.elidedText(
                                  index.data(QXSourceFileListModel::ConversionOptionsRole).toString(),
                                  Qt::ElideRight, textWidth));
        }
        painter->restore();
    }
};

} // namespace

QXSourceFileViewController::QXSourceFileViewController(QWidget* parent) : QWidget(parent)
{
    model_ = new QXSourceFileListModel(this);
    tv_sourceFiles_ = new QListView(this);
    tv_sourceFiles_->setObjectName(QStringLiteral("tv_sourceFiles"));
    tv_sourceFiles_->setModel(model_);
    tv_sourceFiles_->setItemDelegate(new QXSourceFileRowDelegate(tv_sourceFiles_));
    tv_sourceFiles_->setSelectionMode(QAbstractItemView::SingleSelection);
    tv_sourceFiles_->setUniformItemSizes(true);
    tv_sourceFiles_->setAlternatingRowColors(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tv_sourceFiles_);
    connect(tv_sourceFiles_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (delegate_)
            delegate_->QXSourceFileViewControllerDidUpdateSelection(*this);
    });
}

void QXSourceFileViewController::addFilesToCheckQueue(const QStringList& paths)
{
    std::vector<std::shared_ptr<QXSourceFileItem>> accepted;
    for (const QString& path : paths) {
        for (auto& item : QXSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(path)) {
            if (QXCPDFUtilities::isPDFDocumentValidAtPath(item->sourcePath()))
                accepted.push_back(std::move(item));
        }
    }
    const int firstNew = model_->rowCount();
    if (model_->addItems(accepted) > 0 && !tv_sourceFiles_->currentIndex().isValid())
        tv_sourceFiles_->setCurrentIndex(model_->index(firstNew));
}

std::shared_ptr<QXSourceFileItem> QXSourceFileViewController::selectedItem() const
{
    const QModelIndex current = tv_sourceFiles_->currentIndex();
    return current.isValid() ? model_->itemAt(current.row()) : nullptr;
}

void QXSourceFileViewController::selectTableRowWithItem(const rz::QXSourceFileItem* item)
{
    const int row = model_->rowOfItem(item);
    if (row < 0)
        return;
    tv_sourceFiles_->setCurrentIndex(model_->index(row));
    tv_sourceFiles_->scrollTo(model_->index(row));
}

void QXSourceFileViewController::updateConversion(const rz::QXSourceFileItem* item, double progress)
{
    model_->updateConversion(item, progress);
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
