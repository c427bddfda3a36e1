#include "pdfengine/annots/QXPDFAction.h"

#include "pdfengine/base/QXPDFUtilities.h"

namespace rz {

void QXPDFAction::initWithPDFDictionary(const pdf::Object& dictionary)
{
    type_ = QXPDFUtilities::GetStringWithPDFDictionary(dictionary, "S").value_or(std::string());
}

std::shared_ptr<QXPDFAction> QXPDFAction::ActionWithDictionary(const pdf::Object& dictionary)
{
    if (!dictionary.isDictionary())
        return nullptr;
    // /Type is optional on an action; only a different type rejects it.
    const pdf::Object type = dictionary.get("Type");
    if (!type.isNull() && type.name() != std::optional<std::string>("Action"))
        return nullptr;
    const std::string kind = dictionary.get("S").name().value_or(std::string());
    if (kind == "GoTo")
        return std::make_shared<QXPDFActionGoTo>(dictionary);
    if (kind == "GoToR")
        return std::make_shared<QXPDFActionActionRemoteGoTo>(dictionary);
    if (kind == "URI")
        return std::make_shared<QXPDFActionURL>(dictionary);
    if (kind == "Named")
        return std::make_shared<QXQXPDFActionNamed>(dictionary);
    if (kind == "ResetForm")
        return std::make_shared<QXPDFActionResetForm>(dictionary);
    return std::make_shared<QXPDFAction>(dictionary);
}

std::shared_ptr<QXPDFAction> QXPDFAction::copy() const
{
    return copyOfKind<QXPDFAction>();
}

} // namespace rz
