#include "flowtext/QXFlowTextAppInfo.h"

#ifndef RZ_VERSION
#define RZ_VERSION "0"
#endif

namespace rz {

const std::string& QXFlowApplicationDisplayName()
{
    static const std::string name = "rzconverter";
    return name;
}

const std::string& QXFlowApplicationVersion()
{
    static const std::string version = RZ_VERSION;
    return version;
}

const std::string& QXFlowApplicationMaker()
{
    static const std::string maker = "the rzconverter developers";
    return maker;
}

} // namespace rz
