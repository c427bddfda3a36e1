// Media content types come from the file's bytes, and from its extension
// only when the bytes say nothing.
#include "converter/ooxml/MediaContentType.h"

#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using namespace rz;
using namespace std::string_literals;

TEST(MediaContentTypeTest, BytesNameTheType)
{
    struct Case {
        std::string head;
        const char* type;
    };
    const Case cases[] = {
        {"\x89PNG\r\n\x1a\n\0\0\0\rIHDR"s, "image/png"},
        {"\xff\xd8\xff\xe0\0\x10JFIF"s, "image/jpeg"},
        {"GIF89a\x01\0\x01\0"s, "image/gif"},
        {"BM" + std::string(40, '\0'), "image/bmp"},
        {"II*\0\x08\0\0\0"s, "image/tiff"},
        {"MM\0*\0\0\0\x08"s, "image/tiff"},
        {"\0\0\0\x0cjP  \r\n\x87\n"s, "image/jp2"},
        {"\xff\x4f\xff\x51\0\x2f"s, "image/jp2"},
        {"\x01\0\0\0"s + std::string(36, '\0') + " EMF"s, "image/x-emf"},
        {"\xd7\xcd\xc6\x9a\0\0"s, "image/x-wmf"},
        {"\xef\xbb\xbf  <svg xmlns='http://www.w3.org/2000/svg'/>"s, "image/svg+xml"},
        {"<?xml version='1.0'?><svg/>"s, "image/svg+xml"},
        {"<?xml version='1.0'?><html/>"s, ""},
        {"BM"s, ""}, // too short to be a bitmap
        {""s, ""},
        {"plain text"s, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mediaContentTypeOfBytes(c.head), c.type) << c.head;
}

TEST(MediaContentTypeTest, TheExtensionSpeaksOnlyWhenTheBytesDoNot)
{
    const std::string dir = test::makeTempDir();
    const std::string png = dir + "/named.jpg";
    std::ofstream(png, std::ios::binary) << "\x89PNG\r\n\x1a\n rest"s;
    EXPECT_EQ(mediaContentTypeOfFile(png, "jpg"), "image/png");
    const std::string unknown = dir + "/some.gif";
    std::ofstream(unknown, std::ios::binary) << "not an image";
    EXPECT_EQ(mediaContentTypeOfFile(unknown, "gif"), "image/gif");
    EXPECT_EQ(mediaContentTypeOfFile(unknown, "xyz"), "application/octet-stream");
    EXPECT_EQ(mediaContentTypeOfFile(dir + "/missing.tif", "tif"), "image/tiff");
}
