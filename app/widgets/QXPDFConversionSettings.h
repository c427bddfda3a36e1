// The base of the per-format option panes shown in the settings pane's
// option sheet: a pane fills its controls from an item and tells its
// delegate when a control changed and when the user is done.
#pragma once

#include "app/model/QXSourceFileItem.h"

#include <QWidget>

namespace rz::app {

class QXPDFConversionSettings;

class QXPDFConversionSettingsDelegate {
public:
    virtual ~QXPDFConversionSettingsDelegate() = default;
    // One of the pane's controls changed.
    virtual void QXPDFConversionSettingsValueUpdated(QXPDFConversionSettings&) {}
    // The pane's Done button was pressed.
    virtual void QXPDFConversionSettingsButtonDoneAction(QXPDFConversionSettings&) {}
};

class QXPDFConversionSettings : public QWidget {
    Q_OBJECT
public:
    explicit QXPDFConversionSettings(QWidget* parent = nullptr) : QWidget(parent) {}

    // Not owned.
    void setDelegate(QXPDFConversionSettingsDelegate* d) { delegate_ = d; }
    QXPDFConversionSettingsDelegate* delegate() const { return delegate_; }

    // Shows the item's options; the base shows nothing.
    virtual void fillWithValues(const QXSourceFileItem&) {}

private:
    QXPDFConversionSettingsDelegate* delegate_ = nullptr;
};

} // namespace rz::app
