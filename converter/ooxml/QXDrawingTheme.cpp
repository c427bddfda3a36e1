#include "converter/ooxml/QXDrawingTheme.h"

namespace rz::QXDrawingTheme {

namespace {

// A DrawingML theme (ECMA-376 Part 1, 20.1.6): the twelve scheme colours,
// a major and a minor font with their Latin, East Asian and complex-script
// typefaces, and the format scheme's three fill, line, effect and
// background fill styles. The pieces go around the four places that hold
// the name (the theme, then its colour, font and format schemes).
constexpr std::string_view kPiece0 = R"XML(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<a:theme xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" name=)XML";
constexpr std::string_view kPiece1 = R"XML(>
	<a:themeElements>
		<a:clrScheme name=)XML";
constexpr std::string_view kPiece2 = R"XML(>
			<a:dk1><a:sysClr val="windowText" lastClr="000000"/></a:dk1>
			<a:lt1><a:sysClr val="window" lastClr="FFFFFF"/></a:lt1>
			<a:dk2><a:srgbClr val="2F2B20"/></a:dk2>
			<a:lt2><a:srgbClr val="F2F0EA"/></a:lt2>
			<a:accent1><a:srgbClr val="3A6EA5"/></a:accent1>
			<a:accent2><a:srgbClr val="B5523B"/></a:accent2>
			<a:accent3><a:srgbClr val="7A9A3F"/></a:accent3>
			<a:accent4><a:srgbClr val="6B5B95"/></a:accent4>
			<a:accent5><a:srgbClr val="3F98A8"/></a:accent5>
			<a:accent6><a:srgbClr val="D98C2B"/></a:accent6>
			<a:hlink><a:srgbClr val="1155CC"/></a:hlink>
			<a:folHlink><a:srgbClr val="7B3F99"/></a:folHlink>
		</a:clrScheme>
		<a:fontScheme name=)XML";
constexpr std::string_view kPiece3 = R"XML(>
			<a:majorFont>
				<a:latin typeface="Arial"/>
				<a:ea typeface=""/>
				<a:cs typeface=""/>
			</a:majorFont>
			<a:minorFont>
				<a:latin typeface="Arial"/>
				<a:ea typeface=""/>
				<a:cs typeface=""/>
			</a:minorFont>
		</a:fontScheme>
		<a:fmtScheme name=)XML";
constexpr std::string_view kPiece4 = R"XML(>
			<a:fillStyleLst>
				<a:solidFill><a:schemeClr val="phClr"/></a:solidFill>
				<a:solidFill><a:schemeClr val="phClr"><a:tint val="60000"/></a:schemeClr></a:solidFill>
				<a:solidFill><a:schemeClr val="phClr"><a:shade val="80000"/></a:schemeClr></a:solidFill>
			</a:fillStyleLst>
			<a:lnStyleLst>
				<a:ln w="6350" cap="flat" cmpd="sng" algn="ctr">
					<a:solidFill><a:schemeClr val="phClr"/></a:solidFill>
					<a:prstDash val="solid"/>
					<a:miter lim="800000"/>
				</a:ln>
				<a:ln w="12700" cap="flat" cmpd="sng" algn="ctr">
					<a:solidFill><a:schemeClr val="phClr"/></a:solidFill>
					<a:prstDash val="solid"/>
					<a:miter lim="800000"/>
				</a:ln>
				<a:ln w="19050" cap="flat" cmpd="sng" algn="ctr">
					<a:solidFill><a:schemeClr val="phClr"/></a:solidFill>
					<a:prstDash val="solid"/>
					<a:miter lim="800000"/>
				</a:ln>
			</a:lnStyleLst>
			<a:effectStyleLst>
				<a:effectStyle><a:effectLst/></a:effectStyle>
				<a:effectStyle><a:effectLst/></a:effectStyle>
				<a:effectStyle><a:effectLst/></a:effectStyle>
			</a:effectStyleLst>
			<a:bgFillStyleLst>
				<a:solidFill><a:schemeClr val="phClr"/></a:solidFill>
				<a:solidFill><a:schemeClr val="phClr"><a:tint val="95000"/></a:schemeClr></a:solidFill>
				<a:solidFill><a:schemeClr val="phClr"><a:shade val="90000"/></a:schemeClr></a:solidFill>
			</a:bgFillStyleLst>
		</a:fmtScheme>
	</a:themeElements>
	<a:objectDefaults/>
	<a:extraClrSchemeLst/>
</a:theme>
)XML";

} // namespace

std::string theme1(std::string_view name)
{
    const std::string quoted = "\"" + std::string(name) + "\"";
    std::string xml(kPiece0);
    for (const std::string_view piece : {kPiece1, kPiece2, kPiece3, kPiece4})
        xml.append(quoted).append(piece);
    return xml;
}

} // namespace rz::QXDrawingTheme
