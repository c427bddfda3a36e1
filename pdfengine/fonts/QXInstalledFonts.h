// The installed fonts, as fontconfig lists them: families, faces, their
// names and metrics, and fonts opened by name for measuring. Only exact
// family, full or PostScript names count as installed; fontconfig's
// substitutions never do. The names come from fontconfig's cached metadata,
// read once per process together with the name indexes every lookup uses;
// a font file is opened only when its metrics or glyphs are asked for.
#pragma once

#include "pdfengine/fonts/PlatformFont.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

// One face of the font book. The numbers are those of the face at size 10.
struct QXFontFace {
    std::string fullName;       // display name
    std::string postScriptName;
    // Family and face joined by one space when they differ, the family when
    // they are equal, the display name when the face is empty.
    std::string wordName;
    std::string face;           // style name
    double ascender = 0;
    double descender = 0;
    double leading = 0;
    double capHeight = 0;
    double italicAngle = 0;
    double xHeight = 0;
};

// Faces of a family by PostScript name, and families by name; both sorted,
// which is the order every lookup walks.
using QXFontFamilyFaces = std::map<std::string, QXFontFace>;
using QXFontBook = std::map<std::string, QXFontFamilyFaces>;

// One installed face with what is needed to open it. Its `face` holds the
// names only (the numbers are 0): QXInstalledFonts::measuredFace reads them.
struct QXInstalledFace {
    std::string family;
    QXFontFace face;
    std::string file;
    int index = 0;
    int weight = 0; // fontconfig weight (80 regular, 200 bold)
    int slant = 0;  // fontconfig slant (0 roman)
};

// A face of a font file as text measuring opens it.
struct QXInstalledFontFile {
    std::string file;
    int index = 0;
};

class QXInstalledFonts {
public:
    // Every installed face (one per PostScript name), sorted by family and
    // PostScript name; read once, thread-safe. Names only, see above.
    static const std::vector<QXInstalledFace>& installedFaces();
    // The face with its numbers at size 10 read from its font file (once
    // per face and process); the numbers stay 0 when the file cannot be read.
    static QXFontFace measuredFace(const QXInstalledFace& face);
    // The book of every installed family with measured faces, built once,
    // on the first call (it opens every installed font file).
    static const QXFontBook& fontBook();

    static std::vector<std::string> familyNames_QXLib();
    // PostScript names of a family's faces.
    static std::vector<std::string> fontNamesForFamilyName_QXLib(std::string_view family);
    static std::vector<QXFontFace> fontDictsForFamilyName_QXLib(std::string_view family);
    // The Word name of the face with that PostScript name, or the name
    // itself when there is no such face.
    static std::string wordNameForFontName_QXLib(std::string_view postScriptName);

    // The installed face of that PostScript, full or family name (compared
    // without regard to ASCII case; a family gives its regular face);
    // nullptr when none.
    static const QXInstalledFace* findFace(std::string_view name);
    // The face opened for measuring (kept open for the process); nullptr
    // when it cannot be read.
    static std::shared_ptr<PlatformFont> platformFont(const QXInstalledFace& face);

    // The face a text measurer opens for a name: any PostScript, full or
    // family name fontconfig gives for it, in any language, compared
    // without regard to ASCII case; PostScript names first, then full
    // names, then families. A family gives its face nearest regular weight,
    // normal width and upright; between equals, or between faces that
    // share a PostScript or full name, the smaller file path and index.
    // nullptr when none.
    static const QXInstalledFontFile* findFontFile(std::string_view name);
};

} // namespace rz
