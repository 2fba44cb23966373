// The window was designed in twips with the classic window frame; these map it to
// Qt's device-independent pixels whatever frame the window manager draws.
#pragma once

#include <QRect>
#include <QSize>

namespace suelvan::geometry {

constexpr int kTwipsPerPixel = 15;  // at 96 DPI, one Qt device-independent pixel
constexpr int kFrameSides = 2 * 60;
constexpr int kFrameTopAndBottom = 345 + 60;

constexpr int Pixels(int twips) { return (twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel); }

constexpr QRect ClientRect(int left, int top, int width, int height) {
    return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

constexpr int ClientWidth(int outerWidthTwips) { return Pixels(outerWidthTwips - kFrameSides); }
constexpr int ClientHeight(int outerHeightTwips) { return Pixels(outerHeightTwips - kFrameTopAndBottom); }
constexpr int OuterHeightTwips(int clientHeight) {
    return clientHeight * kTwipsPerPixel + kFrameTopAndBottom;
}

constexpr QSize ClientSize(int outerWidthTwips, int outerHeightTwips) {
    return {ClientWidth(outerWidthTwips), ClientHeight(outerHeightTwips)};
}

// Outer sizes in twips of the two modes.
constexpr int kFullWidth = 5445;
constexpr int kFullHeight = 5700;
constexpr int kCompactWidth = 3000;
constexpr int kCompactHeight = 1000;

static_assert(ClientSize(kFullWidth, kFullHeight) == QSize(355, 353));
static_assert(ClientSize(kCompactWidth, kCompactHeight) == QSize(192, 40));
static_assert(OuterHeightTwips(ClientHeight(kFullHeight)) == kFullHeight);

}  // namespace suelvan::geometry
