// The stroke and fill of a painted vector path: colours, opacities, line
// width and dash, the VML attribute texts made from them, and the
// classification of a path as a table border style. The colour records
// follow the colours and the opacities: a record's alpha is always its
// opacity times 255, cut to a whole number.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "docx/layout/QXDocxRunPictInfo.h"
#include "platform/geometry/Color.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXDocxPathInfo : public QXDocxRunPictInfo {
public:
    QXDocxPathInfo() = default;

    // The PDF dash array and phase.
    const std::optional<std::vector<double>>& strokeDashPattern() const { return strokeDashPattern_; }
    void setStrokeDashPattern(const std::optional<std::vector<double>>& value) { strokeDashPattern_ = value; }
    std::int64_t strokeDashPhase() const { return strokeDashPhase_; }
    void setStrokeDashPhase(std::int64_t value) { strokeDashPhase_ = value; }
    // Line width, points.
    double strokeweight() const { return strokeweight_; }
    void setStrokeweight(double value) { strokeweight_ = value; }
    // Opacities 0..1; each sets the alpha of its colour record.
    float fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(float value);
    float strokeAlpha() const { return strokeAlpha_; }
    void setStrokeAlpha(float value);
    // Each colour is kept by value and sets its record, whose alpha then
    // comes from the matching opacity.
    const std::optional<Color>& strokecolor() const { return strokecolor_; }
    void setStrokecolor(const std::optional<Color>& value);
    const std::optional<Color>& fillcolor() const { return fillcolor_; }
    void setFillcolor(const std::optional<Color>& value);
    // The records; setting one leaves the colours as they are.
    const QXDocx_Color& strokeColorQX() const { return strokeColorQX_; }
    void setStrokeColorQX(const QXDocx_Color& value) { strokeColorQX_ = value; }
    const QXDocx_Color& fillColorQX() const { return fillColorQX_; }
    void setFillColorQX(const QXDocx_Color& value) { fillColorQX_ = value; }
    bool filled() const { return filled_; }
    void setFilled(bool value) { filled_ = value; }
    bool stroked() const { return stroked_; }
    void setStroked(bool value) { stroked_ = value; }

    // "#RRGGBB" of the colours (see QXDocxTextPathInfo::colorString).
    static std::optional<std::string> colorString(const std::optional<Color>& color);
    std::optional<std::string> fillcolorString() const { return colorString(fillcolor_); }
    std::optional<std::string> strokecolorString() const { return colorString(strokecolor_); }
    std::string strokeDashPhaseString() const;
    // The whole-number part of each dash length, separated by single
    // blanks; nothing without a dash array.
    std::optional<std::string> strokeDashPatternString() const;
    // The opacities are not written as attributes: nothing.
    std::optional<std::string> fillAlphaString() const { return std::nullopt; }
    std::optional<std::string> strokeAlphaString() const { return std::nullopt; }

    // A record with the placement, the dash, the line width and the
    // opacities; no colours, neither filled nor stroked.
    std::shared_ptr<QXDocxPathInfo> copyPathInfo() const;

    // The table border style a path stands for, as an index into the
    // border style names (1 "nil", 2 "single", 4 "dashed", 6 "dotDash",
    // 7 "dotDotDash", 8 "dotted"): a dashed stroke by its number of dash
    // elements; a plain stroke "single" unless of the background colour;
    // a filled path "single" only when it is a thin bar (exactly one side
    // below 4 points) not of the background colour; anything else "nil".
    static std::int32_t BorderStyleForPathInfo(const QXDocxPathInfo& path, const QXDocx_Color& backgroundColor);

    // Border style indices.
    static constexpr std::int32_t kBorderNil = 1;
    static constexpr std::int32_t kBorderSingle = 2;
    static constexpr std::int32_t kBorderDashed = 4;
    static constexpr std::int32_t kBorderDotDash = 6;
    static constexpr std::int32_t kBorderDotDotDash = 7;
    static constexpr std::int32_t kBorderDotted = 8;
    // A filled path thinner than this (points) on one side is a line.
    static constexpr double kLineMaxThickness = 4.0;

protected:
    std::shared_ptr<QXDocxRunPictInfo> makeEmpty() const override;

private:
    std::optional<std::vector<double>> strokeDashPattern_;
    std::int64_t strokeDashPhase_ = 0;
    double strokeweight_ = 0.1;
    float fillAlpha_ = 1.0f;
    float strokeAlpha_ = 1.0f;
    std::optional<Color> strokecolor_;
    std::optional<Color> fillcolor_;
    QXDocx_Color strokeColorQX_{0, 0, 0, 0};
    QXDocx_Color fillColorQX_{0, 0, 0, 0};
    bool filled_ = false;
    bool stroked_ = false;
};

} // namespace rz
