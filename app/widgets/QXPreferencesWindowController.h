// The preferences window: the program's own choices, kept in the settings
// and read by the main window after each converted file and by the
// conversion before each file starts. One window serves the whole program.
#pragma once

#include <QWidget>

class QCheckBox;
class QToolBar;

namespace rz::app {

// Settings keys of the two preferences; both are on when absent.
inline constexpr const char* kOpenFileAfterConversionKey = "QXRUZIzevudaraSettings_OpenFileAfterConversion";
inline constexpr const char* kParserPDFAnnotsKey = "QXRUZIzevudaraSettings_ParserPDFAnnotsAction";

class QXPreferencesWindowController : public QWidget {
    Q_OBJECT
public:
    // The program's one window, made on first use and kept until the end.
    static QXPreferencesWindowController* sharedInstance();

    // Reads both preferences, storing the defaults of absent ones.
    explicit QXPreferencesWindowController(QWidget* parent = nullptr);

    // Shows the window, or closes it when it is shown.
    void showWindow();

    // The check boxes' actions: the preference takes the box's state and is stored.
    void openFileAfterConversion(const QCheckBox& sender);
    void parserPDFAnnotsAction(const QCheckBox& sender);

    // Open each output in its default application once it is written.
    bool openFileAfterConversion() const { return openFileAfterConversion_; }
    // Convert the pages' annotations with their content.
    bool parserPDFAnnots() const { return parserPDFAnnots_; }

    // The General page.
    void toolbarItemGeneralAction();
    // Sets the check boxes from the preferences.
    void loadUpdateSettings();
    // Shows one page and fits the window to it, its top edge kept.
    void showView(QWidget* view);

    QCheckBox* btn_openFileAfterConversion() const { return btn_openFileAfterConversion_; }
    QCheckBox* btn_parserPDFAnnots() const { return btn_parserPDFAnnots_; }
    QWidget* preView_General() const { return preView_General_; }

private:
    bool openFileAfterConversion_ = true;
    bool parserPDFAnnots_ = true;
    QToolBar* tb_top_ = nullptr;
    QWidget* contentView_ = nullptr;
    QWidget* preView_General_ = nullptr;
    QCheckBox* btn_openFileAfterConversion_ = nullptr;
    QCheckBox* btn_parserPDFAnnots_ = nullptr;
};

} // namespace rz::app
