// The property records of presentation text (runs, paragraphs, text
// bodies), their defaults, and how lengths, angles, fractions and sizes are
// written as DrawingML numbers.
#pragma once

#include <cstdint>
#include <string>

namespace rz {

struct QXPPTXEdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
};

struct QXPPTX_PPr_TabList {
    double pos = 0; // points
    std::string algn;
};

struct QXPPTX_PPr_EndParaRPr {
    std::string lang;
    std::string altLang;
};

struct QXPPTX_PPr {
    double marL = 0;  // points, left margin relative to the box
    double lnSpc = 0; // points
    QXPPTX_PPr_TabList tabList;
    std::string algn;
    QXPPTX_PPr_EndParaRPr endParaRPr;
};

struct QXPPTX_RunPr_Font {
    std::string typeface;
    std::string typeface_replace;
    std::string pitchFamily;
    std::string charset;
};

struct QXPPTX_RunPr {
    std::string lang;
    std::string altLang;
    float sz = 12; // points
    std::uint8_t b = 0;
    std::uint8_t i = 0;
    std::uint8_t dirty = 0;
    std::uint8_t smtClean = 0;
    std::string rgbColor = "000000";
    QXPPTX_RunPr_Font latin;
    QXPPTX_RunPr_Font cs;
};

struct QXPPTX_TxBodyPr {
    std::string warp;
    std::int32_t lIns = 0;
    std::int32_t tIns = 0;
    std::int32_t rIns = 0;
    std::uint8_t rtlCol = 0;
    std::string anchor;
};

// Equal for joining characters into one run: languages, colour, the two
// fonts' typeface, pitch family and charset, size, dirty and smtClean; bold,
// italic and the replacement typefaces are not compared.
bool pptxPropertyRecordsEqual(const QXPPTX_RunPr& a, const QXPPTX_RunPr& b);

class QXPPTXUtilities {
public:
    static QXPPTX_TxBodyPr defaultTextBodyProperty();
    static QXPPTX_PPr defaultPProperty();
    static QXPPTX_RunPr defaultRunProperty();

    // Schema ranges of the numbers written.
    static constexpr double kMaxCoordinate = 27273042316900.0;   // ST_Coordinate, EMU
    static constexpr double kMaxLineWidth = 20116800.0;          // ST_LineWidth, EMU
    static constexpr double kMaxTextMargin = 51206400.0;         // ST_TextMargin, EMU
    static constexpr double kMinTextFontSize = 100.0;            // ST_TextFontSize, 1/100 pt
    static constexpr double kMaxTextFontSize = 400000.0;
    static constexpr double kMaxTextSpacingPoint = 158400.0;     // ST_TextSpacingPoint, 1/100 pt
    static constexpr double kMaxPositivePercentage = 2147483647.0;

    // "%0.0f" of `value` clamped to [low, high]; a value that is not finite
    // is written as `low` when 0 is outside the range, else as 0.
    static std::string clampedNumber(double value, double low, double high);
    // A length in points as EMU (× 12700), a coordinate that may be negative.
    static std::string emuCoordinate(double points);
    // A length in points as EMU, not negative.
    static std::string emuLength(double points);
    // An angle in degrees as 60000ths of a degree, brought into 0..360.
    static std::string angle(double degrees);
    // A fraction 0..1 as 100000ths.
    static std::string fraction(double value);
};

} // namespace rz
