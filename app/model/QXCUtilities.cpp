#include "app/model/QXCUtilities.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QSysInfo>
#include <QVariant>

namespace rz::app {

namespace {

bool somethingAt(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

template <class T, class Read>
T valueWithWriteBack(const QString& key, const T& defaultValue, Read read)
{
    QSettings settings;
    const QVariant stored = settings.value(key);
    if (stored.isValid())
        return read(stored);
    settings.setValue(key, QVariant::fromValue(defaultValue));
    settings.sync();
    return defaultValue;
}

} // namespace

QString QXCUtilities::getNewPathby(const QString& path)
{
    // The extension is what follows the last point of the last component,
    // unless that point starts the component (".profile" has none).
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    QString base = path;
    QString extension;
    if (dot > slash + 1 && dot + 1 < path.size()) {
        base = path.left(dot);
        extension = path.mid(dot + 1);
    }
    constexpr int kLastNumber = 99999999;
    QString candidate = path;
    for (int number = 2; somethingAt(candidate) && number <= kLastNumber; ++number) {
        candidate = extension.isEmpty() ? QStringLiteral("%1 %2").arg(base).arg(number)
                                        : QStringLiteral("%1 %2.%3").arg(base).arg(number).arg(extension);
    }
    return candidate;
}

bool QXCUtilities::boolValueForKey(const QString& key, bool defaultValue)
{
    return valueWithWriteBack(key, defaultValue, [](const QVariant& v) { return v.toBool(); });
}

std::optional<QString> QXCUtilities::stringValueForKey(const QString& key, const std::optional<QString>& defaultValue)
{
    QSettings settings;
    const QVariant stored = settings.value(key);
    if (stored.isValid())
        return stored.toString();
    if (!defaultValue)
        return std::nullopt;
    settings.setValue(key, *defaultValue);
    settings.sync();
    return defaultValue;
}

int32_t QXCUtilities::intValueForKey(const QString& key, int32_t defaultValue)
{
    return valueWithWriteBack(key, defaultValue, [](const QVariant& v) { return int32_t(v.toInt()); });
}

int64_t QXCUtilities::integerValueForKey(const QString& key, int64_t defaultValue)
{
    return valueWithWriteBack(key, qlonglong(defaultValue), [](const QVariant& v) { return v.toLongLong(); });
}

float QXCUtilities::floatValueForKey(const QString& key, float defaultValue)
{
    return valueWithWriteBack(key, defaultValue, [](const QVariant& v) { return v.toFloat(); });
}

QString qx_sharedLocalized(const char* english)
{
    return QCoreApplication::translate("QXLocalizable", english);
}

QString QXSystemVersionString()
{
    // The distribution's version ("12", "22.04"), padded to three numbers.
    int numbers[3] = {0, 0, 0};
    const QStringList parts = QSysInfo::productVersion().split(QLatin1Char('.'));
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        numbers[i] = parts[i].toInt();
    return QStringLiteral("%1.%2.%3").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]);
}

QString QXDeviceModelString()
{
    for (const char* path : {"/sys/devices/virtual/dmi/id/product_name", "/proc/device-tree/model"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.read(256);
            const QString model = QString::fromUtf8(bytes).remove(QChar(0)).trimmed();
            if (!model.isEmpty())
                return model;
        }
    }
    return QStringLiteral("Unknow device");
}

} // namespace rz::app
