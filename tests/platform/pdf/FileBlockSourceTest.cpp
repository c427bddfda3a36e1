// The block-cached file source behaves as qpdf's own in-memory source on the
// same bytes: reads, seeks, unreads and end-of-line searches, across block
// boundaries and at both ends of the file.
#include "platform/pdf/FileBlockSource.h"
#include "tests/support/PdfWriter.h"

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

using rz::pdf::FileBlockSource;

namespace {

// Bytes with runs of CR and LF placed on and around block edges.
std::string fixtureBytes()
{
    const size_t block = FileBlockSource::kBlockSize;
    std::string bytes(3 * block + 123, 'x');
    for (size_t i = 0; i < bytes.size(); i += 97)
        bytes[i] = 'a' + char(i % 26);
    for (const size_t at : {size_t{0}, block - 1, block, 2 * block - 2, 2 * block + 5, bytes.size() - 1})
        bytes[at] = '\n';
    bytes[block - 2] = '\r';          // "\r\n" straddling the first edge, then "\n" at the edge
    bytes[2 * block - 1] = '\r';      // "\n\r" ending on the second edge
    bytes[500] = '\r';
    bytes[501] = '\r';
    bytes[502] = '\n';
    return bytes;
}

} // namespace

TEST(FileBlockSource, BehavesAsQpdfsBufferSource)
{
    const std::string bytes = fixtureBytes();
    const std::string path = rz::test::writeTempFile(bytes, "blocks.bin");
    FileBlockSource file(path);
    Buffer buffer(reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())), bytes.size());
    BufferInputSource reference("reference", &buffer);

    std::mt19937 random(7);
    const long long size = static_cast<long long>(bytes.size());
    for (int step = 0; step < 4000; ++step) {
        const int op = int(random() % 6);
        if (op == 0) {
            const long long to = static_cast<long long>(random() % (bytes.size() + 10));
            file.seek(to, SEEK_SET);
            reference.seek(to, SEEK_SET);
        } else if (op == 1) {
            const long long back = static_cast<long long>(random() % 40);
            file.seek(-back, SEEK_END);
            reference.seek(-back, SEEK_END);
        } else if (op == 2) {
            const size_t n = random() % 3 == 0 ? random() % (3 * FileBlockSource::kBlockSize) : random() % 64;
            std::string a(n, '\0'), b(n, '\0');
            ASSERT_EQ(file.read(a.data(), n), reference.read(b.data(), n)) << "step " << step;
            ASSERT_EQ(a, b) << "step " << step;
        } else if (op == 3) {
            ASSERT_EQ(file.findAndSkipNextEOL(), reference.findAndSkipNextEOL()) << "step " << step;
        } else if (op == 4) {
            file.unreadCh('x');
            reference.unreadCh('x');
        } else {
            ASSERT_EQ(file.readLine(80), reference.readLine(80)) << "step " << step;
        }
        ASSERT_EQ(file.tell(), reference.tell()) << "step " << step << " op " << op;
        ASSERT_EQ(file.getLastOffset(), reference.getLastOffset()) << "step " << step << " op " << op;
        ASSERT_LE(file.tell(), size + 10);
    }
    EXPECT_THROW(file.seek(-1, SEEK_SET), std::runtime_error);
}

TEST(FileBlockSource, MissingFileThrows)
{
    EXPECT_THROW(FileBlockSource("/nonexistent/file.pdf"), std::exception);
}
