// The shared-strings part of an XLSX package (xl/sharedStrings.xml),
// streamed page by page: each page's text items are written as `si`
// elements when the page ends, so the index a text cell was given (the
// count of items before it) is its item's position in the part.
//
// The part is written under a temporary name and renamed into place by
// endWrite. For a work folder that is not an XLSX package (CSV output) the
// part is never opened and every step does nothing.
#pragma once

#include "converter/ooxml/XMLFileWriter.h"
#include "xlsx/sheet/QXExcelCell.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXExcelSharedStrings {
public:
    // For a folder named "*.xlsx": creates its "xl" folder and opens the
    // part there. Raises XMLWriterException when that fails.
    explicit QXExcelSharedStrings(const std::string& rootFolder);

    // The declaration and the open `sst` element.
    void beginWrite();
    // Writes every waiting item as `si`, counts them and empties the list.
    void writeStringItems();
    // Closes `sst` and the part, and renames it into place; raises
    // XMLWriterException when it cannot.
    void endWrite();

    bool isOpen() const { return xmlWriter_ != nullptr && xmlWriter_->isOpen(); }
    const std::string& partPath() const { return partPath_; }
    size_t amountOfStringItems() const { return amountOfStringItems_; }
    std::vector<std::shared_ptr<QXExcelStringItem>>& stringItems() { return stringItems_; }

private:
    std::string partPath_;
    size_t amountOfStringItems_ = 0;
    std::unique_ptr<XMLFileWriter> xmlWriter_;
    std::vector<std::shared_ptr<QXExcelStringItem>> stringItems_;
};

} // namespace rz
