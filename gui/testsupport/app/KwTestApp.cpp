#include "KwTestApp.h"

#include "KwGuiPump.h"
#include "KwMessages.h"
#include "KwGuiInput.h"
#include "KwKwtText.h"

#include <filesystem>

namespace kw25test {

KwTestApp& KwTestApp::Instance()
{
    static KwTestApp s_coApp;
    return s_coApp;
}

std::string StandardFileDirectory()
{
    char szProgram[MAX_PATH] {};
    ::GetModuleFileNameA(nullptr, szProgram, sizeof szProgram);
    const std::filesystem::path coOwn = std::filesystem::path(szProgram).parent_path();
    std::error_code ec;
    if (std::filesystem::exists(coOwn / "zorvik30.kwt", ec))
        return coOwn.string();
    const std::filesystem::path coDir = std::filesystem::temp_directory_path(ec)
        / ("kw25std-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(coDir, ec);
    if (!WriteKwt((coDir / "zorvik30.kwt").string(), KwtText(StandardRecords())).empty())
        return std::string();
    return coDir.string();
}

KwWFrame* OpenFrame(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszTitle, short nColBack)
{
    KwWFrame* pcoFrame = new KwWFrame(pszName, coPos, coSize, pszTitle, nColBack, KwStyle::OverlappedWindow, 0, 0);
    if (!pcoFrame->SysCreate(nullptr))
        return pcoFrame;
    pcoFrame->StartDirect(4);
    kwtest::BringToForeground(Hwnd(*pcoFrame));
    kwtest::PumpIdle();
    return pcoFrame;
}

} // namespace kw25test
