// A view that paints a two-colour gradient, or one flat colour.
#pragma once

#include <QColor>
#include <QWidget>

namespace rz::app {

class QXColorView : public QWidget {
    Q_OBJECT
public:
    // Light grey to a darker grey, top to bottom.
    explicit QXColorView(QWidget* parent = nullptr);

    const QColor& startingColor() const { return startingColor_; }
    void setStartingColor(const QColor& colour);
    // An invalid colour, or one equal to the starting colour, paints flat.
    const QColor& endingColor() const { return endingColor_; }
    void setEndingColor(const QColor& colour);
    // Direction of the gradient in degrees, counter-clockwise from the
    // right; 270 runs from the top down.
    int angle() const { return angle_; }
    void setAngle(int degrees);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor startingColor_;
    QColor endingColor_;
    int angle_ = 270;
};

} // namespace rz::app
