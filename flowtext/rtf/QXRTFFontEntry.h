// A font of the RTF font table, with the character attributes a run sets.
#pragma once

#include <optional>
#include <string>

namespace rz {

class QXRTFFontEntry {
public:
    // "Arial Unicode MS", 12 half-points, index -1, no attributes.
    QXRTFFontEntry();
    // The name (UTF-8; none when it is not valid UTF-8) and size in half-points.
    QXRTFFontEntry(const std::optional<std::string>& name, double size);

    // "\fN\fnil\fcharset0 Name;" with the name escaped for the table; ";"
    // without a name.
    std::string rtfFormat() const;
    // Equal names and sizes.
    bool isEqualToFont(const QXRTFFontEntry& other) const;
    bool isEqualToName(const std::optional<std::string>& name, double size) const;

    int fontIndex = -1;
    std::optional<std::string> fontName;
    double fontSize = 12.0;
    bool bold = false;
    bool italic = false;
    int underline = 0;
};

} // namespace rz
