// drawing_sizes.h - the sizes drawing, culling and hit testing must agree on, in one place.
#pragma once
#include <cstdint>

// Side of a socket box in graph units when the script sets none; links also leave
// from half of it, whatever a socket's own radius.
inline constexpr float kDefaultSocketSide = 9.0f;
// A collapsed node's socket boxes stand this far out of its left or right edge (pixels).
inline constexpr float kCollapsedSocketOverhang = 4.0f;

// The mini-bitmap strip a collapsed node shows on its left, graph units.
inline constexpr float kMiniBitmapSide = 40.0f;
// Height the mini bitmap adds to a collapsed node, graph units.
inline constexpr float kMiniBitmapHeight = 26.0f;
// Past the strip (pixels): the title bar starts, the caption starts, the caption's
// right edge is pulled in.
inline constexpr float kMiniTitleGap = 6.0f;
inline constexpr float kMiniCaptionGap = 10.0f;
inline constexpr float kMiniCaptionInsetGap = 12.0f;

// A node's title bar (menu bars on) runs from its top this far down, graph units;
// it may reach below a node shorter than that.
inline constexpr float kTitleBarHeight = 15.0f;

// The shadow sits this far left of and below the body (pixels).
inline constexpr float kShadowOffset = 2.0f;

// Socket labels: height in graph units, and how far their top stands above the
// bottom of the socket box (pixels).
inline constexpr float kSocketLabelHeight = 16.0f;
inline constexpr float kSocketLabelLift = 8.0f;

// The arrowhead at a link's middle, graph units, and what truncating its corners
// may add (pixels).
inline constexpr float kArrowLength = 10.0f;
inline constexpr float kArrowHalfWidth = 4.0f;
inline constexpr float kArrowRounding = 3.0f;

// The weight caption's box around its place on the link (pixels).
inline constexpr float kWeightBoxHalfWidth = 50.0f;
inline constexpr float kWeightBoxHalfHeight = 10.0f;

// The square a press tests links with reaches this far left and up of the pointer,
// and kLinkProbeAfter right and down (pixels).
inline constexpr int32_t kLinkProbeBefore = 8;
inline constexpr int32_t kLinkProbeAfter = 7;
// What a link's extent adds for that square, with room for truncation.
inline constexpr float kLinkProbeCover = 10.0f;
static_assert(kLinkProbeCover >= float(kLinkProbeBefore) && kLinkProbeCover >= float(kLinkProbeAfter),
              "a link's extent must cover the press's probe square");

// At or below this zoom no zoomed caption is drawn (compared in double).
inline constexpr double kHideCaptionsAtZoom = 0.3;

// Height of the info text strip along the view's bottom edge (pixels).
inline constexpr int kInfoStripHeight = 20;
