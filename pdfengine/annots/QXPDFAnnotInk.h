// Ink annotations: without an appearance stream each stroke of /InkList is
// drawn as one stroked path (one path event per stroke).
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"
#include "platform/geometry/Path.h"

#include <optional>
#include <vector>

namespace rz {

class QXPDFAnnotInk : public QXPDFAnnot {
public:
    QXPDFAnnotInk() = default;
    void initWithPDFDictionary(const pdf::Object& dictionary) override;
    void startParser() override;
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotInk>(); }

    // Each entry of /InkList that is an array becomes one stroke (an empty
    // path when parsePathArray gives nothing); other entries are skipped.
    void parseInkList(const pdf::Object& inkList);
    // x y pairs joined by straight segments; an empty path for an empty
    // array; nothing for an odd count or an entry that is not a number.
    static std::optional<Path> parsePathArray(const pdf::Object& array);

    // One path per stroke, in /InkList order.
    const std::vector<Path>& paths() const { return paths_; }
    void setPaths(std::vector<Path> p) { paths_ = std::move(p); }

private:
    std::vector<Path> paths_;
};

} // namespace rz
