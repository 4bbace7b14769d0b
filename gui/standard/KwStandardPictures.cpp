#include "KwStandardPictures.h"

#include <cmath>
#include <map>
#include <string>

using namespace kwraster;

namespace kwstandard {

namespace {

constexpr TRgb Black { 0, 0, 0 };
constexpr TRgb White { 255, 255, 255 };
constexpr TRgb ShadowGray { 96, 96, 96 };
constexpr double ShadowOpacity = 0.45;
constexpr double Pi = 3.14159265358979323846;

TIndexed Small(const TImage& image)
{
    return Reduce(image, 4, { Background, Black, White });
}

// A soft shadow down and to the right of a shape.
void Shadow(TImage& image, const TShape& shape, double d = 1.4)
{
    image.Paint(Shift(shape, d, d), ShadowGray, ShadowOpacity);
}

// A four-pointed star of radius r, its waist at a third of that.
TShape Star(double cx, double cy, double r)
{
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 8; ++i) {
        const double a = -Pi / 2 + i * Pi / 4;
        const double d = i % 2 ? r * 0.3 : r;
        points.emplace_back(cx + d * std::cos(a), cy + d * std::sin(a));
    }
    return Polygon(points);
}

// The framework's emblem: a gold star over a blue disc.
void Emblem(TImage& image, double cx, double cy, double r)
{
    image.Paint(Disc(cx, cy, r), Radial(cx - r * 0.35, cy - r * 0.4, r * 1.5, TRgb { 90, 150, 255 }, TRgb { 0, 20, 110 }));
    image.Paint(Minus(Disc(cx, cy, r), Disc(cx, cy, r * 0.93)), TRgb { 0, 10, 60 });
    const TShape star = Star(cx, cy, r * 0.86);
    image.Paint(Shift(star, r * 0.05, r * 0.05), TRgb { 0, 0, 40 }, 0.5);
    image.Paint(star, Linear(cx - r, cy - r, TRgb { 255, 244, 170 }, cx + r, cy + r, TRgb { 214, 140, 0 }));
}

// The speech bubble of the information and question symbols.
void Bubble(TImage& image)
{
    const TShape outer = Union({ Ellipse(16, 13, 14, 11.2), Polygon({ { 8.5, 19 }, { 5, 29.5 }, { 16, 22.5 } }) });
    const TShape inner = Union({ Ellipse(16, 13, 12.9, 10.1), Polygon({ { 9.5, 19.5 }, { 6.9, 26.6 }, { 14.8, 21.6 } }) });
    Shadow(image, outer);
    image.Paint(outer, Black);
    image.Paint(inner, Linear(16, 3, White, 16, 24, TRgb { 226, 232, 244 }));
}

constexpr TRgb SymbolBlue { 0, 56, 200 };

TIndexed Stop()
{
    TImage image(32, 32, Background);
    const TShape disc = Disc(16, 16, 13.8);
    Shadow(image, disc);
    image.Paint(disc, TRgb { 110, 0, 0 });
    image.Paint(Disc(16, 16, 12.8), Radial(12, 10.5, 19, TRgb { 255, 110, 90 }, TRgb { 176, 0, 0 }));
    const TShape cross = Union({ Stroke(11, 11, 21, 21, 3.8), Stroke(21, 11, 11, 21, 3.8) });
    image.Paint(Shift(cross, 0.7, 0.7), TRgb { 100, 0, 0 }, 0.6);
    image.Paint(cross, White);
    return Small(image);
}

TIndexed Question()
{
    TImage image(32, 32, Background);
    Bubble(image);
    const TShape mark = Union({ Arc(16, 9.8, 2.1, 5.2, 175, 400), Stroke(18.3, 13.1, 16.2, 15.4, 3.0),
                                Box(14.7, 15.2, 17.7, 17.4), Disc(16.2, 20.4, 1.9) });
    image.Paint(mark, SymbolBlue);
    return Small(image);
}

TIndexed Exclamation()
{
    TImage image(32, 32, Background);
    const TShape corners = Polygon({ { 16, 4.5 }, { 28.3, 26.8 }, { 3.7, 26.8 } });
    const TShape outer = Grow(corners, 1.9);
    Shadow(image, outer);
    image.Paint(outer, TRgb { 40, 30, 0 });
    image.Paint(Grow(corners, 0.85), Linear(16, 3, TRgb { 255, 250, 150 }, 16, 28, TRgb { 246, 190, 0 }));
    image.Paint(Polygon({ { 14.3, 10.2 }, { 17.7, 10.2 }, { 17, 19.6 }, { 15, 19.6 } }), Black);
    image.Paint(Disc(16, 23.1, 1.8), Black);
    return Small(image);
}

TIndexed Information()
{
    TImage image(32, 32, Background);
    Bubble(image);
    const TShape letter = Union({ Disc(16, 6.9, 1.9), Box(14.5, 10.2, 17.5, 19.1), Box(13, 10.2, 17.5, 11.5),
                                  Box(12.8, 17.8, 19.2, 19.3) });
    image.Paint(letter, SymbolBlue);
    return Small(image);
}

// A small application window with the emblem inside.
TIndexed DefaultIcon()
{
    TImage image(32, 32, Background);
    const TShape frame = Box(2, 4, 30, 28);
    Shadow(image, frame);
    image.Paint(frame, Black);
    image.Paint(Box(3, 5, 29, 27), White);
    image.Paint(Box(3, 5, 29, 10), TRgb { 0, 0, 128 });
    image.Paint(Box(25, 6, 28, 9), TRgb { 224, 224, 224 });
    image.Paint(Box(3, 10, 29, 11), TRgb { 128, 128, 128 });
    Emblem(image, 16, 19, 6.8);
    return Small(image);
}

// A sheet of paper with its corner folded and a few lines of text.
void Sheet(TImage& image, double x, double y, TRgb paper)
{
    const TShape sheet = Polygon({ { x, y }, { x + 12, y }, { x + 17, y + 5 }, { x + 17, y + 22 }, { x, y + 22 } });
    const TShape inside = Polygon({ { x + 1, y + 1 }, { x + 11.6, y + 1 }, { x + 16, y + 5.4 }, { x + 16, y + 21 }, { x + 1, y + 21 } });
    Shadow(image, sheet, 1.0);
    image.Paint(sheet, Black);
    image.Paint(inside, paper);
    image.Paint(Polygon({ { x + 11.5, y + 0.5 }, { x + 11.5, y + 5.5 }, { x + 16.5, y + 5.5 } }), TRgb { 120, 120, 120 });
    for (double dy : { 8.0, 11.0, 14.0, 17.0 })
        image.Paint(Box(x + 3, y + dy, x + (dy == 17.0 ? 10 : 14), y + dy + 1), TRgb { 110, 120, 150 });
}

// The green badge that says "this can be dropped here".
void DropBadge(TImage& image)
{
    const TShape badge = Disc(24.5, 24.5, 6.2);
    Shadow(image, badge, 1.0);
    image.Paint(badge, TRgb { 0, 80, 0 });
    image.Paint(Disc(24.5, 24.5, 5.3), Radial(23, 22.5, 8, TRgb { 110, 220, 110 }, TRgb { 0, 140, 0 }));
    image.Paint(Union({ Box(23.5, 20.8, 25.5, 28.2), Box(20.8, 23.5, 28.2, 25.5) }), White);
}

TIndexed Drop()
{
    TImage image(32, 32, Background);
    Sheet(image, 6, 3, White);
    DropBadge(image);
    return Small(image);
}

TIndexed DropMultiple()
{
    TImage image(32, 32, Background);
    Sheet(image, 10, 1, TRgb { 236, 236, 236 });
    Sheet(image, 7, 4, TRgb { 246, 246, 246 });
    Sheet(image, 4, 7, White);
    DropBadge(image);
    return Small(image);
}

TIndexed NoDrop()
{
    TImage image(32, 32, Background);
    const TShape sign = Union({ Minus(Disc(16, 16, 12.5), Disc(16, 16, 8.8)), Stroke(9.5, 9.5, 22.5, 22.5, 3.9) });
    Shadow(image, sign, 1.2);
    image.Paint(Grow(sign, 0.9), TRgb { 90, 0, 0 });
    image.Paint(sign, Radial(11, 9, 22, TRgb { 255, 80, 60 }, TRgb { 190, 0, 0 }));
    return Small(image);
}

// The letters of the logo: geometric capitals in a box of the given width,
// 44 pixels high, strokes 8 wide.
constexpr double LetterHeight = 44;
constexpr double LetterStroke = 8.5;

TShape LetterZ(double x, double y, double w)
{
    const double h = LetterHeight;
    const double s = LetterStroke;
    return Union({ Box(x, y, x + w, y + s), Box(x, y + h - s, x + w, y + h),
                   Polygon({ { x + w - s * 1.25, y + s }, { x + w, y + s }, { x + s * 1.25, y + h - s }, { x, y + h - s } }) });
}

TShape LetterO(double x, double y, double w)
{
    const double cx = x + w / 2;
    const double cy = y + LetterHeight / 2;
    return Minus(Ellipse(cx, cy, w / 2, LetterHeight / 2),
                 Ellipse(cx, cy, w / 2 - LetterStroke, LetterHeight / 2 - LetterStroke * 0.95));
}

TShape LetterR(double x, double y, double w)
{
    const double h = LetterHeight;
    const double s = LetterStroke;
    const double bowl = h * 0.56;
    const double round = w * 0.55;
    const TShape outer = Union({ Box(x, y, x + round, y + bowl), Ellipse(x + round, y + bowl / 2, w - round, bowl / 2) });
    const TShape inner = Union({ Box(x + s, y + s, x + round, y + bowl - s),
                                 Ellipse(x + round, y + bowl / 2, w - round - s, bowl / 2 - s) });
    return Union({ Box(x, y, x + s, y + h), Minus(outer, inner),
                   Polygon({ { x + w * 0.34, y + bowl - 1 }, { x + w * 0.34 + s * 1.1, y + bowl - 1 }, { x + w, y + h },
                             { x + w - s * 1.3, y + h } }) });
}

TShape LetterV(double x, double y, double w)
{
    const double h = LetterHeight;
    const double s = LetterStroke;
    const double cx = x + w / 2;
    return Polygon({ { x, y }, { x + s * 1.2, y }, { cx, y + h - s * 1.5 }, { x + w - s * 1.2, y }, { x + w, y },
                     { cx + s * 0.65, y + h }, { cx - s * 0.65, y + h } });
}

TShape LetterI(double x, double y, double)
{
    return Box(x, y, x + LetterStroke, y + LetterHeight);
}

TShape LetterK(double x, double y, double w)
{
    const double h = LetterHeight;
    const double s = LetterStroke;
    return Union({ Box(x, y, x + s, y + h),
                   Polygon({ { x + s, y + h * 0.5 }, { x + w - s * 1.3, y }, { x + w, y }, { x + s, y + h * 0.5 + s * 1.5 } }),
                   Polygon({ { x + s + 2.5, y + h * 0.4 }, { x + w, y + h }, { x + w - s * 1.3, y + h }, { x + s, y + h * 0.62 } }) });
}

// A pixel font of capitals, figures and the point, 7 rows high.
const std::map<char, std::vector<std::string>>& SmallFont()
{
    static const std::map<char, std::vector<std::string>> mapFont = {
        { 'A', { ".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#" } },
        { 'C', { ".###.", "#...#", "#....", "#....", "#....", "#...#", ".###." } },
        { 'E', { "#####", "#....", "#....", "####.", "#....", "#....", "#####" } },
        { 'F', { "#####", "#....", "#....", "####.", "#....", "#....", "#...." } },
        { 'I', { "###", ".#.", ".#.", ".#.", ".#.", ".#.", "###" } },
        { 'K', { "#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#" } },
        { 'L', { "#....", "#....", "#....", "#....", "#....", "#....", "#####" } },
        { 'M', { "#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#" } },
        { 'O', { ".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###." } },
        { 'R', { "####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#" } },
        { 'S', { ".####", "#....", "#....", ".###.", "....#", "....#", "####." } },
        { 'T', { "#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.." } },
        { 'W', { "#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#" } },
        { '0', { ".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###." } },
        { '3', { "####.", "....#", "....#", ".###.", "....#", "....#", "####." } },
        { '.', { "..", "..", "..", "..", "..", "##", "##" } },
        { ' ', { "...", "...", "...", "...", "...", "...", "..." } },
    };
    return mapFont;
}

// Writes the text with a shadow; answers the width it took.
int SmallText(TImage& image, const char* pszText, int x, int y, TRgb colour, TRgb shadow)
{
    const int nStart = x;
    for (const char* pch = pszText; *pch; ++pch) {
        const std::vector<std::string>& rows = SmallFont().at(*pch);
        image.Plot(rows, x + 1, y + 1, shadow);
        image.Plot(rows, x, y, colour);
        x += static_cast<int>(rows[0].size()) + 1;
    }
    return x - nStart;
}

TIndexed Logo()
{
    const int nWidth = 320;
    const int nHeight = 112;
    TImage image(nWidth, nHeight, Black);
    image.Paint(Box(0, 0, nWidth, nHeight), Linear(0, 0, TRgb { 10, 18, 70 }, 0, nHeight, TRgb { 20, 60, 150 }));
    // A broad light band across, the sheen of the classic start-up screens.
    image.Paint(Polygon({ { 150, 0 }, { 230, 0 }, { 150, nHeight }, { 70, nHeight } }), TRgb { 120, 170, 255 }, 0.10);
    Emblem(image, 54, 52, 38);

    struct TLetter {
        TShape (*pfnShape)(double, double, double);
        double dWidth;
    };
    const TLetter aLetters[] = { { LetterZ, 30 }, { LetterO, 36 }, { LetterR, 31 }, { LetterV, 34 }, { LetterI, 0 }, { LetterK, 31 } };
    std::vector<TShape> vecLetters;
    double x = 108;
    const double y = 20;
    for (const TLetter& letter : aLetters) {
        vecLetters.push_back(letter.pfnShape(x, y, letter.dWidth));
        x += (letter.dWidth ? letter.dWidth : LetterStroke) + 6;
    }
    const TShape word = Union(vecLetters);
    image.Paint(Shift(word, 3, 3), TRgb { 0, 0, 20 }, 0.7);
    image.Paint(word, Linear(0, y, White, 0, y + LetterHeight, TRgb { 176, 200, 240 }));
    image.Paint(Box(108, y + LetterHeight + 6, x - 6, y + LetterHeight + 8), Linear(108, 0, TRgb { 255, 210, 60 }, x, 0, TRgb { 160, 90, 0 }));
    SmallText(image, "KWILLET CLASS FRAMEWORK 3.00", 110, 84, TRgb { 255, 228, 140 }, TRgb { 0, 0, 30 });
    return Reduce(image, 8, {});
}

} // namespace

std::vector<TPicture> StandardPictures()
{
    return {
        { "BMP_ZORVIK", "the start-up logo", Logo() },
        { "BMP_KWDEFAULTICON", "the default application icon", DefaultIcon() },
        { "BMP_MBSTOP", "message box: stop", Stop() },
        { "BMP_MBQUEST", "message box: question", Question() },
        { "BMP_MBEXCLAM", "message box: exclamation", Exclamation() },
        { "BMP_MBINFO", "message box: information", Information() },
        { "BMP_DROP", "drag picture: one object can be dropped", Drop() },
        { "BMP_DROPMP", "drag picture: several objects can be dropped", DropMultiple() },
        { "BMP_NODROP", "drag picture: nothing can be dropped here", NoDrop() },
    };
}

} // namespace kwstandard
