// The source list on the left of the main window: one row per source file
// with its name, page count and size, its settings and the state of its
// last conversion, or a progress bar while it converts.
#pragma once

#include "app/model/QXSourceFileListModel.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class QListView;

namespace rz::app {

class QXSourceFileViewController;

class QXSourceFileViewControllerDelegate {
public:
    virtual ~QXSourceFileViewControllerDelegate() = default;
    virtual void QXSourceFileViewControllerDidUpdateSelection(QXSourceFileViewController&) {}
};

class QXSourceFileViewController : public QWidget {
    Q_OBJECT
public:
    explicit QXSourceFileViewController(QWidget* parent = nullptr);

    // Not owned.
    void setDelegate(QXSourceFileViewControllerDelegate* d) { delegate_ = d; }

    // Adds the PDF files among the paths (a folder stands for the files
    // directly in it); files already listed and files that are not PDF
    // documents are left out. The first file added becomes selected when
    // nothing was.
    void addFilesToCheckQueue(const QStringList& paths);

    const std::vector<std::shared_ptr<QXSourceFileItem>>& ma_sourceItems() const { return model_->ma_sourceItems(); }
    std::shared_ptr<QXSourceFileItem> selectedItem() const;
    void selectTableRowWithItem(const rz::QXSourceFileItem* item);
    void updateConversion(const rz::QXSourceFileItem* item, double progress);
    void resetBeforeConversion();
    void reloadTableView();
    void applyFormatToAllData(const QString& title);

    QXSourceFileListModel* model() const { return model_; }
    QListView* tableView() const { return tv_sourceFiles_; }

private:
    QXSourceFileViewControllerDelegate* delegate_ = nullptr;
    QXSourceFileListModel* model_ = nullptr;
    QListView* tv_sourceFiles_ = nullptr;
};

} // namespace rz::app
