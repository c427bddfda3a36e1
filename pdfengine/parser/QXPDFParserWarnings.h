// Warnings of one page's interpretation: what the parser skipped or
// repaired, each with a category so that callers and tests can tell the
// kinds apart. Nothing here ends the page.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace rz {

// Categories of QXPDFParserWarning.
namespace QXPDFWarning {
// An operator skipped for missing or mistyped operands.
inline constexpr const char* kOperand = "operand";
// A resource name no collection knows (font, colour space, XObject, ...).
inline constexpr const char* kResource = "resource";
// A form not drawn: nested too deep, or already running further up.
inline constexpr const char* kForm = "form";
// q beyond the nesting limit, or Q with nothing of the run's own to restore.
inline constexpr const char* kStack = "stack";
// The stream's error budget was spent; the rest of it was skipped.
inline constexpr const char* kBudget = "budget";
// Drawing an operator failed inside the engine (damaged data).
inline constexpr const char* kException = "exception";
// An inline image that cannot be read.
inline constexpr const char* kImage = "image";
// A font that decoded no bytes; clips or marked content beyond their limits.
inline constexpr const char* kContent = "content";
} // namespace QXPDFWarning

struct QXPDFParserWarning {
    std::string category;
    std::string message;
    friend bool operator==(const QXPDFParserWarning&, const QXPDFParserWarning&) = default;
};

class QXPDFParserWarnings {
public:
    void add(const std::string& category, std::string message);
    // The stored warnings, oldest first (at most kQXPDFMaxStoredWarnings).
    const std::vector<QXPDFParserWarning>& list() const { return list_; }
    // Every warning added, stored or not.
    size_t count() const { return total_; }
    size_t count(const std::string& category) const;
    void clear();

private:
    std::vector<QXPDFParserWarning> list_;
    std::map<std::string, size_t> counts_;
    size_t total_ = 0;
};

} // namespace rz
