#include "KwApp.h"
#include "KwBitmap.h"
#include "KwDib.h"
#include "KwFakeSystem.h"
#include "KwFileHdl.h"
#include "KwFontTable.h"
#include "KwKwtText.h"
#include "KwMessageLog.h"
#include "KwResFileHelper.h"
#include "KwScratchTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The record of a 5 x 3 picture of 16 colours, its lines one colour each.
std::string GoodDib()
{
    return kw25test::DibRecord("BMP_T", 5, 3, { 0x0000FF, 0x00FF00, 0xFF0000 }, [](int, int y) { return y; });
}

std::string Edited(std::string strText, const std::string& strFrom, const std::string& strTo)
{
    const size_t nAt = strText.find(strFrom);
    EXPECT_NE(nAt, std::string::npos) << strFrom;
    return nAt == std::string::npos ? strText : strText.replace(nAt, strFrom.size(), strTo);
}

class KwDrawingResTest : public kwtest::TScratchTest {
protected:
    KwDrawingResTest() : TScratchTest("KwDrawingResTest") {}

    // Reads the record of the class from a file of its own.
    template <class T>
    std::unique_ptr<T> Read(const std::string& strClass, const std::string& strRecord)
    {
        const std::string strPath = At("read.kwt");
        EXPECT_EQ(kw25test::WriteKwt(strPath, kw25test::KwtText({ { "R", strClass, strRecord } })), "");
        KwFileHdl coHdl;
        EXPECT_EQ(coHdl.OpenRead(strPath.c_str(), 0, nullptr), TFileHdl::Success);
        return std::unique_ptr<T>(dynamic_cast<T*>(coHdl.LoadResource(static_cast<short>(0), nullptr, nullptr, 0)));
    }
    // Writes the object and reads it back.
    template <class T>
    std::unique_ptr<T> RoundTrip(const T& coObject)
    {
        const std::string strPath = At("round.kwt");
        kwtest::StoreResources(strPath, { &coObject });
        TFileHdl coHdl;
        EXPECT_EQ(coHdl.OpenRead(strPath.c_str(), 0, nullptr), TFileHdl::Success);
        return std::unique_ptr<T>(dynamic_cast<T*>(coHdl.LoadResource(coObject.GetResId(), nullptr, nullptr, 0)));
    }

    KwFakeSystem coSys;
    KwApp coApp { "KwDrawingResTest", nullptr, 0 };
    kw25test::TMessageLog coMessages;
};

} // namespace

TEST_F(KwDrawingResTest, PictureRecordComesBackAsTheSamePicture)
{
    std::unique_ptr<KwDib> pcoDib = Read<KwDib>("KwDib", Edited(GoodDib(), "string 21 \"BMP_T\"", "string 21 \"R\""));
    ASSERT_TRUE(pcoDib && pcoDib->IsValid());
    EXPECT_EQ(pcoDib->GetSize(), KwSize(5, 3));
    ASSERT_EQ(pcoDib->GetColorTable().size(), 16u);
    EXPECT_EQ(pcoDib->GetColorTable()[1].bGreen, 0xFF);
    const std::vector<unsigned char> coPacked(pcoDib->GetPacked(), pcoDib->GetPacked() + pcoDib->GetPackedSize());
    std::unique_ptr<KwDib> pcoAgain = RoundTrip(*pcoDib);
    ASSERT_TRUE(pcoAgain && pcoAgain->IsValid());
    EXPECT_EQ(std::vector<unsigned char>(pcoAgain->GetPacked(), pcoAgain->GetPacked() + pcoAgain->GetPackedSize()), coPacked);
    KwDib coEmpty("BMP_EMPTY");
    std::unique_ptr<KwDib> pcoEmpty = RoundTrip(coEmpty);   // size 0, no file: empty, no complaint
    ASSERT_TRUE(pcoEmpty);
    EXPECT_FALSE(pcoEmpty->IsValid());
    EXPECT_TRUE(coMessages.Shown().empty());
}

// Every size and count of a picture record is checked against the others
// and against the bits that were read.
TEST_F(KwDrawingResTest, PictureRecordsThatDoNotFitStayEmptyAndAreReportedOnce)
{
    const std::string strGood = Edited(GoodDib(), "string 21 \"BMP_T\"", "string 21 \"R\"");
    const struct {
        const char* pszFault;
        std::string strFrom;
        std::string strTo;
    } faults[] = {
        { "width 0", "long 6006 5", "long 6006 0" },
        { "wider than the bits", "long 6006 5", "long 6006 9" },
        { "taller than the bits", "long 6007 3", "long 6007 300000" },
        { "two planes", "short 6008 1", "short 6008 2" },
        { "5 bits per pixel", "short 6009 4", "short 6009 5" },
        { "a core header", "long 6005 40", "long 6005 12" },
        { "compressed", "long 6010 0", "long 6010 2" },
        { "image size not the bits", "long 6011 12", "long 6011 16" },
        { "more colours than 4 bits have", "long 6014 16", "long 6014 17" },
        { "fewer colour entries than named", "long 6014 16", "long 6014 0\n  long 6016 0" },
        { "colour entries missing", "long 6014 16", "long 6014 15" },
    };
    for (const auto& coFault : faults) {
        coMessages.Shown().clear();
        std::unique_ptr<KwDib> pcoDib = Read<KwDib>("KwDib", Edited(strGood, coFault.strFrom, coFault.strTo));
        ASSERT_TRUE(pcoDib) << coFault.pszFault;
        EXPECT_FALSE(pcoDib->IsValid()) << coFault.pszFault;
        ASSERT_EQ(coMessages.Shown().size(), 1u) << coFault.pszFault;
        EXPECT_EQ(coMessages.Shown()[0].rfind("The picture <R> is damaged: ", 0), 0u) << coMessages.Shown()[0];
    }
}

TEST_F(KwDrawingResTest, BitmapBitsMustFitTheirDescription)
{
    const struct {
        KwLogBitmap coLog;
        size_t nBytes;
        int nFits;
    } cases[] = {
        { { 0, 16, 2, 2, 1, 1, nullptr }, 4, 1 },
        { { 0, 17, 2, 4, 1, 1, nullptr }, 8, 1 },      // rows are words
        { { 0, 17, 2, 3, 1, 1, nullptr }, 6, 0 },
        { { 0, 3, 2, 10, 1, 24, nullptr }, 20, 1 },
        { { 0, 3, 2, 10, 1, 24, nullptr }, 21, 0 },
        { { 0, 0, 2, 2, 1, 1, nullptr }, 0, 0 },
        { { 0, 4, 4, 2, 1, 3, nullptr }, 8, 0 },
        { { 0, 4, 4, 2, 33, 1, nullptr }, 264, 0 },
    };
    for (const auto& coCase : cases)
        EXPECT_EQ(KwBitmap::IsConsistent(coCase.coLog, coCase.nBytes), coCase.nFits) << coCase.coLog.nWidth << " " << coCase.nBytes;
    const std::string strBitmap = "resource 31 class \"KwBitmap\" cpp absent wparam 0 lparam 0\n  string 21 \"R\"\n"
                                  "  string 1000 absent\n  short 1020 0\n  short 1021 16\n  short 1022 2\n  short 1023 2\n"
                                  "  char 1024 1\n  char 1025 1\n  char 1026 [3] 1 2 3\nend\n";
    std::unique_ptr<KwBitmap> pcoShort = Read<KwBitmap>("KwBitmap", strBitmap);
    ASSERT_TRUE(pcoShort);
    EXPECT_TRUE(pcoShort->GetBits().empty());
    EXPECT_EQ(coMessages.Shown(), std::vector<std::string>({ "The bits of the bitmap <R> do not fit their size!" }));
    coMessages.Shown().clear();
    std::unique_ptr<KwBitmap> pcoGood = Read<KwBitmap>("KwBitmap", Edited(strBitmap, "[3] 1 2 3", "[4] 1 2 3 4"));
    ASSERT_TRUE(pcoGood);
    ASSERT_EQ(pcoGood->GetBits().size(), 4u);
    std::unique_ptr<KwBitmap> pcoAgain = RoundTrip(*pcoGood);
    ASSERT_TRUE(pcoAgain);
    EXPECT_EQ(pcoAgain->GetBits(), pcoGood->GetBits());
    EXPECT_EQ(pcoAgain->GetLogBitmap().nWidthBytes, 2);
    EXPECT_TRUE(coMessages.Shown().empty());
}

TEST_F(KwDrawingResTest, FontVariablesAreReadWithTheirRules)
{
    const std::string strName(200, 'n');
    const std::string strFont = "resource 31 class \"KwFont\" cpp absent wparam 0 lparam 0\n  string 21 \"R\"\n"
                                "  string 5050 \"" + strName + "\"\n  short 5051 -11\n  short 5055 700\n  short 5056 5\n"
                                "  short 5060 9\n  short 5063 2\n  short 5064 7\n  short 5069 4\nend\n";
    std::unique_ptr<KwFont> pcoFont = Read<KwFont>("KwFont", strFont);
    ASSERT_TRUE(pcoFont);
    EXPECT_EQ(std::string(pcoFont->GetName()), strName.substr(0, 127));
    EXPECT_EQ(pcoFont->GetHeight(), -11);
    EXPECT_TRUE(pcoFont->GetBold());
    EXPECT_EQ(pcoFont->GetItalic(), 1);
    EXPECT_EQ(pcoFont->GetLogFont().m_unPitch, 2);
    EXPECT_EQ(pcoFont->GetLogFont().m_unFamily, 0);
    EXPECT_EQ(pcoFont->GetLogFont().m_anFurther[3], 4);
    pcoFont = Read<KwFont>("KwFont", Edited(strFont, "short 5055 700", "short 5055 400"));
    EXPECT_EQ(pcoFont->GetLogFont().m_unWeight, 1);
    std::unique_ptr<KwFont> pcoAgain = RoundTrip(*pcoFont);
    ASSERT_TRUE(pcoAgain);
    EXPECT_TRUE(pcoAgain->GetLogFont() == pcoFont->GetLogFont());
}

TEST_F(KwDrawingResTest, FontTableSlotsAnswerTheDefaultFontWhenEmpty)
{
    KwFontTable coTable("FT_TEST");
    EXPECT_STREQ(coTable.GetFont(3).GetName(), coApp.GetDefaultFont().GetName());
    EXPECT_STREQ(coTable.GetFont(10).GetName(), coApp.GetDefaultFont().GetName());
    EXPECT_EQ(coTable.SetFont(10, KwFont("Arial", "FONT_X")), 0);
    ASSERT_EQ(coTable.SetFont(3, KwFont("Arial", "FONT_X")), 1);
    EXPECT_EQ(coTable.GetFontIndex("font_x"), 3);
    coSys.coLog.clear();
    coTable.SetAutoReCreate(1);
    EXPECT_NE(coTable.GetFont(3).GetHandle(), 0u);
    std::unique_ptr<KwFontTable> pcoAgain = RoundTrip(coTable);
    ASSERT_TRUE(pcoAgain);
    EXPECT_EQ(pcoAgain->GetFontIndex("FONT_X"), 3);
    EXPECT_FALSE(pcoAgain->HasFont(static_cast<short>(0)));
    EXPECT_EQ(coTable.RemoveFont(3), 1);
    EXPECT_EQ(coTable.RemoveFont(3), 0);
}
