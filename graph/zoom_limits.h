// zoom_limits.h - the lowest zoom a script, a loaded file or the wheel leaves the view at.
#pragma once

// A script write or a loaded file stores at least this: the view divides by it.
inline constexpr float kMinScriptZoom = 0.1f;
// A wheel step below this lands on kWheelZoomReset. Compared in double: 0.19f
// itself lies just below 0.19, so stepping down onto it resets too.
inline constexpr double kMinWheelZoom = 0.19;
inline constexpr float kWheelZoomReset = 0.2f;

// zoom raised to kMinScriptZoom. Written this way round so that NaN, which
// compares false, is raised too.
inline float atLeastScriptZoom(float zoom) { return zoom >= kMinScriptZoom ? zoom : kMinScriptZoom; }
