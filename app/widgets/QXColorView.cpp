#include "app/widgets/QXColorView.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace rz::app {

QXColorView::QXColorView(QWidget* parent)
    : QWidget(parent), startingColor_(QColor::fromRgbF(0.95f, 0.95f, 0.95f)), endingColor_(QColor::fromRgbF(0.86f, 0.86f, 0.86f))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QXColorView::setStartingColor(const QColor& colour)
{
    startingColor_ = colour;
    update();
}

void QXColorView::setEndingColor(const QColor& colour)
{
    endingColor_ = colour;
    update();
}

void QXColorView::setAngle(int degrees)
{
    angle_ = degrees;
    update();
}

void QXColorView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!endingColor_.isValid() || endingColor_ == startingColor_) {
        painter.fillRect(event->rect(), startingColor_);
        return;
    }
    // The gradient line passes through the centre at the angle (y grows
    // downwards on screen, so the angle's sine is negated) and spans the
    // bounds' extent along that direction.
    const QRectF bounds = rect();
    const double radians = angle_ * std::numbers::pi / 180.0;
    const QPointF direction(std::cos(radians), -std::sin(radians));
    const double half = (std::abs(direction.x()) * bounds.width() + std::abs(direction.y()) * bounds.height()) / 2.0;
    QLinearGradient gradient(bounds.center() - direction * half, bounds.center() + direction * half);
    gradient.setColorAt(0.0, startingColor_);
    gradient.setColorAt(1.0, endingColor_);
    painter.fillRect(bounds, gradient);
}

} // namespace rz::app
