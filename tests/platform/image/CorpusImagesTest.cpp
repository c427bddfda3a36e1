// The decoders on image data of real PDFs, against ImageMagick's reading of
// the same bytes.
#include "platform/image/ImageCodec.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace rz;

TEST(ImageCodec, JpegStreamsOfCorpusFiles)
{
    const std::string corpus = test::corpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    int checked = 0;
    for (const char* name : {"tables/camelot/background_lines_1.pdf", "tables/tabula/argentina_diputados_voting_record.pdf",
                             "layout/pdf2docx/demo-section.pdf"}) {
        SCOPED_TRACE(name);
        auto document = pdf::Document::open(corpus + "/" + name);
        ASSERT_TRUE(document);
        const pdf::Object xobjects = document->page(1).resources().get("XObject");
        for (const std::string& key : xobjects.keys()) {
            const pdf::Object stream = xobjects.get(key);
            if (!stream.isStream() || stream.get("Subtype").name() != "Image")
                continue;
            const pdf::StreamData data = stream.streamData();
            if (data.format != pdf::StreamFormat::JPEGEncoded)
                continue;
            SCOPED_TRACE(key);
            auto samples = decodeJPEG(data.bytes);
            ASSERT_TRUE(samples);
            EXPECT_TRUE(samples->complete);
            EXPECT_EQ(samples->width, stream.get("Width").integer().value_or(-1));
            EXPECT_EQ(samples->height, stream.get("Height").integer().value_or(-1));
            EXPECT_EQ(samples->components, 3);

            const std::string dir = test::makeTempDir();
            const std::string jpeg = test::writeTempFile(data.bytes, "image.jpg");
            ASSERT_EQ(test::runCommand("convert '" + jpeg + "' -strip 'png24:" + dir + "/ref.png' 2>/dev/null"), 0);
            auto reference = readImageFile(dir + "/ref.png");
            auto ours = decodeImage(data.bytes);
            ASSERT_TRUE(reference);
            ASSERT_TRUE(ours);
            ASSERT_EQ(ours->width(), reference->width());
            ASSERT_EQ(ours->height(), reference->height());
            ASSERT_EQ(ours->format(), reference->format());
            long long difference = 0;
            for (int y = 0; y < ours->height(); ++y)
                for (int i = 0; i < ours->width() * 3; ++i)
                    difference += std::abs(int(ours->row(y)[i]) - int(reference->row(y)[i]));
            EXPECT_LE(double(difference) / (double(ours->width()) * ours->height() * 3), 1.0);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 3);
}
