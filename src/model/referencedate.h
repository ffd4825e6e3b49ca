#pragma once

// History dates count seconds from 2001-01-01 00:00:00 UTC; timing decisions
// use seconds since 1970. This is the distance between the two epochs.
inline constexpr double kReferenceDateOffset = 978307200.0;

inline double referenceDateFromUnix(double unixSeconds) { return unixSeconds - kReferenceDateOffset; }
inline double unixFromReferenceDate(double referenceSeconds) { return referenceSeconds + kReferenceDateOffset; }
