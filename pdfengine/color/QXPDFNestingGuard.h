// Bounds the nesting of objects that are read recursively (functions in
// functions, colour spaces in colour spaces) and refuses an object that is
// already being read further up the chain (a reference cycle).
#pragma once

#include "platform/pdf/PdfObject.h"

#include <vector>

namespace rz {

class QXPDFNestingGuard {
public:
    // Enters `object` on `chain` unless the chain is `limit` long already or
    // holds the same object.
    QXPDFNestingGuard(std::vector<pdf::Object>& chain, const pdf::Object& object, int limit)
        : chain_(chain)
    {
        if (static_cast<int>(chain.size()) >= limit)
            return;
        for (const auto& o : chain)
            if (o.sameObject(object))
                return;
        chain.push_back(object);
        entered_ = true;
    }
    ~QXPDFNestingGuard()
    {
        if (entered_)
            chain_.pop_back();
    }
    QXPDFNestingGuard(const QXPDFNestingGuard&) = delete;
    QXPDFNestingGuard& operator=(const QXPDFNestingGuard&) = delete;

    bool entered() const { return entered_; }

private:
    std::vector<pdf::Object>& chain_;
    bool entered_ = false;
};

} // namespace rz
