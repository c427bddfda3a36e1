#include "pptx/slide/QXPPTXRecords.h"

#include "platform/core/Numbers.h"

#include <algorithm>
#include <cmath>

namespace rz {

bool pptxPropertyRecordsEqual(const QXPPTX_RunPr& a, const QXPPTX_RunPr& b)
{
    return a.lang == b.lang && a.altLang == b.altLang && a.rgbColor == b.rgbColor &&
           a.latin.typeface == b.latin.typeface && a.latin.pitchFamily == b.latin.pitchFamily &&
           a.latin.charset == b.latin.charset && a.cs.typeface == b.cs.typeface &&
           a.cs.pitchFamily == b.cs.pitchFamily && a.cs.charset == b.cs.charset && a.sz == b.sz &&
           a.dirty == b.dirty && a.smtClean == b.smtClean;
}

QXPPTX_TxBodyPr QXPPTXUtilities::defaultTextBodyProperty()
{
    QXPPTX_TxBodyPr p;
    p.warp = "none";
    p.anchor = "ctr";
    return p;
}

QXPPTX_PPr QXPPTXUtilities::defaultPProperty()
{
    QXPPTX_PPr p;
    p.lnSpc = 0;
    p.tabList = {0, "l"};
    p.algn = "ctr";
    p.endParaRPr = {"zh-CN", "en-US"};
    return p;
}

QXPPTX_RunPr QXPPTXUtilities::defaultRunProperty()
{
    QXPPTX_RunPr r;
    r.lang = "en-US";
    r.altLang = "zh-CN";
    r.dirty = 0;
    r.smtClean = 0;
    r.latin = {"Arial Unicode MS", "Arial Unicode MS", "18", "0"};
    r.cs = r.latin;
    return r;
}

std::string QXPPTXUtilities::clampedNumber(double value, double low, double high)
{
    if (!std::isfinite(value))
        value = (low <= 0 && high >= 0) ? 0 : low;
    value = std::clamp(std::round(value), low, high);
    if (value == 0)
        value = 0; // no "-0"
    return formatFixed(value, 0);
}

std::string QXPPTXUtilities::emuCoordinate(double points)
{
    return clampedNumber(points * 12700, -kMaxCoordinate, kMaxCoordinate);
}

std::string QXPPTXUtilities::emuLength(double points)
{
    return clampedNumber(points * 12700, 0, kMaxCoordinate);
}

std::string QXPPTXUtilities::angle(double degrees)
{
    if (!std::isfinite(degrees))
        degrees = 0;
    double folded = std::fmod(degrees, 360.0);
    if (folded < 0)
        folded += 360;
    return clampedNumber(folded * 60000, 0, 21599999);
}

std::string QXPPTXUtilities::fraction(double value)
{
    return clampedNumber(value * 100000, 0, 100000);
}

} // namespace rz
