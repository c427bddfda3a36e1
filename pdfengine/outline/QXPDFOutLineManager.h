// The document outline (bookmarks) as a flat table in reading order: each
// item with its title, depth, child count and the destination it jumps to.
// Named destinations are resolved through the catalog's /Dests dictionary
// and the /Dests name tree of /Names.
//
//     auto& outline = QXPDFOutLineManager::sharedInstance();
//     outline.reLoadOutline(document);             // once per document
//     for (const auto& item : outline.outlineArrayForPage(3)) ...
//
// Items hold values copied out of the document: the table stays valid after
// the document is closed. The shared manager has no lock; it is used on the
// conversion queue, one document at a time.
#pragma once

#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

namespace rz {

// One entry of a destination list: the target page number (counting from
// 1; −1 when no page of the document matches), the fit kind ("XYZ", "Fit",
// "FitH", ...) or one of the kind's numbers.
using QXPDFOutlineValue = std::variant<long long, std::string, float>;

// An item's "Action": its kind, and the resolved destination list
// [page, kind, numbers...]. The page is left out when the destination's
// first element is no page dictionary; the list ends after the page when
// the second element is no name. "XYZ" has three numbers (left, top,
// zoom), "FitH", "FitV", "FitBH", "FitBV" one, "FitR" four, others none.
struct QXPDFOutlineAction {
    // "GoTo" for an item with /Dest; the /S of an item's /A.
    std::optional<std::string> S;
    // Absent when the destination cannot be resolved.
    std::optional<std::vector<QXPDFOutlineValue>> D;
    friend bool operator==(const QXPDFOutlineAction&, const QXPDFOutlineAction&) = default;
};

struct QXPDFOutlineItem {
    // /Title as text, when the item has one.
    std::optional<std::string> title;
    // Depth: 0 for the top level.
    int indent = 0;
    // |/Count|; 0 when absent.
    long count = 0;
    // When the item has /Dest or an /A dictionary.
    std::optional<QXPDFOutlineAction> action;
    friend bool operator==(const QXPDFOutlineItem&, const QXPDFOutlineItem&) = default;
};

class QXPDFOutLineManager {
public:
    // The one manager, made on first use.
    static QXPDFOutLineManager& sharedInstance();
    // Releases the shared manager; the next sharedInstance makes a new one.
    static void destory();
    // Does nothing.
    static void reset() {}

    // Replaces the table with the document's outline items, depth first,
    // each parent before its children. An item met twice through /First
    // or /Next (a cyclic outline) is read once. True when the document has
    // an outline; a document without one (or none at all) leaves an empty
    // table.
    bool reLoadOutline(const std::shared_ptr<const pdf::Document>& document);
    // The items, in table order, whose target page is `page` (counting from 1).
    std::vector<QXPDFOutlineItem> outlineArrayForPage(unsigned long page) const;
    const std::vector<QXPDFOutlineItem>& tableArray() const { return tableArray_; }
    void setTableArray(std::vector<QXPDFOutlineItem> table) { tableArray_ = std::move(table); }

    // The first element of the item's destination list as an integer (a
    // kind name counts as 0); −1 without a list or with an empty one.
    static long GetGoToPageWithItem(const QXPDFOutlineItem& item);
    static long GetIndentPageWithItem(const QXPDFOutlineItem& item) { return item.indent; }
    // The title without any white space, line break or control character;
    // nothing when the item has no title or an empty one.
    static std::optional<std::string> GetOutlineTitleWithItem(const QXPDFOutlineItem& item);
    // Whether the catalog has an /Outlines dictionary with a /First dictionary.
    static bool isHaveOutline(const pdf::Document& document);

    // One line describing an item, for tools and tests:
    // `indent=1 count=0 title="Intro" S=GoTo D=[3,"XYZ",72,720,0]`.
    static std::string descriptionOfItem(const QXPDFOutlineItem& item);

private:
    // The page number of a page dictionary (the last match), −1 for none.
    long long getPageNumWith(const pdf::Object& pageDictionary) const;
    // An integer or real entry; 0 for anything else.
    static float getFitValue(const pdf::Object& value);
    // The destination list of an explicit destination array.
    std::vector<QXPDFOutlineValue> getArrayInforD(const pdf::Object& array) const;
    // The destination of a name in the catalog's /Dests dictionary.
    std::optional<std::vector<QXPDFOutlineValue>> searchDestsIn(const pdf::Object& dests,
                                                                const std::string& name) const;
    // The value of a key in a name tree node and the nodes below it; null
    // when not found.
    pdf::Object searchKids(const pdf::Object& node, const std::string& key, int depth,
                           std::unordered_set<pdf::Object, pdf::ObjectIdentityHash, pdf::ObjectIdentityEqual>&
                               visited) const;
    // The destination of a string in the /Dests name tree of /Names.
    std::optional<std::vector<QXPDFOutlineValue>> searchNamesIn(const pdf::Object& names,
                                                                const std::string& key) const;
    // The destination list of an explicit destination, or of a named one
    // through its array or its dictionary's /D.
    std::optional<std::vector<QXPDFOutlineValue>> destinationOfValue(const pdf::Object& value) const;
    // Resolves a destination object (array, name or string).
    std::optional<std::vector<QXPDFOutlineValue>> getActoin(const pdf::Object& destination) const;
    QXPDFOutlineItem printItem(const pdf::Object& outlineItem, int indent) const;
    // Walks the items from `first` at depth 0 into the table.
    void printOutLineItems(const pdf::Object& first);

    std::vector<QXPDFOutlineItem> tableArray_;
    // While loading: the document's catalog and its page numbers.
    pdf::Object catalog_;
    std::unordered_map<pdf::Object, long long, pdf::ObjectIdentityHash, pdf::ObjectIdentityEqual> pageNumbers_;
};

} // namespace rz
