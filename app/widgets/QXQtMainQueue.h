// The main queue of the desktop program: tasks posted from any thread run
// later on the Qt event loop's thread, in order.
#pragma once

#include "platform/dispatch/Dispatch.h"

#include <QObject>

namespace rz::app {

class QXQtMainQueue : public QObject, public MainQueue {
    Q_OBJECT
public:
    // Lives on the thread that creates it, which must run the event loop.
    using QObject::QObject;
    void post(Task task) override;
};

} // namespace rz::app
