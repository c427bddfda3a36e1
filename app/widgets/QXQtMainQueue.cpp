#include "app/widgets/QXQtMainQueue.h"

#include <QMetaObject>

namespace rz::app {

void QXQtMainQueue::post(Task task)
{
    QMetaObject::invokeMethod(this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

} // namespace rz::app
