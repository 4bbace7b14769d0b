#include "TFileHdl.h"

#include "TCrt.h"
#include "TLogFile.h"
#include "TOpSystem.h"
#include "TResource.h"
#include "TSaveBuffer.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

const char* const kEvOpened = "MVC_TFILEHDL_OPENED";
const char* const kEvSaved = "MVC_TFILEHDL_SAVED";
const char* const kEvClosed = "MVC_TFILEHDL_CLOSED";
const char* const kEvDestroyed = "MVC_TFILEHDL_DESTROYED";
const char* const kEvResInserted = "MVC_TFILEHDL_RESINSERTED";
const char* const kEvResRemoved = "MVC_TFILEHDL_RESREMOVED";

// Names longer than this do not fit the name buffers of the file system
// interfaces (MAX_PATH with its zero byte).
constexpr int kMaxPath = 259;

#if defined(_WIN32)
const char* const kCurrentDirectory = ".\\";
const char* const kDefaultTempDirectory = "C:\\";
#else
const char* const kCurrentDirectory = "./";
const char* const kDefaultTempDirectory = "/tmp/";
#endif

bool IsSeparator(char ch)
{
    return ch == '\\' || ch == '/';
}

int Exists(const char* pszPath)
{
    return CurrentOS().ExistsPath(pszPath);
}

int IsEmptyFile(const char* pszPath)
{
    TFile coFile;
    return coFile.Open(pszPath, TFile::ModeRead) && coFile->Size() == 0 ? 1 : 0;
}

void RemoveFile(const char* pszPath)
{
    if (pszPath && *pszPath)
        CurrentOS().DeleteFile(pszPath, nullptr);
}

// Candidate i of a counted name pattern.
TString Candidate(const char* pszFormat, const TString& coDirectory, const TString& coId, int i)
{
    TString coCandidate;
    coCandidate.SetText(pszFormat, static_cast<const char*>(coDirectory), static_cast<const char*>(coId), i);
    return coCandidate;
}

// A fresh candidate of a counted name pattern; empty when all are taken.
TString FirstFree(const char* pszFormat, const TString& coDirectory, const TString& coId, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        TString coCandidate = Candidate(pszFormat, coDirectory, coId, i);
        if (!Exists(coCandidate))
            return coCandidate;
    }
    return TString();
}

// Temporary names are not case-sensitive on Windows, and are used in lower
// case there; elsewhere the directory must stay as it is spelt.
void TmpNameCase(TString& coName)
{
#if defined(_WIN32)
    coName.Strlwr();
#else
    (void)coName;
#endif
}

} // namespace

// TMvcParamDRF

KW_IMPLEMENT_DYNAMIC_CLASS(TMvcParamDRF, TMvcParam, "kwtl")

TMvcParamDRF::TMvcParamDRF(TFileHdl& coFileHdl, const TResInfo* pcoInfo, long lParam)
    : TMvcParam(coFileHdl, lParam, 0)
{
    if (pcoInfo)
        m_coResInfo = *pcoInfo;
}

TFileHdl* TMvcParamDRF::FileHdl() const
{
    TDynBase& coObject = EventObject();
    return coObject.IsClassFamily("TFileHdl") ? static_cast<TFileHdl*>(&coObject) : nullptr;
}

void TMvcParamDRF::SetFileName(const char* pszFileName)
{
    m_pszFileName = pszFileName;
    // Where a long holds a pointer the name also travels in LParam1.
    if constexpr (sizeof(long) >= sizeof(intptr_t))
        SetLParam1(static_cast<long>(reinterpret_cast<intptr_t>(pszFileName)));
}

// TFileHdl

TMvcEventTable TFileHdl::m_stcoEvTab { "TFileHdl", &TFileHdl::TMvcEventsRegister };

KW_IMPLEMENT_DYNAMIC_CLASS(TFileHdl, TDynBase, "kwtl")

void TFileHdl::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType(kEvOpened, "TMvcParamDRF", "A resource file was opened", "");
    m_stcoEvTab.RegisterEventType(kEvSaved, "TMvcParamDRF", "The resource file was saved", "");
    m_stcoEvTab.RegisterEventType(kEvClosed, "TMvcParamDRF", "The resource file was closed", "");
    m_stcoEvTab.RegisterEventType(kEvDestroyed, "TMvcParamDRF", "The file handler is destroyed", "");
    m_stcoEvTab.RegisterEventType(kEvResInserted, "TMvcParamDRF", "A resource was written", "");
    m_stcoEvTab.RegisterEventType(kEvResRemoved, "TMvcParamDRF", "A resource was removed or replaced", "");
}

TFileHdl::~TFileHdl()
{
    if (IsDynCppReferenceObject())
        return;
    Close();
    SendEvent(kEvDestroyed, nullptr);
}

void TFileHdl::SendEvent(const char* pszEvent, const TResInfo* pcoInfo)
{
    TMvcParamDRF coParam(*this, pcoInfo, 0);
    MVC().Call(pszEvent, coParam);
}

// Names

int TFileHdl::SeparateFile(const char* pszFile, TString& coName, TString& coPath, const char* pszDefaultExtension)
{
    coName.Empty();
    coPath.Empty();
    if (!pszFile || !*pszFile || std::strlen(pszFile) > static_cast<size_t>(kMaxPath))
        return 0;
    const size_t nLength = std::strlen(pszFile);
    size_t nCut = nLength;
    while (nCut > 0 && pszFile[nCut - 1] != ':' && !IsSeparator(pszFile[nCut - 1]))
        --nCut;
    const char* pszName = pszFile + nCut;
    if (nCut == 0) {
        coPath = kCurrentDirectory;
    } else if (pszFile[nCut - 1] == ':') {
        // The current directory of that drive.
        coPath.Strncpy(pszFile, static_cast<int>(nCut));
        coPath += kCurrentDirectory;
    } else {
        coPath.Strncpy(pszFile, static_cast<int>(nCut));
    }
    const char* pszPoint = std::strchr(pszName, '.');
    if (pszPoint && pszPoint != pszName) {
        coName = pszName;
    } else {
        coName = pszName[0] == '.' ? pszName + 1 : pszName;
        if (!coName.IsEmpty() && pszDefaultExtension && *pszDefaultExtension) {
            coName += ".";
            coName += pszDefaultExtension;
        }
    }
    if (coName.IsEmpty() || coPath.Strlen() + coName.Strlen() > kMaxPath) {
        coName.Empty();
        coPath.Empty();
        return 0;
    }
    return 1;
}

int TFileHdl::SeparateFile(const char* pszFile, TString& coName, TString& coPath) const
{
    const TString coExtension = GetDefaultExtension();
    return SeparateFile(pszFile, coName, coPath, coExtension.IsEmpty() ? "DRF" : static_cast<const char*>(coExtension));
}

TString TFileHdl::TempDirectory()
{
    TString coDirectory = CurrentOS().GetEnvVar("TEMP");
    if (coDirectory.IsEmpty())
        coDirectory = CurrentOS().GetEnvVar("TMP");
    if (coDirectory.IsEmpty())
        return kDefaultTempDirectory;
    int nLength = coDirectory.Strlen();
    if (nLength > 0 && coDirectory[nLength - 1] == ';')
        --nLength;
    if (nLength > 0 && IsSeparator(coDirectory[nLength - 1]))
        --nLength;
    TString coResult;
    coResult.Strncpy(coDirectory, nLength);
    coResult += CrtPathSeparator();
    return coResult;
}

TString TFileHdl::CreateTmpFileNameIn(const TString& coDirectory, const char* pszId)
{
    TString coName = FirstFree("%s%s%04d.TMP", coDirectory, pszId ? pszId : "", 10000);
    TmpNameCase(coName);
    return coName;
}

TString TFileHdl::CreateTmpFileIn(const TString& coDirectory, const char* pszId, TFile& coFile)
{
    // Checking a name and creating the file are two steps, and another
    // process may take the name in between: the creation is exclusive, and
    // a name taken meanwhile gives way to the next number.
    for (int i = 0; i < 10000; ++i) {
        TString coCandidate = Candidate("%s%s%04d.TMP", coDirectory, pszId ? pszId : "", i);
        TmpNameCase(coCandidate);
        if (Exists(coCandidate))
            continue;
        if (coFile.Open(coCandidate, TFile::ModeCreateNew))
            return coCandidate;
        if (coFile.LastError() != TFile::Exists)
            break;
    }
    return TString();
}

TString TFileHdl::CreateTmpFile(TFile& coFile) const
{
    const TString coId = GetDefaultTmpFileId();
    return CreateTmpFileIn(TempDirectory(), coId.IsEmpty() ? "HLN_" : static_cast<const char*>(coId), coFile);
}

int TFileHdl::CopyToTmpFile(const TString& coSource, int64_t llOffset)
{
    TFile coReserved;
    m_coTmpFile = CreateTmpFile(coReserved);
    coReserved.Close();
    return !m_coTmpFile.IsEmpty() && CurrentOS().CopyFile(m_coTmpFile, coSource, llOffset) ? 1 : 0;
}

TString TFileHdl::CreateTmpFileName(const char* pszId)
{
    return CreateTmpFileNameIn(TempDirectory(), pszId);
}

TString TFileHdl::CreateTmpFileName() const
{
    const TString coId = GetDefaultTmpFileId();
    return CreateTmpFileName(coId.IsEmpty() ? "HLN_" : static_cast<const char*>(coId));
}

TString TFileHdl::GetProject() const
{
    const char* pszPoint = std::strrchr(m_coResFile, '.');
    TString coProject;
    if (!pszPoint)
        return m_coResFile;
    coProject.Strncpy(m_coResFile, static_cast<int>(pszPoint - static_cast<const char*>(m_coResFile)));
    return coProject;
}

void TFileHdl::SetProject(const char* pszName, const char* pszExtension)
{
    if (!pszName)
        pszName = "";
    const char* pszPoint = std::strchr(pszName, '.');
    TString coFile;
    coFile.Strncpy(pszName, pszPoint ? static_cast<int>(pszPoint - pszName) : static_cast<int>(std::strlen(pszName)));
    coFile += ".";
    coFile += pszExtension && *pszExtension ? pszExtension : "drf";
    m_coResFile = coFile;
}

// Opening and closing

unsigned short TFileHdl::FailOpen(unsigned short unCode)
{
    Close();
    return unCode;
}

unsigned short TFileHdl::OpenRead(const char* pszFile, int nCopy, const char* pszReadPassword)
{
    Close();
    m_coPasswordRead = pszReadPassword;
    if (!SeparateFile(pszFile, m_coResFile, m_coResFilePath))
        return FailOpen(ErrGeneral);
    const TString coFull = GetFullPath();
    if (!Exists(coFull))
        return FailOpen(ErrNotExist);
    TString coOpen = coFull;
    if (nCopy) {
        if (!CopyToTmpFile(coFull, 0))
            return FailOpen(ErrCreateTmp);
        coOpen = m_coTmpFile;
    }
    if (!m_coMainFile.Open(coOpen, TFile::ModeRead))
        return FailOpen(ErrOpen);
    unsigned short unError = ErrGeneral;
    if (!m_coHeader.Read(m_coMainFile, *this, m_coPasswordRead, &unError, 1))
        return FailOpen(unError);
    m_unOpenType = OpenReading;
    NotifyPostOpen();
    SendEvent(kEvOpened, nullptr);
    return Success;
}

unsigned short TFileHdl::OpenWrite(const char* pszUser, const char* pszFile, const char* pszReadPassword,
                                   const char* pszWritePassword)
{
    Close();
    m_coPasswordRead = pszReadPassword;
    m_coPasswordWrite = pszWritePassword;
    TString coFile = pszFile;
    if (coFile.IsEmpty()) {
        const TString coId = GetDefaultNonameId();
        coFile = FirstFree("%s%s.%03d", TempDirectory(), coId, 1000);
        if (coFile.IsEmpty())
            return FailOpen(ErrNoNoname);
    }
    if (!SeparateFile(coFile, m_coResFile, m_coResFilePath))
        return FailOpen(ErrGeneral);
    m_coUserName = pszUser;
    const TString coFull = GetFullPath();
    return Exists(coFull) ? OpenExisting(coFull) : OpenNew(coFull);
}

unsigned short TFileHdl::OpenExisting(const TString& coFull)
{
    if (!CurrentOS().FilePermission(coFull, 2))
        return FailOpen(ErrShare);
    if (!m_coLockFile.Open(coFull, TFile::ModeRead))
        return FailOpen(ErrReadHeader);
    unsigned short unError = ErrGeneral;
    if (!m_coHeader.Read(m_coLockFile, *this, m_coPasswordRead, &unError, 1))
        return FailOpen(unError);
    if (!CopyToTmpFile(coFull, m_coHeader.GetDataPos()))
        return FailOpen(ErrCreateTmp);
    m_coHeader.CorrectPositions(m_coHeader.GetDataPos());
    if (!m_coMainFile.Open(m_coTmpFile, TFile::ModeReadWrite))
        return FailOpen(ErrOpenTmp);
    m_unOpenType = OpenEditExisting;
    NotifyPostOpen();
    SendEvent(kEvOpened, nullptr);
    return Success;
}

unsigned short TFileHdl::OpenNew(const TString& coFull)
{
    {
        // Exclusive, so that a file another process made meanwhile is not
        // emptied.
        TFile coNew;
        if (!coNew.Open(coFull, TFile::ModeCreateNew))
            return FailOpen(ErrCreate);
    }
    m_coTmpFile = CreateTmpFile(m_coMainFile);
    if (m_coTmpFile.IsEmpty()) {
        RemoveFile(coFull);
        return FailOpen(ErrCreateTmp);
    }
    m_coHeader.CorrectPositions(0);
    m_coMainFile.Close();
    if (!m_coMainFile.Open(m_coTmpFile, TFile::ModeReadWrite)) {
        RemoveFile(coFull);
        return FailOpen(ErrOpenTmp);
    }
    m_unOpenType = OpenEditNew;
    OpenLock();
    NotifyPostCreate();
    SendEvent(kEvOpened, nullptr);
    return Success;
}

void TFileHdl::Close()
{
    const bool bWasOpen = m_unOpenType != OpenClosed;
    const TString coName = GetFullPath();
    m_coMainFile.Close();
    m_coLockFile.Close();
    if (m_unOpenType == OpenEditNew)
        RemoveFile(coName);
    if (!m_coTmpFile.IsEmpty())
        RemoveFile(m_coTmpFile);
    m_unOpenType = OpenClosed;
    m_coUserName.Empty();
    m_coPasswordRead.Empty();
    m_coPasswordWrite.Empty();
    m_coResFile.Empty();
    m_coResFilePath.Empty();
    m_coTmpFile.Empty();
    m_coHeader.DestroyData();
    if (!bWasOpen)
        return;
    NotifyPostClose();
    TMvcParamDRF coParam(*this, nullptr, 0);
    coParam.SetFileName(coName);
    MVC().Call(kEvClosed, coParam);
}

// Resources

namespace {

// The entries being loaded on this thread, innermost first: an object that
// is read may load resources itself (a picture record holding a shared
// bitmap of some id), and a record that names itself would load itself
// without end.
struct TLoading {
    const TFileIndex* pcoIndex;
    const TLoading* pcoOuter;
};
thread_local const TLoading* s_pcoLoading = nullptr;

bool IsLoading(const TFileIndex* pcoIndex)
{
    for (const TLoading* pco = s_pcoLoading; pco; pco = pco->pcoOuter) {
        if (pco->pcoIndex == pcoIndex)
            return true;
    }
    return false;
}

} // namespace

TResource* TFileHdl::LoadFromIndex(const TFileIndex* pcoIndex, TResource* pcoTarget, TResource* pcoParent, int nFlag)
{
    if (m_unOpenType == OpenClosed || !m_coMainFile.IsValid() || !pcoIndex)
        return nullptr;
    if (IsLoading(pcoIndex)) {
        TString coText;
        DisplayMessage(coText.SetText("Resource <%s> is being read already: it names itself!", pcoIndex->GetId()));
        return nullptr;
    }
    const TLoading coLoading { pcoIndex, s_pcoLoading };
    s_pcoLoading = &coLoading;
    const int64_t llPosition = m_coMainFile->Tell();
    TResource* pcoObject = pcoIndex->LoadResource(*this, m_coMainFile, pcoTarget, pcoParent, nFlag);
    m_coMainFile->Seek(llPosition, TLogFile::FromBegin);
    s_pcoLoading = coLoading.pcoOuter;
    return pcoObject;
}

TResource* TFileHdl::LoadResource(const char* pszId, TResource* pcoTarget, TResource* pcoParent, int nFlag)
{
    return LoadFromIndex(m_coHeader.GetIndexRes(pszId), pcoTarget, pcoParent, nFlag);
}

TResource* TFileHdl::LoadResource(short nIndex, TResource* pcoTarget, TResource* pcoParent, int nFlag)
{
    return LoadFromIndex(m_coHeader[nIndex], pcoTarget, pcoParent, nFlag);
}

unsigned short TFileHdl::WriteTemp(const TResource& coResource)
{
    if (!m_coMainFile.IsValid())
        return ErrNotOpen;
    if (m_unOpenType != OpenEditExisting && m_unOpenType != OpenEditNew)
        return ErrNoWriteOpen;
    if (!HaveWriteAccess())
        return ErrNoWriteAccess;
    const char* pszClass = coResource.GetPriorityRuntimeClass();
    if (!pszClass || !*pszClass)
        pszClass = coResource.GetClassName();
    TFileIndex* pcoIndex = m_coHeader.GetIndexRes(coResource.GetResId());
    const bool bReplace = pcoIndex != nullptr;
    TResInfo coOld;
    if (bReplace) {
        coOld = TResInfo(*pcoIndex);
        pcoIndex->SetParams(pszClass, coResource.GetWParam(), coResource.GetLParam());
    } else {
        pcoIndex = m_coHeader.InsertIndexRes(coResource);
        if (!pcoIndex)
            return ErrNewIndex;
    }
    if (pcoIndex->WriteResource(coResource, m_coMainFile) < 0) {
        // A replaced entry keeps its old record and description.
        if (bReplace)
            pcoIndex->SetParams(coOld.GetClass(), coOld.GetWParam(), coOld.GetLParam());
        return ErrWriteResource;
    }
    if (bReplace)
        SendEvent(kEvResRemoved, &coOld);
    const TResInfo coNew(*pcoIndex);
    SendEvent(kEvResInserted, &coNew);
    return Success;
}

int TFileHdl::RemoveResource(unsigned short unIndex, unsigned short* punError)
{
    unsigned short unDummy = 0;
    unsigned short& unError = punError ? *punError : unDummy;
    if (!HaveWriteAccess()) {
        unError = ErrNoWriteAccess;
        return 0;
    }
    const TFileIndex* pcoIndex = unIndex <= 0x7FFF ? m_coHeader[static_cast<short>(unIndex)] : nullptr;
    if (!pcoIndex) {
        unError = ErrResIndex;
        return 0;
    }
    const TResInfo coInfo(*pcoIndex);
    m_coHeader.DeleteIndexRes(static_cast<short>(unIndex));
    SendEvent(kEvResRemoved, &coInfo);
    unError = Success;
    return 1;
}

int TFileHdl::RemoveResource(const char* pszId, unsigned short* punError)
{
    unsigned short unDummy = 0;
    unsigned short& unError = punError ? *punError : unDummy;
    if (!HaveWriteAccess()) {
        unError = ErrNoWriteAccess;
        return 0;
    }
    short sPos = -1;
    if (!m_coHeader.GetIndexRes(pszId, &sPos)) {
        unError = ErrResNotFound;
        return 0;
    }
    return RemoveResource(static_cast<unsigned short>(sPos), punError);
}

short TFileHdl::GetResIndex(const char* pszId) const
{
    short sPos = -1;
    m_coHeader.GetIndexRes(pszId, &sPos);
    return sPos;
}

TResInfo TFileHdl::GetResInfo(unsigned short unIndex) const
{
    const TFileIndex* pcoIndex = unIndex <= 0x7FFF ? m_coHeader[static_cast<short>(unIndex)] : nullptr;
    return pcoIndex ? TResInfo(*pcoIndex) : TResInfo();
}

TResInfo TFileHdl::GetResInfo(const char* pszId) const
{
    const TFileIndex* pcoIndex = m_coHeader.GetIndexRes(pszId);
    return pcoIndex ? TResInfo(*pcoIndex) : TResInfo();
}

// Saving

unsigned short TFileHdl::Save()
{
    if (m_unOpenType != OpenEditExisting && m_unOpenType != OpenEditNew)
        return ErrNoWriteOpen;
    if (!HaveWriteAccess())
        return ErrNoWriteAccess;
    const TString coFull = GetFullPath();
    if (!Exists(coFull))
        return ErrWriteUndefined;
    // The replace needs the file free of every handle, this one's too.
    CloseLock();
    const unsigned short unResult = DoSave(coFull);
    OpenLock();
    if (unResult != Success)
        return unResult;
    m_unOpenType = OpenEditExisting;
    SendEvent(kEvSaved, nullptr);
    return Success;
}

unsigned short TFileHdl::SaveAs(const char* pszFile)
{
    if (!pszFile || !*pszFile)
        return ErrNoSaveAsFile;
    if (m_unOpenType != OpenEditExisting && m_unOpenType != OpenEditNew)
        return ErrNoWriteOpen;
    TString coName;
    TString coPath;
    if (!SeparateFile(pszFile, coName, coPath))
        return ErrNoSaveAsFile;
    const TString coNewFull = coPath + coName;
    const TString coOldFull = GetFullPath();
    if (CrtStricmp(pszFile, coOldFull) == 0 || CrtStricmp(coNewFull, coOldFull) == 0)
        return ErrSaveAsSame;

    // The new file gets fresh "created" fields and no protection.
    const unsigned short unOldType = m_unOpenType;
    const unsigned short unFlags = m_coHeader.GetProtection();
    m_coHeader.SetProtection(0);
    m_unOpenType = OpenEditNew;
    const unsigned short unResult = DoSave(coNewFull);
    m_unOpenType = unOldType;
    if (unResult != Success) {
        m_coHeader.SetProtection(unFlags);
        return unResult;
    }
    CloseLock();
    // The empty placeholder of a new file that was never saved goes; only
    // now, so that a failed SaveAs leaves the handler as it was.
    if (unOldType == OpenEditNew && IsEmptyFile(coOldFull))
        RemoveFile(coOldFull);
    m_coResFile = coName;
    m_coResFilePath = coPath;
    m_unOpenType = OpenEditExisting;
    OpenLock();
    m_coHeader.MakeReadProtect(0, nullptr);
    m_coHeader.MakeWriteProtect(0, nullptr);
    SendEvent(kEvSaved, nullptr);
    return Success;
}

unsigned short TFileHdl::DoSave(const TString& coTarget)
{
    if (!m_coMainFile.IsValid())
        return ErrTmpNotOpen;
    unsigned short unSize = m_unBlockBufferSize < MinBlockBufferSize ? MinBlockBufferSize : m_unBlockBufferSize;
    char* pchBuffer = nullptr;
    for (;;) {
        pchBuffer = new (std::nothrow) char[unSize];
        if (pchBuffer || unSize <= MinBlockBufferSize)
            break;
        unSize = static_cast<unsigned short>(unSize / 2 < MinBlockBufferSize ? MinBlockBufferSize : unSize / 2);
    }
    if (!pchBuffer)
        return ErrNoMemory;
    const std::unique_ptr<char[]> coBuffer(pchBuffer);

    if (Exists(coTarget) && !CurrentOS().FilePermission(coTarget, 2))
        return ErrSaveShare;
    // The new file is written beside the target and takes its place only
    // when it is complete, so a failed save leaves the target as it was.
    TString coName;
    TString coDirectory;
    if (!SeparateFile(coTarget, coName, coDirectory, nullptr))
        return ErrSaveOpen;
    const TString coId = GetDefaultTmpFileId();
    TFile coOutput;
    const TString coSaveFile = CreateTmpFileIn(coDirectory, coId.IsEmpty() ? "HLN_" : static_cast<const char*>(coId),
                                               coOutput);
    if (coSaveFile.IsEmpty())
        return ErrSaveOpen;

    NotifyPreSave();
    const TString coUserCreated = m_coHeader.GetUserCreated();
    const TDateF coDateCreated = m_coHeader.GetDateCreated();
    const TTimeF coTimeCreated = m_coHeader.GetTimeCreated();
    const TString coUserChanged = m_coHeader.GetUserChanged();
    const TDateF coDateChanged = m_coHeader.GetDateChanged();
    const TTimeF coTimeChanged = m_coHeader.GetTimeChanged();
    const TDateF coToday(-1);
    const TTimeF coNow(-1);
    if (m_unOpenType == OpenEditNew) {
        m_coHeader.SetCreated(m_coUserName, coToday, coNow);
        m_coHeader.SetChanged(TString(), TDateF(), TTimeF());
    } else {
        m_coHeader.SetChanged(m_coUserName, coToday, coNow);
    }

    NotifyStartTmpLoadFromSave();
    unsigned short unResult = WriteComplete(coOutput, pchBuffer, unSize);
    NotifyEndTmpLoadFromSave();
    coOutput.Close();
    if (unResult == Success && !CurrentOS().MoveFileReplace(coTarget, coSaveFile))
        unResult = ErrSaveShare;
    if (unResult != Success) {
        RemoveFile(coSaveFile);
        m_coHeader.SetCreated(coUserCreated, coDateCreated, coTimeCreated);
        m_coHeader.SetChanged(coUserChanged, coDateChanged, coTimeChanged);
    }
    return unResult;
}

unsigned short TFileHdl::WriteComplete(TFile& coOutput, char* pchBuffer, unsigned short unBufferSize)
{
    if (!m_coHeader.Write(coOutput, *this))
        return ErrWriteResource;
    const int64_t llWorkPos = m_coMainFile->Tell();
    const unsigned short unResult = WriteRecords(coOutput, pchBuffer, unBufferSize);
    m_coMainFile->Seek(llWorkPos, TLogFile::FromBegin);
    return unResult;
}

// The records follow the index back to back in index order; the entries
// written with the working file's positions then get those of the output.
unsigned short TFileHdl::WriteRecords(TFile& coOutput, char* pchBuffer, unsigned short unBufferSize)
{
    std::vector<TFileHeader::TSavedPos> coPositions;
    coPositions.reserve(static_cast<size_t>(m_coHeader.GetIndexCount()));
    TSaveBuffer coRecords(*coOutput.operator->(), pchBuffer, unBufferSize);
    for (short i = 0; i < m_coHeader.GetIndexCount(); ++i) {
        const TFileIndex* pcoIndex = m_coHeader[i];
        TFileHeader::TSavedPos coPos { -1, -1 };
        if (pcoIndex->HasData()) {
            coPos.lDataPos = pcoIndex->CopyResource(coRecords, m_coMainFile);
            if (coPos.lDataPos < 0)
                return ErrWriteResource;
            coPos.lEndPos = static_cast<int32_t>(coRecords.Tell());
        }
        coPositions.push_back(coPos);
    }
    if (!coRecords.Flush() || !m_coHeader.WriteSavedPositions(coOutput, coPositions))
        return ErrWriteResource;
    return Success;
}

// File facts

TString TFileHdl::GetFileVersion() const
{
    return m_unOpenType == OpenClosed ? TString() : m_coHeader.GetVersion();
}

TString TFileHdl::GetUserCreated() const { return m_coHeader.GetUserCreated(); }
TString TFileHdl::GetUserChanged() const { return m_coHeader.GetUserChanged(); }
TDateF TFileHdl::GetDateCreated() const { return m_coHeader.GetDateCreated(); }
TDateF TFileHdl::GetDateChanged() const { return m_coHeader.GetDateChanged(); }
TTimeF TFileHdl::GetTimeCreated() const { return m_coHeader.GetTimeCreated(); }
TTimeF TFileHdl::GetTimeChanged() const { return m_coHeader.GetTimeChanged(); }

// Protection

int TFileHdl::MakeReadProtect(int nOn, const char* pszPassword)
{
    if (!HaveWriteAccess() || !m_coHeader.MakeReadProtect(nOn, pszPassword))
        return 0;
    m_coPasswordRead = pszPassword;
    return 1;
}

int TFileHdl::MakeWriteProtect(int nOn, const char* pszPassword)
{
    if (!HaveWriteAccess() || !m_coHeader.MakeWriteProtect(nOn, pszPassword))
        return 0;
    m_coPasswordWrite = pszPassword;
    return 1;
}

// Tuning

unsigned short TFileHdl::SetBlockBufferSize(unsigned short unSize)
{
    m_unBlockBufferSize = unSize < MinBlockBufferSize ? MinBlockBufferSize : unSize;
    return m_unBlockBufferSize;
}

// Statics

TString TFileHdl::GetError(unsigned short unCode, const char* pszFile)
{
    static const struct {
        unsigned short unCode;
        const char* pszText;
    } s_acoTexts[] = {
        { ErrGeneral, "General error on opening resource file <%s>" }, { ErrOpen, "Could not open resource file <%s>" },
        { ErrReadHeader, "Reading header of resource file <%s> failed" }, { ErrCreateTmp, "Could not create temporary file" },
        { ErrCreate, "Could not create resource file <%s>" },
        { ErrShare, "Share Conflict, resource file <%s> could not be opened for write-access" },
        { ErrNotExist, "Resource file <%s> does not exist" }, { ErrOpenTmp, "Could not open temporary file" },
        { ErrNoNoname, "No more <noname> file names available" }, { ErrFormat, "Resourcefile format is not valid!" },
        { ErrNoSignature, "No file handler information found!" }, { ErrSignature, "Wrong file handler information!" },
        { ErrNoReadAccess, "File is protected! No read-access!" }, { ErrNoWriteAccess, "File is protected! No write-access!" },
        { ErrDamaged, "Resource file is damaged!" }, { ErrWriteUndefined, "Undefined error on writing resource" },
        { ErrNoWriteOpen, "No write access on resource file" }, { ErrNewIndex, "Creating new index on resource file failed" },
        { ErrNotOpen, "Resource file is not open" }, { ErrWriteResource, "Writing resource failed" },
        { ErrSaveShare, "Share conflict, resource file could not be saved" },
        { ErrSaveOpen, "Could not open resource file for saving" }, { ErrTmpNotOpen, "Temporary file is not open" },
        { ErrNoSaveAsFile, "No file given for 'Save as'!" },
        { ErrSaveAsSame, "'Save as' - file can't be the same like the current file!" },
        { ErrResNotFound, "Resource not found!" }, { ErrResIndex, "Invalid resource index given!" },
    };
    if (unCode == ErrNoMemory) {
        TString coText;
        coText.SetText("Could not create the minimum memory buffer in size %u bytes!", static_cast<unsigned>(MinBlockBufferSize));
        return coText;
    }
    const char* pszText = "";
    for (const auto& coEntry : s_acoTexts) {
        if (coEntry.unCode == unCode)
            pszText = coEntry.pszText;
    }
    // The file name is put in as text, never read as a format.
    TString coText;
    const char* pszMark = std::strstr(pszText, "%s");
    if (!pszMark)
        return pszText;
    coText.Strncpy(pszText, static_cast<int>(pszMark - pszText));
    coText += pszFile ? pszFile : "";
    coText += pszMark + 2;
    return coText;
}

int TFileHdl::ReadHeaderOf(const char* pszFile, TFileHdl& coHdl, TFileHeader& coHeader, unsigned short* punError)
{
    TFile coFile;
    if (!pszFile || !*pszFile || !coFile.Open(pszFile, TFile::ModeRead)) {
        *punError = ErrNotExist;
        return 0;
    }
    coHeader.Read(coFile, coHdl, nullptr, punError, 0);
    return 1;
}

int TFileHdl::GetProtection(const char* pszFile, TFileHdl& coHdl, unsigned short* punFlags, unsigned short* punError)
{
    TFileHeader coHeader;
    unsigned short unError = ErrGeneral;
    const int nOpened = ReadHeaderOf(pszFile, coHdl, coHeader, &unError);
    if (punError)
        *punError = unError;
    if (punFlags)
        *punFlags = coHeader.GetProtection();
    return nOpened;
}

int TFileHdl::HasReadAccess(const char* pszFile, const char* pszPassword, TFileHdl& coHdl, unsigned short* punError)
{
    return HeaderAccess(pszFile, pszPassword, coHdl, punError, TFileHeader::ReadProtected);
}

int TFileHdl::HasWriteAccess(const char* pszFile, const char* pszPassword, TFileHdl& coHdl, unsigned short* punError)
{
    return HeaderAccess(pszFile, pszPassword, coHdl, punError, TFileHeader::WriteProtected);
}

int TFileHdl::HeaderAccess(const char* pszFile, const char* pszPassword, TFileHdl& coHdl, unsigned short* punError,
                           unsigned short unAccess)
{
    TFileHeader coHeader;
    unsigned short unError = ErrGeneral;
    ReadHeaderOf(pszFile, coHdl, coHeader, &unError);
    if (punError)
        *punError = unError;
    if (unError != Success)
        return 0;
    return (unAccess == TFileHeader::ReadProtected ? coHeader.CanRead(pszPassword) : coHeader.CanWrite(pszPassword)) ? 1 : 0;
}

void TFileHdl::Destroy(void* pvHdl)
{
    delete static_cast<TFileHdl*>(pvHdl);
}

// Creation of records' objects

TResource* TFileHdl::CustomCreateResource(const char* pszClass, unsigned short, uint32_t)
{
    if (!pszClass || !*pszClass)
        return nullptr;
    TDynBase* pcoObject = TDynBase::RTTIDynCreate(pszClass);
    if (pcoObject && pcoObject->IsClassFamily("TResource"))
        return static_cast<TResource*>(pcoObject);
    delete pcoObject;
    return nullptr;
}

TResource* TFileHdl::NotifyCreateResource(unsigned short, TResource*, uint32_t, unsigned short, uint32_t)
{
    return nullptr;
}
