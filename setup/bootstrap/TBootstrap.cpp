#include "TBootstrap.h"

#include "TBootText.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#ifndef PLV_ARCHIVE_PASSWORD
#define PLV_ARCHIVE_PASSWORD "brimlost"
#endif

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query takes the 148-byte record");

namespace {

// Names shared with the runtime archive and the setup program
const char s_szArchiveProgram[] = "_plvrt_.exe";
const char s_szSetupProgram[] = "plvsetup.exe";
const char s_szArchivePassword[] = PLV_ARCHIVE_PASSWORD;
const char s_szSetupToken[] = "482913";
const char s_szInformationFile[] = "setup.ini";
const char s_szSection[] = "Installation";

// The window
const char s_szWindowClass[] = "HLN_PLV_Installation";
const char s_szProduct[] = "Plover Runtime";
const char s_szConsoleTitle[] = "HLN Installation";
const char s_szInitializing[] = "Initializing Setup ...";

// Message box captions and texts
const char s_szSetupMessage[] = "Setup Message";
const char s_szNoVersion[] = "Setup could not recognize the operating system version!\n\nThe program will exit now!";
const char s_szWrongPlatform[] = "This installation program can only be run on\nWindows NT or Windows 95.\n\n"
                                 "The program will exit now!";
const char s_szNoInformationCopy[] = "Could not copy information file!\n\nSetup is not complete!\n\n"
                                     "The program will exit now!";
const char s_szNoUpdate1[] = "Setup could not update the initialization file (1)!\n\nThe program will exit now!";
const char s_szNoUpdate2[] = "Setup could not update the initialization file (2)!\n\nThe program will exit now!";
const char s_szNoProjectCopy[] = "Setup could not make a copy of the Plover Project-File!\n\nThe program will exit now!";
const char s_szInitializationFailed[] = "%s Setup Initialization failed!\n\nThe program will exit now!";
const char s_szInternalError[] = "Internal Setup Error <%d>!\n\nPlease contact your provider.\n\n"
                                 "The program will exit now!";
const char s_szNoDrive[] = "Setup is unable to find a disk drive with enough free\ndisk space (%d MB) to copy all\n"
                           "necessary temporary files\n\nThe program will exit now!";
const char s_szNoTempDir[] = "Could not create temporary directory!\n\nSetup program will exit now!";

// The tests' environment variables (see README)
const char s_szTestLogVariable[] = "PLVBOOT_TEST_LOG";
const char s_szPlatformVariable[] = "PLVBOOT_PLATFORM";

constexpr int s_nNoFreeName = 107;
constexpr int s_nNoSpaceWanted = 102;

// Timing
constexpr DWORD s_ulArchiveSettleMs = 1000; // after the archive has started
constexpr DWORD s_ulSetupDelayMs = 2000;    // after the archive has ended
constexpr DWORD s_ulCleanupDelayMs = 5000;  // after the window has closed
constexpr DWORD s_ulPipeWaitMs = 10;        // polling for the pipe to be handed over
constexpr DWORD s_ulPeekIdleMs = 50;        // Windows 95: polling an empty pipe
constexpr DWORD s_ulPipeSize = 0x80000;
constexpr DWORD s_ulEndWaitMs = 10000;      // for an ended archive and the worker to go

} // namespace

TBootstrap::TBootstrap()
{
    InitializeCriticalSection(&m_csProgress);
    DWORD nLength = GetEnvironmentVariableA(s_szTestLogVariable, m_szTestLog, sizeof(m_szTestLog));
    if (nLength >= sizeof(m_szTestLog))
        m_szTestLog[0] = '\0';
}

TBootstrap::~TBootstrap()
{
    // A worker still blocked on the pipe may yet touch the progress text;
    // the process is ending then and its critical section goes with it.
    if (m_hWorker && WaitForSingleObject(m_hWorker, 0) == WAIT_TIMEOUT)
        return;
    if (m_hWorker)
        CloseHandle(m_hWorker);
    if (m_hArchive)
        CloseHandle(m_hArchive);
    DeleteCriticalSection(&m_csProgress);
}

int TBootstrap::Run(HINSTANCE hInstance, HINSTANCE hPrevInstance, int nShowCmd)
{
    // A drive without a medium answers "not ready" instead of asking the user.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    if (!CheckPlatform() || !TakeStartDirectory() || !ReadSettings() || !PrepareTempDirectory()
        || !CreateMainWindow(hInstance, hPrevInstance, nShowCmd) || !CopyInformationFile()
        || !UpdateInformationFile() || !CopyProjectFile() || !StartRuntimeArchive())
        return 1;
    return Finish(RunMessageLoop());
}

// ---------------------------------------------------------------- start-up

int TBootstrap::CheckPlatform()
{
    OSVERSIONINFOA coInfo;
    memset(&coInfo, 0, sizeof(coInfo));
    coInfo.dwOSVersionInfoSize = sizeof(coInfo);
    if (!QueryVersion(coInfo))
        return Fail(s_szNoVersion, s_szSetupMessage);
    if (coInfo.dwPlatformId != kWindows95 && coInfo.dwPlatformId != kWindowsNT)
        return Fail(s_szWrongPlatform, s_szSetupMessage);
    m_ulPlatform = coInfo.dwPlatformId;
    return 1;
}

int TBootstrap::TakeStartDirectory()
{
    DWORD nLength = GetCurrentDirectoryA(sizeof(m_szStartDir), m_szStartDir);
    if (nLength == 0 || nLength >= sizeof(m_szStartDir)) {
        m_szStartDir[0] = '\0';
        return FailInitialization();
    }
    if (m_szStartDir[nLength - 1] == '\\')
        m_szStartDir[nLength - 1] = '\0';
    return 1;
}

int TBootstrap::ReadSettings()
{
    char szIniFile[kMaxStartDir + sizeof(s_szInformationFile) + 1];
    if (!BootJoin(szIniFile, sizeof(szIniFile), m_szStartDir, s_szInformationFile))
        return FailInitialization();
    TBootSettings::EReadResult eResult = m_coSettings.Read(szIniFile);
    if (eResult != TBootSettings::kReadOk)
        return FailInternal(eResult);
    return 1;
}

int TBootstrap::PrepareTempDirectory()
{
    int nNeedSpaceMB = m_coSettings.GetNeedSpaceMBTemp();
    if (nNeedSpaceMB <= 0)
        return FailInternal(s_nNoSpaceWanted);
    char szBase[TBootTempDir::kBaseSize];
    if (!TBootTempDir::ChooseBase(szBase, sizeof(szBase), nNeedSpaceMB)) {
        char szText[sizeof(s_szNoDrive) + 16];
        BootFormat(szText, sizeof(szText), s_szNoDrive, nNeedSpaceMB);
        return Fail(szText, s_szProduct);
    }
    TBootTempDir::PickName(m_szTempDir, sizeof(m_szTempDir), szBase);
    if (!m_szTempDir[0])
        return FailInternal(s_nNoFreeName);
    if (!MakeDirectory(m_szTempDir))
        return Fail(s_szNoTempDir, s_szProduct);
    m_nTempDirCreated = 1;
    return 1;
}

int TBootstrap::CreateMainWindow(HINSTANCE hInstance, HINSTANCE hPrevInstance, int nShowCmd)
{
    if (!hPrevInstance) {
        WNDCLASSA coClass;
        memset(&coClass, 0, sizeof(coClass));
        coClass.style = CS_HREDRAW | CS_VREDRAW;
        coClass.lpfnWndProc = WindowProc;
        coClass.hInstance = hInstance;
        coClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        coClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        coClass.lpszClassName = s_szWindowClass;
        if (!RegisterClassA(&coClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return FailInitialization();
    }
    m_hWnd = CreateWindowExA(0, s_szWindowClass, s_szProduct, WS_OVERLAPPEDWINDOW, 20, 20, 550, 400, nullptr,
                             nullptr, hInstance, this);
    if (!m_hWnd)
        return FailInitialization();
    ShowWindow(m_hWnd, nShowCmd);
    UpdateWindow(m_hWnd);
    return 1;
}

int TBootstrap::CopyInformationFile()
{
    char szSource[kMaxStartDir + sizeof(s_szInformationFile) + 1];
    char szTarget[TBootTempDir::kDirSize + sizeof(s_szInformationFile) + 1];
    if (!BootJoin(szSource, sizeof(szSource), m_szStartDir, s_szInformationFile)
        || !BootJoin(szTarget, sizeof(szTarget), m_szTempDir, s_szInformationFile)
        || !CopyBytes(szSource, szTarget))
        return Fail(s_szNoInformationCopy, s_szProduct);
    return 1;
}

int TBootstrap::UpdateInformationFile()
{
    char szIniFile[TBootTempDir::kDirSize + sizeof(s_szInformationFile) + 1];
    int nJoined = BootJoin(szIniFile, sizeof(szIniFile), m_szTempDir, s_szInformationFile);
    if (!nJoined || !WriteIniKey("TempDir", m_szTempDir, szIniFile))
        return Fail(s_szNoUpdate1, s_szSetupMessage);
    if (!WriteIniKey("SetupSourcePath", m_szStartDir, szIniFile))
        return Fail(s_szNoUpdate2, s_szSetupMessage);
    // Windows 95 keeps profile files in a cache; the setup program reads the file.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, szIniFile);
    return 1;
}

int TBootstrap::CopyProjectFile()
{
    const char* pszName = m_coSettings.GetSetupResource();
    char szSource[kMaxStartDir + TBootSettings::kMaxResource + 8];
    char szTarget[TBootTempDir::kDirSize + TBootSettings::kMaxResource + 8];
    if (!BootJoin(szSource, sizeof(szSource), m_szStartDir, pszName)
        || !BootJoin(szTarget, sizeof(szTarget), m_szTempDir, pszName) || !CopyFileA(szSource, szTarget, FALSE))
        return Fail(s_szNoProjectCopy, s_szSetupMessage);
    return 1;
}

int TBootstrap::StartRuntimeArchive()
{
    SECURITY_ATTRIBUTES coInherit = { sizeof(coInherit), nullptr, TRUE };
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!CreatePipe(&hRead, &hWrite, &coInherit, s_ulPipeSize))
        return FailInitialization();
    m_hWorker = CreateThread(nullptr, 0, WorkerEntry, this, 0, nullptr);
    if (!m_hWorker) {
        CloseHandle(hRead);
        CloseHandle(hWrite);
        return FailInitialization();
    }

    // The archive is named by its full path so that only the one in the
    // start directory is run, never one found along the search path.
    char szProgram[kMaxStartDir + sizeof(s_szArchiveProgram) + 1];
    char szLine[kCommandLineSize];
    STARTUPINFOA coStartup;
    memset(&coStartup, 0, sizeof(coStartup));
    coStartup.cb = sizeof(coStartup);
    coStartup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    coStartup.wShowWindow = SW_HIDE;
    coStartup.lpTitle = const_cast<char*>(s_szConsoleTitle);
    coStartup.hStdInput = nullptr;
    coStartup.hStdOutput = hWrite;
    coStartup.hStdError = hWrite;
    PROCESS_INFORMATION coProcess;
    if (!BootJoin(szProgram, sizeof(szProgram), m_szStartDir, s_szArchiveProgram)
        || !MakeArchiveCommandLine(szLine, sizeof(szLine))
        || !CreateProcessA(szProgram, szLine, nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS,
                           nullptr, nullptr, &coStartup, &coProcess)) {
        CloseHandle(hRead);
        CloseHandle(hWrite);
        AbandonWorker();
        return FailInitialization();
    }
    CloseHandle(coProcess.hThread);
    // The handle of the start is kept (an id opened again later might name
    // another process by then): it also lets the archive be ended.
    m_hArchive = coProcess.hProcess;
    Sleep(s_ulArchiveSettleMs);
    CloseHandle(hWrite);
    m_ahPipeRead.store(hRead);
    return 1;
}

// ---------------------------------------------------------------- running and ending

WPARAM TBootstrap::RunMessageLoop()
{
    MSG coMsg;
    memset(&coMsg, 0, sizeof(coMsg));
    BOOL nResult;
    while ((nResult = GetMessageA(&coMsg, nullptr, 0, 0)) != 0) {
        if (nResult == -1)
            return 1;
        TranslateMessage(&coMsg);
        DispatchMessageA(&coMsg);
    }
    return coMsg.wParam;
}

int TBootstrap::Finish(WPARAM wQuitCode)
{
    // A window closed before the archive has finished is a cancelled
    // installation: the worker must not start the setup program in a
    // directory that is about to go.
    int nState = m_anWorkerState.load();
    while ((nState == kWaitingForPipe || nState == kReading || nState == kFinished)
           && !m_anWorkerState.compare_exchange_weak(nState, kAbandoned)) {
    }
    // An archive still unpacking would go on writing into the directory
    // that is about to go: it is ended, and the worker (which may be
    // waiting on its pipe) is waited for, before anything is removed.
    EndArchive();
    int nSetupFailed = m_anSetupFailed.load();
    if (nSetupFailed)
        FailInitialization();
    // The setup program may still be ending and holding its files.
    Sleep(s_ulCleanupDelayMs);
    if (m_nTempDirCreated)
        TBootTempDir::RemoveTree(m_szTempDir);
    return nSetupFailed ? 1 : static_cast<int>(wQuitCode);
}

// ---------------------------------------------------------------- command lines

int TBootstrap::MakeArchiveCommandLine(char* pszLine, size_t nSize) const
{
    char szPassword[sizeof("-g") + sizeof(s_szArchivePassword)] = "";
    if (s_szArchivePassword[0])
        BootFormat(szPassword, sizeof(szPassword), "-g%s", s_szArchivePassword);
    return BootFormat(pszLine, nSize, "%s -x -y %s %s\\", s_szArchiveProgram, szPassword, m_szTempDir);
}

int TBootstrap::MakeSetupCommandLine(char* pszLine, size_t nSize) const
{
    return BootFormat(pszLine, nSize, "%s\\%s %s %d %s %d %s %s", m_szTempDir, s_szSetupProgram, s_szSetupToken,
                      m_coSettings.GetNeedSpaceMBTemp(), m_coSettings.GetSetupResource(),
                      m_coSettings.GetPeekTimeOut(), m_coSettings.GetCustomClass(), m_szStartDir);
}

// ---------------------------------------------------------------- progress marks

void TBootstrap::AppendProgressMark()
{
    EnterCriticalSection(&m_csProgress);
    if (m_nProgress > kMaxProgress - 1)
        m_nProgress = 0;
    m_szProgress[m_nProgress++] = '+';
    m_szProgress[m_nProgress] = '\0';
    LeaveCriticalSection(&m_csProgress);
}

void TBootstrap::GetProgressText(char* pszText, size_t nSize) const
{
    EnterCriticalSection(&m_csProgress);
    BootCopy(pszText, nSize, m_szProgress);
    LeaveCriticalSection(&m_csProgress);
}

// ---------------------------------------------------------------- seams

void TBootstrap::ShowMessage(const char* pszText, const char* pszCaption)
{
    if (m_szTestLog[0]) {
        char szEntry[sizeof(s_szProduct) + 1024];
        if (BootFormat(szEntry, sizeof(szEntry), "%s\t%s", pszCaption, pszText))
            TestLog("message", szEntry);
        return;
    }
    MessageBoxA(nullptr, pszText, pszCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

int TBootstrap::QueryVersion(OSVERSIONINFOA& coInfo)
{
    if (!GetVersionExA(&coInfo))
        return 0;
    // The Windows 95 way of watching the archive is tested on Windows NT.
    char szPlatform[16];
    DWORD nLength = GetEnvironmentVariableA(s_szPlatformVariable, szPlatform, sizeof(szPlatform));
    if (nLength > 0 && nLength < sizeof(szPlatform))
        coInfo.dwPlatformId = static_cast<DWORD>(strtoul(szPlatform, nullptr, 10));
    return 1;
}

int TBootstrap::WriteIniKey(const char* pszKey, const char* pszValue, const char* pszIniFile)
{
    return WritePrivateProfileStringA(s_szSection, pszKey, pszValue, pszIniFile) ? 1 : 0;
}

int TBootstrap::MakeDirectory(const char* pszPath)
{
    return CreateDirectoryA(pszPath, nullptr) ? 1 : 0;
}

// ---------------------------------------------------------------- failures

int TBootstrap::Fail(const char* pszText, const char* pszCaption)
{
    ShowMessage(pszText, pszCaption);
    return 0;
}

int TBootstrap::FailInitialization()
{
    char szText[sizeof(s_szInitializationFailed) + sizeof(s_szProduct)];
    BootFormat(szText, sizeof(szText), s_szInitializationFailed, s_szProduct);
    return Fail(szText, s_szProduct);
}

int TBootstrap::FailInternal(int nCode)
{
    char szText[sizeof(s_szInternalError) + 16];
    BootFormat(szText, sizeof(szText), s_szInternalError, nCode);
    return Fail(szText, s_szProduct);
}

// ---------------------------------------------------------------- worker

DWORD WINAPI TBootstrap::WorkerEntry(LPVOID pvBootstrap)
{
    static_cast<TBootstrap*>(pvBootstrap)->Work();
    return 0;
}

void TBootstrap::Work()
{
    time_t tLastMark = time(nullptr);
    time_t tLastOutput = 0;
    int nOutputSeen = 0;
    HANDLE hRead = nullptr;
    for (;;) {
        int nState = m_anWorkerState.load();
        if (nState == kAbandoned) {
            ReleaseWorkerHandles(hRead);
            return;
        }
        if (nState == kFinished)
            break;
        if (!hRead) {
            hRead = m_ahPipeRead.load();
            if (!hRead) {
                Sleep(s_ulPipeWaitMs);
                continue;
            }
            int nExpected = kWaitingForPipe;
            m_anWorkerState.compare_exchange_strong(nExpected, kReading);
        }

        time_t tNow = time(nullptr);
        if (!nOutputSeen) {
            tLastOutput = tNow;
            nOutputSeen = 1;
        }
        if (tNow - tLastMark >= 1) {
            AppendProgressMark();
            RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            tLastMark = tNow;
        }

        if (m_ulPlatform == kWindowsNT) {
            if (!ReadOneByte(hRead))
                WorkerFinished(kReading);
            tLastOutput = time(nullptr);
            continue;
        }
        // Windows 95 does not report the end of the writer on an anonymous
        // pipe; a silent archive is asked whether it still runs.
        DWORD nAvailable = 0;
        if (PeekNamedPipe(hRead, nullptr, 0, nullptr, &nAvailable, nullptr) && nAvailable > 0) {
            if (!ReadOneByte(hRead))
                WorkerFinished(kReading);
            tLastOutput = time(nullptr);
        } else if (tNow - tLastOutput > m_coSettings.GetPeekTimeOut() && !IsArchiveRunning()) {
            WorkerFinished(kReading);
        } else {
            Sleep(s_ulPeekIdleMs);
        }
    }

    Sleep(s_ulSetupDelayMs);
    int nExpected = kFinished;
    if (m_anWorkerState.compare_exchange_strong(nExpected, kStartingSetup)) {
        StartSetupProgram();
        nExpected = kStartingSetup;
        m_anWorkerState.compare_exchange_strong(nExpected, kDone);
    }
    ReleaseWorkerHandles(hRead);
}

void TBootstrap::WorkerFinished(int nFrom)
{
    m_anWorkerState.compare_exchange_strong(nFrom, kFinished);
}

int TBootstrap::ReadOneByte(HANDLE hRead)
{
    char chByte;
    DWORD nRead = 0;
    return ReadFile(hRead, &chByte, 1, &nRead, nullptr) && nRead == 1;
}

int TBootstrap::IsArchiveRunning() const
{
    DWORD ulExitCode = 0;
    return m_hArchive && GetExitCodeProcess(m_hArchive, &ulExitCode) && ulExitCode == STILL_ACTIVE;
}

void TBootstrap::StartSetupProgram()
{
    char szProgram[TBootTempDir::kDirSize + sizeof(s_szSetupProgram) + 1];
    char szLine[kCommandLineSize];
    STARTUPINFOA coStartup;
    memset(&coStartup, 0, sizeof(coStartup));
    coStartup.cb = sizeof(coStartup);
    PROCESS_INFORMATION coProcess;
    if (BootJoin(szProgram, sizeof(szProgram), m_szTempDir, s_szSetupProgram)
        && MakeSetupCommandLine(szLine, sizeof(szLine))
        && CreateProcessA(szProgram, szLine, nullptr, nullptr, FALSE, 0, nullptr, m_szTempDir, &coStartup,
                          &coProcess)) {
        CloseHandle(coProcess.hThread);
        CloseHandle(coProcess.hProcess);
        ShowWindow(m_hWnd, SW_HIDE);
        return;
    }
    m_anSetupFailed.store(1);
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

void TBootstrap::EndArchive()
{
    if (m_hArchive && WaitForSingleObject(m_hArchive, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_hArchive, 1);
        WaitForSingleObject(m_hArchive, s_ulEndWaitMs);
    }
    if (m_hWorker && WaitForSingleObject(m_hWorker, s_ulEndWaitMs) != WAIT_OBJECT_0)
        return;   // still blocked (a grandchild holds the pipe): the handle stays for it
    if (m_hArchive)
        CloseHandle(m_hArchive);
    m_hArchive = nullptr;
}

void TBootstrap::AbandonWorker()
{
    m_anWorkerState.store(kAbandoned);
    WaitForSingleObject(m_hWorker, INFINITE);
}

void TBootstrap::ReleaseWorkerHandles(HANDLE hRead)
{
    if (hRead)
        CloseHandle(hRead);
    m_ahPipeRead.store(nullptr);
}

// ---------------------------------------------------------------- window

LRESULT CALLBACK TBootstrap::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE) {
        auto* pcoCreate = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pcoCreate->lpCreateParams));
    }
    auto* pcoBootstrap = reinterpret_cast<TBootstrap*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    switch (uMsg) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        if (pcoBootstrap) {
            pcoBootstrap->Paint(hWnd);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void TBootstrap::Paint(HWND hWnd)
{
    PAINTSTRUCT coPaint;
    HDC hDC = BeginPaint(hWnd, &coPaint);
    if (!hDC)
        return;
    SetBkMode(hDC, TRANSPARENT);
    RECT coClient;
    GetClientRect(hWnd, &coClient);
    RECT coText = coClient;
    DrawTextA(hDC, s_szInitializing, -1, &coText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    char szProgress[kMaxProgress + 1];
    GetProgressText(szProgress, sizeof(szProgress));
    if (szProgress[0]) {
        SIZE coSize = { 0, 0 };
        GetTextExtentPoint32A(hDC, s_szInitializing, static_cast<int>(strlen(s_szInitializing)), &coSize);
        RECT coMarks;
        coMarks.left = coClient.left + (coClient.right - coClient.left - coSize.cx) / 2;
        coMarks.top = coClient.top + (coClient.bottom - coClient.top - coSize.cy) / 2 + coSize.cy + 5;
        coMarks.right = coClient.right - 50;
        coMarks.bottom = coClient.bottom;
        DrawTextA(hDC, szProgress, -1, &coMarks, DT_LEFT | DT_WORDBREAK);
        TestLog("paint", szProgress);
    }
    EndPaint(hWnd, &coPaint);
}

// ---------------------------------------------------------------- files

int TBootstrap::CopyBytes(const char* pszSource, const char* pszTarget)
{
    HANDLE hSource = CreateFileA(pszSource, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hSource == INVALID_HANDLE_VALUE)
        return 0;
    HANDLE hTarget = CreateFileA(pszTarget, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hTarget == INVALID_HANDLE_VALUE) {
        CloseHandle(hSource);
        return 0;
    }
    int nOk = 1;
    char achBuffer[0x10000];
    for (;;) {
        DWORD nRead = 0, nWritten = 0;
        if (!ReadFile(hSource, achBuffer, sizeof(achBuffer), &nRead, nullptr)) {
            nOk = 0;
            break;
        }
        if (nRead == 0)
            break;
        if (!WriteFile(hTarget, achBuffer, nRead, &nWritten, nullptr) || nWritten != nRead) {
            nOk = 0;
            break;
        }
    }
    CloseHandle(hSource);
    if (!CloseHandle(hTarget))
        nOk = 0;
    return nOk;
}

void TBootstrap::TestLog(const char* pszKind, const char* pszText) const
{
    if (!m_szTestLog[0])
        return;
    // One line per entry; line breaks and backslashes of the text are escaped.
    char szLine[2 * (sizeof(s_szProduct) + 1024) + 64];
    size_t nLength = 0;
    auto put = [&](char ch) {
        if (nLength + 2 < sizeof(szLine)) // room is kept for the line end
            szLine[nLength++] = ch;
    };
    for (const char* pch = pszKind; *pch; ++pch)
        put(*pch);
    put('\t');
    for (const char* pch = pszText; *pch; ++pch) {
        if (*pch == '\n') {
            put('\\');
            put('n');
        } else if (*pch == '\\') {
            put('\\');
            put('\\');
        } else {
            put(*pch);
        }
    }
    szLine[nLength++] = '\n';
    HANDLE hLog = CreateFileA(m_szTestLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hLog == INVALID_HANDLE_VALUE)
        return;
    DWORD nWritten = 0;
    WriteFile(hLog, szLine, static_cast<DWORD>(nLength), &nWritten, nullptr);
    CloseHandle(hLog);
}
