#include "pdfengine/color/CGFunction.h"

#include "pdfengine/color/QXPDFColorLimits.h"

#include <algorithm>

namespace rz::cg {

namespace {

double clip(double v, double lo, double hi)
{
    if (!(v >= lo))
        return lo;
    return v > hi ? hi : v;
}

} // namespace

Function::Function(void* info, std::vector<double> domain, std::vector<double> range,
                   size_t rangeDimension, FunctionEvaluateCallback evaluate,
                   std::shared_ptr<const void> keepAlive)
    : info_(info), domain_(std::move(domain)), range_(std::move(range)),
      rangeDimension_(rangeDimension), evaluate_(evaluate), keepAlive_(std::move(keepAlive))
{
    domain_.resize(std::min(domain_.size() & ~size_t{1}, size_t{2 * kQXPDFMaxFunctionValues}));
    range_.resize(std::min(range_.size() & ~size_t{1}, size_t{2 * kQXPDFMaxFunctionValues}));
    if (!range_.empty())
        rangeDimension_ = range_.size() / 2;
    rangeDimension_ = std::min(rangeDimension_, size_t{kQXPDFMaxFunctionValues});
}

void Function::evaluate(const double* in, double* out) const
{
    double inputs[kQXPDFMaxFunctionValues] = {};
    for (size_t i = 0; i < domainDimension(); ++i)
        inputs[i] = clip(in[i], domain_[2 * i], domain_[2 * i + 1]);
    std::fill(out, out + kQXPDFMaxFunctionValues, 0.0);
    if (evaluate_)
        evaluate_(info_, inputs, out);
    for (size_t j = 0; j < range_.size() / 2; ++j)
        out[j] = clip(out[j], range_[2 * j], range_[2 * j + 1]);
}

} // namespace rz::cg
