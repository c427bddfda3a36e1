#include "app/model/QXSourceFileListModel.h"

#include <QFileInfo>

#include <algorithm>

namespace rz::app {

int QXSourceFileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(items_.size());
}

QVariant QXSourceFileListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QXSourceFileItem& item = *items_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case ItemNameRole:
        return QFileInfo(item.path()).fileName();
    case Qt::ToolTipRole:
    case PathRole:
        return item.path();
    case SourceInfoRole:
        return item.sourceInfo();
    case ConversionOptionsRole:
        return item.conversionOptions();
    case SourceIconRole:
        return item.sourceFileIcon();
    case OutputIconRole:
        return item.outputFileIcon();
    case OutputIconEnableRole:
        return item.outputFileIconEnable();
    case ProgressRole: {
        const auto found = progress_.constFind(&item);
        return found == progress_.constEnd() ? QVariant() : QVariant(*found);
    }
    default:
        return {};
    }
}

QHash<int, QByteArray> QXSourceFileListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(ItemNameRole, "itemName");
    names.insert(SourceInfoRole, "sourceInfo");
    names.insert(ConversionOptionsRole, "conversionOptions");
    names.insert(SourceIconRole, "sourceIcon");
    names.insert(OutputIconRole, "outputIcon");
    names.insert(OutputIconEnableRole, "outputIconEnable");
    names.insert(ProgressRole, "progress");
    names.insert(PathRole, "path");
    return names;
}

int QXSourceFileListModel::addItems(const std::vector<std::shared_ptr<QXSourceFileItem>>& items)
{
    std::vector<std::shared_ptr<QXSourceFileItem>> fresh;
    for (const auto& item : items) {
        if (!item)
            continue;
        const auto samePath = [&](const std::shared_ptr<QXSourceFileItem>& listed) {
            return listed->sourcePath() == item->sourcePath();
        };
        if (std::none_of(items_.begin(), items_.end(), samePath) && std::none_of(fresh.begin(), fresh.end(), samePath))
            fresh.push_back(item);
    }
    if (fresh.empty())
        return 0;
    const int first = int(items_.size());
    beginInsertRows({}, first, first + int(fresh.size()) - 1);
    items_.insert(items_.end(), fresh.begin(), fresh.end());
    endInsertRows();
    return int(fresh.size());
}

std::shared_ptr<QXSourceFileItem> QXSourceFileListModel::itemAt(int row) const
{
    if (row < 0 || size_t(row) >= items_.size())
        return nullptr;
    return items_[size_t(row)];
}

int QXSourceFileListModel::rowOfItem(const rz::QXSourceFileItem* item) const
{
    for (size_t row = 0; row < items_.size(); ++row) {
        if (items_[row].get() == item)
            return int(row);
    }
    return -1;
}

void QXSourceFileListModel::resetBeforeConversion()
{
    for (const auto& item : items_)
        item->resetConversion();
    reloadTableView();
}

void QXSourceFileListModel::updateConversion(const rz::QXSourceFileItem* item, double progress)
{
    if (!item) {
        progress_.clear();
        reloadTableView();
        return;
    }
    const int row = rowOfItem(item);
    if (row < 0)
        return;
    progress_.insert(item, progress);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}

void QXSourceFileListModel::reloadTableView()
{
    if (!items_.empty())
        emit dataChanged(index(0), index(int(items_.size()) - 1));
}

} // namespace rz::app
