#include "docx/layout/QXDocxManager.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxLayoutLimits.h"
#include "platform/core/Numbers.h"
#include "platform/text/Ascii.h"

#include <fstream>
#include <mutex>

namespace rz {

namespace {

constexpr std::string_view kWordLineHeightResource = "word-line-height.tsv";

std::mutex& managerMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unique_ptr<QXDocxManager>& managerSlot()
{
    static std::unique_ptr<QXDocxManager> slot;
    return slot;
}

// The entry of a font: the name lower-cased, then with one space behind,
// with " regular" behind (with and without a further space), and with every
// " regular" taken out.
const QXDocxWordLineInfo* findEntry(const QXDocxWordInfoDictionary& dictionary, std::string_view fontName)
{
    const std::string name = asciiLower(fontName);
    std::string bare = name;
    constexpr std::string_view regular = " regular";
    for (std::size_t at = bare.find(regular); at != std::string::npos; at = bare.find(regular, at))
        bare.erase(at, regular.size());
    for (const std::string& key : {name, name + " ", name + " regular", name + " regular ", bare}) {
        const auto found = dictionary.find(key);
        if (found != dictionary.end())
            return &found->second;
    }
    return nullptr;
}

// A stored factor: 0 for an empty or unreadable text and for a value outside
// the range a line height can sensibly have.
double factorValue(const std::string& text)
{
    if (text.empty())
        return 0;
    const std::optional<double> parsed = parseDouble(text);
    if (!parsed)
        return 0;
    const float value = static_cast<float>(*parsed);
    if (!(value >= docxlimits::kWordLineFactorMin && value <= docxlimits::kWordLineFactorMax))
        return 0;
    return value;
}

} // namespace

QXDocxManager::QXDocxManager()
{
    readWordInfoDictionary();
}

QXDocxManager& QXDocxManager::sharedInstance()
{
    std::lock_guard lock(managerMutex());
    std::unique_ptr<QXDocxManager>& slot = managerSlot();
    if (!slot)
        slot = std::make_unique<QXDocxManager>();
    return *slot;
}

void QXDocxManager::destory()
{
    std::lock_guard lock(managerMutex());
    managerSlot().reset();
}

void QXDocxManager::readWordInfoDictionary()
{
    if (!wordInfoDictionary_.empty())
        return;
    const std::string path = PathForWordLineHeightResources();
    if (!path.empty())
        wordInfoDictionary_ = ReadWordInfoDictionaryAtPath(path);
}

std::string QXDocxManager::PathForWordLineHeightResources()
{
    return QXDocxUtilities::PathInLibBundleForResource(kWordLineHeightResource).value_or("");
}

QXDocxWordInfoDictionary QXDocxManager::ReadWordInfoDictionaryAtPath(const std::string& path)
{
    QXDocxWordInfoDictionary dictionary;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return dictionary;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t tab1 = line.find('\t');
        if (tab1 == std::string::npos || tab1 == 0)
            continue;
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos || line.find('\t', tab2 + 1) != std::string::npos)
            continue;
        dictionary.insert_or_assign(asciiLower(std::string_view(line).substr(0, tab1)),
                                    QXDocxWordLineInfo{line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    if (in.bad())
        return {};
    return dictionary;
}

double QXDocxManager::WordLineHeight(std::string_view fontName)
{
    return WordLineHeight(sharedInstance().wordInfoDictionary(), fontName);
}

double QXDocxManager::WordLineAscentFactor(std::string_view fontName)
{
    return WordLineAscentFactor(sharedInstance().wordInfoDictionary(), fontName);
}

double QXDocxManager::WordLineHeight(const QXDocxWordInfoDictionary& dictionary, std::string_view fontName)
{
    const QXDocxWordLineInfo* entry = findEntry(dictionary, fontName);
    return entry ? factorValue(entry->fontHeightFactor) : 0;
}

double QXDocxManager::WordLineAscentFactor(const QXDocxWordInfoDictionary& dictionary, std::string_view fontName)
{
    const QXDocxWordLineInfo* entry = findEntry(dictionary, fontName);
    return entry ? factorValue(entry->fontAscentFactor) : 0;
}

} // namespace rz
