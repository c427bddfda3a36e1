// Descendant fonts of composite fonts: widths by CID (/DW /W /DW2 /W2),
// the character collection, and for CIDFontType2 the CID-to-glyph map.
#pragma once

#include "pdfengine/fonts/QXPDFFont.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

struct QXPDFFontCIDWidthExcep {
    uint32_t first = 0; // first CID
    uint32_t last = 0;  // last CID
    double width = 0;
    friend bool operator==(const QXPDFFontCIDWidthExcep&, const QXPDFFontCIDWidthExcep&) = default;
};

struct QXPDFFontCIDWidthExcepV {
    uint32_t first = 0;
    uint32_t last = 0;
    double height = 0;
    double vx = 0;
    double vy = 0;
    friend bool operator==(const QXPDFFontCIDWidthExcepV&, const QXPDFFontCIDWidthExcepV&) = default;
};

// Widths of a CID font in text space units.
struct QXPDFFontCIDWidths {
    double defWidth = 1.0;   // /DW x 0.001
    double defHeight = -1.0; // /DW2 x 0.001 when /DW2 is a single integer
    double defVY = 0.88;
    std::vector<QXPDFFontCIDWidthExcep> exceps;   // /W, sorted by first CID
    std::vector<QXPDFFontCIDWidthExcepV> excepsV; // /W2, sorted by first CID
    int nExceps() const { return static_cast<int>(exceps.size()); }
    int nExcepsV() const { return static_cast<int>(excepsV.size()); }
};

class QXPDFCIDTypeFont : public QXPDFFont {
public:
    // The descendant of a /DescendantFonts entry: "CIDFontType0" or
    // "CIDFontType2"; nullptr for anything else.
    static std::shared_ptr<QXPDFCIDTypeFont> CIDFontWithDictionary(
        const pdf::Object& dictionary, const std::string& objectKey,
        QXPDFFontNaming naming = QXPDFFontNaming::MatchInstalled);

    // Glyph number of a CID: the CID itself.
    virtual uint32_t glyphForCID(uint32_t cid) const { return cid; }
    // Metrics of a CID: horizontal (wMode 0) dx from /DW and /W; vertical
    // (wMode 1) dy, ox, oy from /DW2 and /W2, ox defaulting to half of /DW.
    void getCIDWidths(uint32_t cid, int wMode, double* dx, double* dy, double* ox, double* oy) const;

    // The collection's CID-to-Unicode map, or nullptr.
    const std::shared_ptr<QXPDFCharCodeToUnicode>& extToUnicodeMap() const { return extToUnicodeMap_; }
    const QXPDFFontCIDWidths& cidWidths() const { return cidWidths_; }
    // "Registry-Ordering" (default "Adobe-Identity").
    const std::string& cidSystemRegion() const { return cidSystemRegion_; }
    // "Registry-Ordering-Supplement" (default "Adobe-Identity-0").
    const std::string& cidSystemInfo() const { return cidSystemInfo_; }

protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    QXPDFCIDTypeFont() = default;
    QXPDFCIDTypeFont(const QXPDFCIDTypeFont&) = default;

    bool initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey) override;
    void setWidthsWithFontDictionary(const pdf::Object& dictionary) override;
    void setCIDSystemInfoWithDictionary(const pdf::Object& dictionary);
    void setDW(const pdf::Object& dictionary);
    void setDW2(const pdf::Object& dictionary);

    std::shared_ptr<QXPDFCharCodeToUnicode> extToUnicodeMap_;
    QXPDFFontCIDWidths cidWidths_;
    std::string cidSystemRegion_ = "Adobe-Identity";
    std::string cidSystemInfo_ = "Adobe-Identity-0";
};

class QXPDFCIDType0Font : public QXPDFCIDTypeFont {
protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    friend class QXPDFCIDTypeFont;
    QXPDFCIDType0Font() = default;
    QXPDFCIDType0Font(const QXPDFCIDType0Font&) = default;
};

class QXPDFCIDType2Font : public QXPDFCIDTypeFont {
public:
    // The /CIDToGIDMap entry when the CID lies within it, else the CID.
    uint32_t glyphForCID(uint32_t cid) const override;

    const std::vector<uint16_t>& cidToGID() const { return cidToGID_; }
    int64_t cidToGIDLen() const { return static_cast<int64_t>(cidToGID_.size()); }
    // True when /CIDToGIDMap is a name (/Identity).
    bool identity() const { return identity_; }

protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    friend class QXPDFCIDTypeFont;
    QXPDFCIDType2Font() = default;
    QXPDFCIDType2Font(const QXPDFCIDType2Font&) = default;
    bool initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey) override;
    void setCIDToGIDMapWithDictionary(const pdf::Object& dictionary);

private:
    std::vector<uint16_t> cidToGID_;
    bool identity_ = false;
};

} // namespace rz
