#include "KwCopyFileSystem.h"

#include "FlslWindows.h"
#include "KwWideTextWinNT.h"

#include <cstring>
#include <vector>

namespace {

// The attributes a copy takes over; the rest (compression, encryption,
// sparseness, reparse points) are properties of how the data is stored.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
    | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE;
constexpr DWORD kListingBuffer = 64 * 1024;

int64_t Time(const FILETIME& coTime)
{
    return static_cast<int64_t>((static_cast<uint64_t>(coTime.dwHighDateTime) << 32) | coTime.dwLowDateTime);
}

int64_t Time(const LARGE_INTEGER& coTime)
{
    return coTime.QuadPart;
}

KwCopyError::Kind ErrorKind(DWORD ulError)
{
    switch (ulError) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return KwCopyError::Exists;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY:
        return KwCopyError::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_PRIVILEGE_NOT_HELD:
        return KwCopyError::Denied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return KwCopyError::NoSpace;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_A_REPARSE_POINT:
        return KwCopyError::NotSupported;
    default:
        return KwCopyError::Other;
    }
}

int Failure(KwCopyError& coError)
{
    const DWORD ulError = GetLastError();
    coError.Set(ErrorKind(ulError), ulError);
    return 0;
}

void Fill(KwCopyStat& coStat, DWORD ulAttributes, DWORD ulReparseTag, uint64_t ullSize, int64_t llCreated,
          int64_t llWritten, int64_t llAccessed)
{
    coStat.m_eKind = KwCopyStat::KindOf(ulAttributes, (ulAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ulReparseTag : 0);
    coStat.m_ulAttributes = ulAttributes;
    coStat.m_ulReparseTag = (ulAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ulReparseTag : 0;
    coStat.m_ullSize = coStat.m_eKind == KwCopyStat::File ? ullSize : 0;
    coStat.m_llCreated = llCreated;
    coStat.m_llWritten = llWritten;
    coStat.m_llAccessed = llAccessed;
}

// Times and attributes for SetFileInformationByHandle. A new file has
// the archive attribute already, so only a file that differs from that
// has its attributes set (0 leaves them as they are).
FILE_BASIC_INFO BasicInfo(const KwCopyStat& coSource, bool bNewFile)
{
    FILE_BASIC_INFO coInfo {};
    coInfo.CreationTime.QuadPart = coSource.m_llCreated;
    coInfo.LastWriteTime.QuadPart = coSource.m_llWritten;
    coInfo.LastAccessTime.QuadPart = coSource.m_llAccessed;
    const DWORD ulAttributes = coSource.m_ulAttributes & kCopiedAttributes;
    if (!(bNewFile && ulAttributes == FILE_ATTRIBUTE_ARCHIVE))
        coInfo.FileAttributes = ulAttributes ? ulAttributes : FILE_ATTRIBUTE_NORMAL;
    return coInfo;
}

class THandle {
public:
    explicit THandle(HANDLE hHandle) : m_hHandle(hHandle) {}
    ~THandle()
    {
        if (IsOpen())
            CloseHandle(m_hHandle);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    bool IsOpen() const { return m_hHandle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hHandle; }

private:
    HANDLE m_hHandle;
};

HANDLE OpenEntry(const std::string& strPath, DWORD ulAccess, DWORD ulFlags = 0)
{
    return CreateFileW(KwLongPath(strPath).c_str(), ulAccess, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | ulFlags, nullptr);
}

int IdentityOf(HANDLE hEntry, KwCopyIdentity& coIdentity, KwCopyError& coError)
{
    BY_HANDLE_FILE_INFORMATION coInfo;
    if (!GetFileInformationByHandle(hEntry, &coInfo))
        return Failure(coError);
    coIdentity.m_ullVolume = coInfo.dwVolumeSerialNumber;
    coIdentity.m_ullIndexHigh = 0;
    coIdentity.m_ullIndexLow = (static_cast<uint64_t>(coInfo.nFileIndexHigh) << 32) | coInfo.nFileIndexLow;
    return 1;
}

// The last name of a path as the handle's file system spells it.
int HandleName(HANDLE hEntry, std::string& strName)
{
    std::vector<wchar_t> vecName(MAX_PATH);
    DWORD ulLength = GetFinalPathNameByHandleW(hEntry, vecName.data(), static_cast<DWORD>(vecName.size()),
                                               FILE_NAME_NORMALIZED | VOLUME_NAME_NONE);
    if (ulLength >= vecName.size()) {
        vecName.resize(ulLength + 1);
        ulLength = GetFinalPathNameByHandleW(hEntry, vecName.data(), static_cast<DWORD>(vecName.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_NONE);
    }
    if (ulLength == 0 || ulLength >= vecName.size())
        return 0;
    const std::wstring wstrPath(vecName.data(), ulLength);
    const size_t nLast = wstrPath.find_last_of(L'\\');
    const std::wstring wstrName = nLast == std::wstring::npos ? wstrPath : wstrPath.substr(nLast + 1);
    if (wstrName.empty())
        return 0;
    strName = KwUtf8FromWide(wstrName);
    return 1;
}

// Marks an open file for deletion; a read-only one loses the attribute first.
bool DeleteByHandle(HANDLE hFile)
{
    FILE_DISPOSITION_INFO coDelete { TRUE };
    if (SetFileInformationByHandle(hFile, FileDispositionInfo, &coDelete, sizeof(coDelete)))
        return true;
    FILE_BASIC_INFO coInfo {};
    coInfo.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(hFile, FileBasicInfo, &coInfo, sizeof(coInfo))
        && SetFileInformationByHandle(hFile, FileDispositionInfo, &coDelete, sizeof(coDelete));
}

// A file of the copy: a source read in sequence or a target created by it.
class TStreamWinNT final : public KwCopyStream {
public:
    TStreamWinNT(HANDLE hFile, bool bCreated) : m_hFile(hFile), m_bCreated(bCreated) {}
    ~TStreamWinNT() override
    {
        if (m_hFile == INVALID_HANDLE_VALUE)
            return;
        if (m_bCreated)
            Abandon();
        else
            CloseHandle(m_hFile);
    }

    long Read(char* pchBuffer, long lCount, KwCopyError& coError) override
    {
        DWORD ulRead = 0;
        if (!ReadFile(m_hFile, pchBuffer, static_cast<DWORD>(lCount), &ulRead, nullptr)) {
            Failure(coError);
            return -1;
        }
        return static_cast<long>(ulRead);
    }

    long Write(const char* pchBuffer, long lCount, KwCopyError& coError) override
    {
        long lDone = 0;
        while (lDone < lCount) {
            DWORD ulWritten = 0;
            if (!WriteFile(m_hFile, pchBuffer + lDone, static_cast<DWORD>(lCount - lDone), &ulWritten, nullptr)
                || ulWritten == 0) {
                Failure(coError);
                return -1;
            }
            lDone += static_cast<long>(ulWritten);
        }
        return lDone;
    }

    int Rewind(KwCopyError& coError) override
    {
        LARGE_INTEGER coStart {};
        return SetFilePointerEx(m_hFile, coStart, nullptr, FILE_BEGIN) ? 1 : Failure(coError);
    }

    int SetSize(uint64_t ullSize, KwCopyError& coError) override
    {
        // Allowed at any length, also on a handle without buffering.
        FILE_END_OF_FILE_INFO coEnd {};
        coEnd.EndOfFile.QuadPart = static_cast<LONGLONG>(ullSize);
        return SetFileInformationByHandle(m_hFile, FileEndOfFileInfo, &coEnd, sizeof(coEnd)) ? 1 : Failure(coError);
    }

    int Finish(const KwCopyStat& coSource, KwCopyError& coError) override
    {
        FILE_BASIC_INFO coInfo = BasicInfo(coSource, true);
        return SetFileInformationByHandle(m_hFile, FileBasicInfo, &coInfo, sizeof(coInfo)) ? 1 : Failure(coError);
    }

    int NamedStreams(std::vector<KwCopyNamedStream>& vecStreams, KwCopyError& coError) override
    {
        vecStreams.clear();
        std::vector<char> vecBuffer(4096);
        while (!GetFileInformationByHandleEx(m_hFile, FileStreamInfo, vecBuffer.data(),
                                             static_cast<DWORD>(vecBuffer.size()))) {
            const DWORD ulError = GetLastError();
            // A file system without streams (FAT, a share, Wine) has none to copy.
            if (ulError == ERROR_INVALID_FUNCTION || ulError == ERROR_NOT_SUPPORTED
                || ulError == ERROR_INVALID_PARAMETER || ulError == ERROR_HANDLE_EOF)
                return 1;
            if (ulError != ERROR_MORE_DATA || vecBuffer.size() >= (64u << 20))
                return Failure(coError);
            vecBuffer.resize(vecBuffer.size() * 4);
        }
        for (size_t nOffset = 0;;) {
            const auto* pcoInfo = reinterpret_cast<const FILE_STREAM_INFO*>(vecBuffer.data() + nOffset);
            const std::string strName = KwUtf8FromWide(pcoInfo->StreamName, pcoInfo->StreamNameLength / sizeof(wchar_t));
            // "::$DATA" is the file's own content.
            if (strName.rfind("::", 0) != 0)
                vecStreams.push_back({ strName, static_cast<uint64_t>(pcoInfo->StreamSize.QuadPart) });
            if (!pcoInfo->NextEntryOffset)
                return 1;
            nOffset += pcoInfo->NextEntryOffset;
        }
    }

    int GetSecurity(uint32_t ulInfo, void* pvBuffer, uint32_t ulSize, uint32_t& ulNeeded, uint32_t& ulError) override
    {
        DWORD ulLength = 0;
        if (!GetKernelObjectSecurity(m_hFile, ulInfo, pvBuffer, ulSize, &ulLength)) {
            ulError = GetLastError();
            ulNeeded = ulLength;
            return 0;
        }
        ulNeeded = GetSecurityDescriptorLength(pvBuffer);
        return 1;
    }

    int Commit(const std::string& strFinal, int nReplace, KwCopyError& coError) override
    {
        const std::wstring wstrFinal = KwLongPath(strFinal);
        std::vector<char> vecRename(sizeof(FILE_RENAME_INFO) + (wstrFinal.size() + 1) * sizeof(wchar_t));
        auto* pcoRename = reinterpret_cast<FILE_RENAME_INFO*>(vecRename.data());
        pcoRename->ReplaceIfExists = nReplace ? TRUE : FALSE;
        pcoRename->RootDirectory = nullptr;
        pcoRename->FileNameLength = static_cast<DWORD>(wstrFinal.size() * sizeof(wchar_t));
        std::memcpy(pcoRename->FileName, wstrFinal.c_str(), (wstrFinal.size() + 1) * sizeof(wchar_t));
        const auto Rename = [&] {
            return SetFileInformationByHandle(m_hFile, FileRenameInfo, pcoRename, static_cast<DWORD>(vecRename.size()));
        };
        if (!Rename()) {
            // Windows refuses to replace a read-only file: it loses the
            // attribute first, and gets it back when the rename fails.
            const DWORD ulError = GetLastError();
            const DWORD ulAttributes = GetFileAttributesW(wstrFinal.c_str());
            if (!nReplace || ulError != ERROR_ACCESS_DENIED || ulAttributes == INVALID_FILE_ATTRIBUTES
                || !(ulAttributes & FILE_ATTRIBUTE_READONLY)
                || !SetFileAttributesW(wstrFinal.c_str(), ulAttributes & ~FILE_ATTRIBUTE_READONLY)) {
                SetLastError(ulError);
                return Failure(coError);
            }
            if (!Rename()) {
                Failure(coError);
                SetFileAttributesW(wstrFinal.c_str(), ulAttributes);
                return 0;
            }
        }
        m_bCreated = false;
        return 1;
    }

    int Close(KwCopyError& coError) override
    {
        const BOOL nClosed = CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        return nClosed ? 1 : Failure(coError);
    }

    void Abandon() override
    {
        if (m_hFile == INVALID_HANDLE_VALUE)
            return;
        // Through the handle, which was opened with the right to delete:
        // the name may lie where the copy's account may not delete by name.
        if (m_bCreated)
            DeleteByHandle(m_hFile);
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_hFile;
    bool m_bCreated;
};

class TFileSystemWinNT final : public KwCopyFileSystem {
    // "\\?\" and "\\.\": paths that Windows takes as they are.
    template <typename TText>
    static bool IsVerbatim(const TText& strPath)
    {
        return strPath.size() >= 4 && strPath[0] == '\\' && strPath[1] == '\\' && (strPath[2] == '?' || strPath[2] == '.')
            && strPath[3] == '\\';
    }

public:
    char Separator() const override { return '\\'; }

    int FullPath(const std::string& strPath, std::string& strFull) const override
    {
        std::wstring wstrPath = KwWideFromUtf8(strPath);
        if (wstrPath.empty() || wstrPath.find(L'\0') != std::wstring::npos)
            return 0;
        if (IsVerbatim(wstrPath)) {
            const std::wstring wstrRest = wstrPath.substr(4);
            if (wstrRest.size() >= 2 && wstrRest[1] == L':')
                wstrPath = wstrRest;
            else if (_wcsnicmp(wstrRest.c_str(), L"UNC\\", 4) == 0)
                wstrPath = L"\\\\" + wstrRest.substr(4);
            else
                return VerbatimPath(wstrPath, strFull);
        }
        for (wchar_t& wch : wstrPath)
            if (wch == L'/')
                wch = L'\\';
        std::vector<wchar_t> vecFull(wstrPath.size() + MAX_PATH);
        DWORD ulLength = GetFullPathNameW(wstrPath.c_str(), static_cast<DWORD>(vecFull.size()), vecFull.data(), nullptr);
        if (ulLength >= vecFull.size()) {
            vecFull.resize(ulLength + 1);
            ulLength = GetFullPathNameW(wstrPath.c_str(), static_cast<DWORD>(vecFull.size()), vecFull.data(), nullptr);
        }
        if (ulLength == 0 || ulLength >= vecFull.size())
            return 0;
        strFull = KwUtf8FromWide(vecFull.data(), ulLength);
        while (strFull.size() > RootLength(strFull) && strFull.back() == '\\')
            strFull.pop_back();
        return RootLength(strFull) > 0 ? 1 : 0;
    }

    size_t RootLength(const std::string& strFull) const override
    {
        if (strFull.size() >= 3 && strFull[1] == ':' && strFull[2] == '\\')
            return 3;
        if (IsVerbatim(strFull)) {
            // "\\?\Volume{...}\" and "\\?\GLOBALROOT\Device\Name\": the
            // volume is the root.
            const size_t nNames = _strnicmp(strFull.c_str() + 4, "GLOBALROOT\\", 11) == 0 ? 3 : 1;
            size_t nEnd = 3;
            for (size_t i = 0; i < nNames && nEnd != std::string::npos; ++i)
                nEnd = strFull.find('\\', nEnd + 1);
            return nEnd == std::string::npos ? 0 : nEnd + 1;
        }
        if (strFull.size() < 3 || strFull[0] != '\\' || strFull[1] != '\\')
            return 0;
        // "\\server\share\": the server and the share are the root.
        const size_t nServerEnd = strFull.find('\\', 2);
        if (nServerEnd == std::string::npos)
            return 0;
        const size_t nShareEnd = strFull.find('\\', nServerEnd + 1);
        return nShareEnd == std::string::npos ? strFull.size() : nShareEnd + 1;
    }

    int SameName(const std::string& strA, const std::string& strB) const override
    {
        const std::wstring wstrA = KwWideFromUtf8(strA);
        const std::wstring wstrB = KwWideFromUtf8(strB);
        return CompareStringOrdinal(wstrA.c_str(), static_cast<int>(wstrA.size()), wstrB.c_str(),
                                    static_cast<int>(wstrB.size()), TRUE)
            == CSTR_EQUAL;
    }

    std::string NameKey(const std::string& strName) const override
    {
        std::wstring wstrName = KwWideFromUtf8(strName);
        if (!wstrName.empty())
            LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wstrName.c_str(), static_cast<int>(wstrName.size()),
                          &wstrName[0], static_cast<int>(wstrName.size()), nullptr, nullptr, 0);
        return KwUtf8FromWide(wstrName);
    }

    int List(const std::string& strDirectory, std::vector<KwCopyDirEntry>& vecEntries, KwCopyIdentity* pcoIdentity,
             KwCopyError& coError) override
    {
        vecEntries.clear();
        THandle coDirectory(OpenEntry(strDirectory, FILE_LIST_DIRECTORY | SYNCHRONIZE));
        if (!coDirectory.IsOpen() || (pcoIdentity && !IdentityOf(coDirectory.Get(), *pcoIdentity, coError)))
            return Failure(coError);
        std::vector<char> vecBuffer(kListingBuffer);
        FILE_INFO_BY_HANDLE_CLASS eClass = FileIdBothDirectoryRestartInfo;
        for (;;) {
            if (!GetFileInformationByHandleEx(coDirectory.Get(), eClass, vecBuffer.data(),
                                              static_cast<DWORD>(vecBuffer.size()))) {
                if (GetLastError() == ERROR_NO_MORE_FILES)
                    return 1;
                return Failure(coError);
            }
            eClass = FileIdBothDirectoryInfo;
            for (size_t nOffset = 0;;) {
                const auto* pcoInfo = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(vecBuffer.data() + nOffset);
                AddListed(*pcoInfo, vecEntries);
                if (!pcoInfo->NextEntryOffset)
                    break;
                nOffset += pcoInfo->NextEntryOffset;
            }
        }
    }

    int Stat(const std::string& strPath, KwCopyDirEntry& coEntry, KwCopyError& coError) override
    {
        // By its name, never by a search: FindFirstFile would take "?" and
        // "*" for patterns and answer with another entry.
        WIN32_FILE_ATTRIBUTE_DATA coData;
        if (!GetFileAttributesExW(KwLongPath(strPath).c_str(), GetFileExInfoStandard, &coData))
            return Failure(coError);
        DWORD ulAttributes = coData.dwFileAttributes;
        const bool bRoot = strPath.size() == RootLength(strPath);
        if (bRoot)
            ulAttributes |= FILE_ATTRIBUTE_DIRECTORY;
        DWORD ulTag = 0;
        if (ulAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            THandle coEntry(OpenEntry(strPath, FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT));
            FILE_ATTRIBUTE_TAG_INFO coTag {};
            if (coEntry.IsOpen() && GetFileInformationByHandleEx(coEntry.Get(), FileAttributeTagInfo, &coTag, sizeof(coTag)))
                ulTag = coTag.ReparseTag;
        }
        std::string strParent;
        if (bRoot || !SplitLast(strPath, strParent, coEntry.m_strName))
            coEntry.m_strName = strPath;
        coEntry.m_ulError = 0;
        Fill(coEntry.m_coStat, ulAttributes, ulTag, (static_cast<uint64_t>(coData.nFileSizeHigh) << 32) | coData.nFileSizeLow,
             Time(coData.ftCreationTime), Time(coData.ftLastWriteTime), Time(coData.ftLastAccessTime));
        return 1;
    }

    int StatFollowing(const std::string& strPath, KwCopyDirEntry& coEntry, KwCopyError& coError) override
    {
        THandle coFile(OpenEntry(strPath, FILE_READ_ATTRIBUTES));
        BY_HANDLE_FILE_INFORMATION coInfo;
        if (!coFile.IsOpen() || !GetFileInformationByHandle(coFile.Get(), &coInfo))
            return Failure(coError);
        std::string strParent;
        if (!SplitLast(strPath, strParent, coEntry.m_strName))
            coEntry.m_strName = strPath;
        coEntry.m_ulError = 0;
        // What the path leads to is no link any more.
        Fill(coEntry.m_coStat, coInfo.dwFileAttributes & ~FILE_ATTRIBUTE_REPARSE_POINT, 0,
             (static_cast<uint64_t>(coInfo.nFileSizeHigh) << 32) | coInfo.nFileSizeLow, Time(coInfo.ftCreationTime),
             Time(coInfo.ftLastWriteTime), Time(coInfo.ftLastAccessTime));
        return 1;
    }

    int StoredName(const std::string& strPath, std::string& strName, KwCopyError& coError) override
    {
        std::string strParent;
        if (!SplitLast(strPath, strParent, strName))
            strName = strPath;
        const DWORD ulAttributes = GetFileAttributesW(KwLongPath(strPath).c_str());
        if (ulAttributes == INVALID_FILE_ATTRIBUTES)
            return Failure(coError);
        // A link keeps the name it was given: a file system that follows it
        // on opening would name its target.
        if ((ulAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || strPath.size() == RootLength(strPath))
            return 1;
        THandle coEntry(OpenEntry(strPath, 0, FILE_FLAG_OPEN_REPARSE_POINT));
        std::string strStored;
        if (coEntry.IsOpen() && HandleName(coEntry.Get(), strStored))
            strName = strStored;
        return 1;
    }

    int Identity(const std::string& strPath, KwCopyIdentity& coIdentity, KwCopyError& coError) override
    {
        THandle coEntry(OpenEntry(strPath, 0));
        if (!coEntry.IsOpen())
            return Failure(coError);
        return IdentityOf(coEntry.Get(), coIdentity, coError);
    }

    int FinalPath(const std::string& strPath, std::string& strFinal, KwCopyError& coError) override
    {
        THandle coEntry(OpenEntry(strPath, 0));
        if (!coEntry.IsOpen())
            return Failure(coError);
        std::wstring wstrFinal;
        for (DWORD ulVolume : { static_cast<DWORD>(VOLUME_NAME_DOS), static_cast<DWORD>(VOLUME_NAME_GUID) }) {
            std::vector<wchar_t> vecFinal(MAX_PATH);
            DWORD ulLength = GetFinalPathNameByHandleW(coEntry.Get(), vecFinal.data(), static_cast<DWORD>(vecFinal.size()),
                                                       FILE_NAME_NORMALIZED | ulVolume);
            if (ulLength >= vecFinal.size()) {
                vecFinal.resize(ulLength + 1);
                ulLength = GetFinalPathNameByHandleW(coEntry.Get(), vecFinal.data(), static_cast<DWORD>(vecFinal.size()),
                                                     FILE_NAME_NORMALIZED | ulVolume);
            }
            if (ulLength && ulLength < vecFinal.size()) {
                wstrFinal.assign(vecFinal.data(), ulLength);
                break;
            }
        }
        if (wstrFinal.empty())
            return Failure(coError);
        return FullPath(KwUtf8FromWide(wstrFinal), strFinal) ? 1 : Failure(coError);
    }

    int FreeSpace(const std::string& strPath, uint64_t& ullFree, KwCopyError& coError) override
    {
        std::wstring wstrPath = KwLongPath(strPath);
        if (wstrPath.back() != L'\\')
            wstrPath += L'\\';
        ULARGE_INTEGER coFree;
        if (!GetDiskFreeSpaceExW(wstrPath.c_str(), &coFree, nullptr, nullptr))
            return Failure(coError);
        ullFree = coFree.QuadPart;
        return 1;
    }

    uint64_t FreeMemory() override
    {
        // Available memory counts the cache's standby pages, which hold the
        // user's files; less the whole cache it is at most what is free.
        PERFORMANCE_INFORMATION coInfo {};
        if (!GetPerformanceInfo(&coInfo, sizeof(coInfo)) || coInfo.PhysicalAvailable <= coInfo.SystemCache)
            return 0;
        return static_cast<uint64_t>(coInfo.PhysicalAvailable - coInfo.SystemCache) * coInfo.PageSize;
    }

    int CreateDirectory(const std::string& strPath, const void* pvDescriptor, KwCopyError& coError) override
    {
        SECURITY_ATTRIBUTES coSecurity { sizeof(SECURITY_ATTRIBUTES), const_cast<void*>(pvDescriptor), FALSE };
        return CreateDirectoryW(KwLongPath(strPath).c_str(), pvDescriptor ? &coSecurity : nullptr) ? 1
                                                                                                  : Failure(coError);
    }

    std::unique_ptr<KwCopyStream> OpenSource(const std::string& strPath, int nHow, KwCopyError& coError) override
    {
        // GENERIC_READ holds READ_CONTROL, which reads owner, group and DACL.
        const DWORD ulAccess = GENERIC_READ | ((nHow & ReadRights) ? READ_CONTROL : 0)
            | ((nHow & ReadSacl) ? ACCESS_SYSTEM_SECURITY : 0);
        HANDLE hFile = CreateFileW(KwLongPath(strPath).c_str(), ulAccess, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   (nHow & Unbuffered) ? FILE_FLAG_NO_BUFFERING : FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (hFile == INVALID_HANDLE_VALUE) {
            Failure(coError);
            return nullptr;
        }
        return std::make_unique<TStreamWinNT>(hFile, false);
    }

    std::unique_ptr<KwCopyStream> CreateTarget(const std::string& strPath, const void* pvDescriptor, int nHow,
                                               KwCopyError& coError) override
    {
        // The access asked for is granted on creation whatever the
        // descriptor says, so a target whose rights lock out the copying
        // account can still be written, finished and removed. No sharing:
        // another run cannot take the file away while it is written.
        // Backup semantics pass over the target directory's rights where
        // SeRestorePrivilege is enabled.
        SECURITY_ATTRIBUTES coSecurity { sizeof(SECURITY_ATTRIBUTES), const_cast<void*>(pvDescriptor), FALSE };
        HANDLE hFile = CreateFileW(KwLongPath(strPath).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE | FILE_WRITE_ATTRIBUTES, 0,
                                   pvDescriptor ? &coSecurity : nullptr, CREATE_NEW,
                                   ((nHow & Encrypted) ? FILE_ATTRIBUTE_ENCRYPTED : FILE_ATTRIBUTE_NORMAL)
                                       | ((nHow & Unbuffered) ? FILE_FLAG_NO_BUFFERING : FILE_FLAG_SEQUENTIAL_SCAN)
                                       | FILE_FLAG_BACKUP_SEMANTICS,
                                   nullptr);
        if (hFile == INVALID_HANDLE_VALUE) {
            Failure(coError);
            return nullptr;
        }
        auto pcoStream = std::make_unique<TStreamWinNT>(hFile, true);
        // Where encryption is not possible the file comes out plain: it is
        // removed before it holds a byte.
        BY_HANDLE_FILE_INFORMATION coInfo;
        if ((nHow & Encrypted) && (!GetFileInformationByHandle(hFile, &coInfo) || !(coInfo.dwFileAttributes & FILE_ATTRIBUTE_ENCRYPTED))) {
            pcoStream->Abandon();
            coError.Set(KwCopyError::NotSupported, ERROR_ENCRYPTION_FAILED);
            return nullptr;
        }
        return pcoStream;
    }

    int DeleteFile(const std::string& strPath, KwCopyError& coError) override
    {
        const std::wstring wstrPath = KwLongPath(strPath);
        if (DeleteFileW(wstrPath.c_str()))
            return 1;
        const DWORD ulAttributes = GetFileAttributesW(wstrPath.c_str());
        if (ulAttributes == INVALID_FILE_ATTRIBUTES || !(ulAttributes & FILE_ATTRIBUTE_READONLY))
            return Failure(coError);
        SetFileAttributesW(wstrPath.c_str(), ulAttributes & ~FILE_ATTRIBUTE_READONLY);
        return DeleteFileW(wstrPath.c_str()) ? 1 : Failure(coError);
    }

    int DeleteUnheld(const std::string& strPath, KwCopyError& coError) override
    {
        // Without sharing: a file that a run holds open cannot be opened.
        HANDLE hFile = CreateFileW(KwLongPath(strPath).c_str(), DELETE | FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (hFile == INVALID_HANDLE_VALUE) {
            Failure(coError);
            if (coError.m_ulCode == ERROR_SHARING_VIOLATION)
                coError.m_eKind = KwCopyError::InUse;
            return 0;
        }
        const int nDeleted = DeleteByHandle(hFile) ? 1 : Failure(coError);
        CloseHandle(hFile);
        return nDeleted;
    }

    int ClearReadOnly(const std::string& strPath, KwCopyError& coError) override
    {
        const std::wstring wstrPath = KwLongPath(strPath);
        const DWORD ulAttributes = GetFileAttributesW(wstrPath.c_str());
        if (ulAttributes == INVALID_FILE_ATTRIBUTES)
            return Failure(coError);
        if (!(ulAttributes & FILE_ATTRIBUTE_READONLY))
            return 1;
        return SetFileAttributesW(wstrPath.c_str(), ulAttributes & ~FILE_ATTRIBUTE_READONLY) ? 1 : Failure(coError);
    }

    int SetEntryInfo(const std::string& strPath, const KwCopyStat& coSource, int, KwCopyError& coError) override
    {
        THandle coDirectory(OpenEntry(strPath, FILE_WRITE_ATTRIBUTES));
        if (!coDirectory.IsOpen())
            return Failure(coError);
        FILE_BASIC_INFO coInfo = BasicInfo(coSource, false);
        return SetFileInformationByHandle(coDirectory.Get(), FileBasicInfo, &coInfo, sizeof(coInfo))
            ? 1
            : Failure(coError);
    }

    int CopyLink(const std::string& strSource, const std::string& strTarget, KwCopyError& coError) override
    {
        std::vector<char> vecData(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
        DWORD ulLength = 0;
        {
            THandle coLink(OpenEntry(strSource, FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT));
            if (!coLink.IsOpen()
                || !DeviceIoControl(coLink.Get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, vecData.data(),
                                    static_cast<DWORD>(vecData.size()), &ulLength, nullptr))
                return Unsupported(coError);
        }
        DWORD ulTag;
        std::memcpy(&ulTag, vecData.data(), sizeof(ulTag));
        if (ulTag != IO_REPARSE_TAG_MOUNT_POINT && ulTag != IO_REPARSE_TAG_SYMLINK)
            return Unsupported(coError);
        const std::wstring wstrTarget = KwLongPath(strTarget);
        if (!CreateDirectoryW(wstrTarget.c_str(), nullptr))
            return Failure(coError);
        THandle coLink(OpenEntry(strTarget, GENERIC_WRITE, FILE_FLAG_OPEN_REPARSE_POINT));
        DWORD ulUnused = 0;
        if (coLink.IsOpen()
            && DeviceIoControl(coLink.Get(), FSCTL_SET_REPARSE_POINT, vecData.data(), ulLength, nullptr, 0, &ulUnused,
                               nullptr))
            return 1;
        const DWORD ulError = GetLastError();
        RemoveDirectoryW(wstrTarget.c_str());
        coError.Set(ulError == ERROR_PRIVILEGE_NOT_HELD ? KwCopyError::NotSupported : ErrorKind(ulError), ulError);
        return 0;
    }

    std::string ErrorText(uint32_t ulCode) const override
    {
        return KwErrorText(ulCode);
    }

private:
    // A "\\?\Volume{...}\..." or "\\?\GLOBALROOT\..." path stays as it is:
    // Windows takes such paths literally, and they name no drive.
    int VerbatimPath(std::wstring wstrPath, std::string& strFull) const
    {
        wstrPath[2] = L'?';
        strFull = KwUtf8FromWide(wstrPath);
        const size_t nRoot = RootLength(strFull + "\\");
        if (nRoot == 0)
            return 0;
        if (strFull.size() < nRoot)
            strFull += '\\';
        while (strFull.size() > nRoot && strFull.back() == '\\')
            strFull.pop_back();
        return 1;
    }

    static int Unsupported(KwCopyError& coError)
    {
        coError.Set(KwCopyError::NotSupported, GetLastError());
        return 0;
    }

    static void AddListed(const FILE_ID_BOTH_DIR_INFO& coInfo, std::vector<KwCopyDirEntry>& vecEntries)
    {
        const size_t nLength = coInfo.FileNameLength / sizeof(wchar_t);
        if ((nLength == 1 && coInfo.FileName[0] == L'.')
            || (nLength == 2 && coInfo.FileName[0] == L'.' && coInfo.FileName[1] == L'.'))
            return;
        KwCopyDirEntry coEntry;
        coEntry.m_strName = KwUtf8FromWide(coInfo.FileName, nLength);
        // For a reparse point the extended-attribute size holds its tag.
        Fill(coEntry.m_coStat, coInfo.FileAttributes, coInfo.EaSize, static_cast<uint64_t>(coInfo.EndOfFile.QuadPart),
             Time(coInfo.CreationTime), Time(coInfo.LastWriteTime), Time(coInfo.LastAccessTime));
        vecEntries.push_back(std::move(coEntry));
    }
};

} // namespace

KwCopyFileSystem& KwCopyFileSystem::Platform()
{
    static TFileSystemWinNT s_coFileSystem;
    return s_coFileSystem;
}

std::string KwCopyFileSystem::FromSystemText(const char* pszText)
{
    if (!pszText || !*pszText)
        return std::string();
    const int nLength = MultiByteToWideChar(CP_ACP, 0, pszText, -1, nullptr, 0);
    std::wstring wstrText(static_cast<size_t>(nLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, pszText, -1, &wstrText[0], nLength);
    return KwUtf8FromWide(wstrText.c_str(), wcslen(wstrText.c_str()));
}

std::string KwCopyFileSystem::ToSystemText(const char* pszText)
{
    if (!pszText || !*pszText)
        return std::string();
    const std::wstring wstrText = KwWideFromUtf8(pszText);
    const int nBytes = WideCharToMultiByte(CP_ACP, 0, wstrText.c_str(), static_cast<int>(wstrText.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string strText(static_cast<size_t>(nBytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wstrText.c_str(), static_cast<int>(wstrText.size()), &strText[0], nBytes, nullptr,
                        nullptr);
    return strText;
}
