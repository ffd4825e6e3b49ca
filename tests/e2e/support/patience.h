#pragma once

#include <QTest>
#include <QtGlobal>

// Every deadline of the end-to-end tests is sized for the plain build. The
// sanitizer build's program (and our test clients, built the same way) run
// several times slower, so scripts/run-tests.sh sets BRAMBLET_E2E_TIME_SCALE
// for it and each deadline goes through scaledMs().

// `ms` times BRAMBLET_E2E_TIME_SCALE (1 when unset or not a number >= 1).
inline int scaledMs(int ms)
{
    static const double scale = qMax(1.0, qEnvironmentVariable("BRAMBLET_E2E_TIME_SCALE").toDouble());
    return int(ms * scale);
}

// QTest::qWaitFor with its deadline scaled: true once `predicate` holds.
template <typename Predicate>
bool waitUntil(Predicate predicate, int timeoutMs)
{
    return QTest::qWaitFor(predicate, scaledMs(timeoutMs));
}
