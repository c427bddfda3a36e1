// The list of source items the main window shows, in list order, with the
// progress of the item being converted.
#pragma once

#include "app/model/QXSourceFileItem.h"

#include <QAbstractListModel>
#include <QHash>

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
    };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Appends the items not already listed (same path); answers how many were added.
    int addItems(const std::vector<std::shared_ptr<QXSourceFileItem>>& items);
    const std::vector<std::shared_ptr<QXSourceFileItem>>& ma_sourceItems() const { return items_; }
    std::shared_ptr<QXSourceFileItem> itemAt(int row) const;
    // -1 when the item is not listed.
    int rowOfItem(const rz::QXSourceFileItem* item) const;

    // Before a run: every item, listed or not on screen, loses its last
    // output and result.
    void resetBeforeConversion();
    // Shows `progress` in the item's row; no item clears every row's progress.
    void updateConversion(const rz::QXSourceFileItem* item, double progress);
    // The rows show their items' texts again.
    void reloadTableView();

private:
    std::vector<std::shared_ptr<QXSourceFileItem>> items_;
    QHash<const rz::QXSourceFileItem*, double> progress_;
};

} // namespace rz::app
