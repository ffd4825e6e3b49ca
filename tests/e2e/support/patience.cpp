#include "patience.h"

#include <QtGlobal>

int scaledMs(int ms)
{
    static const double scale = [] {
        bool ok = false;
        const double value = qEnvironmentVariable("BRAMBLET_E2E_TIME_SCALE").toDouble(&ok);
        return ok && value >= 1.0 ? value : 1.0;
    }();
    return int(ms * scale);
}
