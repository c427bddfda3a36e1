#include "converter/QXError.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#ifndef RZ_APP_IDENTIFIER
#define RZ_APP_IDENTIFIER "org.rzconverter.RZConverter"
#endif

namespace rz {

const std::string& QXErrorDomain()
{
    static const std::string domain = RZ_APP_IDENTIFIER;
    return domain;
}

QXError makeQXError(int code, std::string reason)
{
    return QXError{QXErrorDomain(), code, std::move(reason)};
}

namespace {

std::string demangle(const char* name)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> out(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), &std::free);
    std::string s = (status == 0 && out) ? out.get() : name;
    // Drop the namespace: the class name is what a reader looks for.
    if (const size_t colon = s.rfind("::"); colon != std::string::npos)
        s = s.substr(colon + 2);
    return s;
}

} // namespace

QXException QXException::current()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return QXException{demangle(typeid(e).name()), e.what()};
    } catch (...) {
        return QXException{"unknown", "unknown exception"};
    }
}

} // namespace rz
