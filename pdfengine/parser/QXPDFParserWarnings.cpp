#include "pdfengine/parser/QXPDFParserWarnings.h"

#include "pdfengine/base/QXPDFParserLimits.h"

namespace rz {

void QXPDFParserWarnings::add(const std::string& category, std::string message)
{
    ++total_;
    ++counts_[category];
    if (list_.size() < kQXPDFMaxStoredWarnings)
        list_.push_back({category, std::move(message)});
}

size_t QXPDFParserWarnings::count(const std::string& category) const
{
    const auto it = counts_.find(category);
    return it == counts_.end() ? 0 : it->second;
}

void QXPDFParserWarnings::clear()
{
    list_.clear();
    counts_.clear();
    total_ = 0;
}

} // namespace rz
