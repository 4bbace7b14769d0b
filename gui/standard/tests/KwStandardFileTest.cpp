#include "KwCheckRecord.h"
#include "KwDib.h"
#include "KwFileBytes.h"
#include "KwRaster.h"
#include "KwStandardFile.h"
#include "KwStandardPictures.h"
#include "TResFileDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using kwraster::TRgb;

namespace {

// The standard resource file as the build made it, beside the test.
class KwStandardFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(coHdl.OpenRead(kwstandard::FileName, 0, nullptr), TFileHdl::Success);
        for (short i = 0; i < static_cast<short>(coHdl.GetResCount()); ++i) {
            std::vector<std::string> vecMessages;
            std::unique_ptr<KwCheckRecord> pcoRecord = coHdl.Load(i, vecMessages);
            ASSERT_TRUE(pcoRecord && vecMessages.empty()) << i;
            mapRecords[static_cast<const char*>(pcoRecord->GetResId())] = std::move(pcoRecord);
        }
    }

    KwCheckFileHdl coHdl;
    std::map<std::string, std::unique_ptr<KwCheckRecord>> mapRecords;
};

// The packed block a DIB record gives: header, colours, bits.
std::vector<unsigned char> Packed(const KwCheckRecord& coRecord)
{
    std::vector<unsigned char> vec;
    const auto Put = [&](long lValue, int nBytes) {
        for (int i = 0; i < nBytes; ++i)
            vec.push_back(static_cast<unsigned char>(static_cast<unsigned long>(lValue) >> (8 * i)));
    };
    for (const KwCheckVariable& coVar : coRecord.GetVariables()) {
        if (coVar.unId >= 6005 && coVar.unId <= 6016)
            Put(coVar.lValue, coVar.unId == 6008 || coVar.unId == 6009 ? 2 : 4);
        else if (coVar.unId == 6017)
            vec.resize(vec.size() + coVar.unCount, 0);
    }
    return vec;
}

} // namespace

TEST_F(KwStandardFileTest, HoldsTheProjectInformationTheMessageDialogAndEveryPicture)
{
    const std::vector<std::string> vecIds = { "__KwProjectInfo", "DLG_GER_MESSAGE", "BMP_ZORVIK", "BMP_KWDEFAULTICON",
                                              "BMP_MBSTOP", "BMP_MBQUEST", "BMP_MBEXCLAM", "BMP_MBINFO",
                                              "BMP_DROP", "BMP_DROPMP", "BMP_NODROP" };
    EXPECT_EQ(mapRecords.size(), vecIds.size());
    for (const std::string& strId : vecIds)
        EXPECT_EQ(mapRecords.count(strId), 1u) << strId;
    const KwCheckRecord& coDialog = *mapRecords["DLG_GER_MESSAGE"];
    EXPECT_EQ(coDialog.GetClass(), "KwWFrame");
    std::vector<std::string> vecChildren;
    for (size_t i = 0; i < coDialog.GetChildCount(); ++i)
        vecChildren.push_back(static_cast<const char*>(coDialog.GetChild(i).GetResId()));
    EXPECT_EQ(vecChildren, std::vector<std::string>({ "BMP_INFO", "MESSAGE", "BT_PUSH1", "BT_PUSH2", "BT_PUSH3" }));
}

TEST_F(KwStandardFileTest, PicturesAreDibRecordsThatFitAndTheDibReaderTakes)
{
    for (const auto& [strId, pcoRecord] : mapRecords) {
        if (strId.compare(0, 4, "BMP_") != 0)
            continue;
        EXPECT_EQ(pcoRecord->GetClass(), "KwDib") << strId;
        EXPECT_EQ(std::string(pcoRecord->CheckDib()), "") << strId;
        const std::vector<unsigned char> vecBlock = Packed(*pcoRecord);
        KwDib coDib;
        EXPECT_EQ(coDib.SetPacked(vecBlock.data(), vecBlock.size()), 1) << strId;
        const bool bLogo = strId == "BMP_ZORVIK";
        EXPECT_EQ(coDib.GetLayout().unBitCount, bLogo ? 8 : 4) << strId;
        EXPECT_EQ(coDib.GetSize().Width(), bLogo ? 320 : 32) << strId;
        EXPECT_EQ(coDib.GetSize().Height(), bLogo ? 112 : 32) << strId;
    }
}

// Only the background of the small pictures is light gray, so that a drag
// object or a dialog that draws it as transparent leaves the picture whole.
TEST(KwStandardPictures, SmallPicturesStandOnTheirOwnTransparentColourOnly)
{
    for (const kwstandard::TPicture& coPicture : kwstandard::StandardPictures()) {
        const kwraster::TIndexed& coPic = coPicture.coPicture;
        if (coPic.nWidth != 32)
            continue;
        const auto& vecPalette = coPic.vecPalette;
        EXPECT_LE(vecPalette.size(), 16u) << coPicture.pszId;
        EXPECT_EQ(std::count(vecPalette.begin(), vecPalette.end(), kwstandard::Background), 1) << coPicture.pszId;
        for (const auto& [x, y] : { std::pair<int, int> { 0, 0 }, { 31, 0 }, { 0, 31 }, { 31, 31 } })
            EXPECT_EQ(coPic.At(x, y), kwstandard::Background) << coPicture.pszId << " " << x << "," << y;
        size_t nBackground = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x)
                nBackground += coPic.At(x, y) == kwstandard::Background;
        }
        // Something is drawn, and not merely a speck.
        EXPECT_GT(nBackground, 200u) << coPicture.pszId;
        EXPECT_LT(nBackground, 800u) << coPicture.pszId;
    }
}

TEST(KwStandardPictures, ReductionKeepsFixedColoursForTheirOwnPixelsOnly)
{
    // 300 colours, one of them the fixed one, others a step away from it.
    kwraster::TImage coImage(30, 10, kwstandard::Background);
    for (int x = 1; x < 30; ++x)
        coImage.Paint(kwraster::Box(x, 0, x + 1, 10), kwraster::Linear(0, 0, TRgb { 191, 192, 192 }, 0, 10, TRgb { static_cast<uint8_t>(x * 8), 0, 255 }));
    const kwraster::TIndexed coReduced = kwraster::Reduce(coImage, 4, { kwstandard::Background });
    ASSERT_EQ(coReduced.vecPalette.size(), 16u);
    EXPECT_EQ(coReduced.vecPalette[0], kwstandard::Background);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 30; ++x)
            EXPECT_EQ(coReduced.vecPixels[static_cast<size_t>(y) * 30 + x] == 0, x == 0) << x << "," << y;
    }
    // Rows from the bottom, two pixels a byte, padded to 32 bits.
    EXPECT_EQ(coReduced.DibBits().size(), 16u * 10);
}

// kwtdump gives back the text kwtmake compiled, comments aside: the file
// and its text in the repository are one.
TEST_F(KwStandardFileTest, DumpOfTheBuiltFileIsTheTextInTheRepository)
{
    std::string strBytes;
    std::string strText;
    ASSERT_TRUE(kwtest::ReadWholeFile(kwstandard::FileName, strBytes));
    ASSERT_TRUE(kwtest::ReadWholeFile(KW_STANDARD_TEXT, strText));
    std::string strUncommented;
    for (size_t nBegin = 0; nBegin < strText.size();) {
        const size_t nEnd = strText.find('\n', nBegin) + 1;
        const std::string strLine = strText.substr(nBegin, nEnd - nBegin);
        if (strLine.find_first_not_of(' ') == std::string::npos || strLine[strLine.find_first_not_of(' ')] != '#')
            strUncommented += strLine;
        nBegin = nEnd;
    }
    TResFileDump coDump;
    coDump.SetDescription("ZORVIK Brackenholt");
    ASSERT_EQ(coDump.Dump(strBytes.data(), strBytes.size()), 0) << coDump.GetFirstError();
    EXPECT_EQ(std::string(coDump.GetText(), coDump.GetTextLength()), strUncommented);
}
