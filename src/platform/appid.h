#pragma once

// The application's reverse-DNS identifier: journal identifier, desktop file,
// autostart entry and single-instance socket all derive from it.
inline constexpr char kAppId[] = "org.bramblet.Bramblet";
inline constexpr char kAppName[] = "Bramblet";
