#include "base/Dialogs.h"

QString withFinalStop(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + QLatin1Char('.');
    return message;
}
