// A button drawn from images: one at rest, one while pressed, one while the
// pointer is over it and one when disabled, each with a dark-appearance
// counterpart.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace rz::app {

class QXImageButton : public QWidget {
    Q_OBJECT
public:
    explicit QXImageButton(QWidget* parent = nullptr);

    void setNormalImage(const QPixmap& image) { normalImage_ = image; update(); }
    void setDisableImage(const QPixmap& image) { disableImage_ = image; update(); }
    void setMouseDownImage(const QPixmap& image) { mouseDownImage_ = image; update(); }
    void setMouseInImage(const QPixmap& image) { mouseInImage_ = image; update(); }
    void setNormalImage_dark(const QPixmap& image) { normalImage_dark_ = image; update(); }
    void setDisableImage_dark(const QPixmap& image) { disableImage_dark_ = image; update(); }
    void setMouseDownImage_dark(const QPixmap& image) { mouseDownImage_dark_ = image; update(); }
    void setMouseInImage_dark(const QPixmap& image) { mouseInImage_dark_ = image; update(); }
    const QPixmap& normalImage() const { return normalImage_; }

    // Whether clicks act; true after creation.
    bool enable() const { return enable_; }
    void setEnable(bool enable);
    bool mouseInside() const { return mouseInside_; }
    void setMouseInside(bool inside);
    bool mouseDown() const { return mouseDown_; }
    void setMouseDown(bool down);

    // What the next drawing shows, and at which opacity.
    const QPixmap& imageToDraw() const;
    double opacityToDraw() const;
    // The window's palette is dark.
    bool isDarkAppearance() const;

    QSize sizeHint() const override;

signals:
    // The button was pressed and released inside while enabled.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const QPixmap& darkCounterpart(const QPixmap& chosen) const;

    bool mouseInside_ = false;
    bool mouseDown_ = false;
    bool enable_ = true;
    QPixmap normalImage_, disableImage_, mouseDownImage_, mouseInImage_;
    QPixmap normalImage_dark_, disableImage_dark_, mouseDownImage_dark_, mouseInImage_dark_;
};

} // namespace rz::app
