#include "flowtext/rtf/QXRTFPage.h"

#include "flowtext/rtf/QXRTFParagraph.h"

namespace rz {

QXFlowParagraphRef QXRTFPage::newParagraph() const
{
    return std::make_shared<QXRTFParagraph>();
}

} // namespace rz
