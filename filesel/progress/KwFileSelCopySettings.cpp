#include "KwFileSelCopySettings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

struct TWord {
    const char* m_pszValue;
    int m_nOption;
};

const char* const s_pszRights = "CopyRights";
const char* const s_pszOwner = "CopyOwner";
const char* const s_pszExisting = "ExistingFiles";
const char* const s_pszVerify = "Verify";
const char* const s_pszWorkers = "Workers";

const TWord s_aRights[] = {
    { "all", KwCopyOptions::SecurityAll },
    { "dacl", KwCopyOptions::SecurityDaclGroup },
    { "none", KwCopyOptions::SecurityNone },
};
const TWord s_aExisting[] = {
    { "replace", KwCopyOptions::Overwrite },
    { "skip", KwCopyOptions::SkipExisting },
    { "older", KwCopyOptions::SkipNewer },
};
const TWord s_aFlag[] = { { "0", 0 }, { "1", 1 } };

bool SameWord(const std::string& strValue, const char* pszWord)
{
    size_t i = 0;
    for (; i < strValue.size() && pszWord[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(strValue[i])) != pszWord[i])
            return false;
    return i == strValue.size() && !pszWord[i];
}

// The option of the word the key holds; nOption when it holds none of them.
template <size_t N>
int OptionOf(const KwFileSelCopySettings::Reader& fnRead, const char* pszKey, const TWord (&aWords)[N], int nOption)
{
    const std::string strValue = fnRead(pszKey);
    for (const TWord& coWord : aWords)
        if (SameWord(strValue, coWord.m_pszValue))
            return coWord.m_nOption;
    return nOption;
}

template <size_t N>
const char* WordOf(const TWord (&aWords)[N], int nOption)
{
    for (const TWord& coWord : aWords)
        if (coWord.m_nOption == nOption)
            return coWord.m_pszValue;
    return aWords[0].m_pszValue;
}

} // namespace

int KwFileSelCopySettings::WorkersOf(const std::string& strValue, int nWorkers)
{
    const size_t nBegin = strValue.find_first_not_of(' ');
    if (nBegin == std::string::npos)
        return nWorkers;
    const size_t nEnd = strValue.find_last_not_of(' ') + 1;
    int nValue = 0;
    for (size_t i = nBegin; i < nEnd; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(strValue[i])))
            return nWorkers;
        nValue = std::min<int>(KwCopyOptions::MaxWorkers, nValue * 10 + (strValue[i] - '0'));
    }
    return nValue;
}

void KwFileSelCopySettings::Read(const Reader& fnRead, KwCopyOptions& coOptions)
{
    coOptions.m_eSecurity = static_cast<KwCopyOptions::Security>(OptionOf(fnRead, s_pszRights, s_aRights, coOptions.m_eSecurity));
    coOptions.m_nOwner = OptionOf(fnRead, s_pszOwner, s_aFlag, coOptions.m_nOwner);
    coOptions.m_eExisting = static_cast<KwCopyOptions::Existing>(OptionOf(fnRead, s_pszExisting, s_aExisting, coOptions.m_eExisting));
    coOptions.m_nVerify = OptionOf(fnRead, s_pszVerify, s_aFlag, coOptions.m_nVerify);
    coOptions.m_nWorkers = WorkersOf(fnRead(s_pszWorkers), coOptions.m_nWorkers);
}

int KwFileSelCopySettings::Write(const KwCopyOptions& coOptions, const Writer& fnWrite)
{
    int nAll = fnWrite(s_pszRights, WordOf(s_aRights, coOptions.m_eSecurity));
    nAll &= fnWrite(s_pszOwner, WordOf(s_aFlag, coOptions.m_nOwner ? 1 : 0));
    nAll &= fnWrite(s_pszExisting, WordOf(s_aExisting, coOptions.m_eExisting));
    nAll &= fnWrite(s_pszVerify, WordOf(s_aFlag, coOptions.m_nVerify ? 1 : 0));
    nAll &= fnWrite(s_pszWorkers, std::to_string(std::clamp(coOptions.m_nWorkers, 0, static_cast<int>(KwCopyOptions::MaxWorkers))).c_str());
    return nAll;
}

std::string KwFileSelCopySettings::Describe(const KwCopyOptions& coOptions)
{
    std::string strText = coOptions.m_nListOnly ? "List only (nothing is changed). Options: " : "Options: ";
    switch (coOptions.m_eSecurity) {
    case KwCopyOptions::SecurityAll: strText += "rights: group, DACL and SACL"; break;
    case KwCopyOptions::SecurityDaclGroup: strText += "rights: DACL and group"; break;
    case KwCopyOptions::SecurityDacl: strText += "rights: DACL"; break;
    case KwCopyOptions::SecurityNone: strText += "rights: none (the target's inherited ones)"; break;
    }
    // Without rights there is no descriptor, so no owner either.
    strText += coOptions.m_nOwner && coOptions.m_eSecurity != KwCopyOptions::SecurityNone ? "; owner: yes" : "; owner: no";
    switch (coOptions.m_eExisting) {
    case KwCopyOptions::Overwrite: strText += "; existing files: replace"; break;
    case KwCopyOptions::SkipExisting: strText += "; existing files: skip"; break;
    case KwCopyOptions::SkipNewer: strText += "; existing files: replace only when older"; break;
    }
    strText += coOptions.m_nVerify ? "; verify: bytes and rights" : "; verify: no";
    strText += "; files at once: " + std::to_string(KwCopyOptions::WorkersFor(coOptions.m_nWorkers));
    if (coOptions.m_nWorkers == 0)
        strText += " (one per processor)";
    return strText;
}

std::string KwFileSelCopySettings::LogFileName(const std::string& strProgram, const std::tm& coTime)
{
    std::string strName;
    for (const char ch : strProgram)
        strName += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    char szWhen[96];
    std::snprintf(szWhen, sizeof szWhen, "-%04d%02d%02d-%02d%02d%02d.log", coTime.tm_year + 1900, coTime.tm_mon + 1,
                  coTime.tm_mday, coTime.tm_hour, coTime.tm_min, coTime.tm_sec);
    return (strName.empty() ? std::string("copy") : strName) + szWhen;
}
