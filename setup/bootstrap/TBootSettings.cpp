#include "TBootSettings.h"

#include "BootWindows.h"
#include "TBootText.h"

#include <cstring>

namespace {

const char s_szSection[] = "Installation";

} // namespace

TBootSettings::EReadResult TBootSettings::Read(const char* pszIniFile)
{
    m_nPeekTimeOut = static_cast<int>(GetPrivateProfileIntA(s_szSection, "PeekTimeOut", 10, pszIniFile));
    m_nNeedSpaceMBTemp = static_cast<int>(GetPrivateProfileIntA(s_szSection, "NeedSpaceMBTemp", 1, pszIniFile));
    if (!ReadString(pszIniFile, "SetupResource", "plvsetup.plv", m_szSetupResource, kMaxResource)
        || !CompleteResourceName(m_szSetupResource, sizeof(m_szSetupResource)))
        return kBadResource;
    if (!ReadString(pszIniFile, "CustomClass", "StProject", m_szCustomClass, kMaxCustomClass))
        return kCustomClassTooLong;
    return kReadOk;
}

int TBootSettings::CompleteResourceName(char* pszName, size_t nSize)
{
    if (strpbrk(pszName, "\\/:")) {
        pszName[0] = '\0';
        return 0;
    }
    if (!strchr(pszName, '.') && !BootAppend(pszName, nSize, ".plv"))
        return 0;
    CharLowerBuffA(pszName, static_cast<DWORD>(strlen(pszName)));
    return 1;
}

int TBootSettings::ReadString(const char* pszIniFile, const char* pszKey, const char* pszDefault, char* pszValue,
                              size_t nMax)
{
    // One character more than allowed is asked for: a value that fills it
    // is longer than the limit, and a cut-off value is never used.
    char szValue[kMaxResource + 2];
    DWORD nLength = GetPrivateProfileStringA(s_szSection, pszKey, pszDefault, szValue,
                                             static_cast<DWORD>(nMax + 2), pszIniFile);
    if (nLength > nMax) {
        pszValue[0] = '\0';
        return 0;
    }
    memcpy(pszValue, szValue, nLength);
    pszValue[nLength] = '\0';
    return 1;
}
