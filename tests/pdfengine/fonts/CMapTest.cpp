#include "pdfengine/fonts/QXPDFCMapTokenizer.h"
#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"
#include "pdfengine/fonts/QXPDFCodeToCIDMap.h"
#include "pdfengine/fonts/QXPDFMapTool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rz;

namespace {

// The units a map gives for a code, with a 16-unit buffer as fonts use.
std::vector<uint32_t> unitsOf(const QXPDFCharCodeToUnicode& map, uint32_t code, int capacity = 16)
{
    uint32_t u[16] = {};
    const int n = map.mapToUnicode(code, u, capacity);
    return std::vector<uint32_t>(u, u + n);
}

std::string toUnicodeCMap(const std::string& body)
{
    return "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
           "1 begincodespacerange <0000> <FFFF> endcodespacerange\n" +
           body + "\nendcmap CMapName currentdict /CMap defineresource pop end end\n";
}

struct CIDResult {
    uint32_t cid;
    uint32_t code;
    int nUsed;
};

CIDResult cidOf(const QXPDFCodeToCIDMap& map, const std::string& bytes)
{
    CIDResult r{};
    r.cid = map.getCID(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), r.code,
                       r.nUsed);
    return r;
}

} // namespace

TEST(CMapTokenizer, TokensAndComments)
{
    const std::string text = "/WMode 1 def % a comment <00> (no)\n"
                             "<00 4\n1> (a\\)b) [<01>] beginbfchar{x}";
    QXPDFCMapTokenizer tokenizer(text);
    std::vector<std::string> tokens;
    std::string token;
    while (tokenizer.getToken(token))
        tokens.push_back(token);
    const std::vector<std::string> expected = {"/WMode", "1",   "def", "<0041>", "(a\\)b)", "[",
                                               "<01>",   "]",   "beginbfchar", "{x", "}"};
    EXPECT_EQ(tokens, expected);

    // A long token keeps size - 1 bytes and the rest of it is dropped.
    QXPDFCMapTokenizer cut("abcdefgh next");
    ASSERT_TRUE(cut.getToken(token, 4));
    EXPECT_EQ(token, "abc");
    ASSERT_TRUE(cut.getToken(token, 4));
    EXPECT_EQ(token, "nex");
    EXPECT_FALSE(cut.getToken(token, 4));
}

TEST(ToUnicode, CharsRangesAndArrays)
{
    const auto map = QXPDFCharCodeToUnicode::parseCMap(
        toUnicodeCMap("2 beginbfchar <0041> <00660069> <0003> <0020> endbfchar\n"
                      "2 beginbfrange <20> <22> <0041>\n"
                      "<0050> <0052> [<0061> <0062>] endbfrange\n"
                      "% 1 beginbfchar <0060> <0039> endbfchar\n"),
        16);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->tag(), "ToUnicode");
    EXPECT_EQ(unitsOf(*map, 0x41), (std::vector<uint32_t>{'f', 'i'}));
    EXPECT_EQ(unitsOf(*map, 0x20), std::vector<uint32_t>{'A'});
    EXPECT_EQ(unitsOf(*map, 0x21), std::vector<uint32_t>{'B'});
    EXPECT_EQ(unitsOf(*map, 0x22), std::vector<uint32_t>{'C'});
    EXPECT_EQ(unitsOf(*map, 0x50), std::vector<uint32_t>{'a'});
    EXPECT_EQ(unitsOf(*map, 0x51), std::vector<uint32_t>{'b'});
    EXPECT_TRUE(unitsOf(*map, 0x52).empty());
    EXPECT_TRUE(unitsOf(*map, 0x60).empty()) << "a commented line maps nothing";
    EXPECT_EQ(map->spaceCIDCode(), 3u);
}

TEST(ToUnicode, SeveralUnitsUpToCapacity)
{
    const auto map = QXPDFCharCodeToUnicode::parseCMap(
        toUnicodeCMap("2 beginbfchar <0001> <006600660069> <0002> <D83DDE00> endbfchar\n"
                      "1 beginbfrange <0010> <0011> <00660066> endbfrange"),
        16);
    EXPECT_EQ(unitsOf(*map, 1), (std::vector<uint32_t>{'f', 'f', 'i'}));
    EXPECT_EQ(unitsOf(*map, 1, 2), (std::vector<uint32_t>{'f', 'f'}));
    EXPECT_EQ(unitsOf(*map, 2), (std::vector<uint32_t>{0xD83D, 0xDE00}));
    // A range adds its offset to the last unit.
    EXPECT_EQ(unitsOf(*map, 0x11), (std::vector<uint32_t>{'f', 'g'}));
    uint32_t none[1];
    EXPECT_EQ(map->mapToUnicode(1, none, 0), 0);
}

TEST(ToUnicode, CodeLimitsByBits)
{
    const std::string text = toUnicodeCMap("2 beginbfchar <0100> <0058> <41> <0059> endbfchar");
    const auto eight = QXPDFCharCodeToUnicode::parseCMap(text, 8);
    EXPECT_TRUE(unitsOf(*eight, 0x100).empty());
    EXPECT_EQ(unitsOf(*eight, 0x41), std::vector<uint32_t>{'Y'});
    const auto sixteen = QXPDFCharCodeToUnicode::parseCMap(text, 16);
    EXPECT_EQ(unitsOf(*sixteen, 0x100), std::vector<uint32_t>{'X'});
    // Codes above 16 bits are kept too when the map takes 32-bit codes.
    const auto wide = QXPDFCharCodeToUnicode::parseCMap(
        toUnicodeCMap("1 beginbfchar <00012345> <0041> endbfchar"), 32);
    EXPECT_EQ(unitsOf(*wide, 0x12345), std::vector<uint32_t>{'A'});
    EXPECT_EQ(wide->mapLen(), 0x10000u);
}

TEST(ToUnicode, BinaryBytesDoNotEndTheText)
{
    std::string text = toUnicodeCMap("1 beginbfchar <0041> <0061> endbfchar\n");
    text.insert(text.find("1 beginbfchar"), std::string("\0\xff\xfe junk \x80\n", 12));
    text += std::string("\0", 1) + "1 beginbfchar <0042> <0062> endbfchar\n";
    const auto map = QXPDFCharCodeToUnicode::parseCMap(text, 16);
    EXPECT_EQ(unitsOf(*map, 0x41), std::vector<uint32_t>{'a'});
    EXPECT_EQ(unitsOf(*map, 0x42), std::vector<uint32_t>{'b'});
}

TEST(ToUnicode, LaterMappingsReplaceEarlierOnes)
{
    const auto map = QXPDFCharCodeToUnicode::parseCMap(
        toUnicodeCMap("3 beginbfchar <0001> <00660069> <0001> <0066006C> <0002> <00660069>\n"
                      "endbfchar 1 beginbfchar <0002> <0041> endbfchar"),
        16);
    EXPECT_EQ(unitsOf(*map, 1), (std::vector<uint32_t>{'f', 'l'}));
    EXPECT_EQ(unitsOf(*map, 2), std::vector<uint32_t>{'A'});
}

TEST(ToUnicode, HostileRangesStayBounded)
{
    // Whole 32-bit ranges, repeated: the parse ends with bounded work and memory.
    std::string body;
    for (int i = 0; i < 4; ++i)
        body += "1 beginbfrange <00000000> <FFFFFFFF> <00410042> endbfrange\n";
    const auto map = QXPDFCharCodeToUnicode::parseCMap(toUnicodeCMap(body), 32);
    ASSERT_TRUE(map);
    EXPECT_EQ(unitsOf(*map, 0), (std::vector<uint32_t>{'A', 'B'}));
    EXPECT_LE(map->mapLen(), 0x10000u);
    // Malformed entries are skipped, not fatal.
    const auto odd = QXPDFCharCodeToUnicode::parseCMap(
        "beginbfchar <zz> <0041> <0042> endbfchar beginbfrange <10> <01> <0041> "
        "<0043> endbfrange beginbfchar <0044>",
        16);
    EXPECT_TRUE(unitsOf(*odd, 0x10).empty());
    EXPECT_TRUE(unitsOf(*odd, 0x44).empty());
}

TEST(ToUnicode, CodesPastTheSetOnesMapToNothing)
{
    // Only a low and a high code are set: everything between maps to
    // nothing, and the space is found at the high one.
    const auto map = QXPDFCharCodeToUnicode::parseCMap(
        toUnicodeCMap("2 beginbfchar <0003> <0041> <FFFE> <0020> endbfchar"), 16);
    EXPECT_EQ(map->mapLen(), 0x10000u);
    EXPECT_EQ(unitsOf(*map, 3), std::vector<uint32_t>{'A'});
    EXPECT_EQ(unitsOf(*map, 0xFFFE), std::vector<uint32_t>{' '});
    EXPECT_TRUE(unitsOf(*map, 0x8000).empty());
    EXPECT_TRUE(unitsOf(*map, 0xFFFF).empty());
    EXPECT_EQ(map->spaceCIDCode(), 0xFFFEu);

    // A map of 256 codes grows to the block of a code set past its end.
    std::vector<uint32_t> table(256, 0);
    table['a'] = 'a';
    const auto small = QXPDFCharCodeToUnicode::make8BitToUnicode(table.data());
    EXPECT_EQ(small->mapLen(), 256u);
    const uint32_t x = 'x';
    small->setMapping(0x1234, &x, 1);
    EXPECT_EQ(small->mapLen(), 0x1300u);
    EXPECT_EQ(unitsOf(*small, 0x1234), std::vector<uint32_t>{'x'});
    EXPECT_EQ(unitsOf(*small, 'a'), std::vector<uint32_t>{'a'});
    EXPECT_TRUE(unitsOf(*small, 0x1000).empty());
}

TEST(ToUnicode, CIDAndUnicodeFiles)
{
    const auto cids = QXPDFCharCodeToUnicode::parseCIDToUnicode("0000\n0020\r\n0041\rzz\n3042\n",
                                                                "Adobe-Test");
    EXPECT_EQ(cids->tag(), "Adobe-Test");
    EXPECT_EQ(unitsOf(*cids, 1), std::vector<uint32_t>{0x20});
    EXPECT_EQ(unitsOf(*cids, 2), std::vector<uint32_t>{0x41});
    EXPECT_TRUE(unitsOf(*cids, 3).empty());
    EXPECT_EQ(unitsOf(*cids, 4), std::vector<uint32_t>{0x3042});

    const auto unicode = QXPDFCharCodeToUnicode::parseUnicodeToUnicode(
        "FB01 0066 0069\n0041 0061\n", "UnicodeToUnicode");
    EXPECT_EQ(unitsOf(*unicode, 0xFB01), (std::vector<uint32_t>{'f', 'i'}));
    EXPECT_EQ(unitsOf(*unicode, 0x41), std::vector<uint32_t>{'a'});
}

TEST(CodeToCIDMap, IdentityMaps)
{
    QXPDFCodeToCIDMapCache cache;
    const auto h = QXPDFCodeToCIDMap::parse(&cache, "Adobe-Identity-0", "Identity-H", std::nullopt);
    ASSERT_TRUE(h);
    EXPECT_TRUE(h->isIdentity());
    EXPECT_EQ(h->wMode(), 0);
    CIDResult r = cidOf(*h, std::string("\x00\x41", 2));
    EXPECT_EQ(r.cid, 0x41u);
    EXPECT_EQ(r.nUsed, 2);
    r = cidOf(*h, "\x41");
    EXPECT_EQ(r.cid, 0u);
    EXPECT_EQ(r.code, 0x41u);
    EXPECT_EQ(r.nUsed, 1);

    const auto v = QXPDFCodeToCIDMap::parse(&cache, "Adobe-Identity-0", "Identity-V", std::nullopt);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->wMode(), 1);
    EXPECT_FALSE(QXPDFCodeToCIDMap::parse(&cache, "Adobe-Identity-0", "No-Such-CMap", std::nullopt));
    // Names that would leave the resource folders are refused.
    EXPECT_FALSE(QXPDFMapTool::FindCMapFile("", "../../../../etc/passwd"));
    EXPECT_FALSE(QXPDFMapTool::FindCMapFile("", "Adobe-Japan1/90ms-RKSJ-H"));
}

TEST(CodeToCIDMap, CodeSpacesAndRanges)
{
    const std::string text = "/CIDInit /ProcSet findresource begin begincmap /WMode 1 def\n"
                             "1 begincodespacerange <8140> <9FFC> endcodespacerange\n"
                             "2 begincidrange <8140> <817E> 633 <20> <7E> 1 endcidrange\n"
                             "1 begincidchar <8150> 9000 endcidchar\n"
                             "1 begincidrange <9140> <927E> 100 endcidrange\nendcmap";
    QXPDFCodeToCIDMapCache cache;
    const auto map = QXPDFCodeToCIDMap::parse(&cache, "Adobe-Japan1-6", "Test-H", text);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->wMode(), 1);
    struct Case {
        std::string bytes;
        uint32_t cid;
        uint32_t code;
        int nUsed;
    };
    const Case cases[] = {
        {"\x81\x40", 633, 0x8140, 2},
        {"\x81\x42", 635, 0x8142, 2},
        {"\x81\x50", 9000, 0x8150, 2},
        {"\x81\x80", 0, 0x8180, 2},      // in the code space, in no range
        {"\x41", 34, 0x41, 1},           // a one-byte range
        {"\x81", 0, 0x81, 1},            // runs out inside the code space
        {"\x91\x41", 101, 0x9141, 2},
        {"\x92\x40", 100 + 0x100, 0x9240, 2}, // second row of a multi-row range
        {"\x91\xFF", 100 + 0xBF, 0x91FF, 2},
    };
    for (const Case& c : cases) {
        const CIDResult r = cidOf(*map, c.bytes);
        EXPECT_EQ(r.cid, c.cid) << std::hex << c.code;
        EXPECT_EQ(r.code, c.code) << std::hex << c.code;
        EXPECT_EQ(r.nUsed, c.nUsed) << std::hex << c.code;
    }
}

TEST(CodeToCIDMap, UseCMapMergesAndStopsCycles)
{
    QXPDFCodeToCIDMapCache cache;
    // A map that uses itself finds nothing for the usecmap and keeps its own ranges.
    const auto self = QXPDFCodeToCIDMap::parse(
        &cache, "Adobe-Japan1-6", "Loop-H",
        std::string_view("/Loop-H usecmap 1 begincidrange <20> <21> 5 endcidrange"));
    ASSERT_TRUE(self);
    EXPECT_EQ(cidOf(*self, "\x21").cid, 6u);

    // A vertical map over the published horizontal one.
    const auto v = cache.getCMap("Adobe-Japan1-6", "90ms-RKSJ-V");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->wMode(), 1);
    EXPECT_EQ(cidOf(*v, "\x82\xA0").cid, 843u) << "from 90ms-RKSJ-H";
    EXPECT_EQ(cidOf(*v, "\x81\x41").cid, 7887u) << "the vertical comma";
    ASSERT_EQ(cache.cache().size(), 2u);
    EXPECT_TRUE(cache.cache()[0]->isMath("Adobe-Japan1-6", "90ms-RKSJ-H"));
    // A hit moves to the end.
    EXPECT_EQ(cache.getCMap("Adobe-Japan1-6", "90ms-RKSJ-H"), cache.cache().back());
}

TEST(PublishedCMaps, ShiftJISAndUCS2DecodeToUnicode)
{
    const std::optional<std::string> japan = QXPDFMapTool::FindToUnicodeFile("Adobe-Japan1");
    ASSERT_TRUE(japan) << "poppler-data's Adobe-Japan1-UCS2 is missing";
    EXPECT_FALSE(QXPDFMapTool::FindToUnicodeFile("Adobe-Identity"));
    const auto japanUnicode = QXPDFCharCodeToUnicode::parseCMap(*japan, 16);
    EXPECT_EQ(japanUnicode->spaceCIDCode(), 1u);

    QXPDFCodeToCIDMapCache cache;
    const auto sjis = QXPDFCodeToCIDMap::parse(&cache, "Adobe-Japan1-6", "90ms-RKSJ-H", std::nullopt);
    ASSERT_TRUE(sjis);
    const std::string text = "A\x82\xA0\x93\xFA"; // "A", hiragana a, "day"
    const std::u32string expected = U"A\u3042\u65E5";
    size_t pos = 0;
    std::u32string decoded;
    while (pos < text.size()) {
        uint32_t code = 0;
        int used = 0;
        const uint32_t cid = sjis->getCID(reinterpret_cast<const uint8_t*>(text.data()) + pos,
                                          text.size() - pos, code, used);
        ASSERT_GT(used, 0);
        pos += static_cast<size_t>(used);
        uint32_t u[16];
        const int n = japanUnicode->mapToUnicode(cid, u, 16);
        ASSERT_EQ(n, 1) << "cid " << cid;
        decoded.push_back(u[0]);
    }
    EXPECT_EQ(decoded, expected);

    const auto gb = QXPDFCodeToCIDMap::parse(&cache, "Adobe-GB1-5", "UniGB-UCS2-H", std::nullopt);
    ASSERT_TRUE(gb);
    const auto gbUnicode =
        QXPDFCharCodeToUnicode::parseCMap(*QXPDFMapTool::FindToUnicodeFile("Adobe-GB1"), 16);
    const CIDResult zhong = cidOf(*gb, "\x4E\x2D");
    EXPECT_EQ(zhong.cid, 4559u);
    EXPECT_EQ(zhong.nUsed, 2);
    EXPECT_EQ(unitsOf(*gbUnicode, zhong.cid), std::vector<uint32_t>{0x4E2D});
}

TEST(PublishedCMaps, FourByteCodeSpacesShareTheirArrays)
{
    QXPDFCodeToCIDMapCache cache;
    // Its code space <81308130>-<FE39FE39> spans 158760 three-byte prefixes.
    const auto gbk = QXPDFCodeToCIDMap::parse(&cache, "Adobe-GB1-5", "GBK2K-H", std::nullopt);
    ASSERT_TRUE(gbk);
    EXPECT_LT(gbk->vectorsMade(), 4000u);
    const CIDResult r = cidOf(*gbk, "\x81\x30\x84\x36");
    EXPECT_EQ(r.cid, 22354u);
    EXPECT_EQ(r.nUsed, 4);
    const CIDResult unmapped = cidOf(*gbk, "\xFE\x39\xFE\x39");
    EXPECT_EQ(unmapped.nUsed, 4);
}

TEST(PublishedCMaps, PredefinedMapsAreParsedOnceAndHandedOutAsCopies)
{
    const auto first = QXPDFCodeToCIDMap::predefined("Adobe-Japan1", "90ms-RKSJ-H");
    ASSERT_TRUE(first);
    const auto second = QXPDFCodeToCIDMap::predefined("Adobe-Japan1", "90ms-RKSJ-H");
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    QXPDFCodeToCIDMapCache cache;
    const auto parsed = QXPDFCodeToCIDMap::parse(&cache, "Adobe-Japan1", "90ms-RKSJ-H", std::nullopt);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(first->cMapName(), "90ms-RKSJ-H");
    EXPECT_EQ(first->wMode(), parsed->wMode());
    for (const std::string code : {"A", "\x82\xA0", "\x93\xFA", "\xFF"}) {
        const CIDResult a = cidOf(*first, code);
        const CIDResult b = cidOf(*parsed, code);
        EXPECT_EQ(a.cid, b.cid);
        EXPECT_EQ(a.nUsed, b.nUsed);
    }
    // Changing one copy changes neither the other nor the ones made later.
    const uint32_t before = cidOf(*second, "A").cid;
    ASSERT_TRUE(first->addCIDs('A', 'A', 1, 9999));
    EXPECT_EQ(cidOf(*first, "A").cid, 9999u);
    EXPECT_EQ(cidOf(*second, "A").cid, before);
    EXPECT_EQ(cidOf(*QXPDFCodeToCIDMap::predefined("Adobe-Japan1", "90ms-RKSJ-H"), "A").cid, before);

    // Identity maps come without a file; unknown names give nothing.
    const auto identity = QXPDFCodeToCIDMap::predefined("Adobe-Identity", "Identity-V");
    ASSERT_TRUE(identity);
    EXPECT_TRUE(identity->isIdentity());
    EXPECT_EQ(identity->wMode(), 1);
    EXPECT_FALSE(QXPDFCodeToCIDMap::predefined("Adobe-Japan1", "NoSuchCMap"));
    EXPECT_FALSE(QXPDFCodeToCIDMap::predefined("Adobe-Japan1", "../../../etc/passwd"));
}
