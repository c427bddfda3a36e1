// CCITTFaxDecode through libtiff's fax codec: the encoded data is wrapped
// in a one-strip TIFF held in memory, with the compression and options
// that match the filter's parameters, and read back one row at a time.
#include "platform/image/TiffLibrary.h"
#include "platform/pdf/PdfLimits.h"
#include "platform/pdf/StreamFilters.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <vector>

namespace rz::pdf {

namespace {

struct MemoryFile {
    std::string bytes;
    toff_t pos = 0;
};

tsize_t readProc(thandle_t h, tdata_t buf, tsize_t size)
{
    auto* f = static_cast<MemoryFile*>(h);
    if (size <= 0 || f->pos >= f->bytes.size())
        return 0;
    const size_t n = std::min(size_t(size), size_t(f->bytes.size() - f->pos));
    std::memcpy(buf, f->bytes.data() + f->pos, n);
    f->pos += n;
    return tsize_t(n);
}

tsize_t writeProc(thandle_t, tdata_t, tsize_t)
{
    return 0;
}

toff_t seekProc(thandle_t h, toff_t off, int whence)
{
    auto* f = static_cast<MemoryFile*>(h);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = f->pos;
    else if (whence == SEEK_END)
        base = f->bytes.size();
    f->pos = base + off;
    return f->pos;
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t h)
{
    return static_cast<MemoryFile*>(h)->bytes.size();
}

int mapProc(thandle_t, tdata_t*, toff_t*)
{
    return 0;
}

void unmapProc(thandle_t, tdata_t, toff_t) {}

// libtiff's messages are not printed; once the image is open, any of them
// (a bad code word, a row of the wrong length) marks the data as damaged.
struct Diagnostics {
    bool reading = false;
    bool damaged = false;
};

int diagnosticHandler(TIFF*, void* data, const char*, const char*, va_list)
{
    auto* d = static_cast<Diagnostics*>(data);
    if (d->reading)
        d->damaged = true;
    return 1;
}

void put16(std::string& s, uint16_t v)
{
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}

void put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(char((v >> (8 * i)) & 0xFF));
}

// A little-endian TIFF with one IFD and one strip holding `data`.
std::string makeTiff(std::string_view data, uint32_t width, uint32_t height, uint16_t compression,
                     uint32_t options)
{
    struct Entry {
        uint16_t tag, type;
        uint32_t value;
    };
    constexpr uint16_t kShort = 3, kLong = 4;
    std::vector<Entry> entries = {
        {TIFFTAG_IMAGEWIDTH, kLong, width},
        {TIFFTAG_IMAGELENGTH, kLong, height},
        {TIFFTAG_BITSPERSAMPLE, kShort, 1},
        {TIFFTAG_COMPRESSION, kShort, compression},
        {TIFFTAG_PHOTOMETRIC, kShort, PHOTOMETRIC_MINISWHITE},
        {TIFFTAG_STRIPOFFSETS, kLong, 0},
        {TIFFTAG_SAMPLESPERPIXEL, kShort, 1},
        {TIFFTAG_ROWSPERSTRIP, kLong, height},
        {TIFFTAG_STRIPBYTECOUNTS, kLong, uint32_t(data.size())},
    };
    if (compression == COMPRESSION_CCITTFAX3)
        entries.push_back({TIFFTAG_GROUP3OPTIONS, kLong, options});
    else if (compression == COMPRESSION_CCITTFAX4)
        entries.push_back({TIFFTAG_GROUP4OPTIONS, kLong, options});
    const uint32_t ifdSize = uint32_t(2 + entries.size() * 12 + 4);
    const uint32_t dataOffset = 8 + ifdSize;
    for (Entry& e : entries)
        if (e.tag == TIFFTAG_STRIPOFFSETS)
            e.value = dataOffset;

    std::string t = "II";
    put16(t, 42);
    put32(t, 8);
    put16(t, uint16_t(entries.size()));
    for (const Entry& e : entries) {
        put16(t, e.tag);
        put16(t, e.type);
        put32(t, 1);
        if (e.type == kShort) {
            put16(t, uint16_t(e.value));
            put16(t, 0);
        } else {
            put32(t, e.value);
        }
    }
    put32(t, 0);
    t.append(data);
    return t;
}

} // namespace

FilterResult ccittFaxDecode(std::string_view in, const FaxParams& p, size_t limit)
{
    FilterResult r;
    if (p.columns < 1 || p.columns > kMaxFaxColumns || p.rows < 1 || in.size() > UINT32_MAX) {
        r.complete = false;
        return r;
    }
    const size_t rowBytes = (size_t(p.columns) + 7) / 8;
    // Rows beyond the limit are not decoded at all.
    const size_t maxRows = std::max<size_t>(1, limit / rowBytes);
    const size_t rows = std::min(size_t(p.rows), maxRows);
    const bool cut = rows < size_t(p.rows);

    uint16_t compression;
    uint32_t options = 0;
    int faxMode = -1;
    if (p.k < 0) {
        compression = COMPRESSION_CCITTFAX4;
        if (p.encodedByteAlign)
            faxMode = FAXMODE_BYTEALIGN;
    } else if (p.k == 0 && !p.endOfLine) {
        // Modified Huffman rows without EOL codes.
        compression = COMPRESSION_CCITTRLE;
        faxMode = FAXMODE_NORTC | FAXMODE_NOEOL | (p.encodedByteAlign ? FAXMODE_BYTEALIGN : 0);
    } else {
        compression = COMPRESSION_CCITTFAX3;
        options = (p.k > 0 ? GROUP3OPT_2DENCODING : 0) | (p.encodedByteAlign ? GROUP3OPT_FILLBITS : 0);
    }

    if (!tiffLibrary().loaded) {
        r.complete = false;
        return r;
    }
    MemoryFile file;
    file.bytes = makeTiff(in, uint32_t(p.columns), uint32_t(rows), compression, options);
    Diagnostics diagnostics;
    TIFFOpenOptions* opts = tiffLibrary().TIFFOpenOptionsAlloc();
    tiffLibrary().TIFFOpenOptionsSetErrorHandlerExtR(opts, diagnosticHandler, &diagnostics);
    tiffLibrary().TIFFOpenOptionsSetWarningHandlerExtR(opts, diagnosticHandler, &diagnostics);
    tiffLibrary().TIFFOpenOptionsSetMaxSingleMemAlloc(opts, tmsize_t(std::max(limit, kMaxImageRowBytes)));
    TIFF* tif = tiffLibrary().TIFFClientOpenExt("ccitt", "rm", &file, readProc, writeProc, seekProc, closeProc,
                                  sizeProc, mapProc, unmapProc, opts);
    tiffLibrary().TIFFOpenOptionsFree(opts);
    if (!tif) {
        r.complete = false;
        return r;
    }
    if (faxMode >= 0)
        tiffLibrary().TIFFSetField(tif, TIFFTAG_FAXMODE, faxMode);

    diagnostics.reading = true;
    std::vector<unsigned char> row(std::max<size_t>(rowBytes, size_t(tiffLibrary().TIFFScanlineSize(tif))));
    r.bytes.reserve(rowBytes * rows);
    for (size_t y = 0; y < rows; ++y) {
        if (tiffLibrary().TIFFReadScanline(tif, row.data(), uint32_t(y), 0) < 0) {
            r.complete = false;
            break;
        }
        // The codec writes black as 1; PDF's default is black as 0.
        if (!p.blackIs1)
            for (size_t i = 0; i < rowBytes; ++i)
                row[i] = static_cast<unsigned char>(~row[i]);
        r.bytes.append(reinterpret_cast<const char*>(row.data()), rowBytes);
    }
    tiffLibrary().TIFFClose(tif);
    if (cut || diagnostics.damaged)
        r.complete = false;
    return r;
}

} // namespace rz::pdf
