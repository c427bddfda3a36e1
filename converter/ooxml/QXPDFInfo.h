// The document information of a source PDF (version, Info dictionary
// strings and dates, page count) merged over the program's defaults; the
// spreadsheet writer fills its document properties from it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace rz {

namespace pdf {
class Document;
}

class QXPDFInfo {
public:
    using Date = std::chrono::system_clock::time_point;

    // The program's own values, used where the PDF has none.
    static const std::string& defaultCreator();    // the default author
    static const std::string& defaultCompany();    // the creator
    static const std::string& defaultCopyright();  // first line of the note
    static const std::string& defaultWebsite();    // second line of the note

    // The defaults: empty title, subject, keywords and producer, author
    // defaultCreator(), creator defaultCompany(), note "copyright\nwebsite",
    // version 0.0, no dates, no pages.
    QXPDFInfo();

    // The defaults with the document's page count, then loadDocumentInfo();
    // nothing for no document.
    static std::shared_ptr<QXPDFInfo> initWithCGPDFDocument(const std::shared_ptr<const pdf::Document>& document);

    // Reads the PDF version, then /Title, /Author, /Subject, /Keywords and
    // /Producer of the Info dictionary (each replacing its value only when
    // present) and /CreationDate and /ModDate as dates (kept only when they
    // parse). /Creator is not read: creator() stays the company.
    void loadDocumentInfo(const pdf::Document& document);

    int majorVersion() const { return majorVersion_; }
    int minorVersion() const { return minorVersion_; }
    const std::string& title() const { return title_; }
    void setTitle(std::string value) { title_ = std::move(value); }
    const std::string& author() const { return author_; }
    void setAuthor(std::string value) { author_ = std::move(value); }
    const std::string& subject() const { return subject_; }
    void setSubject(std::string value) { subject_ = std::move(value); }
    const std::string& keywords() const { return keywords_; }
    void setKeywords(std::string value) { keywords_ = std::move(value); }
    const std::string& creator() const { return creator_; }
    void setCreator(std::string value) { creator_ = std::move(value); }
    const std::string& producer() const { return producer_; }
    void setProducer(std::string value) { producer_ = std::move(value); }
    const std::string& note() const { return note_; }
    void setNote(std::string value) { note_ = std::move(value); }
    const std::optional<Date>& creationDate() const { return creationDate_; }
    const std::optional<Date>& modificationDate() const { return modificationDate_; }
    std::uint64_t numPages() const { return numPages_; }
    void setNumPages(std::uint64_t value) { numPages_ = value; }

    // A PDF date string ("D:YYYYMMDDHHmmSSOHH'mm'", every part after the
    // year optional, "D:" too) as a point in time; nothing when it does not
    // parse or holds an impossible date.
    static std::optional<Date> parsePDFDate(std::string_view text);

private:
    int majorVersion_ = 0;
    int minorVersion_ = 0;
    std::string title_;
    std::string author_;
    std::string subject_;
    std::string keywords_;
    std::string creator_;
    std::string producer_;
    std::string note_;
    std::optional<Date> creationDate_;
    std::optional<Date> modificationDate_;
    std::uint64_t numPages_ = 0;
};

} // namespace rz
