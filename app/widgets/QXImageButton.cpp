#include "app/widgets/QXImageButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace rz::app {

namespace {

bool usable(const QPixmap& image)
{
    return !image.isNull() && image.width() > 0 && image.height() > 0;
}

} // namespace

QXImageButton::QXImageButton(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
}

void QXImageButton::setEnable(bool enable)
{
    if (enable_ == enable)
        return;
    enable_ = enable;
    update();
}

void QXImageButton::setMouseInside(bool inside)
{
    if (mouseInside_ == inside)
        return;
    mouseInside_ = inside;
    update();
}

void QXImageButton::setMouseDown(bool down)
{
    if (mouseDown_ == down)
        return;
    mouseDown_ = down;
    update();
}

bool QXImageButton::isDarkAppearance() const
{
    return palette().color(QPalette::Window).lightness() < 128;
}

const QPixmap& QXImageButton::darkCounterpart(const QPixmap& chosen) const
{
    if (!isDarkAppearance())
        return chosen;
    const QPixmap* dark = nullptr;
    if (&chosen == &normalImage_)
        dark = &normalImage_dark_;
    else if (&chosen == &disableImage_)
        dark = &disableImage_dark_;
    else if (&chosen == &mouseDownImage_)
        dark = &mouseDownImage_dark_;
    else if (&chosen == &mouseInImage_)
        dark = &mouseInImage_dark_;
    return dark && !dark->isNull() ? *dark : chosen;
}

const QPixmap& QXImageButton::imageToDraw() const
{
    if (!enable_)
        return darkCounterpart(usable(disableImage_) ? disableImage_ : normalImage_);
    if (mouseDown_ && mouseInside_ && usable(mouseDownImage_))
        return darkCounterpart(mouseDownImage_);
    if (!mouseDown_ && mouseInside_ && usable(mouseInImage_))
        return darkCounterpart(mouseInImage_);
    return darkCounterpart(normalImage_);
}

double QXImageButton::opacityToDraw() const
{
    return !enable_ && !usable(disableImage_) ? 0.6 : 1.0;
}

QSize QXImageButton::sizeHint() const
{
    if (usable(normalImage_))
        return normalImage_.deviceIndependentSize().toSize();
    return {120, 40};
}

void QXImageButton::paintEvent(QPaintEvent*)
{
    const QPixmap& image = imageToDraw();
    if (!usable(image))
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(opacityToDraw());
    painter.drawPixmap(rect(), image);
}

void QXImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setMouseInside(rect().contains(event->position().toPoint()));
    setMouseDown(true);
}

void QXImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !mouseDown_) {
        event->ignore();
        return;
    }
    setMouseDown(false);
    const bool inside = rect().contains(event->position().toPoint());
    setMouseInside(inside);
    if (inside && enable_)
        emit clicked();
}

void QXImageButton::mouseMoveEvent(QMouseEvent* event)
{
    setMouseInside(rect().contains(event->position().toPoint()));
}

void QXImageButton::enterEvent(QEnterEvent*)
{
    setMouseInside(true);
}

void QXImageButton::leaveEvent(QEvent*)
{
    setMouseInside(false);
}

} // namespace rz::app
