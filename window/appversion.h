#pragma once

// The program's version: shown in the viewer's title, written into notes files (major and
// minor) and into result files.
namespace AppVersion {

inline constexpr int Major = 7;
inline constexpr int Minor = 0;
inline constexpr int Patch = 0;

} // namespace AppVersion
