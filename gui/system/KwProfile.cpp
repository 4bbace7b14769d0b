#include "KwProfile.h"

#include "TCrt.h"
#include "TFile.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Larger profile files are not read: they are not what the framework keeps.
constexpr int64_t MaxProfileSize = 1 << 20;

std::string Trimmed(const std::string& strText)
{
    size_t nStart = 0;
    size_t nEnd = strText.size();
    while (nStart < nEnd && std::isspace(static_cast<unsigned char>(strText[nStart])))
        ++nStart;
    while (nEnd > nStart && std::isspace(static_cast<unsigned char>(strText[nEnd - 1])))
        --nEnd;
    return strText.substr(nStart, nEnd - nStart);
}

std::vector<std::string> ReadLines(const char* pszFile)
{
    std::vector<std::string> coLines;
    TFile coFile;
    if (!pszFile || !*pszFile || !coFile.Open(pszFile, TFile::ModeRead))
        return coLines;
    const int64_t llSize = coFile->Size();
    if (llSize <= 0 || llSize > MaxProfileSize)
        return coLines;
    std::string strText(static_cast<size_t>(llSize), '\0');
    strText.resize(coFile->Read(strText.data(), 1, static_cast<uint32_t>(llSize)));
    size_t nAt = 0;
    while (nAt < strText.size()) {
        size_t nEnd = strText.find('\n', nAt);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nAt, nEnd - nAt);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        coLines.push_back(strLine);
        nAt = nEnd + 1;
    }
    return coLines;
}

// The section a line opens ("[name]"), or none.
bool SectionOf(const std::string& strLine, std::string& strName)
{
    const std::string strTrim = Trimmed(strLine);
    if (strTrim.size() < 2 || strTrim.front() != '[' || strTrim.back() != ']')
        return false;
    strName = Trimmed(strTrim.substr(1, strTrim.size() - 2));
    return true;
}

// The key of a line "key = value", or none.
bool KeyOf(const std::string& strLine, std::string& strKey, std::string& strValue)
{
    const size_t nEqual = strLine.find('=');
    if (nEqual == std::string::npos)
        return false;
    strKey = Trimmed(strLine.substr(0, nEqual));
    strValue = Trimmed(strLine.substr(nEqual + 1));
    return !strKey.empty();
}

bool SameName(const std::string& strA, const char* pszB)
{
    return CrtStricmp(strA.c_str(), pszB) == 0;
}

} // namespace

TString KwProfile::GetString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszDefault)
{
    if (!pszSection || !pszKey)
        return TString(pszDefault);
    bool bInSection = false;
    for (const std::string& strLine : ReadLines(pszFile)) {
        std::string strName;
        std::string strValue;
        if (SectionOf(strLine, strName))
            bInSection = SameName(strName, pszSection);
        else if (bInSection && KeyOf(strLine, strName, strValue) && SameName(strName, pszKey))
            return TString(strValue.c_str());
    }
    return TString(pszDefault);
}

int KwProfile::WriteString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszValue)
{
    if (!pszSection || !*pszSection || !pszKey || !*pszKey || !pszFile || !*pszFile)
        return 0;
    std::vector<std::string> coLines = ReadLines(pszFile);
    std::string strName;
    std::string strValue;
    size_t nStart = 0;
    while (nStart < coLines.size() && !(SectionOf(coLines[nStart], strName) && SameName(strName, pszSection)))
        ++nStart;
    if (nStart == coLines.size())
        coLines.push_back(std::string("[") + pszSection + "]");
    size_t nEnd = nStart + 1;
    while (nEnd < coLines.size() && !SectionOf(coLines[nEnd], strName))
        ++nEnd;
    size_t nKey = nStart + 1;
    while (nKey < nEnd && !(KeyOf(coLines[nKey], strName, strValue) && SameName(strName, pszKey)))
        ++nKey;
    const std::string strNew = std::string(pszKey) + "=" + (pszValue ? pszValue : "");
    if (nKey < nEnd && pszValue)
        coLines[nKey] = strNew;
    else if (nKey < nEnd)
        coLines.erase(coLines.begin() + static_cast<long>(nKey));
    else if (pszValue)
        coLines.insert(coLines.begin() + static_cast<long>(nEnd), strNew);
    std::string strText;
    for (const std::string& strLine : coLines)
        strText += strLine + "\r\n";
    TFile coFile;
    if (!coFile.Open(pszFile, TFile::ModeCreate))
        return 0;
    return coFile->Write(strText.data(), 1, static_cast<uint32_t>(strText.size())) == strText.size();
}

short KwProfile::ToShort(const char* pszValue, short nDefault)
{
    if (!pszValue)
        return nDefault;
    char* pszEnd = nullptr;
    const long lValue = std::strtol(pszValue, &pszEnd, 10);
    if (pszEnd == pszValue)
        return nDefault;
    return static_cast<short>(lValue);
}
