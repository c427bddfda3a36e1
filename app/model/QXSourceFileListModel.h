// The list of source items the main window shows, in list order, with the
// progress of the item being converted. Files dropped from a file manager
// (text/uri-list) and rows dragged inside the list go through its MIME
// handling: dropped files are handed on to be checked, moved rows move.
#pragma once

#include "app/model/QXSourceFileItem.h"

#include <QAbstractListModel>
#include <QHash>
#include <QStringList>

#include <memory>
#include <vector>

namespace rz::app {

class QXSourceFileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        ItemNameRole = Qt::UserRole + 1, // file name
        SourceInfoRole,                  // "12 Pages, 1.5 MB"
        ConversionOptionsRole,           // "All Pages, DOCX, Ready!"
        SourceIconRole,                  // icon name of the source
        OutputIconRole,                  // icon name of the format
        OutputIconEnableRole,            // bool: the output is there
        ProgressRole,                    // double percent, or invalid when not converting
        PathRole,                        // the source path
        ConversionIconRole,              // icon name of the status line's state
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The MIME type under which rows dragged inside the list travel.
    static constexpr const char* kMovedRowsType = "MOVED_ROWS_TYPE";

    // Inserts the item at `row`, lowered to the number of items.
    void insertItem(int row, std::shared_ptr<QXSourceFileItem> item);
    // Removes the listed ones among the items.
    void removeItems(const std::vector<std::shared_ptr<QXSourceFileItem>>& items);
    void removeAllItems();
    // Moves the rows, in their order, as one block to the gap before
    // `dropRow` (counted in the list as it is before the move; past the end
    // means the end). Rows out of range are ignored. Selections follow their
    // items.
    void moveItems(QList<int> rows, int dropRow);
    const std::vector<std::shared_ptr<QXSourceFileItem>>& ma_sourceItems() const { return items_; }
    std::shared_ptr<QXSourceFileItem> itemAt(int row) const;
    // -1 when the item is not listed.
    int rowOfItem(const rz::QXSourceFileItem* item) const;

    // Before a run: every item, listed or not on screen, loses its last
    // output and result.
    void resetBeforeConversion();
    // Shows `progress` in the item's row and none in the others; no item
    // clears every row's progress.
    void updateConversion(const rz::QXSourceFileItem* item, double progress);
    // Whether a row shows a progress bar.
    bool isShowingProgress() const { return !progress_.isEmpty(); }
    // The rows show their items' texts again.
    void reloadTableView();

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    // The rows of the indexes under kMovedRowsType, usable by this list only.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    // Drops go between rows (or after the last), never onto one: local
    // files, or rows dragged from this list.
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

signals:
    // Local files were dropped in the gap before `row`, in their dragged order.
    void filesDropped(const QStringList& paths, int row);

private:
    QList<int> movedRows(const QMimeData* data) const;
    quint64 dragToken() const;

    std::vector<std::shared_ptr<QXSourceFileItem>> items_;
    QHash<const rz::QXSourceFileItem*, double> progress_;
};

} // namespace rz::app
