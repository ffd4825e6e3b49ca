#pragma once

#include <algorithm>
#include <cmath>

#include <QtGlobal>

// History dates count seconds from 2001-01-01 00:00:00 UTC; timing decisions
// use seconds since 1970. This is the distance between the two epochs.
inline constexpr double kReferenceDateOffset = 978307200.0;

inline double referenceDateFromUnix(double unixSeconds) { return unixSeconds - kReferenceDateOffset; }
inline double unixFromReferenceDate(double referenceSeconds) { return referenceSeconds + kReferenceDateOffset; }

// Whole milliseconds since 1970 for `unixSeconds`, held within 100 million
// days either way: a history file may hold any number as a date, and a double
// beyond the range of qint64 cannot be converted to it. NaN gives 0.
inline qint64 unixMSecsClamped(double unixSeconds)
{
    constexpr double kLimit = 8.64e15;
    const double ms = std::floor(unixSeconds * 1000.0);
    if (std::isnan(ms))
        return 0;
    return qint64(std::clamp(ms, -kLimit, kLimit));
}
