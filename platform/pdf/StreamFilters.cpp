// Decoders of the general-purpose PDF filters: Flate, LZW, ASCIIHex,
// ASCII85, RunLength, the TIFF and PNG predictors, and DCT (through
// qpdf's libjpeg pipeline) when a JPEG is not the last filter of a chain.
#include "platform/pdf/PdfLimits.h"
#include "platform/pdf/StreamFilters.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/Pl_DCT.hh>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace rz::pdf {

namespace {

// Appends to a result, refusing to grow past the limit.
class Output {
public:
    Output(FilterResult& r, size_t limit) : r_(r), limit_(limit) {}

    // False (and the result marked incomplete) when the limit is reached.
    bool append(const char* data, size_t n)
    {
        const size_t room = limit_ - std::min(limit_, r_.bytes.size());
        if (n > room) {
            r_.bytes.append(data, room);
            r_.complete = false;
            return false;
        }
        r_.bytes.append(data, n);
        return true;
    }
    bool push(char c) { return append(&c, 1); }

private:
    FilterResult& r_;
    size_t limit_;
};

bool isPdfSpace(unsigned char c)
{
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

// Inflates with the given window bits; `sawOutput` tells whether anything
// decoded before an error.
FilterResult inflateWith(std::string_view in, int windowBits, size_t limit, bool* failedAtStart)
{
    FilterResult r;
    Output out(r, limit);
    *failedAtStart = false;
    z_stream zs{};
    if (inflateInit2(&zs, windowBits) != Z_OK) {
        r.complete = false;
        return r;
    }
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(std::min<size_t>(in.size(), UINT32_MAX));
    size_t fed = zs.avail_in;
    char buffer[65536];
    for (;;) {
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        const size_t produced = sizeof buffer - zs.avail_out;
        if (produced && !out.append(buffer, produced))
            break;
        if (rc == Z_STREAM_END)
            break;
        if (rc == Z_OK)
            continue;
        if (rc == Z_BUF_ERROR && zs.avail_in == 0 && fed < in.size()) {
            // More than 4 GiB of input: feed the next part.
            const size_t rest = std::min<size_t>(in.size() - fed, UINT32_MAX);
            zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + fed));
            zs.avail_in = static_cast<uInt>(rest);
            fed += rest;
            continue;
        }
        // Truncated data (Z_BUF_ERROR with no input left) or damage.
        r.complete = false;
        *failedAtStart = r.bytes.empty() && zs.total_in <= 2;
        break;
    }
    inflateEnd(&zs);
    return r;
}

// Reads codes of a growing bit width, most significant bit first.
class BitReader {
public:
    explicit BitReader(std::string_view in) : in_(in) {}
    // -1 at the end of the data.
    int read(int bits)
    {
        while (count_ < bits) {
            if (pos_ >= in_.size())
                return -1;
            buffer_ = (buffer_ << 8) | static_cast<unsigned char>(in_[pos_++]);
            count_ += 8;
        }
        count_ -= bits;
        return int((buffer_ >> count_) & ((1u << bits) - 1));
    }

private:
    std::string_view in_;
    size_t pos_ = 0;
    uint32_t buffer_ = 0;
    int count_ = 0;
};

int paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// A pipeline end that collects into a result within the limit.
class CollectPipeline : public Pipeline {
public:
    CollectPipeline(FilterResult& r, size_t limit) : Pipeline("collect", nullptr), out_(r, limit) {}
    void write(unsigned char const* data, size_t len) override
    {
        if (!out_.append(reinterpret_cast<const char*>(data), len))
            throw std::length_error("decoded stream too large");
    }
    void finish() override {}

private:
    Output out_;
};

} // namespace

FilterResult flateDecode(std::string_view in, size_t limit)
{
    bool failedAtStart = false;
    FilterResult r = inflateWith(in, 15, limit, &failedAtStart);
    if (failedAtStart) {
        // Some writers leave out the zlib header: try the bare deflate data.
        bool rawFailed = false;
        FilterResult raw = inflateWith(in, -15, limit, &rawFailed);
        if (!raw.bytes.empty())
            return raw;
    }
    return r;
}

FilterResult lzwDecode(std::string_view in, bool earlyChange, size_t limit)
{
    FilterResult r;
    Output out(r, limit);
    constexpr int kMaxCodes = 4096;
    std::vector<uint16_t> prefix(kMaxCodes), length(kMaxCodes);
    std::vector<unsigned char> suffix(kMaxCodes), first(kMaxCodes);
    for (int i = 0; i < 256; ++i) {
        suffix[size_t(i)] = static_cast<unsigned char>(i);
        first[size_t(i)] = static_cast<unsigned char>(i);
        length[size_t(i)] = 1;
    }
    BitReader bits(in);
    int next = 258;
    int width = 9;
    int previous = -1;
    std::string entry;
    const int early = earlyChange ? 1 : 0;

    auto expand = [&](int code) {
        entry.assign(length[size_t(code)], '\0');
        for (int c = code, i = length[size_t(code)] - 1; i >= 0; --i) {
            entry[size_t(i)] = static_cast<char>(suffix[size_t(c)]);
            c = prefix[size_t(c)];
        }
    };

    for (;;) {
        const int code = bits.read(width);
        if (code < 0 || code == 257)
            break; // The end of the data counts as the end of the stream.
        if (code == 256) {
            next = 258;
            width = 9;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code > 255) {
                r.complete = false;
                break;
            }
            if (!out.push(static_cast<char>(code)))
                break;
            previous = code;
            continue;
        }
        unsigned char firstByte;
        if (code < next) {
            expand(code);
            firstByte = first[size_t(code)];
        } else if (code == next) {
            expand(previous);
            entry.push_back(static_cast<char>(first[size_t(previous)]));
            firstByte = first[size_t(previous)];
        } else {
            r.complete = false;
            break;
        }
        if (!out.append(entry.data(), entry.size()))
            break;
        if (next < kMaxCodes) {
            prefix[size_t(next)] = static_cast<uint16_t>(previous);
            suffix[size_t(next)] = firstByte;
            first[size_t(next)] = first[size_t(previous)];
            length[size_t(next)] = static_cast<uint16_t>(length[size_t(previous)] + 1);
            ++next;
        }
        if (next + early >= 2048)
            width = 12;
        else if (next + early >= 1024)
            width = 11;
        else if (next + early >= 512)
            width = 10;
        previous = code;
    }
    return r;
}

FilterResult asciiHexDecode(std::string_view in, size_t limit)
{
    FilterResult r;
    Output out(r, limit);
    int high = -1;
    bool ended = false;
    for (const char ch : in) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (isPdfSpace(c))
            continue;
        if (c == '>') {
            ended = true;
            break;
        }
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else {
            r.complete = false;
            return r;
        }
        if (high < 0) {
            high = v;
        } else {
            if (!out.push(static_cast<char>(high * 16 + v)))
                return r;
            high = -1;
        }
    }
    (void)ended;
    // An odd final digit is followed by an implied 0.
    if (high >= 0)
        out.push(static_cast<char>(high * 16));
    return r;
}

FilterResult ascii85Decode(std::string_view in, size_t limit)
{
    FilterResult r;
    Output out(r, limit);
    uint64_t group = 0;
    int count = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        if (isPdfSpace(c))
            continue;
        if (c == '~')
            break; // "~>" ends the data.
        if (c == 'z' && count == 0) {
            if (!out.append("\0\0\0\0", 4))
                return r;
            continue;
        }
        if (c < '!' || c > 'u') {
            r.complete = false;
            return r;
        }
        group = group * 85 + (c - '!');
        if (++count == 5) {
            if (group > UINT32_MAX) {
                r.complete = false;
                return r;
            }
            const char bytes[4] = {char(group >> 24), char(group >> 16), char(group >> 8), char(group)};
            if (!out.append(bytes, 4))
                return r;
            group = 0;
            count = 0;
        }
    }
    if (count == 1) {
        r.complete = false;
    } else if (count > 1) {
        // A final partial group is padded with 'u' and gives count - 1 bytes.
        for (int i = count; i < 5; ++i)
            group = group * 85 + 84;
        if (group > UINT32_MAX) {
            r.complete = false;
            return r;
        }
        const char bytes[4] = {char(group >> 24), char(group >> 16), char(group >> 8), char(group)};
        out.append(bytes, size_t(count - 1));
    }
    return r;
}

FilterResult runLengthDecode(std::string_view in, size_t limit)
{
    FilterResult r;
    Output out(r, limit);
    size_t i = 0;
    while (i < in.size()) {
        const unsigned char n = static_cast<unsigned char>(in[i++]);
        if (n == 128)
            return r;
        if (n < 128) {
            const size_t len = size_t(n) + 1;
            if (i + len > in.size()) {
                out.append(in.data() + i, in.size() - i);
                r.complete = false;
                return r;
            }
            if (!out.append(in.data() + i, len))
                return r;
            i += len;
        } else {
            if (i >= in.size()) {
                r.complete = false;
                return r;
            }
            const std::string run(size_t(257 - n), in[i++]);
            if (!out.append(run.data(), run.size()))
                return r;
        }
    }
    return r;
}

FilterResult undoPredictor(std::string in, const PredictorParams& p, size_t limit)
{
    FilterResult r;
    if (p.predictor == 1)
        return {std::move(in), true};
    const long bpc = p.bitsPerComponent;
    const bool bpcOk = bpc == 1 || bpc == 2 || bpc == 4 || bpc == 8 || bpc == 16;
    if ((p.predictor != 2 && (p.predictor < 10 || p.predictor > 15)) || !bpcOk || p.colors < 1 ||
        p.colors > 32 || p.columns < 1 ||
        uint64_t(p.columns) * uint64_t(p.colors) * uint64_t(bpc) > uint64_t(kMaxImageRowBytes) * 8) {
        r.complete = false;
        return r;
    }
    const size_t bitsPerPixel = size_t(p.colors) * size_t(bpc);
    const size_t rowBytes = (size_t(p.columns) * bitsPerPixel + 7) / 8;
    const size_t pixelBytes = std::max<size_t>(1, bitsPerPixel / 8);
    Output out(r, limit);

    if (p.predictor == 2) {
        // TIFF: each sample is the difference from the same sample of the pixel to its left.
        for (size_t start = 0; start < in.size(); start += rowBytes) {
            const size_t n = std::min(rowBytes, in.size() - start);
            unsigned char* row = reinterpret_cast<unsigned char*>(in.data() + start);
            if (bpc == 8) {
                for (size_t i = pixelBytes; i < n; ++i)
                    row[i] = static_cast<unsigned char>(row[i] + row[i - pixelBytes]);
            } else if (bpc == 16) {
                const size_t stride = size_t(p.colors) * 2;
                for (size_t i = stride; i + 1 < n; i += 2) {
                    const unsigned v = ((row[i] << 8) | row[i + 1]) +
                                       ((row[i - stride] << 8) | row[i + 1 - stride]);
                    row[i] = static_cast<unsigned char>(v >> 8);
                    row[i + 1] = static_cast<unsigned char>(v);
                }
            } else {
                // 1, 2 or 4 bits: unpack, add, repack.
                const unsigned mask = (1u << bpc) - 1;
                const size_t samples = std::min(size_t(p.columns) * size_t(p.colors), n * 8 / size_t(bpc));
                auto get = [&](size_t s) {
                    const size_t bit = s * size_t(bpc);
                    return (row[bit / 8] >> (8 - bpc - long(bit % 8))) & mask;
                };
                auto set = [&](size_t s, unsigned v) {
                    const size_t bit = s * size_t(bpc);
                    const int shift = int(8 - bpc - long(bit % 8));
                    row[bit / 8] = static_cast<unsigned char>((row[bit / 8] & ~(mask << shift)) |
                                                              ((v & mask) << shift));
                };
                for (size_t s = size_t(p.colors); s < samples; ++s)
                    set(s, get(s) + get(s - size_t(p.colors)));
            }
            if (!out.append(reinterpret_cast<const char*>(row), n))
                return r;
        }
        return r;
    }

    // PNG: every row starts with its filter type.
    std::vector<unsigned char> prior(rowBytes, 0), row(rowBytes, 0);
    for (size_t start = 0; start < in.size(); start += rowBytes + 1) {
        const int type = static_cast<unsigned char>(in[start]);
        const size_t n = std::min(rowBytes, in.size() - start - 1);
        std::fill(row.begin(), row.end(), 0);
        const unsigned char* src = reinterpret_cast<const unsigned char*>(in.data() + start + 1);
        for (size_t i = 0; i < n; ++i) {
            const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
            const int up = prior[i];
            const int upLeft = i >= pixelBytes ? prior[i - pixelBytes] : 0;
            int v = src[i];
            switch (type) {
            case 1: v += left; break;
            case 2: v += up; break;
            case 3: v += (left + up) / 2; break;
            case 4: v += paeth(left, up, upLeft); break;
            default: break; // 0, and unknown types, leave the row as it is.
            }
            row[i] = static_cast<unsigned char>(v);
        }
        if (!out.append(reinterpret_cast<const char*>(row.data()), n))
            return r;
        prior.swap(row);
    }
    return r;
}

FilterResult dctDecode(std::string_view in, size_t limit)
{
    FilterResult r;
    try {
        CollectPipeline sink(r, limit);
        Pl_DCT dct("dct", &sink);
        dct.write(reinterpret_cast<const unsigned char*>(in.data()), in.size());
        dct.finish();
    } catch (...) {
        r.complete = false;
    }
    return r;
}

} // namespace rz::pdf
