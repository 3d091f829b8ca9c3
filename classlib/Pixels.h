// The bounds of the class library's pixel values: positions, sizes, border
// widths and font heights lie within Qt's largest widget size either way,
// so sums of a few of them stay far inside int on their way to Qt. Values
// set from code are clamped to the bounds; the form reader refuses a
// resource value beyond them.
//
// A class names its bounded integer properties for the reader with
//   Q_CLASSINFO("Pixels", "Left Top Width Height")
// (within kMostPixels either way) or Q_CLASSINFO("Points", "Size") (font
// sizes, within kMostPoints either way).
#pragma once

// Qt's QWIDGETSIZE_MAX.
constexpr int kMostPixels = 16777215;
// The font size in points (at 96 pixels per inch) of kMostPixels.
constexpr int kMostPoints = kMostPixels / 96 * 72;

constexpr int ClampTo(long long value, int most)
{
    return value < -most ? -most : value > most ? most : static_cast<int>(value);
}

constexpr int ClampPixels(long long value) { return ClampTo(value, kMostPixels); }
