// Errors and caught exceptions of a conversion, as reported to delegates.
#pragma once

#include <exception>
#include <optional>
#include <string>

namespace rz {

// An error of a conversion: the program's identifier as domain, a code of
// the converter's table and its fixed English reason.
struct QXError {
    std::string domain;
    int code = 0;
    std::string reason;
    friend bool operator==(const QXError&, const QXError&) = default;
};

// The program's identifier, used as the domain of every conversion error.
const std::string& QXErrorDomain();
QXError makeQXError(int code, std::string reason);

// A caught exception as reported to delegates: its class name and reason.
struct QXException {
    std::string name;
    std::string reason;
    // The text printed in "catch exception:%s.\n".
    const std::string& description() const { return reason; }
    // Describes the exception currently being handled (call inside a catch).
    static QXException current();
};

// Raised by exporters when their output cannot be made or written.
class QXConversionException : public std::exception {
public:
    explicit QXConversionException(std::string reason) : reason_(std::move(reason)) {}
    const char* what() const noexcept override { return reason_.c_str(); }

private:
    std::string reason_;
};

} // namespace rz
