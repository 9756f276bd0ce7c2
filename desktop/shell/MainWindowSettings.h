#pragma once
// The main window's own settings (~/.config/vorn/vorn.conf): recent files, the last folder,
// the window's place.
namespace vorn {

inline constexpr const char* kSettingsName = "vorn";
inline constexpr const char* kRecentKey = "recentFiles";
inline constexpr const char* kLastFolderKey = "lastFolder";
inline constexpr const char* kGeometryKey = "window/geometry";
// The extension of projects among the recent files.
inline constexpr const char* kProjectSuffix = "vrp";

} // namespace vorn
