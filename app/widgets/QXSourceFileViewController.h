// The source list on the left of the main window: one row per source file
// with its name, page count and size, its settings and the state of its
// last conversion, or a progress bar while it converts. Files join it from
// the open dialog, from a file manager (dropped, or handed to the program)
// and from the command line; each is checked first: a file that does not
// open as a PDF document is offered for discarding, and a file that is
// locked or does not allow printing asks for a password, each in a
// window-modal sheet.
#pragma once

#include "app/model/QXSourceFileListModel.h"

#include <QStringList>
#include <QWidget>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QTimer;
class QToolButton;

namespace rz::app {

class QXShellServices;
class QXSourceFileViewController;

class QXSourceFileViewControllerDelegate {
public:
    virtual ~QXSourceFileViewControllerDelegate() = default;
    virtual void QXSourceFileViewControllerDidUpdateSelection(QXSourceFileViewController&) {}
};

class QXSourceFileViewController : public QWidget {
    Q_OBJECT
public:
    // `services` (not owned) shows the open dialog and the files.
    explicit QXSourceFileViewController(QXShellServices& services, QWidget* parent = nullptr);
    ~QXSourceFileViewController() override;

    // Not owned.
    void setDelegate(QXSourceFileViewControllerDelegate* d) { delegate_ = d; }

    // Checks the files at the paths (a folder stands for the files directly
    // in it) and then adds those that passed after the last row.
    void addFilesToCheckQueue(const QStringList& paths);

    const std::vector<std::shared_ptr<QXSourceFileItem>>& ma_sourceItems() const { return model_->ma_sourceItems(); }
    // The items of the selected rows in row order; empty when none is.
    std::vector<std::shared_ptr<QXSourceFileItem>> selectedItems() const;
    // The last of the selected items, or null.
    std::shared_ptr<QXSourceFileItem> selectedItem() const;
    void selectTableRowWithItem(const rz::QXSourceFileItem* item);
    void updateConversion(const rz::QXSourceFileItem* item, double progress);
    void resetBeforeConversion();
    void reloadTableView();
    void applyFormatToAllData(const QString& title);

    // The open dialog; the chosen files are checked shortly after it closed.
    void sourceFileBrowse();
    void sourceFileRemoveItemFromQueue();
    void sourceFileRemoveItemFromQueue_Clicked();
    void sourceFileRemoveAllFromQueue();
    void sourceFileRevealInFinder();
    void sourceFileRevealInFinder_Clicked();
    void outputFileRevealInFinder();
    void outputFileClickedRevealInFinder_Clicked();
    // Removes the listed ones among the items; the selection stays at the
    // same row, or the last one, while rows remain.
    void removeItemsFromTable(const std::vector<std::shared_ptr<QXSourceFileItem>>& items);

    // The sheets' buttons.
    void openCheckSourceItem();
    void discardUnsupportedFile();
    void finishInputPassword();
    void cancelInputPassword();

    QXSourceFileListModel* model() const { return model_; }
    QListView* tableView() const { return tv_sourceFileList_; }
    QWidget* emptyMessage() const { return nv_emptyMsg_; }
    // The file a sheet is showing, or null.
    const std::shared_ptr<QXSourceFileItem>& readyToCheckItem() const { return readyToCheckItem_; }
    QDialog* unsupportedSheet() const { return win_unsupported_; }
    QDialog* passwordSheet() const { return win_inputPassword_; }
    QLineEdit* passwordField() const { return tf_inputPassword_inputPassowrd_; }
    QLabel* wrongPasswordMessage() const { return tf_inputPassword_passwordInfo_; }
    // The item of the row with the mouse inside, or null; its row shows the
    // remove button.
    std::shared_ptr<QXSourceFileItem> hoverItem() const;
    // The row menu, for the row at `row` (-1: none).
    QMenu* rowMenu(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Files of one batch, checked in order and then inserted together.
    struct Batch {
        std::vector<std::shared_ptr<QXSourceFileItem>> items;
        std::optional<int> dropRow; // the gap they were dropped in; else the end
        int delayMs = 0;
    };

    void startBatch(Batch batch);
    void beginNextBatch();
    void continueCheckPDFPassword();
    void insertCheckedItems();
    void showUnsupportedSheet();
    void showPasswordSheet();
    void sheetEnded(QDialog* sheet, bool accepted);
    void filesDropped(const QStringList& paths, int row);
    void updateEmptyMessage();
    void setHoverRow(int row);
    void updateHoverFromMouse();
    void updateHoverSelection();
    void selectRow(int row);
    std::shared_ptr<QXSourceFileItem> clickedItem() const;
    void buildSheets();

    QXShellServices& services_;
    QXSourceFileViewControllerDelegate* delegate_ = nullptr;
    QXSourceFileListModel* model_ = nullptr;
    QListView* tv_sourceFileList_ = nullptr;
    QWidget* nv_emptyMsg_ = nullptr;
    QMenu* mu_row_ = nullptr;
    QAction* mi_showSourceFileInFinder_ = nullptr;
    QAction* mi_showOutputFileInFinder_ = nullptr;
    QAction* mi_remove_ = nullptr;
    QAction* mi_removeAll_ = nullptr;
    int clickedRow_ = -1;
    int hoverRow_ = -1;
    QTimer* spinTimer_ = nullptr;

    // The sheet showing readyToCheckItem_, or null.
    QDialog* activeSheet_ = nullptr;
    QDialog* win_unsupported_ = nullptr;
    QToolButton* btn_unsupported_sourceIcon_ = nullptr;
    QLabel* tf_unsupported_sourceTitle_ = nullptr;
    QLabel* tf_unsupported_sourceInfo_ = nullptr;
    QDialog* win_inputPassword_ = nullptr;
    QToolButton* btn_inputPassword_sourceIcon_ = nullptr;
    QLabel* tf_inputPassword_sourceTitle_ = nullptr;
    QLabel* tf_inputPassword_sourceInfo_ = nullptr;
    QLineEdit* tf_inputPassword_inputPassowrd_ = nullptr;
    QLabel* tf_inputPassword_passwordInfo_ = nullptr;

    // The batch being checked: where it goes, what is still to check (the
    // head is being checked), what passed. Batches that arrive meanwhile
    // wait their turn behind it.
    bool batchActive_ = false;
    int readyToAddIndex_ = 0;
    std::shared_ptr<QXSourceFileItem> readyToCheckItem_;
    std::deque<std::shared_ptr<QXSourceFileItem>> ma_readyToAddSourceItems_;
    std::vector<std::shared_ptr<QXSourceFileItem>> ma_checkedSourceItems_;
    std::deque<Batch> waitingBatches_;
};

} // namespace rz::app
