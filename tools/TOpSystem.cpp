#include "TOpSystem.h"

#include "TArray.h"

#include <atomic>
#include <memory>

KW_IMPLEMENT_DYNAMIC_CLASS(TOpSystem, TDynBase, "kwtl")

namespace {

std::atomic<TOpSystem::MessageHandler> s_pfnMessageHandler { nullptr };

} // namespace

int TOpSystem::ScanDrives(TArray& coDrives) const
{
    coDrives.Delete();
    return 0;
}

int TOpSystem::ScanFiles(TArray&, const char*, const char*, int) const
{
    return 0;
}

unsigned short TOpSystem::GetDriveType(const char*) const
{
    return 0;
}

int TOpSystem::GetDriveInfo(const char*, unsigned short* punType, TString* pcoVolumeName,
                            TString* pcoFileSystemName) const
{
    if (punType)
        *punType = 0;
    if (pcoVolumeName)
        pcoVolumeName->Empty();
    if (pcoFileSystemName)
        pcoFileSystemName->Empty();
    return 0;
}

int TOpSystem::GetFileInfo(const char*, TFileInfo&) const
{
    return 0;
}

int TOpSystem::ExistsPath(const char*) const { return 0; }
int TOpSystem::FilePermission(const char*, unsigned short) const { return 0; }
uint64_t TOpSystem::DiskFreeSpace(const char*) const { return 0; }
int TOpSystem::OpenFile(const char*, unsigned short, unsigned short, unsigned short*) const { return -1; }
void TOpSystem::CloseFile(int) const {}
void TOpSystem::SeekFile(int, int64_t, unsigned short) const {}
int64_t TOpSystem::TellFile(int) const { return -1; }
int64_t TOpSystem::FileLength(int) const { return -1; }
long TOpSystem::ReadFile(int, char*, long) const { return -1; }
long TOpSystem::WriteFile(int, const char*, long) const { return -1; }
TString TOpSystem::GetCurrentDirectory() { return TString(); }
int TOpSystem::SetCurrentDirectory(const char*) const { return 0; }
int TOpSystem::CreateDirectory(const char*, unsigned short*) const { return 0; }
int TOpSystem::RemoveDirectory(const char*, unsigned short*) const { return 0; }
int TOpSystem::DeleteFile(const char*, unsigned short*) const { return 0; }
int TOpSystem::CopyFile(const char*, const char*, int64_t) const { return 0; }
TOsThread* TOpSystem::CreateThread(TDynBase*, ThreadHandler) const { return nullptr; }
TConsoleProcess* TOpSystem::CreateConsoleProcess() const { return nullptr; }
TString TOpSystem::GetEnvVar(const char*) { return TString(); }
int TOpSystem::SetEnvVar(const char*, const char*) const { return 0; }

void TOpSystem::Message(const char* pszText, const char* pszCaption) const
{
    CallMessageHandler(pszText, pszCaption);
}

void TOpSystem::Sleep(unsigned short) const {}
unsigned long TOpSystem::GetOSRunningTimeMs() const { return 0; }
int TOpSystem::SetLocalTime(const TDateTimeF&) const { return 0; }
intptr_t TOpSystem::LoadLibrary(const char*) const { return 0; }
int TOpSystem::FreeLibrary(intptr_t) const { return 0; }

TOpSystem::MessageHandler TOpSystem::SetMessageHandler(MessageHandler pfnHandler)
{
    return s_pfnMessageHandler.exchange(pfnHandler);
}

int TOpSystem::CallMessageHandler(const char* pszText, const char* pszCaption)
{
    MessageHandler pfnHandler = s_pfnMessageHandler.load();
    if (!pfnHandler)
        return 0;
    pfnHandler(pszText, pszCaption ? pszCaption : "Message");
    return 1;
}

namespace {

const char* PlatformClassName()
{
#if defined(_WIN32)
    return "TOpSystemWinNT";
#else
    return "TOpSystemPosix";
#endif
}

TOpSystem* CreateOpSystem()
{
    TDynBase* pcoObject = TDynBase::RTTIDynCreate(PlatformClassName());
    if (pcoObject && pcoObject->IsClassFamily("TOpSystem"))
        return static_cast<TOpSystem*>(pcoObject);
    delete pcoObject;
    // Without a platform class every operation gives its neutral result.
    return new TOpSystem;
}

} // namespace

const TOpSystem& CurrentOS()
{
    // Initialised once even when two threads ask first at the same time;
    // deleted when the library is unloaded.
    static const std::unique_ptr<TOpSystem> s_pcoSystem(CreateOpSystem());
    return *s_pcoSystem;
}
