#include "pdfengine/color/QXPDFFunction.h"

#include "pdfengine/color/QXPDFColor.h"
#include "pdfengine/color/QXPDFNestingGuard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace rz {

namespace {

// Functions being read on this thread, outermost first.
thread_local std::vector<pdf::Object> gFunctionChain;

// Indirect functions already read during the outermost read on this thread
// (nothing for one that failed). Stitching functions may list the same
// indirect function many times at every level; reading each once keeps
// such a file linear instead of exponential, and the sub-functions are
// shared, which read-only functions allow.
thread_local std::map<std::pair<int, int>, std::shared_ptr<QXPDFFunction>> gFunctionMemo;

// x clipped to [lo, hi]; NaN gives lo.
double clip(double x, double lo, double hi)
{
    if (!(x >= lo))
        return lo;
    return x > hi ? hi : x;
}

void zeroOutputs(double* output)
{
    std::fill(output, output + kQXPDFMaxFunctionValues, 0.0);
}

// Reads `count` number pairs of `array` into `out`; false when one is not a number.
bool readNumbers(const pdf::Object& array, size_t count, double* out)
{
    for (size_t i = 0; i < count; ++i) {
        const auto v = array.at(i).number();
        if (!v)
            return false;
        out[i] = *v;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------- base

QXPDFFunction::QXPDFFunction() = default;
QXPDFFunction::~QXPDFFunction() = default;

std::shared_ptr<QXPDFFunction> QXPDFFunction::FuntionWithObject(const pdf::Object& object)
{
    if (object.isName()) {
        if (object.name() == "Identity")
            return std::make_shared<QXPDFIdentityFunction>();
        return nullptr;
    }
    if (!object.isDictionary() && !object.isStream())
        return nullptr;
    const bool outermost = gFunctionChain.empty();
    struct MemoScope {
        bool clear;
        ~MemoScope()
        {
            if (clear)
                gFunctionMemo.clear();
        }
    } memoScope{outermost};
    const pdf::ObjectId id = object.id();
    const auto key = std::make_pair(id.number, id.generation);
    if (id.number != 0) {
        if (const auto found = gFunctionMemo.find(key); found != gFunctionMemo.end())
            return found->second;
    }
    QXPDFNestingGuard guard(gFunctionChain, object, kQXPDFMaxFunctionDepth);
    if (!guard.entered())
        return nullptr;
    auto function = readFunction(object);
    if (id.number != 0)
        gFunctionMemo[key] = function;
    return function;
}

std::shared_ptr<QXPDFFunction> QXPDFFunction::readFunction(const pdf::Object& object)
{
    const pdf::Object dict = object.dictionary();
    const pdf::Object typeObject = dict.get("FunctionType");
    long long type;
    if (const auto i = typeObject.integer())
        type = *i;
    else if (const auto r = typeObject.number())
        type = QXPDFTruncateClamped(*r, -1000, 1000);
    else
        return nullptr;

    std::shared_ptr<QXPDFFunction> function;
    switch (type) {
    case 0:
        function = std::make_shared<QXPDFSampledFunction>();
        break;
    case 2:
        function = std::make_shared<QXPDFExponentialFunction>();
        break;
    case 3:
        function = std::make_shared<QXPDFStitchingFunction>();
        break;
    case 4:
        function = std::make_shared<QXPDFPostScriptFunction>();
        break;
    default:
        return nullptr;
    }
    // A function that did not parse is never handed out: its buffers and
    // counts need not agree with each other.
    if (!function->parse(object, dict))
        return nullptr;
    return function;
}

std::shared_ptr<QXPDFFunction> QXPDFFunction::copy() const
{
    return std::shared_ptr<QXPDFFunction>(new QXPDFFunction(*this));
}

bool QXPDFFunction::parse(const pdf::Object& /*object*/, const pdf::Object& funcDict)
{
    const pdf::Object domain = funcDict.get("Domain");
    if (!domain.isArray() || domain.size() >= 2 * kQXPDFMaxFunctionValues + 2)
        return false;
    m_input_ = static_cast<long long>(domain.size() / 2);
    if (!readNumbers(domain, 2 * static_cast<size_t>(m_input_), domain_.data()))
        return false;

    hasRange_ = false;
    n_output_ = 0;
    const pdf::Object range = funcDict.get("Range");
    if (!range.isArray())
        return true;
    hasRange_ = true;
    if (range.size() > 2 * kQXPDFMaxFunctionValues + 1)
        return false;
    n_output_ = static_cast<long long>(range.size() / 2);
    return readNumbers(range, 2 * static_cast<size_t>(n_output_), range_.data());
}

void QXPDFFunction::transformInput(const double* /*input*/, double* output) const
{
    zeroOutputs(output);
}

CGFunctionRef QXPDFFunction::CGFunction() const
{
    std::vector<double> domain(domain_.begin(), domain_.begin() + 2 * m_input_);
    std::vector<double> range;
    if (hasRange_)
        range.assign(range_.begin(), range_.begin() + 2 * n_output_);
    return std::make_shared<cg::Function>(const_cast<QXPDFFunction*>(this), std::move(domain),
                                          std::move(range), static_cast<size_t>(n_output_),
                                          QXFunctionEvaluateCallback, weak_from_this().lock());
}

void QXFunctionEvaluateCallback(void* info, const double* in, double* out)
{
    static_cast<const QXPDFFunction*>(info)->transformInput(in, out);
}

// ---------------------------------------------------------------- identity

QXPDFIdentityFunction::QXPDFIdentityFunction()
{
    m_input_ = kQXPDFMaxFunctionValues;
    n_output_ = kQXPDFMaxFunctionValues;
    for (int i = 0; i < kQXPDFMaxFunctionValues; ++i) {
        domain_[2 * i] = 0;
        domain_[2 * i + 1] = 1;
    }
}

std::shared_ptr<QXPDFFunction> QXPDFIdentityFunction::copy() const
{
    return std::make_shared<QXPDFIdentityFunction>(*this);
}

void QXPDFIdentityFunction::transformInput(const double* input, double* output) const
{
    std::copy(input, input + kQXPDFMaxFunctionValues, output);
}

// ---------------------------------------------------------------- sampled

std::shared_ptr<QXPDFFunction> QXPDFSampledFunction::copy() const
{
    return std::make_shared<QXPDFSampledFunction>(*this);
}

bool QXPDFSampledFunction::parse(const pdf::Object& object, const pdf::Object& funcDict)
{
    samples_.clear();
    sampleCount_ = 0;
    sBuf_.clear();
    cornerOffsets_.clear();
    ok_ = false;
    if (!QXPDFFunction::parse(object, funcDict) || !hasRange_)
        return false;
    const long long m = m_input_;
    if (m < 1 || m > kQXPDFMaxSampledFunctionInputs || n_output_ < 1)
        return false;
    if (!object.isStream())
        return false;

    // Size: m integers, each at least 1; their product times the outputs
    // is the sample count, bounded before anything is allocated.
    const pdf::Object size = funcDict.get("Size");
    if (!size.isArray() || static_cast<long long>(size.size()) != m)
        return false;
    long long count = n_output_;
    idxMul_[0] = n_output_;
    for (long long i = 0; i < m; ++i) {
        const auto s = size.at(static_cast<size_t>(i)).integer();
        if (!s || *s < 1 || *s > kQXPDFMaxSampledFunctionSamples)
            return false;
        sampleSize_[i] = *s;
        if (i > 0)
            idxMul_[i] = idxMul_[i - 1] * sampleSize_[i - 1];
        count *= *s;
        if (count > kQXPDFMaxSampledFunctionSamples)
            return false;
    }

    const auto bits = funcDict.get("BitsPerSample").integer();
    if (!bits || *bits < 1 || *bits > 32)
        return false;
    const int b = static_cast<int>(*bits);

    const pdf::Object encode = funcDict.get("Encode");
    if (encode.isArray() && static_cast<long long>(encode.size()) == 2 * m) {
        if (!readNumbers(encode, 2 * static_cast<size_t>(m), encode_.data()))
            return false;
    } else {
        for (long long i = 0; i < m; ++i) {
            encode_[2 * i] = 0;
            encode_[2 * i + 1] = static_cast<double>(sampleSize_[i] - 1);
        }
    }
    for (long long i = 0; i < m; ++i) {
        const double width = domain_[2 * i + 1] - domain_[2 * i];
        // An empty domain maps every input onto the start of its Encode pair.
        inputMul_[i] = width != 0 ? (encode_[2 * i + 1] - encode_[2 * i]) / width : 0.0;
    }

    const pdf::Object decode = funcDict.get("Decode");
    if (decode.isArray() && static_cast<long long>(decode.size()) == 2 * n_output_) {
        if (!readNumbers(decode, 2 * static_cast<size_t>(n_output_), decode_.data()))
            return false;
    } else {
        decode_ = range_;
    }

    // The stream must hold every sample before any is stored.
    const pdf::StreamData data = object.streamData();
    if (data.format != pdf::StreamFormat::Raw)
        return false;
    const auto needed = (static_cast<unsigned long long>(count) * static_cast<unsigned>(b) + 7) / 8;
    if (data.bytes.size() < needed)
        return false;

    sampleBytes_ = b <= 8 ? 1 : b <= 16 ? 2 : 4;
    sampleCount_ = count;
    samples_.resize(static_cast<size_t>(count) * static_cast<size_t>(sampleBytes_));
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.bytes.data());
    maxValue_ = static_cast<double>((std::uint64_t{1} << b) - 1);
    std::uint64_t acc = 0;
    int accBits = 0;
    size_t pos = 0;
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        while (accBits < b) {
            acc = (acc << 8) | bytes[pos++];
            accBits += 8;
        }
        accBits -= b;
        const std::uint64_t v = (acc >> accBits) & ((std::uint64_t{1} << b) - 1);
        acc &= (std::uint64_t{1} << accBits) - 1;
        if (sampleBytes_ == 1) {
            samples_[i] = static_cast<std::uint8_t>(v);
        } else if (sampleBytes_ == 2) {
            const auto w = static_cast<std::uint16_t>(v);
            std::memcpy(&samples_[2 * i], &w, 2);
        } else {
            const auto w = static_cast<std::uint32_t>(v);
            std::memcpy(&samples_[4 * i], &w, 4);
        }
    }
    sBuf_.assign(size_t{1} << m, 0.0);
    cornerOffsets_.assign(size_t{1} << m, 0);
    ok_ = true;
    return true;
}

double QXPDFSampledFunction::sample(size_t i) const
{
    if (i >= static_cast<size_t>(sampleCount_))
        return 0;
    std::uint32_t v = 0;
    if (sampleBytes_ == 1) {
        v = samples_[i];
    } else if (sampleBytes_ == 2) {
        std::uint16_t w = 0;
        std::memcpy(&w, &samples_[2 * i], 2);
        v = w;
    } else {
        std::memcpy(&v, &samples_[4 * i], 4);
    }
    return static_cast<double>(v) / maxValue_;
}

void QXPDFSampledFunction::transformInput(const double* input, double* output) const
{
    zeroOutputs(output);
    if (!ok_)
        return;
    // Each input lies between samples e0 and e1 of its dimension. Only the
    // dimensions where the two differ and the input is not on e0 take part
    // in the interpolation (the others contribute the sample at e0 exactly),
    // so a point on the grid costs one lookup per output.
    long long origin = 0;
    long long step[kQXPDFMaxSampledFunctionInputs];
    double frac[kQXPDFMaxSampledFunctionInputs];
    int active = 0;
    for (long long i = 0; i < m_input_; ++i) {
        double x = (input[i] - domain_[2 * i]) * inputMul_[i] + encode_[2 * i];
        x = clip(x, 0, static_cast<double>(sampleSize_[i] - 1));
        const auto e0 = static_cast<long long>(std::floor(x));
        const double f = x - static_cast<double>(e0);
        origin += idxMul_[i] * e0;
        if (e0 + 1 < sampleSize_[i] && f > 0) {
            step[active] = idxMul_[i];
            frac[active] = f;
            ++active;
        }
    }
    // Offsets of the 2^active corners from the origin sample (bit k of a
    // corner chooses e1 of active dimension k).
    const size_t corners = size_t{1} << active;
    cornerOffsets_[0] = 0;
    for (int k = 0; k < active; ++k) {
        const size_t half = size_t{1} << k;
        for (size_t c = 0; c < half; ++c)
            cornerOffsets_[c + half] = cornerOffsets_[c] + step[k];
    }
    for (long long j = 0; j < n_output_; ++j) {
        for (size_t corner = 0; corner < corners; ++corner)
            sBuf_[corner] = sample(static_cast<size_t>(origin + j + cornerOffsets_[corner]));
        size_t n = corners;
        for (int k = 0; k < active; ++k) {
            n /= 2;
            for (size_t p = 0; p < n; ++p)
                sBuf_[p] = (1 - frac[k]) * sBuf_[2 * p] + frac[k] * sBuf_[2 * p + 1];
        }
        const double v = decode_[2 * j] + sBuf_[0] * (decode_[2 * j + 1] - decode_[2 * j]);
        output[j] = clip(v, range_[2 * j], range_[2 * j + 1]);
    }
}

// ---------------------------------------------------------------- exponential

std::shared_ptr<QXPDFFunction> QXPDFExponentialFunction::copy() const
{
    return std::make_shared<QXPDFExponentialFunction>(*this);
}

bool QXPDFExponentialFunction::parse(const pdf::Object& object, const pdf::Object& funcDict)
{
    ok_ = false;
    if (!QXPDFFunction::parse(object, funcDict) || m_input_ != 1)
        return false;

    if (funcDict.hasKey("C0")) {
        const pdf::Object c0 = funcDict.get("C0");
        if (!c0.isArray() || c0.size() > static_cast<size_t>(kQXPDFMaxFunctionValues))
            return false;
        if (hasRange_ && static_cast<long long>(c0.size()) != n_output_)
            return false;
        n_output_ = static_cast<long long>(c0.size());
        if (!readNumbers(c0, c0.size(), c0_.data()))
            return false;
    } else {
        if (hasRange_ && n_output_ != 1)
            return false;
        n_output_ = 1;
        c0_[0] = 0;
    }

    if (funcDict.hasKey("C1")) {
        const pdf::Object c1 = funcDict.get("C1");
        if (!c1.isArray() || static_cast<long long>(c1.size()) != n_output_)
            return false;
        if (!readNumbers(c1, c1.size(), c1_.data()))
            return false;
    } else {
        if (n_output_ != 1)
            return false;
        c1_[0] = 1;
    }

    const auto n = funcDict.get("N").number();
    if (!n)
        return false;
    e_ = *n;
    isLinear_ = std::fabs(e_ - 1) < 1e-10;
    ok_ = true;
    return true;
}

void QXPDFExponentialFunction::transformInput(const double* input, double* output) const
{
    zeroOutputs(output);
    if (!ok_)
        return;
    const double x = clip(input[0], domain_[0], domain_[1]);
    const double t = isLinear_ ? x : std::pow(x, e_);
    for (long long i = 0; i < n_output_; ++i) {
        double v = c0_[i] + t * (c1_[i] - c0_[i]);
        if (hasRange_)
            v = clip(v, range_[2 * i], range_[2 * i + 1]);
        output[i] = v;
    }
}

// ---------------------------------------------------------------- stitching

std::shared_ptr<QXPDFFunction> QXPDFStitchingFunction::copy() const
{
    return std::make_shared<QXPDFStitchingFunction>(*this);
}

bool QXPDFStitchingFunction::parse(const pdf::Object& object, const pdf::Object& funcDict)
{
    ok_ = false;
    funcs_.clear();
    bounds_.clear();
    encode_.clear();
    scale_.clear();
    if (!QXPDFFunction::parse(object, funcDict) || m_input_ != 1)
        return false;
    const pdf::Object functions = funcDict.get("Functions");
    if (!functions.isArray() || functions.size() == 0)
        return false;
    const size_t k = functions.size();

    std::vector<std::shared_ptr<QXPDFFunction>> funcs;
    for (size_t i = 0; i < k; ++i) {
        auto f = FuntionWithObject(functions.at(i));
        if (!f || f->m_input() != 1)
            return false;
        if (i > 0 && f->n_output() != funcs[0]->n_output())
            return false;
        funcs.push_back(std::move(f));
    }

    const pdf::Object boundsObject = funcDict.get("Bounds");
    if (!boundsObject.isArray() || boundsObject.size() != k - 1)
        return false;
    std::vector<double> bounds(k + 1);
    bounds[0] = domain_[0];
    if (!readNumbers(boundsObject, k - 1, bounds.data() + 1))
        return false;
    bounds[k] = domain_[1];

    const pdf::Object encodeObject = funcDict.get("Encode");
    if (!encodeObject.isArray() || encodeObject.size() != 2 * k)
        return false;
    std::vector<double> encode(2 * k);
    if (!readNumbers(encodeObject, 2 * k, encode.data()))
        return false;

    std::vector<double> scale(k);
    for (size_t i = 0; i < k; ++i)
        scale[i] = bounds[i + 1] != bounds[i]
                       ? (encode[2 * i + 1] - encode[2 * i]) / (bounds[i + 1] - bounds[i])
                       : 0.0;

    funcs_ = std::move(funcs);
    bounds_ = std::move(bounds);
    encode_ = std::move(encode);
    scale_ = std::move(scale);
    n_output_ = funcs_[0]->n_output();
    ok_ = true;
    return true;
}

void QXPDFStitchingFunction::transformInput(const double* input, double* output) const
{
    if (!ok_) {
        zeroOutputs(output);
        return;
    }
    const double x = clip(input[0], domain_[0], domain_[1]);
    const size_t k = funcs_.size();
    size_t i = 0;
    while (i + 1 < k && !(x < bounds_[i + 1]))
        ++i;
    double in[kQXPDFMaxFunctionValues] = {};
    in[0] = (x - bounds_[i]) * scale_[i] + encode_[2 * i];
    funcs_[i]->transformInput(in, output);
}

// ---------------------------------------------------------------- PostScript

std::shared_ptr<QXPDFFunction> QXPDFPostScriptFunction::copy() const
{
    return std::make_shared<QXPDFPostScriptFunction>(*this);
}

void QXPDFPostScriptFunction::transformInput(const double* /*input*/, double* output) const
{
    zeroOutputs(output);
}

} // namespace rz
