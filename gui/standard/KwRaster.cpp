#include "KwRaster.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace kwraster {

namespace {

constexpr int Samples = 5;   // per pixel and direction
constexpr double Pi = 3.14159265358979323846;

uint8_t Clamp(double v)
{
    return static_cast<uint8_t>(std::lround(std::min(255.0, std::max(0.0, v))));
}

uint32_t Key(TRgb c)
{
    return static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | c.b;
}

TRgb FromKey(uint32_t ul)
{
    return { static_cast<uint8_t>(ul >> 16), static_cast<uint8_t>(ul >> 8), static_cast<uint8_t>(ul) };
}

long Distance(TRgb a, TRgb b)
{
    const long dr = a.r - b.r;
    const long dg = a.g - b.g;
    const long db = a.b - b.b;
    // Green counts most and blue least for the eye.
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

struct TWeighted {
    TRgb colour;
    long lCount;
};

// Median cut: the box with the widest channel range is split at its
// population's median until there are enough boxes; each box gives its
// weighted mean.
std::vector<TRgb> MedianCut(std::vector<TWeighted> vec, size_t nWanted)
{
    struct TBox {
        size_t nBegin, nEnd;
    };
    std::vector<TBox> boxes { { 0, vec.size() } };
    const auto Channel = [](const TRgb& c, int n) { return n == 0 ? c.r : n == 1 ? c.g : c.b; };
    const auto Widest = [&](const TBox& box, int& nChannel) {
        int nBest = -1;
        for (int n = 0; n < 3; ++n) {
            int nLow = 255;
            int nHigh = 0;
            for (size_t i = box.nBegin; i < box.nEnd; ++i) {
                nLow = std::min<int>(nLow, Channel(vec[i].colour, n));
                nHigh = std::max<int>(nHigh, Channel(vec[i].colour, n));
            }
            if (nHigh - nLow > nBest) {
                nBest = nHigh - nLow;
                nChannel = n;
            }
        }
        return nBest;
    };
    while (boxes.size() < nWanted) {
        size_t nSplit = boxes.size();
        int nRange = 0;
        int nChannel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int n = 0;
            const int nWidth = boxes[i].nEnd - boxes[i].nBegin > 1 ? Widest(boxes[i], n) : 0;
            if (nWidth > nRange) {
                nRange = nWidth;
                nSplit = i;
                nChannel = n;
            }
        }
        if (nSplit == boxes.size())
            break;
        TBox& box = boxes[nSplit];
        std::sort(vec.begin() + static_cast<long>(box.nBegin), vec.begin() + static_cast<long>(box.nEnd),
                  [&](const TWeighted& a, const TWeighted& b) { return Channel(a.colour, nChannel) < Channel(b.colour, nChannel); });
        long lTotal = 0;
        for (size_t i = box.nBegin; i < box.nEnd; ++i)
            lTotal += vec[i].lCount;
        long lHalf = 0;
        size_t nMiddle = box.nBegin;
        while (nMiddle + 1 < box.nEnd && lHalf + vec[nMiddle].lCount <= lTotal / 2)
            lHalf += vec[nMiddle++].lCount;
        nMiddle = std::max(nMiddle, box.nBegin + 1);
        const TBox upper { nMiddle, box.nEnd };
        box.nEnd = nMiddle;
        boxes.push_back(upper);
    }
    std::vector<TRgb> vecMeans;
    for (const TBox& box : boxes) {
        double ad[3] = { 0, 0, 0 };
        long lTotal = 0;
        for (size_t i = box.nBegin; i < box.nEnd; ++i) {
            ad[0] += vec[i].colour.r * static_cast<double>(vec[i].lCount);
            ad[1] += vec[i].colour.g * static_cast<double>(vec[i].lCount);
            ad[2] += vec[i].colour.b * static_cast<double>(vec[i].lCount);
            lTotal += vec[i].lCount;
        }
        vecMeans.push_back({ Clamp(ad[0] / lTotal), Clamp(ad[1] / lTotal), Clamp(ad[2] / lTotal) });
    }
    return vecMeans;
}

size_t Nearest(const std::vector<TRgb>& vecPalette, TRgb c)
{
    size_t nBest = 0;
    long lBest = -1;
    for (size_t i = 0; i < vecPalette.size(); ++i) {
        const long l = Distance(vecPalette[i], c);
        if (lBest < 0 || l < lBest) {
            lBest = l;
            nBest = i;
        }
    }
    return nBest;
}

} // namespace

// Shapes

TShape Disc(double cx, double cy, double r)
{
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

TShape Ellipse(double cx, double cy, double rx, double ry)
{
    return [=](double x, double y) {
        const double dx = (x - cx) / rx;
        const double dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
}

TShape Box(double x0, double y0, double x1, double y1)
{
    return [=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
}

TShape RoundBox(double x0, double y0, double x1, double y1, double r)
{
    return [=](double x, double y) {
        if (x < x0 || x > x1 || y < y0 || y > y1)
            return false;
        const double cx = std::min(std::max(x, x0 + r), x1 - r);
        const double cy = std::min(std::max(y, y0 + r), y1 - r);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
}

TShape Stroke(double x0, double y0, double x1, double y1, double width)
{
    return [=](double x, double y) {
        const double vx = x1 - x0;
        const double vy = y1 - y0;
        const double len2 = vx * vx + vy * vy;
        double t = len2 > 0 ? ((x - x0) * vx + (y - y0) * vy) / len2 : 0;
        t = std::min(1.0, std::max(0.0, t));
        const double dx = x - (x0 + t * vx);
        const double dy = y - (y0 + t * vy);
        return dx * dx + dy * dy <= width * width / 4;
    };
}

TShape Polygon(std::vector<std::pair<double, double>> points)
{
    return [points = std::move(points)](double x, double y) {
        bool bInside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto& [xi, yi] = points[i];
            const auto& [xj, yj] = points[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
                bInside = !bInside;
        }
        return bInside;
    };
}

TShape Arc(double cx, double cy, double rInner, double rOuter, double degFrom, double degTo)
{
    return [=](double x, double y) {
        const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        if (d2 < rInner * rInner || d2 > rOuter * rOuter)
            return false;
        double deg = std::atan2(y - cy, x - cx) * 180.0 / Pi;
        while (deg < degFrom)
            deg += 360.0;
        return deg <= degTo;
    };
}

TShape Grow(TShape shape, double d)
{
    return [shape = std::move(shape), d](double x, double y) {
        if (shape(x, y))
            return true;
        for (int i = 0; i < 16; ++i) {
            const double a = i * Pi / 8;
            if (shape(x + d * std::cos(a), y + d * std::sin(a)))
                return true;
        }
        return false;
    };
}

TShape Shift(TShape shape, double dx, double dy)
{
    return [shape = std::move(shape), dx, dy](double x, double y) { return shape(x - dx, y - dy); };
}

TShape Union(std::vector<TShape> shapes)
{
    return [shapes = std::move(shapes)](double x, double y) {
        return std::any_of(shapes.begin(), shapes.end(), [&](const TShape& s) { return s(x, y); });
    };
}

TShape Minus(TShape shape, TShape cut)
{
    return [shape = std::move(shape), cut = std::move(cut)](double x, double y) { return shape(x, y) && !cut(x, y); };
}

TShape Within(TShape shape, TShape clip)
{
    return [shape = std::move(shape), clip = std::move(clip)](double x, double y) { return shape(x, y) && clip(x, y); };
}

TShape Glyph(const std::vector<std::string>& rows, double x, double y, double dx, double dy)
{
    return [rows, x, y, dx, dy](double px, double py) {
        const double c = std::floor((px - x) / dx);
        const double r = std::floor((py - y) / dy);
        if (c < 0 || r < 0 || r >= static_cast<double>(rows.size()))
            return false;
        const std::string& row = rows[static_cast<size_t>(r)];
        return c < static_cast<double>(row.size()) && row[static_cast<size_t>(c)] == '#';
    };
}

// Paints

TRgb Mix(TRgb a, TRgb b, double t)
{
    t = std::min(1.0, std::max(0.0, t));
    return { Clamp(a.r + (b.r - a.r) * t), Clamp(a.g + (b.g - a.g) * t), Clamp(a.b + (b.b - a.b) * t) };
}

TPaint Solid(TRgb colour)
{
    return [colour](double, double) { return colour; };
}

TPaint Linear(double x0, double y0, TRgb a, double x1, double y1, TRgb b)
{
    return [=](double x, double y) {
        const double vx = x1 - x0;
        const double vy = y1 - y0;
        const double len2 = vx * vx + vy * vy;
        return Mix(a, b, len2 > 0 ? ((x - x0) * vx + (y - y0) * vy) / len2 : 0);
    };
}

TPaint Radial(double cx, double cy, double r, TRgb a, TRgb b)
{
    return [=](double x, double y) { return Mix(a, b, std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r); };
}

// The image

TImage::TImage(int nWidth, int nHeight, TRgb background)
    : m_nWidth(nWidth), m_nHeight(nHeight), m_vecPixels(static_cast<size_t>(nWidth) * nHeight * 3)
{
    for (size_t i = 0; i < m_vecPixels.size(); i += 3) {
        m_vecPixels[i] = background.r;
        m_vecPixels[i + 1] = background.g;
        m_vecPixels[i + 2] = background.b;
    }
}

TRgb TImage::At(int x, int y) const
{
    const size_t i = (static_cast<size_t>(y) * m_nWidth + x) * 3;
    return { Clamp(m_vecPixels[i]), Clamp(m_vecPixels[i + 1]), Clamp(m_vecPixels[i + 2]) };
}

void TImage::Paint(const TShape& shape, const TPaint& paint, double opacity)
{
    for (int y = 0; y < m_nHeight; ++y) {
        for (int x = 0; x < m_nWidth; ++x) {
            double ad[3] = { 0, 0, 0 };
            int nHits = 0;
            for (int sy = 0; sy < Samples; ++sy) {
                for (int sx = 0; sx < Samples; ++sx) {
                    const double px = x + (sx + 0.5) / Samples;
                    const double py = y + (sy + 0.5) / Samples;
                    if (!shape(px, py))
                        continue;
                    const TRgb c = paint(px, py);
                    ad[0] += c.r;
                    ad[1] += c.g;
                    ad[2] += c.b;
                    ++nHits;
                }
            }
            if (!nHits)
                continue;
            const double cover = opacity * nHits / (Samples * Samples);
            double* pd = &m_vecPixels[(static_cast<size_t>(y) * m_nWidth + x) * 3];
            for (int n = 0; n < 3; ++n)
                pd[n] += (ad[n] / nHits - pd[n]) * cover;
        }
    }
}

void TImage::Plot(const std::vector<std::string>& rows, int x, int y, TRgb colour)
{
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const int px = x + static_cast<int>(c);
            const int py = y + static_cast<int>(r);
            if (rows[r][c] != '#' || px < 0 || py < 0 || px >= m_nWidth || py >= m_nHeight)
                continue;
            double* pd = &m_vecPixels[(static_cast<size_t>(py) * m_nWidth + px) * 3];
            pd[0] = colour.r;
            pd[1] = colour.g;
            pd[2] = colour.b;
        }
    }
}

// Palettes

std::vector<uint8_t> TIndexed::DibBits() const
{
    const size_t nStride = (static_cast<size_t>(nWidth) * nBitCount + 31) / 32 * 4;
    std::vector<uint8_t> vec(nStride * nHeight, 0);
    for (int y = 0; y < nHeight; ++y) {
        uint8_t* pbRow = &vec[static_cast<size_t>(nHeight - 1 - y) * nStride];
        for (int x = 0; x < nWidth; ++x) {
            const uint8_t b = vecPixels[static_cast<size_t>(y) * nWidth + x];
            if (nBitCount == 8)
                pbRow[x] = b;
            else
                pbRow[x / 2] |= static_cast<uint8_t>((x % 2) ? b : b << 4);
        }
    }
    return vec;
}

TIndexed Reduce(const TImage& image, int nBitCount, const std::vector<TRgb>& vecFixed)
{
    TIndexed out;
    out.nWidth = image.Width();
    out.nHeight = image.Height();
    out.nBitCount = nBitCount;
    std::map<uint32_t, long> mapCounts;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x)
            ++mapCounts[Key(image.At(x, y))];
    }
    std::vector<TWeighted> vecOthers;
    for (const auto& [ulKey, lCount] : mapCounts) {
        const TRgb c = FromKey(ulKey);
        if (std::find(vecFixed.begin(), vecFixed.end(), c) == vecFixed.end())
            vecOthers.push_back({ c, lCount });
    }
    const size_t nRoom = (size_t { 1 } << nBitCount) - vecFixed.size();
    std::vector<TRgb> vecFree;
    if (vecOthers.size() <= nRoom) {
        for (const TWeighted& w : vecOthers)
            vecFree.push_back(w.colour);
    } else {
        vecFree = MedianCut(vecOthers, nRoom);
        // A few rounds of k-means settle the entries on their pixels.
        for (int nRound = 0; nRound < 6; ++nRound) {
            std::vector<double> vecSum(vecFree.size() * 3, 0.0);
            std::vector<double> vecWeight(vecFree.size(), 0.0);
            for (const TWeighted& w : vecOthers) {
                const size_t n = Nearest(vecFree, w.colour);
                vecSum[n * 3] += w.colour.r * static_cast<double>(w.lCount);
                vecSum[n * 3 + 1] += w.colour.g * static_cast<double>(w.lCount);
                vecSum[n * 3 + 2] += w.colour.b * static_cast<double>(w.lCount);
                vecWeight[n] += static_cast<double>(w.lCount);
            }
            for (size_t n = 0; n < vecFree.size(); ++n) {
                if (vecWeight[n] > 0)
                    vecFree[n] = { Clamp(vecSum[n * 3] / vecWeight[n]), Clamp(vecSum[n * 3 + 1] / vecWeight[n]),
                                   Clamp(vecSum[n * 3 + 2] / vecWeight[n]) };
            }
        }
    }
    for (TRgb& c : vecFree) {
        while (std::find(vecFixed.begin(), vecFixed.end(), c) != vecFixed.end())
            c.b = static_cast<uint8_t>(c.b == 255 ? 254 : c.b + 1);
    }
    out.vecPalette = vecFixed;
    out.vecPalette.insert(out.vecPalette.end(), vecFree.begin(), vecFree.end());
    std::map<uint32_t, uint8_t> mapIndex;
    for (const auto& [ulKey, lCount] : mapCounts) {
        const TRgb c = FromKey(ulKey);
        const auto it = std::find(vecFixed.begin(), vecFixed.end(), c);
        mapIndex[ulKey] = static_cast<uint8_t>(it != vecFixed.end() ? it - vecFixed.begin()
                                                                    : vecFixed.size() + Nearest(vecFree, c));
    }
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x)
            out.vecPixels.push_back(mapIndex[Key(image.At(x, y))]);
    }
    return out;
}

} // namespace kwraster
