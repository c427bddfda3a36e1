// Composite (Type 0) fonts: multi-byte codes through an encoding CMap to
// CIDs, widths from the first descendant CID font, Unicode from /ToUnicode
// or the character collection's CID-to-Unicode map.
#pragma once

#include "pdfengine/fonts/QXPDFCIDTypeFont.h"
#include "pdfengine/fonts/QXPDFFont.h"

#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXPDFCodeToCIDMap;

class QXPDFType0Font : public QXPDFFont {
public:
    // Uses as many bytes as the CMap matches (at least 1) and reports the
    // CID in `code` (the first byte when the CID is 0).
    int getNextChar(const uint8_t* s, int len, uint32_t* code, char16_t* u, int uSize, int* uLen,
                    double* dx, double* dy, double* ox, double* oy) const override;
    double embFontWidthForCode(uint32_t code) const override;
    double widthOfSpace() const override;
    double ascent() const override;
    double descent() const override;
    Rect fontBBox() const override;

    // Metrics of one CID from the first descendant; all 0 without one.
    void getCIDWidths(uint32_t cid, double* dx, double* dy, double* ox, double* oy) const;

    // The first descendant, or nullptr.
    std::shared_ptr<QXPDFCIDTypeFont> cidTypeFont() const;
    const std::vector<std::shared_ptr<QXPDFCIDTypeFont>>& descendantFonts() const { return descendantFonts_; }
    // The collection's CID-to-Unicode map, or nullptr.
    const std::shared_ptr<QXPDFCharCodeToUnicode>& extToUnicodeMap() const { return extToUnicodeMap_; }
    // The encoding CMap.
    const std::shared_ptr<QXPDFCodeToCIDMap>& extToCIDMap() const { return extToCIDMap_; }
    // The /Encoding name (or the embedded CMap's /CMapName).
    const std::string& cMapName() const { return cMapName_; }

protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    friend class QXPDFFont;
    QXPDFType0Font() = default;
    QXPDFType0Font(const QXPDFType0Font& other) = default;
    // The CMap and the descendants too; the collection map stays shared
    // (it is read-only and shared by every font of its collection).
    void ownTables() override;
    void setSharedObjectKey(const std::string& objectKey) override;

    bool initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey) override;
    void updateBankSpaceWidth() override;
    void setDescendantFontsWithDictionary(const pdf::Object& dictionary);
    void setFontDescriptorWithCIDTypeFont();
    // The space code of /ToUnicode, else of the collection's map; 0 when none.
    uint32_t spaceCode() const;

private:
    std::shared_ptr<QXPDFCharCodeToUnicode> extToUnicodeMap_;
    std::shared_ptr<QXPDFCodeToCIDMap> extToCIDMap_;
    std::vector<std::shared_ptr<QXPDFCIDTypeFont>> descendantFonts_;
    std::string cMapName_;
};

} // namespace rz
