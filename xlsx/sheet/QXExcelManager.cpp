#include "xlsx/sheet/QXExcelManager.h"

namespace rz {

namespace {

std::unique_ptr<QXExcelManager>& sharedSlot()
{
    static std::unique_ptr<QXExcelManager> manager;
    return manager;
}

} // namespace

QXExcelManager& QXExcelManager::sharedInstance()
{
    std::unique_ptr<QXExcelManager>& slot = sharedSlot();
    if (!slot)
        slot = std::make_unique<QXExcelManager>();
    return *slot;
}

void QXExcelManager::reset()
{
    std::unique_ptr<QXExcelManager>& slot = sharedSlot();
    if (!slot)
        return;
    slot->amountOfStringItems_ = 0;
    slot->excelStyle_ = std::make_shared<QXExcelStyle>();
}

void QXExcelManager::destory()
{
    sharedSlot().reset();
}

bool QXExcelManager::isBlankSpace(std::string_view text)
{
    for (char ch : text) {
        if (ch != ' ')
            return false;
    }
    return true;
}

QXExcelManager::QXExcelManager() : excelStyle_(std::make_shared<QXExcelStyle>()) {}

void QXExcelManager::setOptions(const QXExcelOptions& options)
{
    excelOptions_ = options;
    thousandSepartor_ = options.thousandSepartor() == 1 ? "." : ",";
}

void QXExcelManager::setExcelStyle(std::shared_ptr<QXExcelStyle> style)
{
    excelStyle_ = style ? std::move(style) : std::make_shared<QXExcelStyle>();
}

} // namespace rz
