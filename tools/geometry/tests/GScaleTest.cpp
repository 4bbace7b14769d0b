#include "GScale.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

constexpr double kEps = 1e-9;

// A scale of (0, 0)-(100, 100) onto (0, 0)-(200, 100), calculated.
GScale MakeScale()
{
    GScale coScale;
    coScale.SetDevRect(DevRect(0, 0, 200, 100), 1);
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

TEST(GScaleTest, ProportionalAreaFollowsAlignment)
{
    struct Case { const char* name; unsigned short pixelY, align; int exchanged; DevRect dev, area; };
    const Case cases[] = {
        { "wide, right", 1, 0x1200, 0, { 0, 0, 200, 100 }, { 100, 0, 200, 100 } },
        { "tall, bottom", 1, 0x1100, 0, { 0, 0, 100, 200 }, { 0, 100, 100, 200 } },
        { "tall, centre", 1, 0x4100, 0, { 0, 0, 100, 200 }, { 0, 50, 100, 150 } },
        { "denser rows", 2, 0x1100, 0, { 0, 0, 200, 100 }, { 0, 0, 50, 100 } },
        { "exchanged tall, top", 1, 0x2100, 1, { 0, 0, 100, 300 }, { 0, 0, 100, 100 } },
        { "exchanged wide, centre", 1, 0x1400, 1, { 0, 0, 300, 100 }, { 100, 0, 200, 100 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GScale coScale(1, c.pixelY);
        coScale.SetDevRect(c.dev, 0);
        coScale.SetCenter(c.align, 0);
        if (c.exchanged)
            coScale.ChangeXY(0);
        coScale.SetProportional(1, 1);
        ASSERT_TRUE(coScale.IsInitialized());
        EXPECT_EQ(coScale.GetAreaRect(), c.area);
        // The logical rectangle spans the used area along the axes it maps to.
        DevPoint coFar = coScale.LogToDc(GPoint(100, 100)), coNear = coScale.LogToDc(GPoint(0, 0));
        DevRect coSpan(coNear.x, coNear.y, coFar.x, coFar.y);
        EXPECT_EQ(coSpan.Sort(), c.area);
    }
}

TEST(GScaleTest, TurnedExchangedAndShiftedMappingsGoBothWays)
{
    // dev: where the logical point (30, 50) lands on the device (0, 0, 200, 100); then DcWidth(10),
    // DcHeight(10), LogWidth(20), LogHeight(20).
    struct Case { const char* name; int turned, exchanged; DevPoint origin, dev; short dcW, dcH; double logW, logH; };
    const Case cases[] = {
        { "turned", 1, 0, { 0, 5 }, { 60, 55 }, 20, 10, 10, 20 },
        // The origin keeps the order of the logical axes.
        { "exchanged", 0, 1, { 10, 5 }, { 105, 40 }, 10, 20, 20, 10 },
        { "exchanged and turned", 1, 1, { 0, 0 }, { 100, 70 }, 10, 20, 20, 10 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GScale coScale = MakeScale();
        coScale.SetYTurned(c.turned);
        if (c.exchanged)
            coScale.ChangeXY(1);
        coScale.SetOrigin(c.origin);
        ASSERT_TRUE(coScale.IsInitialized());
        EXPECT_EQ(coScale.LogToDc(GPoint(30, 50)), c.dev);
        EXPECT_EQ(coScale.DcToLog(c.dev), GPoint(30, 50));
        EXPECT_EQ(DevPoint(coScale.DcWidth(10), coScale.DcHeight(10)), DevPoint(c.dcW, c.dcH));
        EXPECT_NEAR(coScale.LogWidth(20), c.logW, kEps);
        EXPECT_NEAR(coScale.LogHeight(20), c.logH, kEps);
    }
    // The turned axis rounds to the nearest pixel as well.
    GScale coScale = MakeScale();
    coScale.SetYTurned(1);
    EXPECT_EQ(coScale.YLogToDc(-10.6), 111);
    coScale.SetYTurned(0);
    coScale.Move(10, 5);
    EXPECT_EQ(coScale.LogToDc(GPoint(50, 50)), DevPoint(110, 55));
    // A device position and origin far apart are subtracted without wrapping.
    coScale.SetOrigin(-1000, 0);
    EXPECT_DOUBLE_EQ(coScale.XDcToLog(32000), 16500.0);

    // A backwards logical rectangle mirrors.
    coScale.SetOrigin(0, 0);
    coScale.SetMapping(GPoint(100, 100), GPoint(0, 0), 1);
    EXPECT_EQ(coScale.LogToDc(GPoint(0, 0)), DevPoint(200, 100));
    EXPECT_DOUBLE_EQ(coScale.XDcToLog(150), 25.0);
    EXPECT_EQ(coScale.DcWidth(10), 20);
}

TEST(GScaleTest, SettersStoreAndInvalidate)
{
    GScale coScale = MakeScale();
    coScale.SetPoint1(GPoint(-10, -20), 0);
    EXPECT_FALSE(coScale.IsInitialized());
    coScale.SetPoint2(GPoint(40, 30), 1);
    EXPECT_TRUE(coScale.IsInitialized());
    coScale.SetMapping(GPoint(10, 80), GPoint(-30, 20), 0);
    EXPECT_EQ(std::vector<double>({ coScale[0], coScale[1], coScale[2], coScale[short(3)], coScale[4] }),
              std::vector<double>({ 10, 80, -30, 20, 0 }));
    // The alignment takes only the high byte.
    coScale.SetCenter(0x24FF, 0);
    EXPECT_EQ(coScale.GetCenter(), 0x2400);

    // Proportional with a pixel without extent, or without logical width:
    // no mapping; every answer is 0 and arrays are left alone.
    GScale coFlat = MakeScale();
    coFlat.SetProportional(1, 1);
    coFlat.InitPixelSize(0, 1, 1);
    GPoint coLog(50, 50);
    DevPoint coDev(7, 7);
    coFlat.LogToDc(&coLog, &coDev, 1);
    coFlat.DcToLog(&coDev, &coLog, 1);
    EXPECT_EQ(coDev, DevPoint(7, 7));
    EXPECT_EQ(coLog, GPoint(50, 50));
    EXPECT_EQ(coFlat.LogToDc(coLog), DevPoint());
    EXPECT_EQ(coFlat.DcToLog(coDev), GPoint());
    coFlat.SetX2(0, 0);
    EXPECT_EQ(coFlat.CalcNew(), 0);
    // Without proportions the pixel size has no effect.
    GScale coPlain(3, 1);
    coPlain.SetDevRect(DevRect(0, 0, 200, 100), 1);
    coPlain.LogToDc(&coLog, &coDev, 1);
    coPlain.DcToLog(&coDev, &coLog, 1);
    EXPECT_EQ(coDev, DevPoint(100, 50));
    EXPECT_EQ(coLog, GPoint(50, 50));
}

TEST(GScaleTest, FarPositionsClipToTheDeviceRange)
{
    EXPECT_EQ(DevRect(-32768, 32767, 32767, -32768).Height(), 65535);
    GScale coScale = MakeScale();
    EXPECT_EQ(coScale.XLogToDc(1e9), 32767);
    EXPECT_EQ(coScale.XLogToDc(-1e9), -32768);
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
    EXPECT_EQ(coScale.RelX(60) + coScale.AbsX(10), 70);
    EXPECT_EQ(coScale.RelX(-32768), -32768);
    coScale.SetYTurned(1);
    EXPECT_EQ(coScale.RelY(30), 70);
    EXPECT_EQ(coScale.AbsY(30), 70);
    EXPECT_EQ(coScale.AbsY(-32700), 32767);
}

} // namespace
