// Marked-content entries pushed by BMC and BDC.
#pragma once

#include <memory>
#include <vector>

namespace rz {

class QXPDFMarkedContent {
public:
    // 0 plain; 1 carries an /ActualText.
    int kind() const { return kind_; }
    void setKind(int k) { kind_ = k; }
    // 2 when made (not decided), 1 when an optional-content tag set it, 0
    // when a tag cleared it.
    int ocSuppressed() const { return ocSuppressed_; }
    void setOcSuppressed(int v) { ocSuppressed_ = v; }

private:
    int kind_ = 0;
    int ocSuppressed_ = 2;
};

class QXPDFMarkedContentStack {
public:
    // One entry.
    QXPDFMarkedContentStack() { reset(); }

    void reset();
    QXPDFMarkedContent& pushMarkedContent();
    QXPDFMarkedContent& pushMarkedContent(const QXPDFMarkedContent& entry);
    // The last entry removed; an empty entry when the stack is empty.
    QXPDFMarkedContent popMarkedContent();
    // The last entry; null when empty.
    const QXPDFMarkedContent* tophMarkedContent() const;
    // True when any entry's ocSuppressed is not 0.
    bool contentIsHidden() const;
    const std::vector<QXPDFMarkedContent>& stack() const { return stack_; }

private:
    std::vector<QXPDFMarkedContent> stack_;
};

} // namespace rz
