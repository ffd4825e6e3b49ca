#include "fuzzsupport.h"

#include "platform/logger.h"

namespace Fuzz {

void quietLog()
{
    Log::setSink([](Log::Level, const QString &) {});
}

} // namespace Fuzz
