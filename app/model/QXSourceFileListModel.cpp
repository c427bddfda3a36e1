#include "app/model/QXSourceFileListModel.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

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
    case ConversionIconRole:
        return item.conversionIcon();
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
    names.insert(ConversionIconRole, "conversionIcon");
    return names;
}

void QXSourceFileListModel::insertItem(int row, std::shared_ptr<QXSourceFileItem> item)
{
    if (!item)
        return;
    row = std::clamp(row, 0, int(items_.size()));
    beginInsertRows({}, row, row);
    items_.insert(items_.begin() + row, std::move(item));
    endInsertRows();
}

void QXSourceFileListModel::removeItems(const std::vector<std::shared_ptr<QXSourceFileItem>>& items)
{
    // From the bottom up, one block of neighbouring rows at a time.
    std::vector<int> rows;
    for (const auto& item : items) {
        const int row = rowOfItem(item.get());
        if (row >= 0)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    while (!rows.empty()) {
        const int last = rows.back();
        int first = last;
        rows.pop_back();
        while (!rows.empty() && rows.back() == first - 1) {
            first = rows.back();
            rows.pop_back();
        }
        beginRemoveRows({}, first, last);
        for (int row = first; row <= last; ++row)
            progress_.remove(items_[size_t(row)].get());
        items_.erase(items_.begin() + first, items_.begin() + last + 1);
        endRemoveRows();
    }
}

void QXSourceFileListModel::removeAllItems()
{
    if (items_.empty())
        return;
    beginRemoveRows({}, 0, int(items_.size()) - 1);
    items_.clear();
    progress_.clear();
    endRemoveRows();
}

void QXSourceFileListModel::moveItems(QList<int> rows, int dropRow)
{
    const int count = int(items_.size());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int row) { return row < 0 || row >= count; }),
               rows.end());
    // Each row moves once, the block keeping the order the rows were given in.
    QList<int> unique;
    for (int row : rows) {
        if (!unique.contains(row))
            unique.append(row);
    }
    if (unique.isEmpty())
        return;
    dropRow = std::clamp(dropRow, 0, count);
    // The gap is counted before the move: the moved rows above it leave it.
    const int target =
        dropRow - int(std::count_if(unique.begin(), unique.end(), [dropRow](int row) { return row < dropRow; }));

    std::vector<std::shared_ptr<QXSourceFileItem>> moved, rest;
    std::vector<bool> isMoved(size_t(count), false);
    for (int row : unique) {
        moved.push_back(items_[size_t(row)]);
        isMoved[size_t(row)] = true;
    }
    for (int row = 0; row < count; ++row) {
        if (!isMoved[size_t(row)])
            rest.push_back(items_[size_t(row)]);
    }
    std::vector<std::shared_ptr<QXSourceFileItem>> reordered = rest;
    reordered.insert(reordered.begin() + target, moved.begin(), moved.end());
    if (reordered == items_)
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& index : before) {
        const auto* item = items_[size_t(index.row())].get();
        const auto found = std::find_if(reordered.begin(), reordered.end(),
                                        [item](const auto& candidate) { return candidate.get() == item; });
        after.append(createIndex(int(found - reordered.begin()), index.column()));
    }
    items_ = std::move(reordered);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
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
    // One row at a time shows progress: the one converting.
    if (progress_.size() > 1 || (progress_.size() == 1 && !progress_.contains(item))) {
        progress_.clear();
        reloadTableView();
    }
    progress_.insert(item, progress);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}

void QXSourceFileListModel::reloadTableView()
{
    if (!items_.empty())
        emit dataChanged(index(0), index(int(items_.size()) - 1));
}

Qt::ItemFlags QXSourceFileListModel::flags(const QModelIndex& index) const
{
    // Rows can be dragged; only the gaps between them take drops.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}

Qt::DropActions QXSourceFileListModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

Qt::DropActions QXSourceFileListModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

QStringList QXSourceFileListModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list"), QString::fromLatin1(kMovedRowsType)};
}

quint64 QXSourceFileListModel::dragToken() const
{
    // Rows make sense only to the list they came from: another window or
    // another run of the program has rows of its own.
    return (quint64(QCoreApplication::applicationPid()) << 32) ^ quint64(quintptr(this));
}

QMimeData* QXSourceFileListModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    for (const QModelIndex& index : indexes) {
        if (checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) &&
            !rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << dragToken() << rows;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kMovedRowsType), bytes);
    return data;
}

QList<int> QXSourceFileListModel::movedRows(const QMimeData* data) const
{
    if (!data || !data->hasFormat(QString::fromLatin1(kMovedRowsType)))
        return {};
    QDataStream stream(data->data(QString::fromLatin1(kMovedRowsType)));
    quint64 token = 0;
    QList<int> rows;
    stream >> token >> rows;
    if (stream.status() != QDataStream::Ok || token != dragToken())
        return {};
    return rows;
}

namespace {

QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

bool QXSourceFileListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                            const QModelIndex& parent) const
{
    if (parent.isValid())
        return false;
    return !localFiles(data).isEmpty() || !movedRows(data).isEmpty();
}

bool QXSourceFileListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                         const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    // Below the last row, or on the empty list: the end.
    if (row < 0 || row > rowCount())
        row = rowCount();
    const QStringList files = localFiles(data);
    if (!files.isEmpty()) {
        emit filesDropped(files, row);
        return true;
    }
    moveItems(movedRows(data), row);
    return true;
}

} // namespace rz::app
