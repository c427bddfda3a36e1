#include "PdfTestUtil.h"

#include "platform/pdf/StreamDecoder.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <filesystem>
#include <fstream>

using namespace rz;
using namespace rz::pdf;
using rz::pdftest::parseObject;

namespace {

StreamData decode(const std::string& raw, const std::string& dict, size_t limit = kMaxDecodedStreamSize)
{
    return decodeStreamData(raw, parseObject(dict), limit);
}

std::string hex(const std::string& bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        out.push_back(digits[(static_cast<unsigned char>(c) >> 4) & 15]);
        out.push_back(digits[static_cast<unsigned char>(c) & 15]);
    }
    return out;
}

} // namespace

TEST(PdfStreamDecoder, GeneralFiltersAndAbbreviations)
{
    struct Case {
        const char* name;
        std::string raw;
        std::string dict;
        std::string expect;
    } cases[] = {
        {"hex", "48 65\n6c6C6f>", "<< /Filter /ASCIIHexDecode >>", "Hello"},
        {"hex odd digit", "414>", "<< /Filter /AHx >>", "A@"},
        {"ascii85", "87cURD]i,\"Ebo7~>", "<< /Filter /ASCII85Decode >>", "Hello World"},
        {"ascii85 zeros", "z!!~>", "<< /Filter /A85 >>", std::string("\0\0\0\0\0", 5)},
        {"run length", "\x02" "abc\xFDx\x80zz", "<< /Filter /RunLengthDecode >>", "abcxxxx"},
        // The example of the LZW description: 45 45 45 45 45 65 45 45 45 66.
        {"lzw", "\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01", "<< /Filter /LZWDecode >>",
         "\x2D\x2D\x2D\x2D\x2D\x41\x2D\x2D\x2D\x42"},
        {"flate", test::flateCompress("content bytes"), "<< /Filter /Fl >>", "content bytes"},
        {"inline keys", "61 62>", "<< /F /AHx >>", "ab"},
        {"chain", "789c4b4c4a0600024d0127>", "<< /Filter [/AHx /FlateDecode] >>", "abc"},
        {"crypt is transparent", "616263>", "<< /Filter [/Crypt /AHx] /DecodeParms [<< /Name /Identity >> null] >>", "abc"},
        {"no filter", "plain", "<< /Length 5 >>", "plain"},
    };
    for (const Case& c : cases) {
        const StreamData d = decode(c.raw, c.dict);
        EXPECT_EQ(hex(d.bytes), hex(c.expect)) << c.name;
        EXPECT_TRUE(d.complete) << c.name;
        EXPECT_EQ(d.format, StreamFormat::Raw) << c.name;
    }
}

TEST(PdfStreamDecoder, Predictors)
{
    // Two rows of three RGB-less bytes, PNG "Up" and "Sub" rows.
    const std::string png = std::string("\x01\x01\x01\x01", 4) + std::string("\x02\x01\x01\x01", 4);
    StreamData d = decode(test::flateCompress(png),
                          "<< /Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 3 >> >>");
    EXPECT_EQ(hex(d.bytes), "010203020304");
    EXPECT_TRUE(d.complete);
    // TIFF predictor, 2 colours of 8 bits.
    d = decode(test::flateCompress(std::string("\x10\x20\x01\x02", 4)),
               "<< /Filter /FlateDecode /DecodeParms << /Predictor 2 /Colors 2 /Columns 2 >> >>");
    EXPECT_EQ(hex(d.bytes), "10201122");
    // Parameters out of range fail the data instead of passing it on undone.
    d = decode(test::flateCompress(png), "<< /Filter /FlateDecode /DecodeParms << /Predictor 12 /BitsPerComponent 3 >> >>");
    EXPECT_TRUE(d.bytes.empty());
    EXPECT_FALSE(d.complete);
}

TEST(PdfStreamDecoder, ImageCodecsAtTheEndAreLeftEncoded)
{
    const std::string jpeg = "\xFF\xD8\xFF\xE0 not really a JPEG \xFF\xD9";
    StreamData d = decode(test::flateCompress(jpeg), "<< /Filter [/FlateDecode /DCTDecode] >>");
    EXPECT_EQ(d.format, StreamFormat::JPEGEncoded);
    EXPECT_EQ(d.bytes, jpeg);
    EXPECT_EQ(static_cast<unsigned char>(d.bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(d.bytes[1]), 0xD8);
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(streamFormat(parseObject("<< /Filter [/FlateDecode /DCTDecode] >>")), StreamFormat::JPEGEncoded);

    d = decode("jp2 data", "<< /Filter /JPXDecode >>");
    EXPECT_EQ(d.format, StreamFormat::JPEG2000);
    EXPECT_EQ(d.bytes, "jp2 data");
}

TEST(PdfStreamDecoder, UndecodableChainsAreNeverPassedOnAsDecoded)
{
    for (const char* dict : {"<< /Filter /FooDecode >>", "<< /Filter [/JPXDecode /FlateDecode] >>",
                             "<< /Filter [/AHx 5] >>", "<< /Filter (AHx) >>"}) {
        const StreamData d = decode("616263>", dict);
        EXPECT_TRUE(d.bytes.empty()) << dict;
        EXPECT_FALSE(d.complete) << dict;
    }
}

TEST(PdfStreamDecoder, DamageKeepsWhatDecodedBeforeIt)
{
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "line " + std::to_string(i) + "\n";
    const std::string z = test::flateCompress(text);
    StreamData d = decode(z.substr(0, z.size() / 2), "<< /Filter /FlateDecode >>");
    EXPECT_FALSE(d.complete);
    ASSERT_GT(d.bytes.size(), 100u);
    EXPECT_EQ(d.bytes, text.substr(0, d.bytes.size()));

    std::string corrupt = z;
    corrupt[z.size() / 2] ^= 0x55;
    corrupt[z.size() / 2 + 1] ^= 0x55;
    d = decode(corrupt, "<< /Filter /FlateDecode >>");
    EXPECT_FALSE(d.complete);
    EXPECT_LT(d.bytes.size(), text.size() + 1);

    d = decode("4142xx4344>", "<< /Filter /ASCIIHexDecode >>");
    EXPECT_EQ(d.bytes, "AB");
    EXPECT_FALSE(d.complete);

    // A flate stream without the zlib header is read as bare deflate.
    d = decode(z.substr(2), "<< /Filter /FlateDecode >>");
    EXPECT_EQ(d.bytes.substr(0, 20), text.substr(0, 20));
}

TEST(PdfStreamDecoder, DecodedSizeIsCapped)
{
    const std::string zeros(1 << 20, '\0');
    StreamData d = decode(test::flateCompress(zeros), "<< /Filter /FlateDecode >>", 1000);
    EXPECT_EQ(d.bytes.size(), 1000u);
    EXPECT_FALSE(d.complete);
    std::string runs;
    for (int i = 0; i < 20; ++i)
        runs += "\x81" "A"; // 128 x "A" each
    d = decode(runs + "\x80", "<< /Filter /RunLengthDecode >>", 1000);
    EXPECT_EQ(d.bytes.size(), 1000u);
    EXPECT_FALSE(d.complete);
    // Fax rows beyond the limit are not decoded.
    d = decode("", "<< /Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns 8000 /Rows 100000000 >> >>", 1000);
    EXPECT_LE(d.bytes.size(), 1000u);
    EXPECT_FALSE(d.complete);
}

namespace {

// A bilevel test picture (1 = black, as TIFF writes minimum-is-white data).
std::vector<std::string> picture(int width, int height)
{
    std::vector<std::string> rows;
    const size_t rowBytes = size_t(width + 7) / 8;
    for (int y = 0; y < height; ++y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const bool black = (x / 5 + y / 3) % 3 == 0 || x == y || (x > 40 && y % 7 == 1);
            if (black)
                row[size_t(x / 8)] = char(row[size_t(x / 8)] | (0x80 >> (x % 8)));
        }
        rows.push_back(row);
    }
    return rows;
}

// Encodes the picture with libtiff's fax encoder and returns the strip.
std::string faxEncode(const std::vector<std::string>& rows, int width, uint16_t compression,
                      uint32_t options, int faxMode)
{
    const std::string path = test::makeTempDir() + "/fax.tif";
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t)
        return {};
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(rows.size()));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(rows.size()));
    if (compression == COMPRESSION_CCITTFAX3)
        TIFFSetField(t, TIFFTAG_GROUP3OPTIONS, options);
    if (faxMode >= 0)
        TIFFSetField(t, TIFFTAG_FAXMODE, faxMode);
    for (size_t y = 0; y < rows.size(); ++y) {
        std::string row = rows[y];
        TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
    }
    TIFFClose(t);
    t = TIFFOpen(path.c_str(), "r");
    if (!t)
        return {};
    uint64_t* counts = nullptr;
    TIFFGetField(t, TIFFTAG_STRIPBYTECOUNTS, &counts);
    std::string strip(static_cast<size_t>(counts[0]), char(0));
    TIFFReadRawStrip(t, 0, strip.data(), tmsize_t(strip.size()));
    TIFFClose(t);
    return strip;
}

// The rows with the bits past the last column cleared (their value is not
// part of the image).
std::string withoutPadding(std::string bytes, int width)
{
    const size_t rowBytes = size_t(width + 7) / 8;
    const unsigned char mask = static_cast<unsigned char>(0xFF << ((8 - width % 8) % 8));
    for (size_t i = rowBytes - 1; i < bytes.size(); i += rowBytes)
        bytes[i] = char(static_cast<unsigned char>(bytes[i]) & mask);
    return bytes;
}

} // namespace

TEST(PdfStreamDecoder, CCITTFaxVariants)
{
    const int width = 67, height = 23;
    const auto rows = picture(width, height);
    std::string black1, black0;
    for (const std::string& r : rows) {
        black1 += r;
        for (const char c : r)
            black0.push_back(char(~c));
    }
    struct Case {
        const char* name;
        uint16_t compression;
        uint32_t options;
        int faxMode;
        std::string params;
    } cases[] = {
        {"G4", COMPRESSION_CCITTFAX4, 0, -1, "/K -1"},
        {"G3 1-D", COMPRESSION_CCITTFAX3, 0, -1, "/K 0 /EndOfLine true"},
        {"G3 2-D", COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING, -1, "/K 4 /EndOfLine true"},
        {"G3 aligned", COMPRESSION_CCITTFAX3, GROUP3OPT_FILLBITS, -1, "/K 0 /EndOfLine true /EncodedByteAlign true"},
        {"G4 aligned", COMPRESSION_CCITTFAX4, 0, FAXMODE_BYTEALIGN, "/K -1 /EncodedByteAlign true"},
        {"MH rows", COMPRESSION_CCITTRLE, 0, FAXMODE_NORTC | FAXMODE_NOEOL, "/K 0"},
    };
    for (const Case& c : cases) {
        const std::string strip = faxEncode(rows, width, c.compression, c.options, c.faxMode);
        ASSERT_FALSE(strip.empty()) << c.name;
        const std::string base = "/Columns " + std::to_string(width) + " " + c.params;
        // Rows given in the parameters; black as 0 by default.
        StreamData d = decode(strip, "<< /Filter /CCITTFaxDecode /DecodeParms << " + base + " /Rows " +
                                         std::to_string(height) + " >> >>");
        EXPECT_TRUE(d.complete) << c.name;
        EXPECT_EQ(hex(withoutPadding(d.bytes, width)), hex(withoutPadding(black0, width))) << c.name;
        // Rows from the image height; BlackIs1; the abbreviated inline form.
        d = decode(strip, "<< /F /CCF /DP << " + base + " /BlackIs1 true >> /H " + std::to_string(height) + " >>");
        EXPECT_EQ(hex(withoutPadding(d.bytes, width)), hex(withoutPadding(black1, width))) << c.name;
    }
    // Damaged data (extension codes no encoder writes): what decoded before
    // the damage, never more rows than asked.
    const std::string g4 = faxEncode(rows, width, COMPRESSION_CCITTFAX4, 0, -1);
    std::string bad = g4.substr(0, g4.size() / 2) + std::string(8, '\x02');
    const StreamData d = decode(bad, "<< /Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns 67 /Rows 23 >> >>");
    EXPECT_LE(d.bytes.size(), black0.size());
    EXPECT_FALSE(d.complete);
    EXPECT_EQ(withoutPadding(d.bytes, width).substr(0, 9 * 3), withoutPadding(black0, width).substr(0, 9 * 3));
}

TEST(PdfStreamDecoder, JBIG2FromTheCorpusWithGlobals)
{
    const std::string dir = test::corpusDir();
    if (dir.empty())
        GTEST_SKIP() << "no corpus";
    const auto doc = Document::open(dir + "/tables/tabula/jpeg2000.pdf");
    ASSERT_TRUE(doc);
    const Object xobjects = doc->page(1).resources().get("XObject");
    Object image;
    for (const std::string& key : xobjects.keys())
        if (xobjects.get(key).get("Filter").unparse().find("JBIG2") != std::string::npos)
            image = xobjects.get(key);
    ASSERT_TRUE(image.isStream());
    const long long w = image.get("Width").integer().value_or(0);
    const long long h = image.get("Height").integer().value_or(0);
    ASSERT_EQ(w, 2552);
    const StreamData d = image.streamData();
    EXPECT_TRUE(d.complete);
    EXPECT_EQ(d.format, StreamFormat::Raw);
    ASSERT_EQ(d.bytes.size(), size_t((w + 7) / 8 * h));

    // The same bits as poppler's extraction (a PBM marks black with 1).
    const std::string out = test::makeTempDir() + "/img";
    ASSERT_EQ(test::runCommand("pdfimages -f 1 -l 1 '" + dir + "/tables/tabula/jpeg2000.pdf' '" + out + "'"), 0);
    std::ifstream pbm(out + "-000.pbm", std::ios::binary);
    std::string header, dims;
    std::getline(pbm, header);
    std::getline(pbm, dims);
    ASSERT_EQ(header, "P4");
    const std::string bits((std::istreambuf_iterator<char>(pbm)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bits.size(), d.bytes.size());
    // pdfimages writes the decoded samples (0 = black) as they are.
    size_t differing = 0, black = 0;
    for (size_t i = 0; i < bits.size(); ++i) {
        differing += bits[i] != d.bytes[i];
        black += d.bytes[i] != '\xFF';
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(black, 1000u); // a page of text, not a blank
}

TEST(PdfStreamDecoder, JBIG2GlobalsThatPointAtThemselvesEnd)
{
    test::PdfWriter w;
    const int g = w.reserve();
    w.setStream(g, "/Filter /JBIG2Decode /DecodeParms << /JBIG2Globals " + std::to_string(g) + " 0 R >>", "junk");
    const int img = w.addStream("/Subtype /Image /Width 8 /Height 8 /Filter /JBIG2Decode /DecodeParms << /JBIG2Globals " +
                                    std::to_string(g) + " 0 R >>",
                                "more junk");
    const int catalog = w.add("<< /Type /Catalog /Pages 99 0 R /Img " + std::to_string(img) + " 0 R >>");
    const auto doc = Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    const StreamData d = doc->catalog().get("Img").streamData();
    EXPECT_FALSE(d.complete);
}
