// The markup annotations' common entries (the base of free text and lines).
#pragma once

#include "pdfengine/annots/QXPDFAnnot.h"

namespace rz {

// The values of QXPDFAnnotMarkup::replyTo().
enum QXPDFAnnotReplyType : long {
    QXPDFAnnotReplyTypeReply = 0, // /RT /R
    QXPDFAnnotReplyTypeGroup = 1, // /RT /Group
};

class QXPDFAnnotMarkup : public QXPDFAnnot {
public:
    QXPDFAnnotMarkup() = default;
    void initWithPDFDictionary(const pdf::Object& dictionary) override;
    std::shared_ptr<QXPDFAnnot> copy() const override { return copyOfKind<QXPDFAnnotMarkup>(); }

    // 1 when the dictionary's /Subtype is "Markup3D", else 0.
    static long ParseAnnotExternalData(const pdf::Object& dictionary);

    // /T.
    const std::string& label() const { return label_; }
    void setLabel(std::string v) { label_ = std::move(v); }
    const std::string& creationDate() const { return creationDate_; }
    void setCreationDate(std::string v) { creationDate_ = std::move(v); }
    // Never filled by reading.
    const std::string& inReplyTo() const { return inReplyTo_; }
    void setInReplyTo(std::string v) { inReplyTo_ = std::move(v); }
    // /Subj.
    const std::string& subject() const { return subject_; }
    void setSubject(std::string v) { subject_ = std::move(v); }
    long replyTo() const { return replyTo_; }
    void setReplyTo(long v) { replyTo_ = v; }
    // ParseAnnotExternalData of /ExData.
    long exData() const { return exData_; }
    void setExData(long v) { exData_ = v; }

private:
    std::string label_;
    std::string creationDate_;
    std::string inReplyTo_;
    std::string subject_;
    long replyTo_ = QXPDFAnnotReplyTypeReply;
    long exData_ = 0;
};

} // namespace rz
