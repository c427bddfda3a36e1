// Small services of the desktop program: unique output paths, typed
// settings getters that store their default when the key is absent, the
// lookup of interface texts, and the system facts of the support message.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace rz::app {

class QXCUtilities {
public:
    // The path itself when nothing is there, else "<base> 2.<ext>",
    // "<base> 3.<ext>", ... ("<base> 2" without an extension): the first
    // free one, or the one numbered 99999999.
    static QString getNewPathby(const QString& path);

    // Each getter answers the stored value when the key is present; when it
    // is absent it stores the default, writes the settings out and answers
    // the default. A string getter with no default stores nothing.
    static bool boolValueForKey(const QString& key, bool defaultValue);
    static std::optional<QString> stringValueForKey(const QString& key, const std::optional<QString>& defaultValue);
    static int32_t intValueForKey(const QString& key, int32_t defaultValue);
    static int64_t integerValueForKey(const QString& key, int64_t defaultValue);
    static float floatValueForKey(const QString& key, float defaultValue);
};

// The interface text whose English form is `english`, in the language
// shown; the English text itself when no translation has it.
QString qx_sharedLocalized(const char* english);

// "major.minor.patch" of the system's release, missing numbers as 0.
QString QXSystemVersionString();
// The machine's model as the firmware names it, or "Unknow device".
QString QXDeviceModelString();

} // namespace rz::app
