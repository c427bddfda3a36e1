// The drawing side's function: a domain, an optional range and an evaluate
// callback, as gradients sample it. QXPDFFunction::CGFunction() makes one.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace rz::cg {

// Fills `out` (kQXPDFMaxFunctionValues doubles) from `in`.
using FunctionEvaluateCallback = void (*)(void* info, const double* in, double* out);

class Function {
public:
    // `domain` holds 2 × domainDimension values; `range` 2 × rangeDimension
    // values or is empty (no range: outputs are not clipped). `keepAlive`
    // holds whatever `info` points into for as long as the function lives.
    Function(void* info, std::vector<double> domain, std::vector<double> range,
             size_t rangeDimension, FunctionEvaluateCallback evaluate,
             std::shared_ptr<const void> keepAlive);

    size_t domainDimension() const { return domain_.size() / 2; }
    size_t rangeDimension() const { return rangeDimension_; }
    bool hasRange() const { return !range_.empty(); }
    const std::vector<double>& domain() const { return domain_; }
    const std::vector<double>& range() const { return range_; }

    // Inputs clipped to the domain, then the callback; outputs clipped to the
    // range when there is one. `in` holds domainDimension() values; `out`
    // receives kQXPDFMaxFunctionValues doubles.
    void evaluate(const double* in, double* out) const;

private:
    void* info_;
    std::vector<double> domain_;
    std::vector<double> range_;
    size_t rangeDimension_;
    FunctionEvaluateCallback evaluate_;
    std::shared_ptr<const void> keepAlive_;
};

} // namespace rz::cg

namespace rz {
using CGFunctionRef = std::shared_ptr<const cg::Function>;
}
