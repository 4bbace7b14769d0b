#include "KwTestApp.h"

#include "KwBitmap.h"
#include "KwDC.h"
#include "KwDib.h"
#include "KwFakeSystem.h"
#include "KwFont.h"
#include "KwPal.h"
#include "KwPen.h"
#include "KwRegion.h"
#include "KwWChild.h"
#include "KwWFrame.h"
#include "kwguitest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using kw25test::Hwnd;

namespace {

const COLORREF s_crBack = RGB(255, 255, 255);

POINT Pt(int nX, int nY)
{
    return POINT { nX, nY };
}

// A bitmap file of 4 x 2 pixels, 24 bits, bottom-up: the lower row red,
// green, blue, white; the upper row black.
std::string SmallBitmapFile()
{
    std::string strFile;
    const auto Put = [&strFile](unsigned long ulValue, int nBytes) {
        for (int i = 0; i < nBytes; ++i)
            strFile.push_back(static_cast<char>((ulValue >> (8 * i)) & 0xFF));
    };
    strFile += "BM";
    Put(14 + 40 + 24, 4);
    Put(0, 4);
    Put(14 + 40, 4);
    Put(40, 4);
    Put(4, 4);
    Put(2, 4);
    Put(1, 2);
    Put(24, 2);
    Put(0, 4);
    Put(24, 4);
    Put(0, 16);
    // Each pixel is stored as its blue, green and red bytes.
    const unsigned long aulLower[] = { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF };
    for (unsigned long ulPixel : aulLower)
        Put(ulPixel, 3);
    Put(0, 12);
    return strFile;
}

class KwDrawingGuiTest : public ::testing::Test {
protected:
    KwWFrame* m_pcoFrame { nullptr };
    KwWChild* m_pcoCanvas { nullptr };
    KwTestView coView;
    std::function<void(KwDC&)> fnDraw;

    void SetUp() override
    {
        m_pcoFrame = kw25test::OpenFrame("FW_DRAW", KwPoint(100, 100), KwSize(420, 300), "Drawing objects");
        m_pcoCanvas = kw25test::AddChild(new KwWChild("CW_CANVAS", KwPoint(0, 0), KwSize(400, 260), 0, 7, 0), *m_pcoFrame);
        m_pcoCanvas->UseBorder(0, 0);
        m_pcoCanvas->MVC().SetLink("KW_LINK_PAINT", &coView, &KwTestView::Link);
        coView.fnAction = [this](TMvcParam& coParam) {
            if (fnDraw)
                fnDraw(static_cast<KwEventPaint&>(coParam).CurrentDC());
            return 1;
        };
    }
    void TearDown() override
    {
        if (m_pcoFrame)
            m_pcoFrame->Destroy();
        kwtest::PumpIdle();
    }
    // Paints the canvas with the drawing and answers its window.
    HWND Paint(std::function<void(KwDC&)> fnDrawing)
    {
        fnDraw = std::move(fnDrawing);
        m_pcoCanvas->Invalidate(1);
        m_pcoCanvas->Update();
        kwtest::PumpIdle();
        return Hwnd(*m_pcoCanvas);
    }
};

} // namespace

TEST_F(KwDrawingGuiTest, PensAndBrushesDrawWhatTheySay)
{
    const HWND hCanvas = Paint([](KwDC& coDC) {
        KwPen coRed(KwRGB(255, 0, 0), 1, 3);
        KwPen coNone(KwRGB(0, 0, 0), 0, 1);
        KwPen coOddStyle(KwRGB(0, 0, 255), 9, 1);            // unknown style: solid
        const KwPen* pcoOld = coDC.SelectObject(&coRed);
        coDC.MoveTo(KwPoint(10, 10));
        coDC.LineTo(KwPoint(110, 10));
        coDC.SelectObject(&coNone);
        coDC.MoveTo(KwPoint(10, 20));
        coDC.LineTo(KwPoint(110, 20));
        coDC.SelectObject(&coOddStyle);
        const KwPoint aLine[] = { KwPoint(10, 30), KwPoint(110, 30) };
        coDC.Polyline(aLine, 2);
        coDC.SelectObject(pcoOld);
        coDC.FillRect(KwRect(10, 40, 60, 80), KwBrush(KwRGB(0, 0, 255), 1, 0));
        coDC.FillRect(KwRect(70, 40, 120, 80), KwBrush(KwRGB(0, 128, 0), 2, 2));
        KwBrush coHollow(KwRGB(255, 0, 0), 7, 0);             // unknown style: hollow
        KwPen coFrame(KwRGB(0, 0, 0), 1, 1);
        coDC.SelectObject(&coFrame);
        coDC.SelectObject(&coHollow);
        coDC.Rectangle(KwRect(130, 40, 180, 80));
        KwBrush coYellow(KwRGB(255, 255, 0), 1, 0);
        coDC.SelectObject(&coYellow);
        coDC.Ellipse(KwRect(190, 40, 250, 80));
        KwBrush coMagenta(KwRGB(255, 0, 255), 1, 0);
        coDC.SelectObject(&coMagenta);
        const KwPoint aTriangle[] = { KwPoint(260, 80), KwPoint(290, 40), KwPoint(320, 80) };
        coDC.Polygon(aTriangle, 3);
        coDC.Pie(KwRect(330, 40, 390, 100), KwPoint(390, 70), KwPoint(360, 40));
        coDC.SelectOutAll();
    });
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(60, 10)), RGB(255, 0, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(60, 11)), RGB(255, 0, 0));      // three pixels wide
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(60, 20)), s_crBack);
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(60, 30)), RGB(0, 0, 255));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(35, 60)), RGB(0, 0, 255));
    const RECT rcHatch { 70, 40, 120, 80 };
    EXPECT_GT(kwtest::CountClientPixels(hCanvas, rcHatch, RGB(0, 128, 0)), 100u);
    EXPECT_GT(kwtest::CountClientPixels(hCanvas, rcHatch, s_crBack), 100u);
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(130, 60)), RGB(0, 0, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(155, 60)), s_crBack);          // hollow inside
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(220, 60)), RGB(255, 255, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(191, 41)), s_crBack);          // outside the ellipse
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(290, 70)), RGB(255, 0, 255));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(375, 60)), RGB(255, 0, 255));  // inside the pie slice
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(345, 90)), s_crBack);          // the missing quarter
    kwtest::ScreenshotClient(hCanvas);
}

TEST_F(KwDrawingGuiTest, RegionsBitmapsAndRasterOperations)
{
    const HWND hCanvas = Paint([](KwDC& coDC) {
        KwRegion coRegion;
        coRegion.SysCreateElliptic(KwPoint(40, 40), 30, 20);
        coDC.FillRgn(coRegion, KwBrush(KwRGB(0, 255, 255), 1, 0));
        KwBitmap coBitmap;
        ASSERT_TRUE(coBitmap.SysCreate(coDC, KwSize(20, 20), 0));
        {
            KwMemDC coMem(coDC);
            coMem.SelectBitmap(&coBitmap);
            coMem.FillRect(KwRect(0, 0, 20, 20), KwBrush(KwRGB(255, 0, 0), 1, 0));
            coMem.FillRect(KwRect(10, 0, 20, 20), KwBrush(KwRGB(0, 0, 255), 1, 0));
            coDC.BitBlt(KwPoint(140, 10), coMem, KwPoint(), KwSize(20, 20), 20);   // 20 copies like 11
            coMem.SelectBitmap(nullptr);
        }
        const KwPoint coAt(100, 10);
        coDC.DrawBitmap(&coBitmap, &coAt);
        coDC.DrawStretchedBitmap(&coBitmap, KwRect(180, 10, 260, 50));
        coDC.PatBlt(KwPoint(280, 10), KwSize(20, 20), 4);                         // blackness
    });
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(40, 40)), RGB(0, 255, 255));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(12, 22)), s_crBack);
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(105, 15)), RGB(255, 0, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(115, 15)), RGB(0, 0, 255));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(145, 15)), RGB(255, 0, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(155, 15)), RGB(0, 0, 255));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(200, 30)), RGB(255, 0, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(240, 30)), RGB(0, 0, 255));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(290, 20)), RGB(0, 0, 0));
    kwtest::ScreenshotClient(hCanvas);
}

TEST_F(KwDrawingGuiTest, TransparentAndPaleBitmapsKeepTheBackgroundWhereTheyAreTransparent)
{
    const HWND hCanvas = Paint([](KwDC& coDC) {
        coDC.FillRect(KwRect(0, 0, 400, 60), KwBrush(KwRGB(255, 255, 0), 1, 0));
        KwBitmap coBitmap;
        ASSERT_TRUE(coBitmap.SysCreate(coDC, KwSize(30, 30), 0));
        {
            KwMemDC coMem(coDC);
            coMem.SelectBitmap(&coBitmap);
            coMem.FillRect(KwRect(0, 0, 30, 30), KwBrush(KwRGB(255, 255, 255), 1, 0));
            coMem.FillRect(KwRect(10, 10, 20, 20), KwBrush(KwRGB(0, 0, 255), 1, 0));
            coMem.SelectBitmap(nullptr);
        }
        const KwPoint coTransparent(10, 10);
        const KwPoint coPale(60, 10);
        const KwPoint coNoMatch(110, 10);
        coDC.DrawTransparentBitmap(&coBitmap, KwRGB(255, 255, 255), &coTransparent);
        coDC.DrawPaleBitmap(&coBitmap, KwRGB(255, 255, 255), 0, &coPale);
        coDC.DrawTransparentBitmap(&coBitmap, KwRGB(1, 2, 3), &coNoMatch);      // no pixel of that colour
        coDC.DrawPaleStretchedBitmap(&coBitmap, KwRGB(255, 255, 255), 1, KwRect(160, 5, 220, 55));
    });
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(12, 12)), RGB(255, 255, 0));    // transparent corner
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(25, 25)), RGB(0, 0, 255));      // opaque middle
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(62, 12)), RGB(255, 255, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(75, 25)), RGB(128, 128, 128));  // pale: the dark shadow colour
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(112, 12)), RGB(255, 255, 255)); // drawn like a plain copy
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(190, 30)), RGB(192, 192, 192)); // stretched, medium shadow
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(163, 8)), RGB(255, 255, 0));
    kwtest::ScreenshotClient(hCanvas);
}

TEST_F(KwDrawingGuiTest, DeviceIndependentBitmapFromAFile)
{
    const std::string strPath = (std::filesystem::temp_directory_path() / "kw-small.bmp").string();
    const std::string strBytes = SmallBitmapFile();
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    ASSERT_NE(pFile, nullptr);
    std::fwrite(strBytes.data(), 1, strBytes.size(), pFile);
    std::fclose(pFile);
    KwDib coDib(strPath.c_str(), "DIB_SMALL", 1);
    std::filesystem::remove(strPath);
    ASSERT_TRUE(coDib.IsValid());
    EXPECT_EQ(coDib.GetSize(), KwSize(4, 2));
    KwDib coMissing("Z:\\no\\such.bmp", "DIB_MISSING", 1);
    EXPECT_FALSE(coMissing.IsValid());
    EXPECT_TRUE(coMissing.GetFileName().IsEmpty());
    KwPal coPalette(std::vector<KwPaletteEntry>(4), 1);
    EXPECT_NE(coPalette.GetHandle(), 0u);
    const HWND hCanvas = Paint([&coDib](KwDC& coDC) {
        const KwPoint coAt(10, 10);
        coDC.DrawDIB(coDib, &coAt);
        coDC.DrawStretchedDIB(coDib, KwRect(40, 10, 120, 50));
        KwBitmap coBitmap;
        coBitmap.SysCreate(coDib, &coDC);
        const KwPoint coAtBitmap(130, 10);
        coDC.DrawBitmap(&coBitmap, &coAtBitmap);
    });
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(10, 11)), RGB(255, 0, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(12, 11)), RGB(0, 0, 255));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(11, 10)), RGB(0, 0, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(45, 40)), RGB(255, 0, 0));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(115, 40)), RGB(255, 255, 255));
    EXPECT_EQ(kwtest::ClientPixel(hCanvas, Pt(131, 11)), RGB(0, 255, 0));
}

TEST_F(KwDrawingGuiTest, TextIsPlacedWhereItsFlagsSay)
{
    KwFont coFont("MS Sans Serif", "FONT_TEXT");
    coFont.SetHeight(-16);
    coFont.SetBold(1);
    KwRect coMeasured;
    const HWND hCanvas = Paint([&](KwDC& coDC) {
        const KwFont* pcoOld = coDC.SelectObject(&coFont);
        coDC.SetBkMode(1);
        coDC.SetTextColor(KwRGB(0, 0, 128));
        coDC.TextOutPoint(KwPoint(20, 20), "Top left", -1, 0x01 | 0x10);
        coDC.TextOutPoint(KwPoint(200, 100), "Centred", -1, 0);
        KwRect coRect(0, 140, 400, 250);
        const KwPoint coOffset(10, 5);
        coDC.TextOutRect(coRect, "Right\nand bottom", -1, 0x04, 0x00, &coOffset, 8, 2);
        coMeasured = coDC.CalcTextOutRect(KwPoint(0, 0), "Right\nand bottom", -1, 0x11, 0, nullptr, 8, 2);
        coDC.SelectObject(pcoOld);
    });
    const COLORREF crText = RGB(0, 0, 128);
    EXPECT_GT(kwtest::CountClientPixels(hCanvas, RECT { 20, 20, 100, 45 }, crText), 20u);
    EXPECT_EQ(kwtest::CountClientPixels(hCanvas, RECT { 0, 0, 19, 19 }, crText), 0u);
    EXPECT_GT(kwtest::CountClientPixels(hCanvas, RECT { 150, 85, 250, 115 }, crText), 20u);
    EXPECT_GT(kwtest::CountClientPixels(hCanvas, RECT { 250, 190, 390, 245 }, crText), 20u);
    EXPECT_EQ(kwtest::CountClientPixels(hCanvas, RECT { 391, 140, 400, 250 }, crText), 0u);
    EXPECT_GT(coMeasured.Height(), 2 * 12);
    EXPECT_LT(coMeasured.Height(), 2 * 30);
    kwtest::ScreenshotClient(hCanvas);
}
