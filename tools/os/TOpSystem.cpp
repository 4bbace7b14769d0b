#include "TOpSystem.h"

#include "TArray.h"
#include "TCrt.h"
#include "TFileInfo.h"

#include <atomic>
#include <ctime>
#include <memory>

KW_IMPLEMENT_DYNAMIC_CLASS(TOpSystem, TDynBase, "kwtl")

namespace {

std::atomic<TOpSystem::MessageHandler> s_pfnMessageHandler { nullptr };

} // namespace

TOpSystem::~TOpSystem()
{
    m_coModuleManager.DeleteAll();
}

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

int TOpSystem::GetFileInfo(const char*, TFileInfo& coInfo) const
{
    coInfo.Clear();
    return 0;
}

int TOpSystem::ExistsPath(const char*) const { return 0; }
int TOpSystem::FilePermission(const char* pszPath, unsigned short unMode) const
{
    if (!ExistsPath(pszPath) || !(unMode & 3))
        return 0;
    const bool bWrite = (unMode & 2) != 0;
    const int nHandle = OpenFile(pszPath, bWrite ? 2 : 1, 2, nullptr);
    if (nHandle == -1)
        return 0;
    CloseFile(nHandle);
    const int nAccess = ((unMode & 1) ? 4 : 0) | (bWrite ? 2 : 0);
    return CrtAccess(pszPath, nAccess) == 0 ? 1 : 0;
}
uint64_t TOpSystem::DiskFreeSpace(const char*) const { return 0; }
int TOpSystem::OpenFile(const char*, unsigned short, unsigned short, unsigned short*) const { return -1; }
void TOpSystem::CloseFile(int) const {}
void TOpSystem::SeekFile(int, int64_t, unsigned short) const {}
int64_t TOpSystem::TellFile(int) const { return -1; }
int64_t TOpSystem::FileLength(int) const { return -1; }
long TOpSystem::ReadFile(int, char*, long) const { return -1; }
long TOpSystem::WriteFile(int, const char*, long) const { return -1; }
TString TOpSystem::GetCurrentDirectory() const { return TString(); }
int TOpSystem::SetCurrentDirectory(const char*) const { return 0; }
int TOpSystem::CreateDirectory(const char*, unsigned short*) const { return 0; }
int TOpSystem::RemoveDirectory(const char*, unsigned short*) const { return 0; }
int TOpSystem::DeleteFile(const char*, unsigned short*) const { return 0; }
int TOpSystem::CopyFile(const char*, const char*, int64_t) const { return 0; }
int TOpSystem::MoveFileReplace(const char*, const char*) const { return 0; }
int TOpSystem::FlushFile(const char*) const { return 0; }
TOsThread* TOpSystem::CreateThread(TDynBase*, ThreadHandler) const { return nullptr; }
TConsoleProcess* TOpSystem::CreateConsoleProcess() const { return nullptr; }
TString TOpSystem::GetEnvVar(const char*) const { return TString(); }
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
int TOpSystem::IsUtf8Text() const { return 1; }

TOpSystem::MessageHandler TOpSystem::SetMessageHandler(MessageHandler pfnHandler)
{
    return s_pfnMessageHandler.exchange(pfnHandler);
}

int TOpSystem::CallMessageHandler(const char* pszText, const char* pszCaption)
{
    MessageHandler pfnHandler = s_pfnMessageHandler.load();
    if (!pfnHandler)
        return 0;
    pfnHandler(pszText ? pszText : "", pszCaption ? pszCaption : "Message");
    return 1;
}

unsigned short TOpSystem::AttributeCode(unsigned long ulBits)
{
    static const struct {
        unsigned long m_ulBit;
        unsigned short m_unCode;
    } s_aRules[] = {
        { 0x20, TFileInfo::AttrArchive },
        { 0x800, TFileInfo::AttrCompressed },
        { 0x10, TFileInfo::AttrDirectory },
        { 0x2, TFileInfo::AttrHidden },
        { 0x1, TFileInfo::AttrReadOnly },
        { 0x4, TFileInfo::AttrSystem },
    };
    unsigned short unCode = TFileInfo::AttrNone;
    for (const auto& coRule : s_aRules)
        if (ulBits & coRule.m_ulBit)
            unCode = coRule.m_unCode;
    return unCode;
}

unsigned long TOpSystem::DosCalendarTime(int nYear, int nMonth, int nDay, int nHour, int nMinute, int nSecond)
{
    if (nYear < 1980 || nYear > 2107)
        return 0;
    std::tm coTime {};
    coTime.tm_year = nYear - 1900;
    coTime.tm_mon = nMonth - 1;
    coTime.tm_mday = nDay;
    coTime.tm_hour = nHour;
    coTime.tm_min = nMinute;
    coTime.tm_sec = nSecond / 2 * 2;
    // The local time is that of its own date, so mktime decides whether
    // summer time applied then.
    coTime.tm_isdst = -1;
    const std::time_t llTime = std::mktime(&coTime);
    if (llTime <= 0 || static_cast<uint64_t>(llTime) >= 0xFFFFFFFFull)
        return 0;
    return static_cast<unsigned long>(llTime);
}

unsigned long TOpSystem::SizeField(uint64_t ullSize)
{
    return ullSize >= 0xFFFFFFFFull ? TFileInfo::LargeSize : static_cast<unsigned long>(ullSize);
}

int TOpSystem::CopyStream(FILE* pTarget, FILE* pSource, int64_t llCount)
{
    constexpr size_t kBuffer = 25000;
    constexpr int64_t kPiece = 20000;
    std::unique_ptr<char[]> pchBuffer(new char[kBuffer]);
    while (llCount > 0) {
        const size_t nPiece = static_cast<size_t>(llCount < kPiece ? llCount : kPiece);
        if (std::fread(pchBuffer.get(), 1, nPiece, pSource) != nPiece)
            return 0;
        if (std::fwrite(pchBuffer.get(), 1, nPiece, pTarget) != nPiece)
            return 0;
        llCount -= static_cast<int64_t>(nPiece);
    }
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

int TOpSystem::CopyFileFrom(const char* pszTarget, const char* pszSource, int64_t llOffset)
{
    if (!pszTarget || !*pszTarget || !pszSource || !*pszSource || llOffset < 0)
        return 0;
    FILE* pSource = CrtOpenStream(pszSource, "rb");
    if (!pSource)
        return 0;
    const int64_t llLength = CrtStreamLength(pSource);
    if (llLength < 0 || llOffset > llLength || CrtIsSameFile(pSource, pszTarget)
        || CrtSeekStream(pSource, llOffset) != 0) {
        std::fclose(pSource);
        return 0;
    }
    FILE* pTarget = CrtOpenStream(pszTarget, "wb");
    if (!pTarget) {
        std::fclose(pSource);
        return 0;
    }
    int nResult = CopyStream(pTarget, pSource, llLength - llOffset);
    if (std::fclose(pTarget) != 0)
        nResult = 0;
    std::fclose(pSource);
    return nResult;
}

void TOpSystem::StartFileList(TArray& coFiles)
{
    coFiles.Delete();
    coFiles.SetDestroyFunc(TFileInfo::Destroy);
}

void TOpSystem::AddFileRecord(TArray& coFiles, TFileInfo* pcoInfo, const char* pszDirectory)
{
    pcoInfo->SetPath(pszDirectory);
    if (!coFiles.Insert(pcoInfo, nullptr))
        delete pcoInfo;
}

int TOpSystem::EndFileList(TArray& coFiles, bool bComplete)
{
    if (!bComplete)
        coFiles.Delete();
    return bComplete ? 1 : 0;
}

void TOpSystem::MakeDirectoryRecord(TFileInfo& coInfo, const char* pszPath)
{
    coInfo.SetPath(pszPath);
    coInfo.SetName("");
    coInfo.SetLastModified(0);
    coInfo.SetCreationTime(0);
    coInfo.SetLastAccessed(0);
}

int TOpSystem::NoPath(unsigned short* punError)
{
    if (punError)
        *punError = DirNoPath;
    return 0;
}
