#pragma once

#include <cstdio>
#include <cstdlib>

#include <QByteArray>

#include "platform/logger.h"

// Shared by the fuzz targets: a fault that is not a crash (a property of the
// code under test that does not hold) stops the run like one, so libFuzzer
// keeps the input.
namespace Fuzz {

// Bad input is logged by design, once per input: the log is silenced.
inline void quietLog() { Log::setSink([](Log::Level, const QString &) {}); }

[[noreturn]] inline void fail(const char *what, const QByteArray &detail = QByteArray())
{
    std::fprintf(stderr, "fuzz property broken: %s\n%s\n", what, detail.constData());
    std::abort();
}

} // namespace Fuzz
