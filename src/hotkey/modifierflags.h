#pragma once

#include <cstdint>

// Modifier flags of key events (bits 17 to 20) and the hot-key service's own
// modifier mask, with the conversions between them. On this desktop command
// is Super (Mod4), control is Ctrl, option is Alt.
namespace ModifierFlags {

inline constexpr uint64_t kShift = 0x20000;
inline constexpr uint64_t kControl = 0x40000;
inline constexpr uint64_t kOption = 0x80000;
inline constexpr uint64_t kCommand = 0x100000;
// The four flags above; every other bit is dropped by the conversions.
inline constexpr uint64_t kDeviceIndependentMask = kShift | kControl | kOption | kCommand;

inline constexpr uint32_t kCarbonCommand = 0x100;
inline constexpr uint32_t kCarbonShift = 0x200;
inline constexpr uint32_t kCarbonOption = 0x800;
inline constexpr uint32_t kCarbonControl = 0x1000;

// Flags to the service mask: exactly the four pairs, other bits dropped.
uint32_t carbonFlags(uint64_t flags);
// Service mask to flags: exactly the four pairs, other bits dropped.
uint64_t fromCarbonFlags(uint32_t carbonMask);

} // namespace ModifierFlags
