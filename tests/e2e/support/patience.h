#pragma once

#include <QTest>

// Every deadline of the end-to-end tests is sized for the plain build. The
// sanitizer build's program (and our test clients, built the same way) run
// several times slower, so scripts/run-tests.sh sets BRAMBLET_E2E_TIME_SCALE
// for it and each deadline goes through scaledMs().

// `ms` times BRAMBLET_E2E_TIME_SCALE (1 when unset or not a number >= 1).
int scaledMs(int ms);

// QTest::qWaitFor with its deadline scaled: true once `predicate` holds.
template <typename Predicate>
bool waitUntil(Predicate predicate, int timeoutMs)
{
    return QTest::qWaitFor(predicate, scaledMs(timeoutMs));
}
