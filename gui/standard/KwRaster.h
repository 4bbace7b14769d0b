#pragma once

// Drawing the framework's own pictures: shapes given as inside-tests are
// painted with smooth edges into an RGB image (each pixel sampled on a
// grid), and the image is reduced to a small palette for a
// device-independent bitmap of 4 or 8 bits per pixel. Coordinates are in
// pixels, (0,0) the top-left corner of the top-left pixel.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kwraster {

struct TRgb {
    uint8_t r { 0 };
    uint8_t g { 0 };
    uint8_t b { 0 };
    bool operator==(const TRgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const TRgb& o) const { return !(*this == o); }
};

// A point is inside the shape.
using TShape = std::function<bool(double x, double y)>;
// The colour at a point (gradients).
using TPaint = std::function<TRgb(double x, double y)>;

// Shapes
TShape Disc(double cx, double cy, double r);
TShape Ellipse(double cx, double cy, double rx, double ry);
TShape Box(double x0, double y0, double x1, double y1);
TShape RoundBox(double x0, double y0, double x1, double y1, double r);
// A line of the given width with round ends.
TShape Stroke(double x0, double y0, double x1, double y1, double width);
// A closed polygon (even-odd rule).
TShape Polygon(std::vector<std::pair<double, double>> points);
// The part of a ring between two radii and two angles (degrees, counted
// clockwise from the right, as on the screen).
TShape Arc(double cx, double cy, double rInner, double rOuter, double degFrom, double degTo);
// The same shape grown by d in every direction (sampled on a circle).
TShape Grow(TShape shape, double d);
TShape Shift(TShape shape, double dx, double dy);
TShape Union(std::vector<TShape> shapes);
TShape Minus(TShape shape, TShape cut);
TShape Within(TShape shape, TShape clip);
// A pixel-art glyph: rows of '#' and '.', each cell dx by dy pixels, the
// top-left corner at (x, y).
TShape Glyph(const std::vector<std::string>& rows, double x, double y, double dx, double dy);

// Paints
TPaint Solid(TRgb colour);
// From colour a at (x0,y0) to colour b at (x1,y1), along that direction.
TPaint Linear(double x0, double y0, TRgb a, double x1, double y1, TRgb b);
// From colour a at the centre to colour b at distance r.
TPaint Radial(double cx, double cy, double r, TRgb a, TRgb b);
TRgb Mix(TRgb a, TRgb b, double t);

class TImage {
public:
    TImage(int nWidth, int nHeight, TRgb background);

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    TRgb At(int x, int y) const;

    // Paints where the shape covers each pixel, by the share of its
    // samples, with the given opacity.
    void Paint(const TShape& shape, const TPaint& paint, double opacity = 1.0);
    void Paint(const TShape& shape, TRgb colour, double opacity = 1.0) { Paint(shape, Solid(colour), opacity); }
    // Sets the pixels exactly (no smoothing): for pixel fonts.
    void Plot(const std::vector<std::string>& rows, int x, int y, TRgb colour);

private:
    int m_nWidth;
    int m_nHeight;
    std::vector<double> m_vecPixels;   // r, g, b per pixel, 0 to 255
};

// A picture of palette indexes, rows from the top.
struct TIndexed {
    int nWidth { 0 };
    int nHeight { 0 };
    int nBitCount { 4 };
    std::vector<TRgb> vecPalette;
    std::vector<uint8_t> vecPixels;

    // The bits of the device-independent form: rows from the bottom, each
    // padded to 32 bits.
    std::vector<uint8_t> DibBits() const;
    TRgb At(int x, int y) const { return vecPalette[vecPixels[static_cast<size_t>(y) * nWidth + x]]; }
};

// Reduces the image to at most 2^nBitCount colours. The fixed colours come
// first in the palette and are kept exactly (the transparent background);
// no other entry equals one of them, so that only pixels of that very
// colour become transparent.
TIndexed Reduce(const TImage& image, int nBitCount, const std::vector<TRgb>& vecFixed);

} // namespace kwraster
