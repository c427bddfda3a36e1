// PDF functions: identity, Sampled (type 0), Exponential (type 2),
// Stitching (type 3) and PostScript calculator (type 4) functions, used by
// tint transforms and shadings.
//
// A function maps up to 32 inputs to up to 32 outputs. Evaluation reads the
// inputs it has (an identity function reads 32) and writes into an array of
// kQXPDFMaxFunctionValues doubles; it allocates nothing. PostScript
// calculator functions are read but not evaluated: they give zeros.
#pragma once

#include "pdfengine/color/CGFunction.h"
#include "pdfengine/color/QXPDFColorLimits.h"
#include "platform/pdf/PdfObject.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace rz {

class QXPDFFunction : public std::enable_shared_from_this<QXPDFFunction> {
public:
    QXPDFFunction();
    virtual ~QXPDFFunction();

    // A new function from a PDF object: the name "Identity", or a
    // dictionary or stream whose FunctionType (an integer, or a real
    // truncated toward zero) is 0, 2, 3 or 4. Nothing for any other object
    // or type, for a function that does not parse, and for functions nested
    // deeper than kQXPDFMaxFunctionDepth or nested in themselves.
    static std::shared_ptr<QXPDFFunction> FuntionWithObject(const pdf::Object& object);

    // A deep copy (a Stitching copy shares its sub-functions).
    virtual std::shared_ptr<QXPDFFunction> copy() const;
    // Reads the object (a dictionary or stream) and its dictionary; true
    // when the function is usable. The base reads Domain and Range.
    virtual bool parse(const pdf::Object& object, const pdf::Object& funcDict);
    // `input` holds m_input() values (32 for the identity function);
    // `output` receives kQXPDFMaxFunctionValues doubles, n_output() of them
    // meaningful.
    virtual void transformInput(const double* input, double* output) const;
    // Identity −1, Sampled 0, Exponential 2, Stitching 3, PostScript 4; the base 0.
    virtual long getType() const { return 0; }
    // The drawing side's function over this one: domain, range when there is
    // one, and an evaluation through transformInput(). It keeps this
    // function alive when the function is held by a shared_ptr.
    CGFunctionRef CGFunction() const;

    long long type() const { return type_; }
    void setType(long long type) { type_ = type; }
    long long m_input() const { return m_input_; }
    long long n_output() const { return n_output_; }
    // [min0, max0, min1, max1, ...] for the inputs and the outputs.
    const std::array<double, 2 * kQXPDFMaxFunctionValues>& domain() const { return domain_; }
    const std::array<double, 2 * kQXPDFMaxFunctionValues>& range() const { return range_; }
    bool hasRange() const { return hasRange_; }

protected:
    // The function of a dictionary or stream, once the nesting is checked.
    static std::shared_ptr<QXPDFFunction> readFunction(const pdf::Object& object);

    QXPDFFunction(const QXPDFFunction&) = default;
    QXPDFFunction& operator=(const QXPDFFunction&) = default;

    long long type_ = 0;
    long long m_input_ = 0;
    long long n_output_ = 0;
    std::array<double, 2 * kQXPDFMaxFunctionValues> domain_{};
    std::array<double, 2 * kQXPDFMaxFunctionValues> range_{};
    bool hasRange_ = false;
};

// Evaluates the function given as `info` (a QXPDFFunction) for CGFunction().
void QXFunctionEvaluateCallback(void* info, const double* in, double* out);

class QXPDFIdentityFunction : public QXPDFFunction {
public:
    // 32 inputs and outputs, every domain pair [0, 1], no range.
    QXPDFIdentityFunction();
    std::shared_ptr<QXPDFFunction> copy() const override;
    void transformInput(const double* input, double* output) const override;
    long getType() const override { return -1; }
};

class QXPDFSampledFunction : public QXPDFFunction {
public:
    std::shared_ptr<QXPDFFunction> copy() const override;
    // Needs a stream with Range, Size (m integers, each at least 1),
    // BitsPerSample 1..32 and at least the data the samples take; m at most
    // kQXPDFMaxSampledFunctionInputs, at most kQXPDFMaxSampledFunctionSamples
    // samples.
    bool parse(const pdf::Object& object, const pdf::Object& funcDict) override;
    // Multilinear interpolation between the samples around the input.
    void transformInput(const double* input, double* output) const override;
    long getType() const override { return 0; }

    const std::array<long long, kQXPDFMaxFunctionValues>& sampleSize() const { return sampleSize_; }
    const std::array<double, 2 * kQXPDFMaxFunctionValues>& encode() const { return encode_; }
    const std::array<double, 2 * kQXPDFMaxFunctionValues>& decode() const { return decode_; }
    const std::array<double, kQXPDFMaxFunctionValues>& inputMul() const { return inputMul_; }
    const std::array<long long, kQXPDFMaxFunctionValues>& idxMul() const { return idxMul_; }
    // Sample i, 0..1; outputs innermost, then input 0, input 1, ...
    double sample(size_t i) const;
    long long nSamples() const { return sampleCount_; }
    bool ok() const { return ok_; }

private:
    std::array<long long, kQXPDFMaxFunctionValues> sampleSize_{};
    std::array<double, 2 * kQXPDFMaxFunctionValues> encode_{};
    std::array<double, 2 * kQXPDFMaxFunctionValues> decode_{};
    std::array<double, kQXPDFMaxFunctionValues> inputMul_{};
    std::array<long long, kQXPDFMaxFunctionValues> idxMul_{};
    // The samples as read, each in the fewest whole bytes that hold
    // BitsPerSample (1, 2 or 4), native byte order; sample() scales them.
    std::vector<std::uint8_t> samples_;
    int sampleBytes_ = 1;
    long long sampleCount_ = 0;
    double maxValue_ = 1;
    // Interpolation scratch of 2^m values and their sample offsets;
    // evaluation runs on one thread.
    mutable std::vector<double> sBuf_;
    mutable std::vector<long long> cornerOffsets_;
    bool ok_ = false;
};

class QXPDFExponentialFunction : public QXPDFFunction {
public:
    std::shared_ptr<QXPDFFunction> copy() const override;
    // One input; C0 and C1 of equal length (at most 32), default [0] and [1]; N.
    bool parse(const pdf::Object& object, const pdf::Object& funcDict) override;
    // c0 + x^N · (c1 − c0), clipped to the range when there is one.
    void transformInput(const double* input, double* output) const override;
    long getType() const override { return 2; }

    const std::array<double, kQXPDFMaxFunctionValues>& c0() const { return c0_; }
    const std::array<double, kQXPDFMaxFunctionValues>& c1() const { return c1_; }
    double e() const { return e_; }
    bool isLinear() const { return isLinear_; }
    bool ok() const { return ok_; }

private:
    std::array<double, kQXPDFMaxFunctionValues> c0_{};
    std::array<double, kQXPDFMaxFunctionValues> c1_{};
    double e_ = 0;
    bool isLinear_ = false;
    bool ok_ = false;
};

class QXPDFStitchingFunction : public QXPDFFunction {
public:
    std::shared_ptr<QXPDFFunction> copy() const override;
    // One input; k ≥ 1 one-input sub-functions with the same output count,
    // k − 1 Bounds and 2k Encode numbers.
    bool parse(const pdf::Object& object, const pdf::Object& funcDict) override;
    // The sub-function of the interval holding the input, on the input
    // mapped onto its Encode pair.
    void transformInput(const double* input, double* output) const override;
    long getType() const override { return 3; }

    long long numFuncs() const { return static_cast<long long>(funcs_.size()); }
    const std::vector<std::shared_ptr<QXPDFFunction>>& funcs() const { return funcs_; }
    // Domain start, the Bounds, domain end (k + 1 values).
    const std::vector<double>& bounds() const { return bounds_; }
    const std::vector<double>& encode() const { return encode_; }
    const std::vector<double>& scale() const { return scale_; }
    bool ok() const { return ok_; }

private:
    std::vector<std::shared_ptr<QXPDFFunction>> funcs_;
    std::vector<double> bounds_;
    std::vector<double> encode_;
    std::vector<double> scale_;
    bool ok_ = false;
};

class QXPDFPostScriptFunction : public QXPDFFunction {
public:
    std::shared_ptr<QXPDFFunction> copy() const override;
    // Writes 0 to every output: the calculator program is not run.
    void transformInput(const double* input, double* output) const override;
    long getType() const override { return 4; }
};

} // namespace rz
