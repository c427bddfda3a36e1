#include "flowtext/QXFlowRun.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "platform/core/Numbers.h"
#include "platform/text/Utf.h"

#include <charconv>
#include <cmath>

namespace rz {

namespace {

const std::shared_ptr<const QXDocx_RPr>& defaultRunProperty()
{
    static const auto property = std::make_shared<const QXDocx_RPr>(QXDocxUtilities::defaultRProperty());
    return property;
}

} // namespace

QXFlowRun::QXFlowRun() : rProperty_(defaultRunProperty()) {}

void QXFlowRun::setSharedRProperty(std::shared_ptr<const QXDocx_RPr> v)
{
    rProperty_ = v ? std::move(v) : defaultRunProperty();
}

Rect QXFlowRun::displayRect() const
{
    return Rect(0, 0, 0, 0);
}

void QXFlowRun::writeWithXMLWriter(QXFlowFileWriter&) {}

Rect QXFlowRunText::displayRect() const
{
    const QXPDF_CTMInfo& info = ctmInfo();
    return Rect(info.topLeft.x, info.topLeft.y, textWidth_, std::fabs(info.bottomLeft.y - info.topLeft.y));
}

void QXFlowRunText::writeWithXMLWriter(QXFlowFileWriter& writer)
{
    writeTextWithXMLWriter(writer, runText_);
}

std::string QXFlowRunText::description() const
{
    char address[2 + 2 * sizeof(void*) + 1] = "0x";
    const auto end = std::to_chars(address + 2, address + sizeof(address) - 1,
                                   reinterpret_cast<std::uintptr_t>(this), 16)
                         .ptr;
    *end = '\0';
    const Point& topLeft = ctmInfo().topLeft;
    std::string text;
    text.append("<").append(className()).append(": ").append(address).append(": ");
    text.append(utf16ToUtf8(runText_)).append(" [").append(formatFixed(topLeft.x)).append(", ");
    text.append(formatFixed(topLeft.y)).append("][").append(formatFixed(textWidth_)).append("][");
    text.append(formatFixed(spaceWidth_)).append("]>");
    return text;
}

} // namespace rz
