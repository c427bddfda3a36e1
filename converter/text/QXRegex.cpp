#include "converter/text/QXRegex.h"

#include "platform/text/Utf.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unicode/locid.h>
#include <unicode/regex.h>
#include <unicode/translit.h>
#include <unicode/uscript.h>
#include <unicode/unistr.h>

extern "C" {
#include <fingerprint.h>
}

namespace rz {

namespace {

// --- Regular expressions -------------------------------------------------------

// Compiled patterns kept for reuse: the number validators run once per
// spreadsheet cell. Compiled patterns are immutable and can be shared; each
// match uses a matcher of its own.
constexpr size_t kMaxCachedPatterns = 64;

std::shared_ptr<const icu::RegexPattern> compiledPattern(std::string_view regex)
{
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<const icu::RegexPattern>, std::less<>> cache;

    std::lock_guard<std::mutex> lock(mutex);
    const auto it = cache.find(regex);
    if (it != cache.end())
        return it->second;

    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    const icu::UnicodeString pattern = icu::UnicodeString::fromUTF8(
        icu::StringPiece(regex.data(), static_cast<int32_t>(regex.size())));
    std::shared_ptr<const icu::RegexPattern> compiled(
        icu::RegexPattern::compile(pattern, 0, parseError, status));
    if (U_FAILURE(status))
        compiled.reset();
    if (cache.size() >= kMaxCachedPatterns)
        cache.clear();
    cache.emplace(std::string(regex), compiled);
    return compiled;
}

// The pattern with "%@" replaced by a character class body made of the
// symbols; characters that mean something inside a class are escaped so
// that every symbol stands for itself.
std::string currencyPattern(std::string_view pattern, const std::vector<std::string>& symbols)
{
    std::string body;
    for (const char c : QXRegex::currencySymbols(symbols)) {
        if (std::string_view("\\[]^-&$").find(c) != std::string_view::npos)
            body.push_back('\\');
        body.push_back(c);
    }
    std::string result(pattern);
    const size_t at = result.find("%@");
    if (at != std::string::npos)
        result.replace(at, 2, body);
    return result;
}

// --- Language guess --------------------------------------------------------------

// Only this many UTF-16 units of a text are looked at.
constexpr size_t kLanguageSampleUnits = 100;
// A Latin-script text with fewer letters is too short for the n-gram
// comparison and is judged by its characters alone.
constexpr int kMinLettersForNgrams = 16;
// Languages whose n-gram scores are within this factor of the best one
// cannot be told apart from it; more than kMaxCandidates such languages
// mean no decision (the values the n-gram library itself uses).
constexpr double kCandidateThreshold = 1.03;
constexpr size_t kMaxCandidates = 5;
// Size of the n-gram profiles.
constexpr int kMaxNgrams = 400;
// Weight of an ideograph, kana or hangul syllable against an alphabetic
// letter when the scripts of a mixed text are counted: a word takes about
// five letters of an alphabet but one or two ideographs.
constexpr int kSyllabicWeight = 3;

// The widespread languages written in the Latin script that the n-gram
// comparison chooses between.
constexpr const char* kLatinLanguages[] = {"en", "fr", "de", "es", "it", "pt", "nl", "sv", "da",
                                           "nb", "fi", "pl", "cs", "tr", "id", "ro", "hu", "vi"};

// The n-gram models of the Latin-script languages, loaded once.
class LatinLanguageModels {
public:
    static LatinLanguageModels& shared()
    {
        static LatinLanguageModels models;
        return models;
    }

    // The language of a lower-case UTF-8 text, or "" when the models
    // cannot decide (or are not installed).
    std::string classify(const std::string& text)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (models_.empty())
            return {};
        void* unknown = fp_Init(nullptr);
        if (unknown == nullptr)
            return {};
        fp_SetProperty(unknown, TCPROP_UTF8AWARE, TC_TRUE);
        std::string result;
        if (fp_Create(unknown, text.c_str(), static_cast<uint4>(text.size()), kMaxNgrams) != 0) {
            std::vector<std::pair<int, std::string>> scores;
            int best = INT_MAX;
            for (const auto& [code, model] : models_) {
                const int score = fp_Compare(model, unknown, INT_MAX);
                scores.emplace_back(score, code);
                best = std::min(best, score);
            }
            const double limit = static_cast<double>(best) * kCandidateThreshold;
            std::vector<std::string> candidates;
            for (const auto& [score, code] : scores) {
                if (score <= limit)
                    candidates.push_back(code);
            }
            if (std::find(candidates.begin(), candidates.end(), "en") != candidates.end())
                result = "en";  // English is among the equally likely ones
            else if (!candidates.empty() && candidates.size() <= kMaxCandidates)
                result = std::min_element(scores.begin(), scores.end())->second;
        }
        fp_Done(unknown);
        return result;
    }

private:
    LatinLanguageModels()
    {
        const std::string folder = RZ_TEXTCAT_DATA_DIR;
        for (const char* code : kLatinLanguages) {
            void* model = fp_Init(code);
            if (model == nullptr)
                continue;
            fp_SetProperty(model, TCPROP_UTF8AWARE, TC_TRUE);
            const std::string path = folder + "/" + code + ".lm";
            if (fp_Read(model, path.c_str(), kMaxNgrams) == 0) {
                fp_Done(model);
                continue;
            }
            models_.emplace_back(code, model);
        }
    }
    ~LatinLanguageModels()
    {
        for (const auto& entry : models_)
            fp_Done(entry.second);
    }

    std::mutex mutex_;
    std::vector<std::pair<std::string, void*>> models_;
};

// "zh-Hant" when the text holds a character that has a different
// simplified form, else "zh-Hans".
std::string chineseVariant(const icu::UnicodeString& text)
{
    static std::mutex mutex;
    static std::unique_ptr<icu::Transliterator> toSimplified = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Hant-Hans", UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            t.reset();
        return t;
    }();
    if (!toSimplified)
        return "zh-Hans";
    icu::UnicodeString simplified(text);
    {
        std::lock_guard<std::mutex> lock(mutex);
        toSimplified->transliterate(simplified);
    }
    return simplified == text ? "zh-Hans" : "zh-Hant";
}

// The language most often written in a script, for the scripts that are
// not told apart further.
std::string languageOfScript(UScriptCode script)
{
    switch (script) {
    case USCRIPT_CYRILLIC: return "ru";
    case USCRIPT_GREEK: return "el";
    case USCRIPT_ARABIC: return "ar";
    case USCRIPT_HEBREW: return "he";
    case USCRIPT_THAI: return "th";
    case USCRIPT_DEVANAGARI: return "hi";
    case USCRIPT_BENGALI: return "bn";
    case USCRIPT_TAMIL: return "ta";
    case USCRIPT_ARMENIAN: return "hy";
    case USCRIPT_GEORGIAN: return "ka";
    default: return {};
    }
}

} // namespace

// --- Matching ----------------------------------------------------------------------

bool QXRegex::evaluateWithRegex(std::string_view regex, std::string_view withObject)
{
    if (withObject.size() > static_cast<size_t>(INT32_MAX))
        return false;
    const auto pattern = compiledPattern(regex);
    if (!pattern)
        return false;
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(withObject.data(), static_cast<int32_t>(withObject.size())));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(text, status));
    if (U_FAILURE(status) || !matcher)
        return false;
    const bool matched = matcher->matches(status);
    return U_SUCCESS(status) && matched;
}

bool QXRegex::validateWithRegex(std::string_view regex, std::string_view withString)
{
    return evaluateWithRegex(regex, withString);
}

bool QXRegex::validateIntNumbers(std::string_view text)
{
    return evaluateWithRegex(R"(^-?\d+$)", text);
}

bool QXRegex::validateGeneralNumbersDecimalSepartorByDot(std::string_view text)
{
    return evaluateWithRegex(R"(^(-?\d+)(\.\d+)?$)", text);
}

bool QXRegex::validateGeneralNumbersDecimalSepartorByComma(std::string_view text)
{
    return evaluateWithRegex(R"(^(-?\d+)(,\d+)?$)", text);
}

bool QXRegex::validatePercentNumbersDecimalSepartorByDot(std::string_view text)
{
    return evaluateWithRegex(R"(^(-?\d+)(\.\d+)?[%])", text);
}

bool QXRegex::validatePercentNumbersDecimalSepartorByComma(std::string_view text)
{
    return evaluateWithRegex(R"(^(-?\d+)(,\d+)?[%])", text);
}

bool QXRegex::validateNumbersWithThousandSepartorByComma(std::string_view text)
{
    return evaluateWithRegex(R"(^-?\d{1,3}(,\d{3})+(\.\d+)?$)", text);
}

bool QXRegex::validateNumbersWithThousandSepartorByDot(std::string_view text)
{
    return evaluateWithRegex(R"(^-?\d{1,3}(\.\d{3})+(,\d+)?$)", text);
}

bool QXRegex::validateMail(std::string_view text)
{
    return evaluateWithRegex(R"(^\w+([-+.]\w+)*@\w+([-.]\w+)*\.\w+([-.]\w+)*$)", text);
}

bool QXRegex::validateChinese(std::string_view text)
{
    return evaluateWithRegex(R"([\u4e00-\u9fa5]+)", text);
}

bool QXRegex::validateCurrencyNumberSBNSC(std::string_view text,
                                          const std::vector<std::string>& supportSymbols)
{
    return evaluateWithRegex(
        currencyPattern(R"(^-?[%@][ ]*\d{1,3}(,\d{3})*(\.\d+)?$)", supportSymbols), text);
}

bool QXRegex::validateCurrencyNumberSBNSD(std::string_view text,
                                          const std::vector<std::string>& supportSymbols)
{
    return evaluateWithRegex(
        currencyPattern(R"(^-?[%@][ ]*\d{1,3}(\.\d{3})*(,\d+)?$)", supportSymbols), text);
}

bool QXRegex::validateCurrencyNumberSANSC(std::string_view text,
                                          const std::vector<std::string>& supportSymbols)
{
    return evaluateWithRegex(
        currencyPattern(R"(^-?\d{1,3}(,\d{3})*(\.\d+)?[ ]*[%@]$)", supportSymbols), text);
}

bool QXRegex::validateCurrencyNumberSANSD(std::string_view text,
                                          const std::vector<std::string>& supportSymbols)
{
    return evaluateWithRegex(
        currencyPattern(R"(^-?\d{1,3}(\.\d{3})*(,\d+)?[ ]*[%@]$)", supportSymbols), text);
}

std::string QXRegex::currencySymbols(const std::vector<std::string>& symbols)
{
    if (symbols.empty())
        return "$";
    std::string joined;
    for (const std::string& symbol : symbols)
        joined += symbol;
    return joined;
}

// --- Language ----------------------------------------------------------------------

std::string QXRegex::LanguageForString(std::string_view text)
{
    if (text.empty())
        return {};
    const std::string sample = prefixUtf16Units(text, kLanguageSampleUnits);

    // Count the letters of each script (ideographs, kana and hangul
    // weighted); kana marks Japanese, whose texts mix kana and ideographs.
    std::map<UScriptCode, int> scripts;
    int letters = 0;
    bool asciiOnly = true;
    size_t i = 0;
    while (i < sample.size()) {
        const char32_t c = nextCodePoint(sample, i);
        UErrorCode status = U_ZERO_ERROR;
        UScriptCode script = uscript_getScript(static_cast<UChar32>(c), &status);
        if (U_FAILURE(status) || script == USCRIPT_COMMON || script == USCRIPT_INHERITED ||
            script == USCRIPT_UNKNOWN)
            continue;
        if (script == USCRIPT_KATAKANA || script == USCRIPT_HIRAGANA)
            script = USCRIPT_KATAKANA_OR_HIRAGANA;
        const bool syllabic = script == USCRIPT_HAN || script == USCRIPT_KATAKANA_OR_HIRAGANA ||
                              script == USCRIPT_HANGUL;
        scripts[script] += syllabic ? kSyllabicWeight : 1;
        ++letters;
        if (c >= 0x80)
            asciiOnly = false;
    }
    if (letters == 0)
        return {};
    if (scripts.count(USCRIPT_KATAKANA_OR_HIRAGANA) != 0) {
        scripts[USCRIPT_KATAKANA_OR_HIRAGANA] += scripts[USCRIPT_HAN];
        scripts.erase(USCRIPT_HAN);
    }
    const auto dominant = std::max_element(
        scripts.begin(), scripts.end(), [](const auto& a, const auto& b) { return a.second < b.second; });

    switch (dominant->first) {
    case USCRIPT_HAN:
        return chineseVariant(icu::UnicodeString::fromUTF8(sample));
    case USCRIPT_KATAKANA_OR_HIRAGANA:
        return "ja";
    case USCRIPT_HANGUL:
        return "ko";
    case USCRIPT_LATIN: {
        if (letters >= kMinLettersForNgrams) {
            std::string lower;
            icu::UnicodeString::fromUTF8(sample).toLower(icu::Locale::getRoot()).toUTF8String(lower);
            std::string language = LatinLanguageModels::shared().classify(lower);
            if (!language.empty())
                return language;
        }
        // Latin letters without any accent are, of the languages written in
        // them, most likely English.
        return asciiOnly ? "en" : std::string();
    }
    default:
        return languageOfScript(dominant->first);
    }
}

bool QXRegex::IsLanguageForString_English(std::string_view text)
{
    return LanguageForString(text) == "en";
}

bool QXRegex::IsLanguageForString_Chinese(std::string_view text)
{
    const std::string language = LanguageForString(text);
    return language == "zh-Hans" || language == "zh-Hant";
}

bool QXRegex::IsLanguageForString_Chinese_Simplified(std::string_view text)
{
    return LanguageForString(text) == "zh-Hans";
}

bool QXRegex::IsLanguageForString_Chinese_Traditional(std::string_view text)
{
    return LanguageForString(text) == "zh-Hant";
}

} // namespace rz
