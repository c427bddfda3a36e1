// The placement and style record of a text box: its display rectangle, its
// fill and border, the margins kept free around it and its rotation (0, 90,
// 180 or 270 for the boxes the exporter makes).
#pragma once

#include "docx/layout/QXDocxRunPictInfo.h"
#include "docx/layout/QXDocxTextPathInfo.h"
#include "platform/geometry/Color.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXDocxTextBoxInfo : public QXDocxRunPictInfo {
public:
    QXDocxTextBoxInfo() = default;

    const std::optional<Color>& fillcolor() const { return fillcolor_; }
    void setFillcolor(const std::optional<Color>& value) { fillcolor_ = value; }
    const std::optional<Color>& strokecolor() const { return strokecolor_; }
    void setStrokecolor(const std::optional<Color>& value) { strokecolor_ = value; }
    std::int64_t strokeDashPhase() const { return strokeDashPhase_; }
    void setStrokeDashPhase(std::int64_t value) { strokeDashPhase_ = value; }
    const std::optional<std::vector<double>>& strokeDashPattern() const { return strokeDashPattern_; }
    void setStrokeDashPattern(const std::optional<std::vector<double>>& value) { strokeDashPattern_ = value; }
    bool filled() const { return filled_; }
    void setFilled(bool value) { filled_ = value; }
    bool stroked() const { return stroked_; }
    void setStroked(bool value) { stroked_ = value; }
    // Border width, points.
    double strokeweight() const { return strokeweight_; }
    void setStrokeweight(double value) { strokeweight_ = value; }
    const QXPDFEdgeInsets& textBoxMargin() const { return textBoxMargin_; }
    void setTextBoxMargin(const QXPDFEdgeInsets& value) { textBoxMargin_ = value; }
    // Degrees.
    double rotation() const { return rotation_; }
    void setRotation(double value) { rotation_ = value; }

    Rect textBoxRect() const { return Rect{displayX(), displayY(), displayWidth(), displayHeight()}; }
    std::optional<std::string> fillcolorString() const { return QXDocxTextPathInfo::colorString(fillcolor_); }
    std::optional<std::string> strokecolorString() const { return QXDocxTextPathInfo::colorString(strokecolor_); }

protected:
    std::shared_ptr<QXDocxRunPictInfo> makeEmpty() const override;

private:
    std::optional<Color> fillcolor_;
    std::optional<Color> strokecolor_;
    std::int64_t strokeDashPhase_ = 0;
    std::optional<std::vector<double>> strokeDashPattern_;
    bool filled_ = false;
    bool stroked_ = false;
    double strokeweight_ = 0;
    QXPDFEdgeInsets textBoxMargin_;
    double rotation_ = 0;
};

} // namespace rz
