#include "KwFileSelProfile.h"

#include "KwApp.h"
#include "KwFileSelCopySettings.h"
#include "KwSystem.h"

namespace {

std::string s_strFile;       // set by UseFile; empty: the framework's profile

KwApp* App()
{
    return pcoKwSys ? pcoKwSys->GetApp() : nullptr;
}

} // namespace

const char* const KwFileSelProfile::KeyLogDirectory = "LogDirectory";

std::string KwFileSelProfile::Section()
{
    const KwApp* pcoApp = App();
    return pcoApp && !pcoApp->GetAppName().IsEmpty() ? std::string(pcoApp->GetAppName()) : std::string("KwFileSelector");
}

std::string KwFileSelProfile::File()
{
    if (!s_strFile.empty())
        return s_strFile;
    const KwApp* pcoApp = App();
    if (pcoApp && !pcoApp->GetConfig().GetProfile().IsEmpty())
        return static_cast<const char*>(pcoApp->GetConfig().GetProfile());
    std::string strDirectory = static_cast<const char*>(KwApp::GetWindowsDirectory());
    if (!strDirectory.empty() && strDirectory.back() != '\\' && strDirectory.back() != '/')
        strDirectory += strDirectory.find('/') == 0 ? '/' : '\\';
    return strDirectory + KwConfig::GetKwProFileDefault();
}

void KwFileSelProfile::UseFile(const std::string& strFile)
{
    s_strFile = strFile;
}

std::string KwFileSelProfile::Get(const char* pszKey)
{
    return static_cast<const char*>(KwApp::GetProfileString(Section().c_str(), pszKey, File().c_str(), ""));
}

int KwFileSelProfile::Set(const char* pszKey, const char* pszValue)
{
    return KwApp::WriteProfileString(Section().c_str(), pszKey, File().c_str(), pszValue) ? 1 : 0;
}

KwCopyOptions KwFileSelProfile::CopyOptions()
{
    KwCopyOptions coOptions;
    KwFileSelCopySettings::Read([](const char* pszKey) { return Get(pszKey); }, coOptions);
    return coOptions;
}

int KwFileSelProfile::SetCopyOptions(const KwCopyOptions& coOptions)
{
    return KwFileSelCopySettings::Write(coOptions, [](const char* pszKey, const char* pszValue) { return Set(pszKey, pszValue); });
}
