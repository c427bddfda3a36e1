#include "pdfengine/outline/QXPDFOutLineManager.h"

#include "pdfengine/base/QXPDFParserLimits.h"
#include "pdfengine/base/QXPDFTraceFormat.h"
#include "platform/core/Numbers.h"
#include "platform/text/IcuLibrary.h"
#include "platform/text/Utf.h"

#include <climits>
#include <cmath>
#include <limits>

namespace rz {

namespace {

std::unique_ptr<QXPDFOutLineManager>& sharedManager()
{
    static std::unique_ptr<QXPDFOutLineManager> manager;
    return manager;
}

// White space, line breaks and control or format characters.
bool isRemovedFromTitle(char32_t cp)
{
    switch (unicodeCharType(cp)) {
    case U_SPACE_SEPARATOR:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
    case U_CONTROL_CHAR:
    case U_FORMAT_CHAR: return true;
    default: return false;
    }
}

// How many numbers follow each fit kind.
size_t numbersOfFitKind(const std::string& kind)
{
    if (kind == "XYZ")
        return 3;
    if (kind == "FitH" || kind == "FitV" || kind == "FitBH" || kind == "FitBV")
        return 1;
    if (kind == "FitR")
        return 4;
    return 0;
}

} // namespace

QXPDFOutLineManager& QXPDFOutLineManager::sharedInstance()
{
    auto& manager = sharedManager();
    if (!manager)
        manager = std::make_unique<QXPDFOutLineManager>();
    return *manager;
}

void QXPDFOutLineManager::destory()
{
    sharedManager().reset();
}

bool QXPDFOutLineManager::isHaveOutline(const pdf::Document& document)
{
    const pdf::Object outlines = document.catalog().get("Outlines");
    return outlines.isDictionary() && outlines.get("First").isDictionary();
}

bool QXPDFOutLineManager::reLoadOutline(const std::shared_ptr<const pdf::Document>& document)
{
    tableArray_.clear();
    if (!document)
        return false;
    const pdf::Object catalog = document->catalog();
    const pdf::Object outlines = catalog.get("Outlines");
    if (!outlines.isDictionary())
        return false;
    const pdf::Object first = outlines.get("First");
    if (!first.isDictionary())
        return false;

    catalog_ = catalog;
    pageNumbers_.clear();
    // Ascending, so that the last of several matching pages wins.
    for (int n = 1; n <= document->pageCount(); ++n)
        pageNumbers_[document->page(n).dictionary()] = n;
    printOutLineItems(first);
    catalog_ = pdf::Object();
    pageNumbers_.clear();
    return true;
}

void QXPDFOutLineManager::printOutLineItems(const pdf::Object& first)
{
    // Depth first without recursion: an item's children (its /First chain)
    // come before its /Next sibling. Each item is read once, so a cyclic
    // outline ends.
    std::unordered_set<pdf::Object, pdf::ObjectIdentityHash, pdf::ObjectIdentityEqual> visited;
    std::vector<std::pair<pdf::Object, int>> pending{{first, 0}};
    while (!pending.empty()) {
        const auto [item, depth] = pending.back();
        pending.pop_back();
        if (!item.isDictionary() || !visited.insert(item).second)
            continue;
        tableArray_.push_back(printItem(item, depth));
        if (const pdf::Object next = item.get("Next"); next.isDictionary())
            pending.emplace_back(next, depth);
        if (const pdf::Object child = item.get("First"); child.isDictionary() && depth < INT_MAX)
            pending.emplace_back(child, depth + 1);
    }
}

QXPDFOutlineItem QXPDFOutLineManager::printItem(const pdf::Object& outlineItem, int indent) const
{
    QXPDFOutlineItem item;
    item.indent = indent;
    if (const pdf::Object title = outlineItem.get("Title"); title.isString())
        item.title = title.text();
    if (const auto count = outlineItem.get("Count").integer())
        item.count = *count == LLONG_MIN || std::llabs(*count) > LONG_MAX ? LONG_MAX : long(std::llabs(*count));

    const pdf::Object dest = outlineItem.get("Dest");
    const pdf::Object action = outlineItem.get("A");
    if (!dest.isNull()) {
        item.action = QXPDFOutlineAction{"GoTo", getActoin(dest)};
    } else if (action.isDictionary()) {
        QXPDFOutlineAction a;
        if (const auto kind = action.get("S").name())
            a.S = *kind;
        if (const pdf::Object d = action.get("D"); !d.isNull())
            a.D = getActoin(d);
        item.action = std::move(a);
    }
    return item;
}

std::optional<std::vector<QXPDFOutlineValue>> QXPDFOutLineManager::getActoin(const pdf::Object& destination) const
{
    if (destination.isArray())
        return getArrayInforD(destination);
    if (const auto name = destination.name())
        return searchDestsIn(catalog_.get("Dests"), *name);
    if (const auto key = destination.stringBytes())
        return searchNamesIn(catalog_.get("Names"), *key);
    return std::nullopt;
}

long long QXPDFOutLineManager::getPageNumWith(const pdf::Object& pageDictionary) const
{
    const auto found = pageNumbers_.find(pageDictionary);
    return found == pageNumbers_.end() ? -1 : found->second;
}

float QXPDFOutLineManager::getFitValue(const pdf::Object& value)
{
    const std::optional<double> v = value.number();
    if (!v || !std::isfinite(*v) || std::fabs(*v) > double(std::numeric_limits<float>::max()))
        return 0;
    return float(*v);
}

std::vector<QXPDFOutlineValue> QXPDFOutLineManager::getArrayInforD(const pdf::Object& array) const
{
    std::vector<QXPDFOutlineValue> list;
    if (array.size() == 0)
        return list;
    if (const pdf::Object page = array.at(0); page.isDictionary())
        list.emplace_back(getPageNumWith(page));
    const std::optional<std::string> kind = array.at(1).name();
    if (!kind)
        return list;
    list.emplace_back(*kind);
    const size_t numbers = numbersOfFitKind(*kind);
    for (size_t i = 0; i < numbers; ++i)
        list.emplace_back(getFitValue(array.at(2 + i)));
    return list;
}

std::optional<std::vector<QXPDFOutlineValue>> QXPDFOutLineManager::destinationOfValue(const pdf::Object& value) const
{
    // A named destination is an explicit destination array, or a
    // dictionary whose /D is one.
    const pdf::Object array = value.isDictionary() ? value.get("D") : value;
    if (!array.isArray() || array.size() == 0)
        return std::nullopt;
    return getArrayInforD(array);
}

std::optional<std::vector<QXPDFOutlineValue>> QXPDFOutLineManager::searchDestsIn(const pdf::Object& dests,
                                                                                 const std::string& name) const
{
    if (!dests.isDictionary())
        return std::nullopt;
    return destinationOfValue(dests.get(name));
}

pdf::Object QXPDFOutLineManager::searchKids(
    const pdf::Object& node, const std::string& key, int depth,
    std::unordered_set<pdf::Object, pdf::ObjectIdentityHash, pdf::ObjectIdentityEqual>& visited) const
{
    if (!node.isDictionary() || depth > kQXPDFMaxNameTreeDepth || !visited.insert(node).second)
        return {};
    if (const pdf::Object limits = node.get("Limits"); limits.isArray()) {
        const auto low = limits.at(0).stringBytes();
        const auto high = limits.at(1).stringBytes();
        if ((low && low->compare(key) > 0) || (high && high->compare(key) < 0))
            return {};
    }
    if (const pdf::Object names = node.get("Names"); names.isArray()) {
        for (size_t i = 0; i + 1 < names.size(); i += 2)
            if (names.at(i).stringBytes() == key)
                return names.at(i + 1);
        return {};
    }
    const pdf::Object kids = node.get("Kids");
    for (size_t i = 0; i < kids.size(); ++i) {
        const pdf::Object found = searchKids(kids.at(i), key, depth + 1, visited);
        if (!found.isNull())
            return found;
    }
    return {};
}

std::optional<std::vector<QXPDFOutlineValue>> QXPDFOutLineManager::searchNamesIn(const pdf::Object& names,
                                                                                 const std::string& key) const
{
    if (!names.isDictionary())
        return std::nullopt;
    std::unordered_set<pdf::Object, pdf::ObjectIdentityHash, pdf::ObjectIdentityEqual> visited;
    const pdf::Object value = searchKids(names.get("Dests"), key, 0, visited);
    if (value.isNull())
        return std::nullopt;
    return destinationOfValue(value);
}

std::vector<QXPDFOutlineItem> QXPDFOutLineManager::outlineArrayForPage(unsigned long page) const
{
    std::vector<QXPDFOutlineItem> items;
    for (const QXPDFOutlineItem& item : tableArray_) {
        const long target = GetGoToPageWithItem(item);
        if (target >= 1 && static_cast<unsigned long>(target) == page)
            items.push_back(item);
    }
    return items;
}

long QXPDFOutLineManager::GetGoToPageWithItem(const QXPDFOutlineItem& item)
{
    if (!item.action || !item.action->D || item.action->D->empty())
        return -1;
    const QXPDFOutlineValue& first = item.action->D->front();
    if (const auto* page = std::get_if<long long>(&first))
        return *page < LONG_MIN || *page > LONG_MAX ? -1 : long(*page);
    if (const auto* number = std::get_if<float>(&first))
        return long(*number);
    return 0;
}

std::optional<std::string> QXPDFOutLineManager::GetOutlineTitleWithItem(const QXPDFOutlineItem& item)
{
    if (!item.title || item.title->empty())
        return std::nullopt;
    std::string out;
    const std::string& title = *item.title;
    for (size_t i = 0; i < title.size();) {
        const char32_t cp = nextCodePoint(title, i);
        if (!isRemovedFromTitle(cp))
            appendUtf8(out, cp);
    }
    return out;
}

std::string QXPDFOutLineManager::descriptionOfItem(const QXPDFOutlineItem& item)
{
    std::string line = "indent=" + formatInteger(item.indent) + " count=" + formatInteger(item.count);
    if (item.title)
        line += " title=" + QXPDFTraceQuoted(*item.title);
    if (!item.action)
        return line;
    line += " S=" + (item.action->S ? *item.action->S : std::string("-"));
    if (!item.action->D)
        return line;
    line += " D=[";
    bool firstValue = true;
    for (const QXPDFOutlineValue& v : *item.action->D) {
        if (!firstValue)
            line += ",";
        firstValue = false;
        if (const auto* page = std::get_if<long long>(&v))
            line += formatInteger(*page);
        else if (const auto* kind = std::get_if<std::string>(&v))
            line += QXPDFTraceQuoted(*kind);
        else
            line += QXPDFTraceNumber(double(std::get<float>(v)));
    }
    return line + "]";
}

} // namespace rz
