// The placement record of a text path: text drawn along a rotated baseline
// and written as a VML text path, with its paint, rotation, flips and the
// run property of its text.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "docx/layout/QXDocxRunPictInfo.h"
#include "platform/geometry/Color.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rz {

// Inner margins of a box, points.
struct QXPDFEdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    friend bool operator==(const QXPDFEdgeInsets&, const QXPDFEdgeInsets&) = default;
};

class QXDocxTextPathInfo : public QXDocxRunPictInfo {
public:
    QXDocxTextPathInfo();

    bool filled() const { return filled_; }
    void setFilled(bool value) { filled_ = value; }
    bool stroked() const { return stroked_; }
    void setStroked(bool value) { stroked_ = value; }
    const std::optional<Color>& fillcolor() const { return fillcolor_; }
    void setFillcolor(const std::optional<Color>& value) { fillcolor_ = value; }
    const std::optional<Color>& strokecolor() const { return strokecolor_; }
    void setStrokecolor(const std::optional<Color>& value) { strokecolor_ = value; }
    // Outline width, points.
    double strokeweight() const { return strokeweight_; }
    void setStrokeweight(double value) { strokeweight_ = value; }
    const std::optional<std::vector<double>>& strokeDashPattern() const { return strokeDashPattern_; }
    void setStrokeDashPattern(const std::optional<std::vector<double>>& value) { strokeDashPattern_ = value; }
    std::int64_t strokeDashPhase() const { return strokeDashPhase_; }
    void setStrokeDashPhase(std::int64_t value) { strokeDashPhase_ = value; }
    const QXPDFEdgeInsets& textBoxMargin() const { return textBoxMargin_; }
    void setTextBoxMargin(const QXPDFEdgeInsets& value) { textBoxMargin_ = value; }
    // Four corner points; zeros unless a producer fills them.
    const std::array<Point, 4>& vertices() const { return vertices_; }
    // Degrees.
    float rotation() const { return rotation_; }
    void setRotation(float value) { rotation_ = value; }
    bool flipX() const { return flipX_; }
    void setFlipX(bool value) { flipX_ = value; }
    bool flipY() const { return flipY_; }
    void setFlipY(bool value) { flipY_ = value; }
    const Point& center() const { return center_; }
    void setCenter(const Point& value) { center_ = value; }
    bool trim() const { return trim_; }
    void setTrim(bool value) { trim_ = value; }
    bool fitpath() const { return fitpath_; }
    void setFitpath(bool value) { fitpath_ = value; }
    const QXDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(const QXDocx_RPr& value) { rProperty_ = value; }

    // "#RRGGBB" in upper case: an RGB colour's components × 255, a grey
    // colour's level × 255 three times, each rounded and kept in 0..255;
    // "#000000" for any other colour model; nothing for no colour.
    static std::optional<std::string> colorString(const std::optional<Color>& color);
    std::optional<std::string> fillcolorString() const { return colorString(fillcolor_); }
    std::optional<std::string> strokecolorString() const { return colorString(strokecolor_); }
    QXDocx_Color fillColorQX() const;
    QXDocx_Color strokeColorQX() const;
    // The phase as a whole number.
    std::string strokeDashPhaseString() const;
    // The whole-number part of each dash length, separated by single
    // blanks ("3 2"); nothing without a pattern, "" for an empty one.
    std::optional<std::string> strokeDashPatternString() const;

    // copy() (from the base) gives a record of this class with only the base
    // fields copied; a full copy is made with the copy constructor.

protected:
    std::shared_ptr<QXDocxRunPictInfo> makeEmpty() const override;

private:
    bool filled_ = false;
    bool stroked_ = false;
    std::optional<Color> fillcolor_;
    std::optional<Color> strokecolor_;
    double strokeweight_ = 0;
    std::optional<std::vector<double>> strokeDashPattern_;
    std::int64_t strokeDashPhase_ = 0;
    QXPDFEdgeInsets textBoxMargin_;
    std::array<Point, 4> vertices_{};
    float rotation_ = 0;
    bool flipX_ = false;
    bool flipY_ = false;
    Point center_;
    bool trim_ = false;
    bool fitpath_ = false;
    QXDocx_RPr rProperty_;
};

} // namespace rz
