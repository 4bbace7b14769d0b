#include "KwStandardFile.h"

#include "KwFileBytes.h"
#include "KwStandardPictures.h"

#include "TFile.h"
#include "TFileHdl.h"
#include "TResFileDump.h"
#include "TResVar.h"
#include "TResource.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace kwstandard {

namespace {

// The header of every GUI resource file.
constexpr const char* Description = "ZORVIK Brackenholt";
constexpr const char* CustomVersion = "V3.00.17";
// The fixed history of the generated file.
constexpr const char* Creator = "zorvik";
constexpr const char* DateCreated = "7 11 2026";
constexpr const char* TimeCreated = "12 0 0";

// The classes of the message dialog and its children.
constexpr const char* DialogClass = "KwWFrame";
constexpr const char* ButtonClass = "KwPushButton";
constexpr const char* TextClass = "KwStatic";
constexpr const char* PictureClass = "KwStatic";

// A record written as it is described: its class name, type code and
// variables, then its children.
class TStoredRecord : public TResource {
public:
    TStoredRecord(const char* pszClass, const char* pszId) : TResource(pszId), m_strClass(pszClass) {}

    TStoredRecord& Short(unsigned short unId, long lValue)
    {
        m_vecVars.push_back(std::make_unique<TResShort>(unId, static_cast<short>(lValue)));
        return *this;
    }
    TStoredRecord& Long(unsigned short unId, uint32_t ulValue)
    {
        m_vecVars.push_back(std::make_unique<TResLong>(unId, static_cast<long>(static_cast<int32_t>(ulValue))));
        return *this;
    }
    TStoredRecord& String(unsigned short unId, const char* pszValue)
    {
        m_vecVars.push_back(std::make_unique<TResString>(unId, pszValue));
        return *this;
    }
    // Character variables of at most 16384 bytes each, in order.
    TStoredRecord& Bytes(unsigned short unId, const std::vector<uint8_t>& vecBytes)
    {
        constexpr size_t Piece = 16384;
        for (size_t n = 0; n < vecBytes.size(); n += Piece) {
            const size_t nCount = std::min(Piece, vecBytes.size() - n);
            const auto* pch = reinterpret_cast<const char*>(vecBytes.data() + n);
            m_vecVars.push_back(nCount == 1 ? std::make_unique<TResChar>(unId, *pch)
                                            : std::make_unique<TResChar>(unId, pch, static_cast<unsigned short>(nCount)));
        }
        return *this;
    }
    TStoredRecord& Child(std::unique_ptr<TStoredRecord> pcoChild)
    {
        m_vecChildren.push_back(std::move(pcoChild));
        return *this;
    }

    const char* GetPriorityRuntimeClass() const override { return m_strClass.c_str(); }

protected:
    void WriteData(TFile& coFile) const override
    {
        TResource::WriteData(coFile);
        for (const auto& pcoVar : m_vecVars)
            pcoVar->Write(coFile);
    }
    void WriteChildren(TFile& coFile) const override
    {
        for (const auto& pcoChild : m_vecChildren)
            pcoChild->WriteResource(coFile);
    }

private:
    std::string m_strClass;
    std::vector<std::unique_ptr<TResVar>> m_vecVars;
    std::vector<std::unique_ptr<TStoredRecord>> m_vecChildren;
};

// The handler of GUI resource files, as far as writing one needs it.
class TStandardHdl : public TFileHdl {
public:
    TString GetCustomDescription() const override { return Description; }
    TString GetCustomVersion() const override { return CustomVersion; }
    TString GetDefaultExtension() const override { return "KWT"; }
};

std::unique_ptr<TStoredRecord> ProjectInfo()
{
    auto pco = std::make_unique<TStoredRecord>("KwFileHdlInfo", "__KwProjectInfo");
    pco->String(26, "ZORVIK standard resource file: the message dialog, the message-box symbols, "
                    "the start-up logo, the default application icon and the drag pictures")
        .String(27, "Kwillet class framework")
        .String(28, "gui/standard")
        .String(9950, nullptr)
        .String(9951, nullptr)
        .String(9952, nullptr)
        .String(9953, nullptr)
        .String(9954, nullptr)
        .String(9955, nullptr)
        .Short(9956, 0)
        .String(9958, nullptr);
    return pco;
}

// Styles and flags of the dialog
enum : uint32_t {
    StylePopup = 0x80000000,
    StyleChild = 0x40000000,
    StyleVisible = 0x10000000,
    StyleCaption = 0x00C00000,
    StyleSysMenu = 0x00080000,
    ExStyleDialogFrame = 0x00000001,
    LookAutoDestroy = 0x0002,
    FrameCentred = 0x0010,
    FrameEndOnEscape = 0x0100,
    ChildFocusable = 0x0001,
    ChildTabStop = 0x0004,
};
constexpr long ColorText = 0;     // black
constexpr long ColorFace = 15;    // light gray: the dialog and its pictures

struct TGeometry {
    long x, y, cx, cy;
};

// The variables every window writes, in their order.
std::unique_ptr<TStoredRecord> Window(const char* pszClass, const char* pszId, uint32_t ulStyle, uint32_t ulExStyle,
                                      TGeometry coAt, const char* pszText)
{
    auto pco = std::make_unique<TStoredRecord>(pszClass, pszId);
    pco->String(31, nullptr)
        .Long(32, ulStyle)
        .Long(33, ulExStyle)
        .Short(35, coAt.x)
        .Short(36, coAt.y)
        .Short(37, coAt.cx)
        .Short(38, coAt.cy)
        .Short(39, ColorText)
        .Short(40, ColorFace)
        .Short(41, ColorText)
        .Short(42, LookAutoDestroy)
        .String(43, pszText)
        .Short(44, 7)
        .Short(45, 8)
        .Long(46, 0)
        .Short(47, 15)
        .Short(110, -1);
    return pco;
}

std::unique_ptr<TStoredRecord> Child(const char* pszClass, const char* pszId, TGeometry coAt, const char* pszText,
                                     long lFlags, long lBorder, long lShade)
{
    auto pco = Window(pszClass, pszId, StyleChild | StyleVisible, 0, coAt, pszText);
    pco->Short(91, lBorder).Short(92, lFlags).Short(93, lShade).Short(94, 0);
    return pco;
}

// The framework's message box: a picture and a text above three push
// buttons. KwApp::Message labels the buttons, picks the picture and lays
// everything out around the text; what is stored is the look of a
// three-button box with the smallest text area.
std::unique_ptr<TStoredRecord> MessageDialog()
{
    const long lMargin = 12;
    const long lText = 250;
    const long lTextHeight = 150;
    const long lButtonWidth = 80;
    const long lButtonHeight = 24;
    const long lClientWidth = lMargin + 32 + lMargin + lText + lMargin;
    const long lButtonTop = lMargin + lTextHeight + lMargin;
    const long lClientHeight = lButtonTop + lButtonHeight + lMargin;
    auto pco = Window(DialogClass, "DLG_GER_MESSAGE", StylePopup | StyleCaption | StyleSysMenu, ExStyleDialogFrame,
                      { 0, 0, lClientWidth + 6, lClientHeight + 25 }, "Message");
    pco->Short(121, 0).Short(122, 0).Short(123, lClientWidth).Short(124, lClientHeight);
    pco->Short(120, FrameCentred | FrameEndOnEscape).String(125, nullptr).String(126, nullptr);
    pco->Child(Child(PictureClass, "BMP_INFO", { lMargin, lMargin, 32, 32 }, nullptr, 0, 0, 0));
    pco->Child(Child(TextClass, "MESSAGE", { lMargin + 32 + lMargin, lMargin, lText, lTextHeight }, nullptr, 0, 0, 0));
    const char* const apszLabels[] = { "&OK", "&Cancel", "&Retry" };
    const long lGap = (lClientWidth - 3 * lButtonWidth) / 4;
    for (int i = 0; i < 3; ++i) {
        const std::string strId = "BT_PUSH" + std::to_string(i + 1);
        pco->Child(Child(ButtonClass, strId.c_str(), { lGap + i * (lButtonWidth + lGap), lButtonTop, lButtonWidth, lButtonHeight },
                         apszLabels[i], ChildFocusable | ChildTabStop, 1, 2));
    }
    return pco;
}

// A device-independent bitmap record: header fields, colour table, bits.
std::unique_ptr<TStoredRecord> Dib(const TPicture& coPicture)
{
    const kwraster::TIndexed& coIndexed = coPicture.coPicture;
    const std::vector<uint8_t> vecBits = coIndexed.DibBits();
    auto pco = std::make_unique<TStoredRecord>("KwDib", coPicture.pszId);
    pco->String(6001, nullptr)
        .Long(6005, 40)
        .Long(6006, static_cast<uint32_t>(coIndexed.nWidth))
        .Long(6007, static_cast<uint32_t>(coIndexed.nHeight))
        .Short(6008, 1)
        .Short(6009, coIndexed.nBitCount)
        .Long(6010, 0)
        .Long(6011, static_cast<uint32_t>(vecBits.size()))
        .Long(6012, 3780)   // 96 pixels per inch
        .Long(6013, 3780)
        .Long(6014, static_cast<uint32_t>(coIndexed.vecPalette.size()))
        .Long(6015, 0);
    for (const kwraster::TRgb& c : coIndexed.vecPalette)
        pco->Long(6016, static_cast<uint32_t>(c.b) | static_cast<uint32_t>(c.g) << 8 | static_cast<uint32_t>(c.r) << 16);
    pco->Bytes(6017, vecBits);
    return pco;
}

// The text line that begins with the word, replaced by the word and value.
bool ReplaceLine(std::string& strText, const std::string& strWord, const char* pszValue)
{
    const size_t nAt = strText.find("\n  " + strWord + " ");
    if (nAt == std::string::npos)
        return false;
    const size_t nBegin = nAt + 3 + strWord.size() + 1;
    strText.replace(nBegin, strText.find('\n', nBegin) - nBegin, pszValue);
    return true;
}

// Comments before the records say what each one is.
void Annotate(std::string& strText, const std::vector<std::pair<std::string, std::string>>& vecNotes)
{
    for (const auto& [strId, strNote] : vecNotes) {
        const size_t nAt = strText.find("\n  record \"" + strId + "\"");
        if (nAt != std::string::npos)
            strText.insert(nAt + 1, "  # " + strNote + "\n");
    }
}

} // namespace

bool StandardFileText(std::string& strText, std::string& strError)
{
    std::vector<std::unique_ptr<TStoredRecord>> vecRecords;
    std::vector<std::pair<std::string, std::string>> vecNotes {
        { "__KwProjectInfo", "the project information" },
        { "DLG_GER_MESSAGE", "the message box: a picture and a text above three push buttons" },
    };
    vecRecords.push_back(ProjectInfo());
    vecRecords.push_back(MessageDialog());
    for (const TPicture& coPicture : StandardPictures()) {
        vecRecords.push_back(Dib(coPicture));
        vecNotes.emplace_back(coPicture.pszId, coPicture.pszWhat);
    }

    const TString coFile = TFileHdl::CreateTmpFileName("KWST");
    if (coFile.IsEmpty()) {
        strError = "no temporary file name is free";
        return false;
    }
    TStandardHdl coHdl;
    unsigned short unCode = coHdl.OpenWrite(Creator, coFile, nullptr, nullptr);
    for (const auto& pcoRecord : vecRecords) {
        if (unCode == TFileHdl::Success)
            unCode = coHdl.WriteTemp(*pcoRecord);
    }
    if (unCode == TFileHdl::Success)
        unCode = coHdl.Save();
    coHdl.Close();
    std::string strBytes;
    const bool bRead = unCode == TFileHdl::Success && kwtest::ReadWholeFile(static_cast<const char*>(coFile), strBytes);
    std::remove(coFile);
    if (!bRead) {
        strError = std::string("writing ") + static_cast<const char*>(coFile) + " failed: "
            + static_cast<const char*>(TFileHdl::GetError(unCode, coFile));
        return false;
    }

    TResFileDump coDump;
    coDump.SetDescription(Description);
    if (coDump.Dump(strBytes.data(), strBytes.size()) != 0) {
        strError = std::string("the written file is damaged: ") + coDump.GetFirstError();
        return false;
    }
    strText.assign(coDump.GetText(), coDump.GetTextLength());
    if (!ReplaceLine(strText, "date-created", DateCreated) || !ReplaceLine(strText, "time-created", TimeCreated)) {
        strError = "the dump has no creation date";
        return false;
    }
    Annotate(strText, vecNotes);
    strText.insert(0, std::string("# ") + FileName
                          + ", the framework's standard resource file, as kwtdump prints it.\n"
                            "# Made by kwtstandard (gui/standard) from its drawings: change those and run\n"
                            "#   kwtstandard gui/standard/zorvik30.kwt.txt\n"
                            "# instead of editing this text. kwtmake compiles it at build time.\n");
    return true;
}

} // namespace kwstandard
