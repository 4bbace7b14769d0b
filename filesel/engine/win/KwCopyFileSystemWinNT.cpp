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

KwCopyStat::Kind EntryKind(DWORD ulAttributes)
{
    if (!(ulAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return KwCopyStat::File;
    // Junctions, directory links and mount points: the tree behind them is
    // not part of this one.
    return (ulAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? KwCopyStat::DirectoryLink : KwCopyStat::Directory;
}

void Fill(KwCopyStat& coStat, DWORD ulAttributes, DWORD ulReparseTag, uint64_t ullSize, int64_t llCreated,
          int64_t llWritten, int64_t llAccessed)
{
    coStat.m_eKind = EntryKind(ulAttributes);
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

    int Finish(const KwCopyStat& coSource, KwCopyError& coError) override
    {
        FILE_BASIC_INFO coInfo = BasicInfo(coSource, true);
        return SetFileInformationByHandle(m_hFile, FileBasicInfo, &coInfo, sizeof(coInfo)) ? 1 : Failure(coError);
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
        FILE_DISPOSITION_INFO coDelete { TRUE };
        SetFileInformationByHandle(m_hFile, FileDispositionInfo, &coDelete, sizeof(coDelete));
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_hFile;
    bool m_bCreated;
};

class TFileSystemWinNT final : public KwCopyFileSystem {
public:
    char Separator() const override { return '\\'; }

    int FullPath(const std::string& strPath, std::string& strFull) const override
    {
        std::wstring wstrPath = KwWideFromUtf8(strPath);
        if (wstrPath.rfind(L"\\\\?\\UNC\\", 0) == 0)
            wstrPath = L"\\\\" + wstrPath.substr(8);
        else if (wstrPath.rfind(L"\\\\?\\", 0) == 0)
            wstrPath = wstrPath.substr(4);
        if (wstrPath.empty() || wstrPath.find(L'\0') != std::wstring::npos)
            return 0;
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
        if (strPath.size() == RootLength(strPath)) {
            WIN32_FILE_ATTRIBUTE_DATA coData;
            if (!GetFileAttributesExW(KwLongPath(strPath).c_str(), GetFileExInfoStandard, &coData))
                return Failure(coError);
            coEntry.m_strName = strPath;
            Fill(coEntry.m_coStat, coData.dwFileAttributes | FILE_ATTRIBUTE_DIRECTORY, 0, 0,
                 Time(coData.ftCreationTime), Time(coData.ftLastWriteTime), Time(coData.ftLastAccessTime));
            return 1;
        }
        WIN32_FIND_DATAW coData;
        HANDLE hFind = FindFirstFileExW(KwLongPath(strPath).c_str(), FindExInfoBasic, &coData, FindExSearchNameMatch,
                                        nullptr, 0);
        if (hFind == INVALID_HANDLE_VALUE)
            return Failure(coError);
        FindClose(hFind);
        coEntry.m_strName = KwUtf8FromWide(coData.cFileName, wcslen(coData.cFileName));
        Fill(coEntry.m_coStat, coData.dwFileAttributes, coData.dwReserved0,
             (static_cast<uint64_t>(coData.nFileSizeHigh) << 32) | coData.nFileSizeLow, Time(coData.ftCreationTime),
             Time(coData.ftLastWriteTime), Time(coData.ftLastAccessTime));
        return 1;
    }

    int Identity(const std::string& strPath, KwCopyIdentity& coIdentity, KwCopyError& coError) override
    {
        THandle coEntry(OpenEntry(strPath, 0));
        if (!coEntry.IsOpen())
            return Failure(coError);
        return IdentityOf(coEntry.Get(), coIdentity, coError);
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

    int CreateDirectory(const std::string& strPath, const void* pvDescriptor, KwCopyError& coError) override
    {
        SECURITY_ATTRIBUTES coSecurity { sizeof(SECURITY_ATTRIBUTES), const_cast<void*>(pvDescriptor), FALSE };
        return CreateDirectoryW(KwLongPath(strPath).c_str(), pvDescriptor ? &coSecurity : nullptr) ? 1
                                                                                                  : Failure(coError);
    }

    std::unique_ptr<KwCopyStream> OpenSource(const std::string& strPath, KwCopyError& coError) override
    {
        HANDLE hFile = CreateFileW(KwLongPath(strPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (hFile == INVALID_HANDLE_VALUE) {
            Failure(coError);
            return nullptr;
        }
        return std::make_unique<TStreamWinNT>(hFile, false);
    }

    std::unique_ptr<KwCopyStream> CreateTarget(const std::string& strPath, const void* pvDescriptor,
                                               KwCopyError& coError) override
    {
        // The access asked for is granted on creation whatever the
        // descriptor says, so a target whose rights lock out the copying
        // account can still be written, finished and removed.
        SECURITY_ATTRIBUTES coSecurity { sizeof(SECURITY_ATTRIBUTES), const_cast<void*>(pvDescriptor), FALSE };
        HANDLE hFile = CreateFileW(KwLongPath(strPath).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE | FILE_WRITE_ATTRIBUTES, 0,
                                   pvDescriptor ? &coSecurity : nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (hFile == INVALID_HANDLE_VALUE) {
            Failure(coError);
            return nullptr;
        }
        return std::make_unique<TStreamWinNT>(hFile, true);
    }

    int Replace(const std::string& strTarget, const std::string& strFrom, KwCopyError& coError) override
    {
        const std::wstring wstrTarget = KwLongPath(strTarget);
        const DWORD ulAttributes = GetFileAttributesW(wstrTarget.c_str());
        const bool bReadOnly = ulAttributes != INVALID_FILE_ATTRIBUTES && (ulAttributes & FILE_ATTRIBUTE_READONLY);
        if (bReadOnly)
            SetFileAttributesW(wstrTarget.c_str(), ulAttributes & ~FILE_ATTRIBUTE_READONLY);
        if (MoveFileExW(KwLongPath(strFrom).c_str(), wstrTarget.c_str(), MOVEFILE_REPLACE_EXISTING))
            return 1;
        Failure(coError);
        if (bReadOnly)
            SetFileAttributesW(wstrTarget.c_str(), ulAttributes);
        return 0;
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

    int SetEntryInfo(const std::string& strPath, const KwCopyStat& coSource, KwCopyError& coError) override
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
