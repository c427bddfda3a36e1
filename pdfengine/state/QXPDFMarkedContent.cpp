#include "pdfengine/state/QXPDFMarkedContent.h"

namespace rz {

void QXPDFMarkedContentStack::reset()
{
    stack_.clear();
    stack_.emplace_back();
}

QXPDFMarkedContent& QXPDFMarkedContentStack::pushMarkedContent()
{
    return stack_.emplace_back();
}

QXPDFMarkedContent& QXPDFMarkedContentStack::pushMarkedContent(const QXPDFMarkedContent& entry)
{
    return stack_.emplace_back(entry);
}

QXPDFMarkedContent QXPDFMarkedContentStack::popMarkedContent()
{
    if (stack_.empty())
        return {};
    QXPDFMarkedContent last = stack_.back();
    stack_.pop_back();
    return last;
}

const QXPDFMarkedContent* QXPDFMarkedContentStack::tophMarkedContent() const
{
    return stack_.empty() ? nullptr : &stack_.back();
}

bool QXPDFMarkedContentStack::contentIsHidden() const
{
    for (const auto& e : stack_)
        if (e.ocSuppressed() != 0)
            return true;
    return false;
}

} // namespace rz
