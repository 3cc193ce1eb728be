#include "widgets/named_control.h"

namespace torvane {

QStringList& MissingControls() {
    static QStringList missing;
    return missing;
}

void NoteMissingControl(const QString& name, const char* kind) {
    const QString entry = name + " (" + QLatin1String(kind) + ")";
    if (!MissingControls().contains(entry)) MissingControls().append(entry);
}

}  // namespace torvane
