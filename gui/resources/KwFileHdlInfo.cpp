#include "KwFileHdlInfo.h"

#include "TCrt.h"
#include "TFile.h"
#include "TResVar.h"

#include <algorithm>
#include <cstring>

KW_IMPLEMENT_DYNAMIC_CLASS(KwFileHdlInfo, TResource, "kw25")

namespace {

void WriteString(TFile& coFile, unsigned short unId, const TString& coText)
{
    TResString(unId, coText).Write(coFile);
}

// A string array variable of the texts; nothing for none.
void WriteStrings(TFile& coFile, unsigned short unId, const std::vector<TString>& coTexts)
{
    if (coTexts.empty())
        return;
    std::vector<const char*> coPointers;
    for (const TString& coText : coTexts)
        coPointers.push_back(coText);
    // One text is stored as a single value, more as an array.
    TResString(unId, coPointers.data(), static_cast<unsigned short>(std::min<size_t>(coPointers.size(), 65535))).Write(coFile);
}

// The texts of a string variable: its value, or each element of an array.
std::vector<TString> TextsOf(const TResVar& coVar)
{
    std::vector<TString> coTexts;
    const TResString& coString = static_cast<const TResString&>(coVar);
    if (coVar.GetCount() < 2) {
        coTexts.push_back(TString(coString.GetValue()));
        return coTexts;
    }
    for (unsigned short i = 0; i < coVar.GetCount(); ++i)
        coTexts.push_back(TString(coString.GetValue(i)));
    return coTexts;
}

} // namespace

KwFileHdlInfo::KwFileHdlInfo()
    : TResource(GetProjectInfoId())
{
}

void KwFileHdlInfo::Empty()
{
    const KwFileHdlInfo coEmpty;
    *this = coEmpty;
}

int KwFileHdlInfo::AddName(std::vector<TString>& coNames, const char* pszName)
{
    if (!pszName || !*pszName)
        return 0;
    for (const TString& coName : coNames) {
        if (CrtStricmp(coName, pszName) == 0)
            return 0;
    }
    coNames.push_back(TString(pszName));
    return 1;
}

void KwFileHdlInfo::AddCustomClass(const char* pszClass, const char* pszSecond)
{
    if (!pszClass || !*pszClass)
        return;
    const std::pair<TString, TString> coEntry { TString(pszClass), TString(pszSecond) };
    const auto it = std::upper_bound(m_coCustomClasses.begin(), m_coCustomClasses.end(), coEntry,
                                     [](const auto& coA, const auto& coB) { return std::strcmp(coA.first, coB.first) < 0; });
    m_coCustomClasses.insert(it, coEntry);
}

int KwFileHdlInfo::NotifyReadBegin()
{
    Empty();
    return TResource::NotifyReadBegin();
}

void KwFileHdlInfo::WriteData(TFile& coFile) const
{
    TResource::WriteData(coFile);
    WriteString(coFile, VarDescription, m_coDescription);
    WriteString(coFile, VarCopyright, m_coCopyright);
    WriteString(coFile, VarSourcePath, m_coSourcePath);
    WriteStrings(coFile, VarIncludeProjects, m_coIncludeProjects);
    WriteStrings(coFile, VarIncludeLibs, m_coIncludeLibs);
    WriteString(coFile, VarMainWndId, m_coMainWndId);
    WriteString(coFile, VarAppHppFile, m_coAppHppFile);
    WriteString(coFile, VarAppCppFile, m_coAppCppFile);
    WriteString(coFile, VarAppClassName, m_coAppClassName);
    WriteString(coFile, VarAppVar, m_coAppVar);
    WriteString(coFile, VarAppClassDesc, m_coAppClassDesc);
    TResShort(VarMainParams, m_nMainParams).Write(coFile);
    std::vector<TString> coClasses;
    for (const auto& coEntry : m_coCustomClasses) {
        TString coText;
        coText.SetText("%s,%s", static_cast<const char*>(coEntry.first), static_cast<const char*>(coEntry.second));
        coClasses.push_back(coText);
    }
    WriteStrings(coFile, VarCustomClasses, coClasses);
    WriteString(coFile, VarDefFontTable, m_coDefFontTable);
}

int KwFileHdlInfo::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (TResource::NotifyVariableRead(coVar, pcoParent, ulIndex))
        return 1;
    if (coVar.MyId() == VarMainParams) {
        m_nMainParams = static_cast<short>(coVar);
        return 1;
    }
    if (coVar.MyType() != TResVar::TypeString)
        return 0;
    const TString coText = coVar.AsText();
    const char* pszText = coText.IsEmpty() ? nullptr : static_cast<const char*>(coText);
    switch (coVar.MyId()) {
    case VarDescription: m_coDescription = pszText; return 1;
    case VarCopyright: m_coCopyright = pszText; return 1;
    case VarSourcePath: m_coSourcePath = pszText; return 1;
    case VarMainWndId: m_coMainWndId = pszText; return 1;
    case VarAppHppFile: m_coAppHppFile = pszText; return 1;
    case VarAppCppFile: m_coAppCppFile = pszText; return 1;
    case VarAppClassName: m_coAppClassName = pszText; return 1;
    case VarAppVar: m_coAppVar = pszText; return 1;
    case VarAppClassDesc: m_coAppClassDesc = pszText; return 1;
    case VarDefFontTable: m_coDefFontTable = pszText; return 1;
    case VarIncludeProjects:
        for (const TString& coName : TextsOf(coVar))
            AddIncludeProject(coName);
        return 1;
    case VarIncludeLibs:
        for (const TString& coName : TextsOf(coVar))
            AddIncludeLib(coName);
        return 1;
    case VarCustomClasses:
        for (const TString& coEntry : TextsOf(coVar)) {
            const char* pszEntry = coEntry;
            const char* pszComma = pszEntry ? std::strchr(pszEntry, ',') : nullptr;
            if (!pszComma)
                continue;
            const char* pszSecond = pszComma + 1;
            while (*pszSecond == ' ')
                ++pszSecond;
            AddCustomClass(TString().Strncpy(pszEntry, static_cast<int>(pszComma - pszEntry)), pszSecond);
        }
        return 1;
    default:
        return 0;
    }
}
