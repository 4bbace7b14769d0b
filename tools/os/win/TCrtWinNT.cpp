#include "TCrt.h"

#include "KwWindows.h"
#include "TWideText.h"

#include <io.h>
#include <process.h>
#include <stdio.h>
#include <time.h>

int CrtProcessId()
{
    return _getpid();
}

unsigned long CrtThreadId()
{
    return GetCurrentThreadId();
}

FILE* CrtFdopen(int nHandle, const char* pszMode)
{
    return nHandle < 0 || !pszMode ? nullptr : _fdopen(nHandle, pszMode);
}

FILE* CrtOpenStream(const char* pszName, const char* pszMode)
{
    if (!pszName || !pszMode)
        return nullptr;
    return _wfopen(TWideText::Path(pszName).c_str(), TWideText::Wide(pszMode).c_str());
}

int64_t CrtStreamLength(FILE* pStream)
{
    return _filelengthi64(_fileno(pStream));
}

int CrtSeekStream(FILE* pStream, int64_t llPosition)
{
    return _fseeki64(pStream, llPosition, SEEK_SET);
}

int CrtIsSameFile(FILE* pStream, const char* pszName)
{
    HANDLE hStream = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pStream)));
    HANDLE hName = CreateFileW(TWideText::Path(pszName).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hName == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION coStream;
    BY_HANDLE_FILE_INFORMATION coName;
    const bool bSame = GetFileInformationByHandle(hStream, &coStream) && GetFileInformationByHandle(hName, &coName)
        && coStream.dwVolumeSerialNumber == coName.dwVolumeSerialNumber
        && coStream.nFileIndexHigh == coName.nFileIndexHigh && coStream.nFileIndexLow == coName.nFileIndexLow;
    CloseHandle(hName);
    return bSame ? 1 : 0;
}

int CrtAccess(const char* pszPath, int nMode)
{
    return pszPath ? _waccess(TWideText::Path(pszPath).c_str(), nMode) : -1;
}

char CrtPathSeparator()
{
    return '\\';
}

char CrtPathListSeparator()
{
    return ';';
}

int CrtLocalTime(int64_t llSeconds, std::tm* pcoTime)
{
    // The run-time library keeps the result per thread; it is copied at once.
    const __time64_t llTime = llSeconds;
    const std::tm* pcoLocal = _localtime64(&llTime);
    if (!pcoLocal)
        return 0;
    *pcoTime = *pcoLocal;
    return 1;
}
