// A page of the RTF document.
#pragma once

#include "flowtext/QXFlowPage.h"

namespace rz {

class QXRTFPage : public QXFlowStyledPage {
public:
    QXRTFPage() = default;
    QXFlowParagraphRef newParagraph() const override;
};

} // namespace rz
