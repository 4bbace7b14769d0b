#include "GScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <type_traits>
#include <vector>

std::ostream& operator<<(std::ostream& os, const DevPoint& co) { return os << "(" << co.x << "," << co.y << ")"; }
std::ostream& operator<<(std::ostream& os, const DevRect& co)
{
    return os << "(" << co.left << "," << co.top << "," << co.right << "," << co.bottom << ")";
}
std::ostream& operator<<(std::ostream& os, const GPoint& co) { return os << "(" << co.x << "," << co.y << ")"; }

namespace {

constexpr double kEps = 1e-9;

// A scale of (0, 0)-(100, 100) onto the device rectangle, calculated.
GScale MakeScale(DevRect coDev, unsigned short unPixelX = 1, unsigned short unPixelY = 1)
{
    GScale coScale(unPixelX, unPixelY);
    coScale.SetDevRect(coDev, 1);
    return coScale;
}

// Exposes the area-relative helpers that derived drawing classes use.
class TAreaScale : public GScale {
public:
    using GScale::AbsX;
    using GScale::AbsY;
    using GScale::RelX;
    using GScale::RelY;
};

TEST(GScaleTest, DevicePointsAndRectangles)
{
    DevPoint coP;
    coP.Set(3, -4) += DevPoint(7, 4);
    coP -= DevPoint(10, 1);
    EXPECT_EQ(coP + DevPoint(1, 1) - DevPoint(1, 1), DevPoint(0, -1));
    EXPECT_NE(coP, DevPoint(0, 1));
    DevRect coR;
    coR.Set(30, 40, 10, 5);
    EXPECT_EQ(coR.Width() + coR.Height(), 55);
    EXPECT_EQ(coR.Sort(), DevRect(10, 5, 30, 40));
    EXPECT_NE(coR, DevRect(10, 5, 30, 41));
    // The span of the whole 16-bit range does not overflow.
    EXPECT_EQ(DevRect(-32768, 32767, 32767, -32768).Height(), 65535);
}

TEST(GScaleTest, PlainMappingScalesEachAxis)
{
    GScale coScale = MakeScale(DevRect(0, 0, 200, 100));
    ASSERT_TRUE(coScale.IsInitialized());
    EXPECT_DOUBLE_EQ(coScale.XFac(), 0.5);
    EXPECT_DOUBLE_EQ(coScale.YFac(), 1.0);
    EXPECT_EQ(coScale.GetAreaRect(), DevRect(0, 0, 200, 100));
    EXPECT_EQ(coScale.LogToDc(GPoint(50, 50)), DevPoint(100, 50));
    EXPECT_EQ(coScale / GPoint(50, 50), DevPoint(100, 50));
    EXPECT_EQ(coScale.XLogToDc(50), 100);
    EXPECT_EQ(coScale.YLogToDc(50), 50);
    EXPECT_EQ(coScale.DcToLog(DevPoint(100, 50)), GPoint(50, 50));
    EXPECT_EQ(coScale * DevPoint(100, 50), GPoint(50, 50));
    EXPECT_EQ(coScale.XDcToLog(101), 50.5);
    // Rounding adds a half and cuts toward zero.
    EXPECT_EQ(coScale.XLogToDc(10.24), 20);
    EXPECT_EQ(coScale.XLogToDc(10.25), 21);
    EXPECT_EQ(coScale.YLogToDc(-0.4), 0);
    // Before the area's start as well: nearest pixel, halves upwards.
    EXPECT_EQ(coScale.XLogToDc(-10), -20);
    EXPECT_EQ(coScale.YLogToDc(-0.6), -1);
    EXPECT_EQ(coScale.YLogToDc(-0.5), 0);
    EXPECT_EQ(coScale.XLogToDc(-10.25), -20);
    // An offset device rectangle moves the area and with it every position.
    GScale coOffset = MakeScale(DevRect(20, 10, 220, 110));
    EXPECT_EQ(coOffset.LogToDc(GPoint(0, 0)), DevPoint(20, 10));
    EXPECT_EQ(coOffset.LogToDc(GPoint(100, 100)), DevPoint(220, 110));
    EXPECT_EQ(coOffset.DcToLog(DevPoint(120, 60)), GPoint(50, 50));

    const GPoint acoLog[3] = { { 0, 0 }, { 50, 50 }, { 100, 100 } };
    DevPoint acoDev[4] = { { 9, 9 }, { 9, 9 }, { 9, 9 }, { 9, 9 } };
    coScale.LogToDc(acoLog, acoDev, 3);
    EXPECT_EQ(acoDev[0], DevPoint(0, 0));
    EXPECT_EQ(acoDev[1], DevPoint(100, 50));
    EXPECT_EQ(acoDev[2], DevPoint(200, 100));
    EXPECT_EQ(acoDev[3], DevPoint(9, 9));
    GPoint acoBack[4] = { { -1, -1 }, { -1, -1 }, { -1, -1 }, { -1, -1 } };
    coScale.DcToLog(acoDev, acoBack, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(acoBack[i], acoLog[i]);
    EXPECT_EQ(acoBack[3], GPoint(-1, -1));
    coScale.LogToDc(acoLog, nullptr, 3);
    coScale.DcToLog(nullptr, acoBack, 3);
    coScale.LogToDc(acoLog, acoDev, 0);
}

TEST(GScaleTest, ProportionalAreaFollowsAlignment)
{
    struct Case {
        const char* name;
        unsigned short pixelX, pixelY;
        int exchanged;
        DevRect dev;
        GPoint p2;
        unsigned short alignment;
        DevRect area;
        double xfac, yfac;
        int fillsArea;   // 0: no alignment along the shortened axis, the area stays full
    };
    const Case cases[] = {
        { "wide, left", 1, 1, 0, { 0, 0, 200, 100 }, { 100, 100 }, 0x1100, { 0, 0, 100, 100 }, 1, 1, 1 },
        { "wide, centre", 1, 1, 0, { 0, 0, 200, 100 }, { 100, 100 }, 0x0400, { 50, 0, 150, 100 }, 1, 1, 1 },
        { "wide, right", 1, 1, 0, { 0, 0, 200, 100 }, { 100, 100 }, 0x1200, { 100, 0, 200, 100 }, 1, 1, 1 },
        { "wide, no alignment", 1, 1, 0, { 0, 0, 200, 100 }, { 100, 100 }, 0x0000, { 0, 0, 200, 100 }, 1, 1, 0 },
        { "tall, bottom", 1, 1, 0, { 0, 0, 100, 200 }, { 100, 100 }, 0x1100, { 0, 100, 100, 200 }, 1, 1, 1 },
        { "tall, top", 1, 1, 0, { 0, 0, 100, 200 }, { 100, 100 }, 0x2100, { 0, 0, 100, 100 }, 1, 1, 1 },
        { "tall, centre", 1, 1, 0, { 0, 0, 100, 200 }, { 100, 100 }, 0x4100, { 0, 50, 100, 150 }, 1, 1, 1 },
        { "tall, no alignment", 1, 1, 0, { 0, 0, 100, 200 }, { 100, 100 }, 0x0100, { 0, 0, 100, 200 }, 1, 1, 0 },
        { "flat drawing rounds", 1, 1, 0, { 0, 0, 100, 100 }, { 300, 100 }, 0x1100, { 0, 67, 100, 100 }, 3, 100.0 / 33, 1 },
        { "flat drawing centred", 1, 1, 0, { 0, 0, 100, 100 }, { 300, 100 }, 0x4100, { 0, 33, 100, 66 }, 3, 100.0 / 33, 1 },
        { "denser rows", 1, 2, 0, { 0, 0, 200, 100 }, { 100, 100 }, 0x1100, { 0, 0, 50, 100 }, 2, 1, 1 },
        { "denser columns", 2, 1, 0, { 0, 0, 200, 100 }, { 100, 100 }, 0x1100, { 0, 0, 200, 100 }, 0.5, 1, 1 },
        { "exchanged tall, bottom", 1, 1, 1, { 0, 0, 100, 300 }, { 100, 100 }, 0x1100, { 0, 200, 100, 300 }, 1, 1, 1 },
        { "exchanged tall, top", 1, 1, 1, { 0, 0, 100, 300 }, { 100, 100 }, 0x2100, { 0, 0, 100, 100 }, 1, 1, 1 },
        { "exchanged wide, left", 1, 1, 1, { 0, 0, 300, 100 }, { 100, 100 }, 0x1100, { 0, 0, 100, 100 }, 1, 1, 1 },
        { "exchanged wide, centre", 1, 1, 1, { 0, 0, 300, 100 }, { 100, 100 }, 0x1400, { 100, 0, 200, 100 }, 1, 1, 1 },
        { "exchanged wide, right", 1, 1, 1, { 0, 0, 300, 100 }, { 100, 100 }, 0x1200, { 200, 0, 300, 100 }, 1, 1, 1 },
        { "exchanged denser rows", 1, 2, 1, { 0, 0, 200, 200 }, { 100, 100 }, 0x1100, { 0, 0, 100, 200 }, 0.5, 1, 1 },
    };
    for (const Case& c : cases) {
        GScale coScale(c.pixelX, c.pixelY);
        coScale.SetPoint2(c.p2, 0);
        coScale.SetDevRect(c.dev, 0);
        coScale.SetCenter(c.alignment, 0);
        if (c.exchanged)
            coScale.ChangeXY(0);
        coScale.SetProportional(1, 1);
        ASSERT_TRUE(coScale.IsInitialized()) << c.name;
        EXPECT_EQ(coScale.GetAreaRect(), c.area) << c.name;
        EXPECT_NEAR(coScale.XFac(), c.xfac, kEps) << c.name;
        EXPECT_NEAR(coScale.YFac(), c.yfac, kEps) << c.name;
        // The logical rectangle spans the used area along the axes it maps to.
        DevPoint coFar = coScale.LogToDc(c.p2), coNear = coScale.LogToDc(GPoint(0, 0));
        DevRect coSpan(coNear.x, coNear.y, coFar.x, coFar.y);
        coSpan.Sort();
        if (c.fillsArea)
            EXPECT_EQ(coSpan, c.area) << c.name;
        else {
            EXPECT_EQ(coSpan, DevRect(c.area.left, c.area.top, c.area.left + 100, c.area.top + 100)) << c.name;
        }
    }
}

TEST(GScaleTest, TurnedYAxisGrowsUpwards)
{
    GScale coScale = MakeScale(DevRect(0, 0, 200, 100));
    coScale.SetYTurned(1);
    EXPECT_TRUE(coScale.IsYTurned());
    EXPECT_TRUE(coScale.IsInitialized());
    struct Case { double y; short dev; };
    const Case cases[] = { { 0, 100 }, { 100, 0 }, { 50, 50 }, { 30.4, 70 }, { 30.6, 69 }, { -10, 110 }, { -10.4, 110 }, { -10.6, 111 } };
    for (const Case& c : cases)
        EXPECT_EQ(coScale.YLogToDc(c.y), c.dev) << c.y;
    EXPECT_EQ(coScale.YDcToLog(100), 0.0);
    EXPECT_EQ(coScale.YDcToLog(0), 100.0);
    EXPECT_EQ(coScale.DcToLog(DevPoint(100, 70)), GPoint(50, 30));
    EXPECT_EQ(coScale.LogToDc(GPoint(50, 30)), DevPoint(100, 70));
    coScale.SetOrigin(0, 5);
    EXPECT_EQ(coScale.LogToDc(GPoint(50, 30)), DevPoint(100, 75));
    EXPECT_EQ(coScale.DcToLog(DevPoint(100, 75)), GPoint(50, 30));
    coScale.SetYTurned(0);
    EXPECT_EQ(coScale.YLogToDc(0), 5);
}

TEST(GScaleTest, ExchangedAxesRunLogicalXVertically)
{
    GScale coScale = MakeScale(DevRect(0, 0, 200, 100));
    coScale.ChangeXY(1);
    ASSERT_TRUE(coScale.IsXYChanged());
    ASSERT_TRUE(coScale.IsInitialized());
    EXPECT_EQ(coScale.DevRectWidth(), 100);
    EXPECT_EQ(coScale.DevRectHeight(), 200);
    EXPECT_DOUBLE_EQ(coScale.XFac(), 1.0);
    EXPECT_DOUBLE_EQ(coScale.YFac(), 0.5);
    EXPECT_EQ(coScale.XLogToDc(30), 30);
    EXPECT_EQ(coScale.YLogToDc(50), 100);
    EXPECT_EQ(coScale.LogToDc(GPoint(30, 50)), DevPoint(100, 30));
    EXPECT_EQ(coScale.XDcToLog(30), 30.0);
    EXPECT_EQ(coScale.YDcToLog(100), 50.0);
    // The point conversions are each other's reverse.
    EXPECT_EQ(coScale.DcToLog(DevPoint(100, 30)), GPoint(30, 50));

    coScale.SetYTurned(1);
    EXPECT_EQ(coScale.LogToDc(GPoint(30, 50)), DevPoint(100, 70));
    EXPECT_EQ(coScale.DcToLog(DevPoint(100, 70)), GPoint(30, 50));
    coScale.SetYTurned(0);

    // The origin keeps the order of the logical axes.
    coScale.SetOrigin(10, 5);
    EXPECT_EQ(coScale.LogToDc(GPoint(30, 50)), DevPoint(105, 40));
    EXPECT_EQ(coScale.DcToLog(DevPoint(105, 40)), GPoint(30, 50));

    coScale.ChangeXY(1);
    EXPECT_FALSE(coScale.IsXYChanged());
    EXPECT_DOUBLE_EQ(coScale.XFac(), 0.5);
    EXPECT_EQ(coScale.DevRectWidth(), 200);
}

TEST(GScaleTest, OriginShiftsWithoutRecalculation)
{
    GScale coScale = MakeScale(DevRect(0, 0, 200, 100));
    coScale.Move(10, 5);
    EXPECT_TRUE(coScale.IsInitialized());
    EXPECT_EQ(coScale.GetOrigin(), DevPoint(10, 5));
    EXPECT_EQ(coScale.LogToDc(GPoint(50, 50)), DevPoint(110, 55));
    EXPECT_EQ(coScale.DcToLog(DevPoint(110, 55)), GPoint(50, 50));
    coScale.Move(DevPoint(10, 5));
    EXPECT_EQ(coScale.LogToDc(GPoint(50, 50)), DevPoint(120, 60));
    coScale.SetOrigin(DevPoint(-3, 4));
    EXPECT_EQ(coScale.GetOrigin(), DevPoint(-3, 4));
    EXPECT_EQ(coScale.LogToDc(GPoint(0, 0)), DevPoint(-3, 4));
    // A device position and origin far apart are subtracted without wrapping.
    coScale.SetOrigin(-1000, 0);
    EXPECT_DOUBLE_EQ(coScale.XDcToLog(32000), 16500.0);
}

TEST(GScaleTest, UninitializedMappingAnswersZero)
{
    struct Case { const char* name; std::function<void(GScale&)> setup; };
    const Case cases[] = {
        { "never calculated", [](GScale&) {} },
        { "no device rectangle", [](GScale& co) { co.CalcNew(); } },
        { "zero logical width", [](GScale& co) { co.SetDevRect(DevRect(0, 0, 200, 100), 0); co.SetX2(0, 1); } },
        { "zero logical height", [](GScale& co) { co.SetDevRect(DevRect(0, 0, 200, 100), 0); co.SetY1(100, 1); } },
        { "zero device height", [](GScale& co) { co.SetDevRect(DevRect(0, 50, 200, 50), 1); } },
        { "NaN logical corner", [](GScale& co) {
              co.SetDevRect(DevRect(0, 0, 200, 100), 0);
              co.SetX2(std::numeric_limits<double>::quiet_NaN(), 1); } },
        { "proportional with pixel size 0", [](GScale& co) {
              co.SetDevRect(DevRect(0, 0, 200, 100), 0);
              co.InitPixelSize(0, 1, 0);
              co.SetProportional(1, 1); } },
        { "changed without recalculation", [](GScale& co) {
              co.SetDevRect(DevRect(0, 0, 200, 100), 1);
              co.SetX2(50, 0); } },
    };
    for (const Case& c : cases) {
        GScale coScale;
        c.setup(coScale);
        coScale.Move(10, 5);
        EXPECT_FALSE(coScale.IsInitialized()) << c.name;
        EXPECT_EQ(coScale.LogToDc(GPoint(50, 50)), DevPoint()) << c.name;
        EXPECT_EQ(coScale.DcToLog(DevPoint(20, 20)), GPoint()) << c.name;
        EXPECT_EQ(coScale.DcSize(10, 10), DevPoint()) << c.name;
        EXPECT_EQ(coScale.LogSize(10, 10), GPoint()) << c.name;
        GPoint coLog(1, 1);
        DevPoint coDev(7, 7);
        coScale.LogToDc(&coLog, &coDev, 1);
        EXPECT_EQ(coDev, DevPoint(7, 7)) << c.name;
        coScale.DcToLog(&coDev, &coLog, 1);
        EXPECT_EQ(coLog, GPoint(1, 1)) << c.name;
    }
    GScale coScale;
    coScale.SetDevRect(DevRect(0, 0, 200, 100), 0);
    coScale.SetX2(0, 0);
    EXPECT_EQ(coScale.CalcNew(), 0);
    coScale.SetX2(100, 0);
    EXPECT_EQ(coScale.CalcNew(), 1);
}

TEST(GScaleTest, SettersStoreAndInvalidate)
{
    struct Case { const char* name; std::function<void(GScale&, int)> set; int invalidates; };
    const Case cases[] = {
        { "SetPoint1", [](GScale& co, int r) { co.SetPoint1(GPoint(-10, -20), r); }, 1 },
        { "SetPoint2", [](GScale& co, int r) { co.SetPoint2(GPoint(40, 30), r); }, 1 },
        { "SetX1", [](GScale& co, int r) { co.SetX1(-5, r); }, 1 },
        { "SetY1", [](GScale& co, int r) { co.SetY1(-5, r); }, 1 },
        { "SetX2", [](GScale& co, int r) { co.SetX2(50, r); }, 1 },
        { "SetY2", [](GScale& co, int r) { co.SetY2(50, r); }, 1 },
        { "SetMapping", [](GScale& co, int r) { co.SetMapping(GPoint(1, 2), GPoint(3, 4), r); }, 1 },
        { "SetDevRect", [](GScale& co, int r) { co.SetDevRect(DevRect(0, 0, 50, 50), r); }, 1 },
        { "SetProportional", [](GScale& co, int r) { co.SetProportional(1, r); }, 1 },
        { "SetCenter", [](GScale& co, int r) { co.SetCenter(0x4400, r); }, 1 },
        { "ChangeXY", [](GScale& co, int r) { co.ChangeXY(r); }, 1 },
        { "InitPixelSize", [](GScale& co, int r) { co.InitPixelSize(2, 3, r); }, 0 },
        { "SetYTurned", [](GScale& co, int) { co.SetYTurned(1); }, 0 },
        { "SetOrigin", [](GScale& co, int) { co.SetOrigin(3, 4); }, 0 },
        { "Move", [](GScale& co, int) { co.Move(3, 4); }, 0 },
    };
    for (const Case& c : cases) {
        GScale coScale = MakeScale(DevRect(0, 0, 200, 100));
        c.set(coScale, 0);
        EXPECT_EQ(coScale.IsInitialized(), !c.invalidates) << c.name;
        GScale coRecalc = MakeScale(DevRect(0, 0, 200, 100));
        c.set(coRecalc, 1);
        EXPECT_TRUE(coRecalc.IsInitialized()) << c.name;
    }

    GScale coScale;
    coScale.SetMapping(GPoint(10, 80), GPoint(-30, 20), 0);
    EXPECT_EQ(std::vector<double>({ coScale[0], coScale[1], coScale[2], coScale[short(3)], coScale[4] }),
              std::vector<double>({ 10, 80, -30, 20, 0 }));
    EXPECT_EQ(coScale.GetPoint1() + coScale.GetPoint2(), GPoint(-20, 100));
    // The alignment takes only the high byte.
    coScale.SetCenter(0x24FF, 0);
    EXPECT_EQ(coScale.GetCenter(), 0x2400);
    EXPECT_TRUE(coScale.IsHCenter() && coScale.IsVTop());
}

TEST(GScaleTest, PixelSizeChangesTheProportions)
{
    GScale coScale;
    coScale.SetDevRect(DevRect(0, 0, 200, 100), 0);
    coScale.SetProportional(1, 1);
    EXPECT_EQ(coScale.GetAreaRect(), DevRect(0, 0, 100, 100));
    coScale.InitPixelSize(1, 2, 0);
    EXPECT_TRUE(coScale.IsInitialized());
    EXPECT_EQ(coScale.GetAreaRect(), DevRect(0, 0, 100, 100));
    coScale.InitPixelSize(1, 2, 1);
    EXPECT_EQ(coScale.GetAreaRect(), DevRect(0, 0, 50, 100));
    // Without proportions the pixel size has no effect.
    GScale coPlain(3, 1);
    coPlain.SetDevRect(DevRect(0, 0, 200, 100), 1);
    EXPECT_EQ(coPlain.GetAreaRect(), DevRect(0, 0, 200, 100));
    EXPECT_DOUBLE_EQ(coPlain.XFac(), 0.5);
}

TEST(GScaleTest, SizesAreMagnitudes)
{
    struct Case {
        const char* name;
        int turned, exchanged;
        DevPoint origin;
        DevPoint dcSize;
        short dcWidth, dcHeight;
        GPoint logSize;
        double logWidth, logHeight;
    };
    // Device (0, 0, 200, 100); DcSize(10, 10), DcWidth(10), DcHeight(10),
    // LogSize(20, 10), LogWidth(20), LogHeight(20).
    const Case cases[] = {
        { "plain", 0, 0, { 0, 0 }, { 20, 10 }, 20, 10, { 10, 10 }, 10, 20 },
        { "turned", 1, 0, { 0, 0 }, { 20, 10 }, 20, 10, { 10, 10 }, 10, 20 },
        { "shifted", 0, 0, { -7, 13 }, { 20, 10 }, 20, 10, { 10, 10 }, 10, 20 },
        { "exchanged", 0, 1, { 0, 0 }, { 20, 10 }, 10, 20, { 10, 10 }, 20, 10 },
        { "exchanged and turned", 1, 1, { 5, 5 }, { 20, 10 }, 10, 20, { 10, 10 }, 20, 10 },
    };
    for (const Case& c : cases) {
        GScale coScale = MakeScale(DevRect(0, 0, 200, 100));
        coScale.SetYTurned(c.turned);
        if (c.exchanged)
            coScale.ChangeXY(1);
        coScale.SetOrigin(c.origin);
        EXPECT_EQ(coScale.DcSize(10, 10), c.dcSize) << c.name;
        EXPECT_EQ(coScale.DcWidth(10), c.dcWidth) << c.name;
        EXPECT_EQ(coScale.DcHeight(10), c.dcHeight) << c.name;
        GPoint coLog = coScale.LogSize(20, 10);
        EXPECT_NEAR(coLog.x, c.logSize.x, kEps) << c.name;
        EXPECT_NEAR(coLog.y, c.logSize.y, kEps) << c.name;
        EXPECT_NEAR(coScale.LogWidth(20), c.logWidth, kEps) << c.name;
        EXPECT_NEAR(coScale.LogHeight(20), c.logHeight, kEps) << c.name;
        // A width and its pixels convert back.
        EXPECT_NEAR(coScale.LogWidth(coScale.DcWidth(30)), 30, kEps) << c.name;
        EXPECT_NEAR(coScale.LogHeight(coScale.DcHeight(30)), 30, kEps) << c.name;
    }
}

TEST(GScaleTest, BackwardsRectangleMirrors)
{
    GScale coScale;
    coScale.SetDevRect(DevRect(0, 0, 200, 100), 0);
    coScale.SetMapping(GPoint(100, 100), GPoint(0, 0), 1);
    ASSERT_TRUE(coScale.IsInitialized());
    EXPECT_DOUBLE_EQ(coScale.XFac(), -0.5);
    EXPECT_DOUBLE_EQ(coScale.YFac(), -1.0);
    EXPECT_EQ(coScale.LogToDc(GPoint(100, 100)), DevPoint(0, 0));
    EXPECT_EQ(coScale.LogToDc(GPoint(0, 0)), DevPoint(200, 100));
    EXPECT_EQ(coScale.XLogToDc(25), 150);
    EXPECT_DOUBLE_EQ(coScale.XDcToLog(150), 25.0);
    EXPECT_EQ(coScale.DcWidth(10), 20);
    EXPECT_DOUBLE_EQ(coScale.LogHeight(10), 10.0);
}

TEST(GScaleTest, FarPositionsClipToTheDeviceRange)
{
    GScale coScale = MakeScale(DevRect(0, 0, 200, 100));
    EXPECT_EQ(coScale.XLogToDc(1e9), 32767);
    EXPECT_EQ(coScale.XLogToDc(-1e9), -32768);
    EXPECT_EQ(coScale.YLogToDc(1e300), 32767);
    EXPECT_EQ(coScale.YLogToDc(std::numeric_limits<double>::infinity()), 32767);
    EXPECT_EQ(coScale.XLogToDc(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(coScale.DcSize(1e9, 0), DevPoint(32767, 0));
    coScale.SetOrigin(32000, 0);
    EXPECT_EQ(coScale.XLogToDc(1000), 32767);
}

TEST(GScaleTest, AreaRelativePositions)
{
    TAreaScale coScale;
    coScale.SetDevRect(DevRect(0, 0, 200, 100), 0);
    coScale.SetCenter(0x1400, 0);
    coScale.SetProportional(1, 1);
    ASSERT_EQ(coScale.GetAreaRect(), DevRect(50, 0, 150, 100));
    EXPECT_EQ(coScale.RelX(60), 10);
    EXPECT_EQ(coScale.AbsX(10), 60);
    EXPECT_EQ(coScale.RelY(30), 30);
    EXPECT_EQ(coScale.AbsY(30), 30);
    EXPECT_EQ(coScale.RelX(-32768), -32768);
    coScale.SetYTurned(1);
    EXPECT_EQ(coScale.RelY(30), 70);
    EXPECT_EQ(coScale.AbsY(30), 70);
    EXPECT_EQ(coScale.AbsY(-32700), 32767);
}

} // namespace
