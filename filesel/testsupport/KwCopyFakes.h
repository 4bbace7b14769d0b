#pragma once

// Stand-ins of the copy engine's seams for its tests: a security API that
// records every call and answers from a script, and a file system that
// passes everything to the real one but records what the engine asks,
// keeps fake descriptors out of the real calls, follows the rights each
// entry has, plays named streams and encryption, which the real one may
// not have, and fails on command. A source open for its rights answers
// from the security API's script, recorded there as "GetOpen".
//
// The engine's workers call both from several threads: every call holds
// one lock (FakeLock), so the records stay whole and a step hook sees the
// target as no other worker is changing it.

#include "KwCopyFileSystem.h"
#include "KwSecurityApi.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace kwtest {

inline std::recursive_mutex& FakeLock()
{
    static std::recursive_mutex s_coLock;
    return s_coLock;
}

using TFakeGuard = std::lock_guard<std::recursive_mutex>;

// A failure put in at one step: the call of that name on the path
// m_strPath (any path when empty; a trailing "*" matches every path that
// begins with the rest), the m_nCount-th such call (1 = the first; every
// one for 0), failing with m_ulError.
struct TFault {
    std::string m_strCall;
    std::string m_strPath;
    int m_nCount { 1 };
    uint32_t m_ulError { 5 };
};

class TFaults {
public:
    void Add(TFault coFault) { m_vecFaults.push_back(std::move(coFault)); }
    // The error for this call, or 0 when it goes through.
    uint32_t Hit(const std::string& strCall, const std::string& strPath)
    {
        for (TFault& coFault : m_vecFaults)
            if (coFault.m_strCall == strCall && Matches(coFault.m_strPath, strPath)
                && (coFault.m_nCount == 0 || --coFault.m_nCount == 0))
                return coFault.m_ulError;
        return 0;
    }

private:
    static bool Matches(const std::string& strPattern, const std::string& strPath)
    {
        if (strPattern.empty() || strPattern == strPath)
            return true;
        return strPattern.back() == '*' && strPath.rfind(strPattern.substr(0, strPattern.size() - 1), 0) == 0;
    }

    std::vector<TFault> m_vecFaults;
};

// Runs after every step that changes the target (the call and the path,
// shortened): creating, writing, renaming, setting rights.
using TStepHook = std::function<void(const std::string& strCall, const std::string& strPath)>;

// Paths in the records are shown below the test's directory, with "/" as
// separator on every platform.
inline std::string Shorten(const std::string& strPath, const std::string& strRoot)
{
    std::string strShort = strPath.rfind(strRoot, 0) == 0 ? strPath.substr(strRoot.size()) : strPath;
    for (char& ch : strShort)
        if (ch == '\\')
            ch = '/';
    return strShort.empty() ? "/" : strShort;
}

class TRecordingSecurity final : public KwSecurityApi {
public:
    explicit TRecordingSecurity(std::string strRoot) : m_strRoot(std::move(strRoot)) {}

    std::vector<std::string> m_vecCalls;
    std::set<std::string> m_coNotHeld;                  // privileges the token lacks
    std::map<std::string, KwVolumeInfo> m_coVolumes;    // by path prefix (shortened); NTFS otherwise
    TFaults m_coFaults;
    std::map<std::string, std::string> m_coSet;         // the last descriptor set on each path
    TStepHook m_fnAfter;
    // Entries whose own rights let the copying account make nothing in
    // them, until it has been given access ("C+...").
    std::set<std::string> m_coShutOut;

    // The descriptor every source has: its own path, so a target given the
    // wrong one shows whose it is. Those of ".bin" files are longer than
    // the first buffer Secure reads into.
    static std::string DescriptorOf(const std::string& strShort)
    {
        return "SD(" + strShort + ")" + std::string(strShort.find(".bin") != std::string::npos ? 150 : 0, '.');
    }

    int LookupPrivilege(const char* pszName, Luid& ulLuid, uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        m_vecCalls.push_back(std::string("Lookup ") + pszName);
        if ((ulError = m_coFaults.Hit("Lookup", pszName)))
            return 0;
        m_vecNames.push_back(pszName);
        ulLuid = m_vecNames.size();
        return 1;
    }

    Token OpenProcessToken(uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        m_vecCalls.push_back("OpenToken");
        return (ulError = m_coFaults.Hit("OpenToken", "")) ? 0 : 7;
    }

    void CloseToken(Token) override
    {
        TFakeGuard coGuard(FakeLock());
        m_vecCalls.push_back("CloseToken");
    }

    int AdjustPrivilege(Token, Luid ulLuid, int nEnable, int& nWasEnabled, uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        const std::string& strName = m_vecNames.at(static_cast<size_t>(ulLuid - 1));
        m_vecCalls.push_back("Adjust " + strName + (nEnable ? " on" : " off"));
        if ((ulError = m_coFaults.Hit("Adjust", strName)))
            return 0;
        nWasEnabled = 0;
        ulError = m_coNotHeld.count(strName) ? static_cast<uint32_t>(ErrNotAllAssigned) : 0u;
        return 1;
    }

    int GetFileSecurity(const std::string& strPath, uint32_t ulInfo, void* pvBuffer, uint32_t ulSize,
                        uint32_t& ulNeeded, uint32_t& ulError) override
    {
        return Read("Get", strPath, ulInfo, pvBuffer, ulSize, ulNeeded, ulError);
    }
    // The same through a source open for its rights (a "GetOpen" call).
    int GetOpenSecurity(const std::string& strPath, uint32_t ulInfo, void* pvBuffer, uint32_t ulSize,
                        uint32_t& ulNeeded, uint32_t& ulError)
    {
        return Read("GetOpen", strPath, ulInfo, pvBuffer, ulSize, ulNeeded, ulError);
    }

    int SetFileSecurity(const std::string& strPath, uint32_t ulInfo, const void* pvDescriptor,
                        uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        const std::string strShort = Shorten(strPath, m_strRoot);
        // Shown up to the closing bracket, without the padding.
        const std::string strDescriptor = static_cast<const char*>(pvDescriptor);
        m_vecCalls.push_back("Set " + strShort + " " + std::to_string(ulInfo) + " "
                             + strDescriptor.substr(0, strDescriptor.find(')') + 1));
        if ((ulError = m_coFaults.Hit("Set", strShort)))
            return 0;
        m_coSet[strShort] = strDescriptor;
        if (m_fnAfter)
            m_fnAfter("Set", strShort);
        return 1;
    }

    // Fails for the source named in the descriptor on a "Creator" fault.
    int WithCreatorAccess(const void* pvDescriptor, uint32_t, std::vector<uint8_t>& vecOut, uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        const std::string strDescriptor = static_cast<const char*>(pvDescriptor);
        const size_t nOpen = strDescriptor.find('(');
        if ((ulError = m_coFaults.Hit("Creator", strDescriptor.substr(nOpen + 1, strDescriptor.find(')') - nOpen - 1))))
            return 0;
        const std::string strOut = "C+" + strDescriptor;
        vecOut.assign(strOut.c_str(), strOut.c_str() + strOut.size() + 1);
        return 1;
    }

    int AllowsCopyingInto(const void* pvDescriptor, uint32_t, int& nAllowed, uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        const std::string strDescriptor = static_cast<const char*>(pvDescriptor);
        m_vecCalls.push_back("Check " + strDescriptor.substr(0, strDescriptor.find(')') + 1));
        if ((ulError = m_coFaults.Hit("Check", "")))
            return 0;
        const size_t nOpen = strDescriptor.find('(');
        nAllowed = strDescriptor.rfind("C+", 0) == 0
            || !m_coShutOut.count(strDescriptor.substr(nOpen + 1, strDescriptor.find(')') - nOpen - 1));
        return 1;
    }

    int WithCopyingAccess(const void* pvDescriptor, uint32_t, std::vector<uint8_t>& vecOut, uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        if ((ulError = m_coFaults.Hit("Opened", "")))
            return 0;
        const std::string strOut = "C+" + std::string(static_cast<const char*>(pvDescriptor));
        vecOut.assign(strOut.c_str(), strOut.c_str() + strOut.size() + 1);
        return 1;
    }

    int PrivateDescriptor(int, std::vector<uint8_t>& vecOut, uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        if ((ulError = m_coFaults.Hit("Private", "")))
            return 0;
        static const char s_szPrivate[] = "PRIVATE";
        vecOut.assign(s_szPrivate, s_szPrivate + sizeof(s_szPrivate));
        return 1;
    }

    int SameDescriptor(const void* pvSource, uint32_t ulSourceSize, const void* pvCopy, uint32_t ulCopySize,
                       uint32_t) override
    {
        return ulSourceSize == ulCopySize && std::memcmp(pvSource, pvCopy, ulSourceSize) == 0;
    }

    int GetVolumeInfo(const std::string& strPath, KwVolumeInfo& coInfo, uint32_t& ulError) override
    {
        TFakeGuard coGuard(FakeLock());
        const std::string strShort = Shorten(strPath, m_strRoot);
        m_vecCalls.push_back("Volume " + strShort);
        if ((ulError = m_coFaults.Hit("Volume", strShort)))
            return 0;
        coInfo.m_strFileSystem = "NTFS";
        coInfo.m_ulFlags = KwVolumeInfo::PersistentAcls;
        for (const auto& coVolume : m_coVolumes)
            if (strShort.rfind(coVolume.first, 0) == 0)
                coInfo = coVolume.second;
        return 1;
    }

    std::string ErrorText(uint32_t ulError) const override { return "error " + std::to_string(ulError); }

private:
    int Read(const std::string& strCall, const std::string& strPath, uint32_t ulInfo, void* pvBuffer, uint32_t ulSize,
             uint32_t& ulNeeded, uint32_t& ulError)
    {
        TFakeGuard coGuard(FakeLock());
        const std::string strShort = Shorten(strPath, m_strRoot);
        m_vecCalls.push_back(strCall + " " + strShort + " " + std::to_string(ulInfo));
        if ((ulError = m_coFaults.Hit(strCall, strShort)))
            return 0;
        // A copy reads back what it was given, unless a "Readback" fault says otherwise.
        std::string strDescriptor = m_coSet.count(strShort) ? m_coSet[strShort] : DescriptorOf(strShort);
        if (m_coSet.count(strShort) && m_coFaults.Hit("Readback", strShort))
            strDescriptor[0] = 's';
        // Text with its NUL, so that the fake can read what it is given back.
        ulNeeded = static_cast<uint32_t>(strDescriptor.size() + 1);
        if (ulSize < ulNeeded) {
            ulError = ErrInsufficientBuffer;
            return 0;
        }
        std::memcpy(pvBuffer, strDescriptor.c_str(), ulNeeded);
        return 1;
    }

    std::string m_strRoot;
    std::vector<std::string> m_vecNames;                // privilege of each LUID (1-based)
};

// The real file system, watched and disturbed.
class TWatchedFileSystem final : public KwCopyFileSystem {
public:
    // coSecurity answers the reads of rights through open sources, unless
    // the real descriptors are asked for.
    TWatchedFileSystem(std::string strRoot, TRecordingSecurity& coSecurity)
        : m_coSecurity(coSecurity), m_strRoot(std::move(strRoot)) {}

    KwCopyFileSystem& m_coReal { KwCopyFileSystem::Platform() };
    TRecordingSecurity& m_coSecurity;
    TFaults m_coFaults;
    std::vector<std::string> m_vecCreated;              // "path descriptor" of every creating call
    std::map<std::string, std::string> m_coRights;      // the descriptor each entry was made with, by path
    std::function<void(const std::string&)> m_fnOnRead; // runs before every read of a source piece
    std::function<void(const std::string&)> m_fnOnList; // runs before every listing
    std::map<std::thread::id, std::string> m_coLastOpened;  // the source each thread opened last
    TStepHook m_fnAfter;
    uint64_t m_ullFree { ~0ull };
    uint64_t m_ullFreeMemory { 0 };       // what FreeMemory says
    std::map<std::string, std::string> m_coSameAs;      // identities: this directory is that one
    // Directories that shut the copying account out, as Windows rights
    // would: nothing can be made in them until a descriptor with its
    // access ("C+...") is set on them (m_pcoSetRights: those set).
    std::set<std::string> m_coLocked;
    const std::map<std::string, std::string>* m_pcoSetRights { nullptr };
    // Natively: the descriptors go to the real calls, to test their modes.
    bool m_bRealDescriptors { false };
    // Named streams of sources (by path, then ":name:$DATA"), and those
    // written to the targets.
    std::map<std::string, std::map<std::string, std::string>> m_coStreams;
    std::map<std::string, std::map<std::string, std::string>> m_coWrittenStreams;
    std::set<std::string> m_coEncrypted;                // sources that are encrypted
    bool m_bEncryptable { true };                       // whether targets can be made encrypted
    // What happens to content: "<path> size N" and "<path> write N" of
    // targets, "<path> read unbuffered" and "<path> write unbuffered".
    std::vector<std::string> m_vecContent;
    // Copies that have taken their final names and are still open (which
    // Windows lets no one else read).
    std::set<std::string> m_coOpenFinal;
    // Sources opened for their rights: "<path> rights", "<path> rights+sacl".
    // An "OpenRights" fault refuses that wider open.
    std::vector<std::string> m_vecRightsOpens;

    std::string Short(const std::string& strPath) const { return Shorten(strPath, m_strRoot); }
    std::string LastOpened()
    {
        TFakeGuard coGuard(FakeLock());
        return m_coLastOpened[std::this_thread::get_id()];
    }

    char Separator() const override { return m_coReal.Separator(); }
    int FullPath(const std::string& strPath, std::string& strFull) const override { return m_coReal.FullPath(strPath, strFull); }
    size_t RootLength(const std::string& strFull) const override { return m_coReal.RootLength(strFull); }
    int SameName(const std::string& strA, const std::string& strB) const override { return m_coReal.SameName(strA, strB); }
    std::string NameKey(const std::string& strName) const override { return m_coReal.NameKey(strName); }
    std::string ErrorText(uint32_t ulCode) const override { return "error " + std::to_string(ulCode); }

    int List(const std::string& strDirectory, std::vector<KwCopyDirEntry>& vecEntries, KwCopyIdentity* pcoIdentity,
             KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        if (m_fnOnList)
            m_fnOnList(strDirectory);
        if (Fail("List", strDirectory, coError))
            return 0;
        const int nDone = m_coReal.List(strDirectory, vecEntries, pcoIdentity, coError);
        if (nDone && pcoIdentity)
            Identity(strDirectory, *pcoIdentity, coError);
        for (KwCopyDirEntry& coEntry : vecEntries)
            Encrypted(Join(strDirectory, coEntry.m_strName), coEntry.m_coStat);
        return nDone;
    }
    int Stat(const std::string& strPath, KwCopyDirEntry& coEntry, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        if (Fail("Stat", strPath, coError) || !m_coReal.Stat(strPath, coEntry, coError))
            return 0;
        Encrypted(strPath, coEntry.m_coStat);
        return 1;
    }
    int StatFollowing(const std::string& strPath, KwCopyDirEntry& coEntry, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        return Fail("Stat", strPath, coError) ? 0 : m_coReal.StatFollowing(strPath, coEntry, coError);
    }
    int StoredName(const std::string& strPath, std::string& strName, KwCopyError& coError) override
    {
        return m_coReal.StoredName(strPath, strName, coError);
    }
    int Identity(const std::string& strPath, KwCopyIdentity& coIdentity, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        const auto it = m_coSameAs.find(Short(strPath));
        if (it == m_coSameAs.end())
            return m_coReal.Identity(strPath, coIdentity, coError);
        std::string strSame = m_strRoot + it->second;
        std::replace(strSame.begin(), strSame.end(), '/', Separator());
        return m_coReal.Identity(strSame, coIdentity, coError);
    }
    int FinalPath(const std::string& strPath, std::string& strFinal, KwCopyError& coError) override
    {
        return m_coReal.FinalPath(strPath, strFinal, coError);
    }
    int FreeSpace(const std::string& strPath, uint64_t& ullFree, KwCopyError& coError) override
    {
        ullFree = m_ullFree;
        return m_ullFree == ~0ull ? m_coReal.FreeSpace(strPath, ullFree, coError) : 1;
    }
    uint64_t FreeMemory() override { return m_ullFreeMemory; }
    int CreateDirectory(const std::string& strPath, const void* pvDescriptor, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        Created(strPath, pvDescriptor, 0);
        if (Fail("CreateDirectory", strPath, coError) || ShutOut(strPath, coError)
            || !m_coReal.CreateDirectory(strPath, Real(pvDescriptor), coError))
            return 0;
        m_coRights[Short(strPath)] = Text(pvDescriptor);
        After("CreateDirectory", strPath);
        return 1;
    }
    std::unique_ptr<KwCopyStream> OpenSource(const std::string& strPath, int nHow, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        const size_t nStream = strPath.find(":", m_strRoot.size());
        if (nStream != std::string::npos) {
            const auto itFile = m_coStreams.find(Short(strPath.substr(0, nStream)));
            if (itFile == m_coStreams.end() || !itFile->second.count(strPath.substr(nStream))) {
                coError.Set(KwCopyError::NotFound, 2);
                return nullptr;
            }
            return std::make_unique<TMemoryStream>(*this, strPath, &itFile->second[strPath.substr(nStream)]);
        }
        m_coLastOpened[std::this_thread::get_id()] = strPath;
        if (nHow & ReadRights) {
            m_vecRightsOpens.push_back(Short(strPath) + ((nHow & ReadSacl) ? " rights+sacl" : " rights"));
            if (Fail("OpenRights", strPath, coError))
                return nullptr;
        }
        if (nHow & Unbuffered)
            m_vecContent.push_back(Short(strPath) + " read unbuffered");
        // The process holds none of the fake privileges the SACL needs.
        const int nReal = m_bRealDescriptors ? nHow : nHow & ~static_cast<int>(ReadSacl);
        std::unique_ptr<KwCopyStream> pcoStream = m_coReal.OpenSource(strPath, nReal, coError);
        return pcoStream ? std::make_unique<TStream>(*this, std::move(pcoStream), strPath) : nullptr;
    }
    std::unique_ptr<KwCopyStream> CreateTarget(const std::string& strPath, const void* pvDescriptor, int nHow,
                                               KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        Created(strPath, pvDescriptor, nHow & KwCopyFileSystem::Encrypted);
        const size_t nStream = strPath.find(":", m_strRoot.size());
        if (nStream != std::string::npos) {
            if (Fail("CreateStream", strPath, coError))
                return nullptr;
            std::string& strContent = m_coWrittenStreams[Short(strPath.substr(0, nStream))][strPath.substr(nStream)];
            strContent.clear();
            return std::make_unique<TMemoryStream>(*this, strPath, &strContent);
        }
        if ((nHow & KwCopyFileSystem::Encrypted) && !m_bEncryptable) {
            coError.Set(KwCopyError::NotSupported, 6000);
            return nullptr;
        }
        if (Fail("CreateTarget", strPath, coError) || ShutOut(strPath, coError))
            return nullptr;
        std::unique_ptr<KwCopyStream> pcoStream = m_coReal.CreateTarget(strPath, Real(pvDescriptor), nHow & Unbuffered, coError);
        if (!pcoStream)
            return nullptr;
        if (nHow & Unbuffered)
            m_vecContent.push_back(Short(strPath) + " write unbuffered");
        m_coRights[Short(strPath)] = Text(pvDescriptor);
        After("CreateTarget", strPath);
        return std::make_unique<TStream>(*this, std::move(pcoStream), strPath);
    }
    int DeleteFile(const std::string& strPath, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        return m_coReal.DeleteFile(strPath, coError);
    }
    int DeleteUnheld(const std::string& strPath, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        return m_coReal.DeleteUnheld(strPath, coError);
    }
    int ClearReadOnly(const std::string& strPath, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        m_vecCreated.push_back(Short(strPath) + " writable");
        return m_coReal.ClearReadOnly(strPath, coError);
    }
    int SetEntryInfo(const std::string& strPath, const KwCopyStat& coSource, int nRights, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        return Fail("SetEntryInfo", strPath, coError) ? 0 : m_coReal.SetEntryInfo(strPath, coSource, nRights, coError);
    }
    int CopyLink(const std::string& strSource, const std::string& strTarget, KwCopyError& coError) override
    {
        TFakeGuard coGuard(FakeLock());
        return m_coReal.CopyLink(strSource, strTarget, coError);
    }

private:
    class TStream final : public KwCopyStream {
    public:
        TStream(TWatchedFileSystem& coFs, std::unique_ptr<KwCopyStream> pcoReal, std::string strPath)
            : m_coFs(coFs), m_pcoReal(std::move(pcoReal)), m_strPath(std::move(strPath)) {}
        long Read(char* pchBuffer, long lCount, KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            if (m_coFs.m_fnOnRead)
                m_coFs.m_fnOnRead(m_strPath);
            return m_coFs.Fail("Read", m_strPath, coError) ? -1 : m_pcoReal->Read(pchBuffer, lCount, coError);
        }
        long Write(const char* pchBuffer, long lCount, KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            if (m_coFs.Fail("Write", m_strPath, coError))
                return -1;
            const long lDone = m_pcoReal->Write(pchBuffer, lCount, coError);
            m_coFs.m_vecContent.push_back(m_coFs.Short(m_strPath) + " write " + std::to_string(lCount));
            m_coFs.After("Write", m_strPath);
            return lDone;
        }
        int Rewind(KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            return m_pcoReal->Rewind(coError);
        }
        int SetSize(uint64_t ullSize, KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            m_coFs.m_vecContent.push_back(m_coFs.Short(m_strPath) + " size " + std::to_string(ullSize));
            return m_coFs.Fail("SetSize", m_strPath, coError) ? 0 : m_pcoReal->SetSize(ullSize, coError);
        }
        int Finish(const KwCopyStat& coSource, KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            return m_pcoReal->Finish(coSource, coError);
        }
        int NamedStreams(std::vector<KwCopyNamedStream>& vecStreams, KwCopyError&) override
        {
            TFakeGuard coGuard(FakeLock());
            vecStreams.clear();
            for (const auto& coStream : m_coFs.m_coStreams[m_coFs.Short(m_strPath)])
                vecStreams.push_back({ coStream.first, coStream.second.size() });
            return 1;
        }
        int GetSecurity(uint32_t ulInfo, void* pvBuffer, uint32_t ulSize, uint32_t& ulNeeded, uint32_t& ulError) override
        {
            TFakeGuard coGuard(FakeLock());
            if (m_coFs.m_bRealDescriptors)
                return m_pcoReal->GetSecurity(ulInfo, pvBuffer, ulSize, ulNeeded, ulError);
            return m_coFs.m_coSecurity.GetOpenSecurity(m_strPath, ulInfo, pvBuffer, ulSize, ulNeeded, ulError);
        }
        int Commit(const std::string& strFinal, int nReplace, KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            if (m_coFs.Fail("Commit", strFinal, coError) || !m_pcoReal->Commit(strFinal, nReplace, coError))
                return 0;
            m_coFs.Moved(m_strPath, strFinal);
            m_strPath = strFinal;
            m_coFs.m_coOpenFinal.insert(m_coFs.Short(strFinal));
            m_coFs.After("Commit", strFinal);
            return 1;
        }
        int Close(KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            m_coFs.m_coOpenFinal.erase(m_coFs.Short(m_strPath));
            return m_pcoReal->Close(coError);
        }
        void Abandon() override
        {
            TFakeGuard coGuard(FakeLock());
            m_coFs.m_coWrittenStreams.erase(m_coFs.Short(m_strPath));
            m_coFs.m_coOpenFinal.erase(m_coFs.Short(m_strPath));
            m_pcoReal->Abandon();
        }

    private:
        TWatchedFileSystem& m_coFs;
        std::unique_ptr<KwCopyStream> m_pcoReal;
        std::string m_strPath;
    };

    // A named stream, kept in memory.
    class TMemoryStream final : public KwCopyStream {
    public:
        TMemoryStream(TWatchedFileSystem& coFs, std::string strPath, std::string* pstrContent)
            : m_coFs(coFs), m_strPath(std::move(strPath)), m_pstrContent(pstrContent) {}
        long Read(char* pchBuffer, long lCount, KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            if (m_coFs.Fail("ReadStream", m_strPath, coError))
                return -1;
            const size_t nCount = std::min(static_cast<size_t>(lCount), m_pstrContent->size() - m_nAt);
            std::memcpy(pchBuffer, m_pstrContent->data() + m_nAt, nCount);
            m_nAt += nCount;
            return static_cast<long>(nCount);
        }
        long Write(const char* pchBuffer, long lCount, KwCopyError& coError) override
        {
            TFakeGuard coGuard(FakeLock());
            if (m_coFs.Fail("WriteStream", m_strPath, coError))
                return -1;
            m_pstrContent->append(pchBuffer, static_cast<size_t>(lCount));
            return lCount;
        }
        int Rewind(KwCopyError&) override { m_nAt = 0; return 1; }
        int SetSize(uint64_t ullSize, KwCopyError&) override
        {
            m_pstrContent->resize(static_cast<size_t>(ullSize));
            return 1;
        }
        int Finish(const KwCopyStat&, KwCopyError&) override { return 1; }
        int NamedStreams(std::vector<KwCopyNamedStream>& vecStreams, KwCopyError&) override { vecStreams.clear(); return 1; }
        int GetSecurity(uint32_t, void*, uint32_t, uint32_t&, uint32_t& ulError) override
        {
            ulError = 50;                   // ERROR_NOT_SUPPORTED: a stream has its file's rights
            return 0;
        }
        int Commit(const std::string&, int, KwCopyError&) override { return 1; }
        int Close(KwCopyError&) override { return 1; }
        void Abandon() override {}

    private:
        TWatchedFileSystem& m_coFs;
        std::string m_strPath;
        std::string* m_pstrContent;
        size_t m_nAt { 0 };
    };

    int Fail(const char* pszCall, const std::string& strPath, KwCopyError& coError)
    {
        const uint32_t ulError = m_coFaults.Hit(pszCall, Short(strPath));
        if (ulError)
            coError.Set(KwCopyError::Other, ulError);
        return ulError != 0;
    }
    std::string Text(const void* pvDescriptor) const
    {
        if (m_bRealDescriptors)
            return pvDescriptor ? "native" : "inherited";
        return pvDescriptor ? static_cast<const char*>(pvDescriptor) : "inherited";
    }
    const void* Real(const void* pvDescriptor) const { return m_bRealDescriptors ? pvDescriptor : nullptr; }
    int ShutOut(const std::string& strPath, KwCopyError& coError) const
    {
        std::string strParent;
        std::string strName;
        if (!SplitLast(strPath, strParent, strName) || !m_coLocked.count(Short(strParent)))
            return 0;
        const auto it = m_pcoSetRights ? m_pcoSetRights->find(Short(strParent)) : m_coRights.end();
        if (m_pcoSetRights && it != m_pcoSetRights->end() && it->second.rfind("C+", 0) == 0)
            return 0;
        coError.Set(KwCopyError::Denied, 5);
        return 1;
    }
    void Created(const std::string& strPath, const void* pvDescriptor, int nEncrypted)
    {
        m_vecCreated.push_back(Short(strPath) + " " + Text(pvDescriptor) + (nEncrypted ? " encrypted" : ""));
    }
    void Moved(const std::string& strFrom, const std::string& strTo)
    {
        m_coRights[Short(strTo)] = m_coRights[Short(strFrom)];
        m_coRights.erase(Short(strFrom));
        auto itStreams = m_coWrittenStreams.find(Short(strFrom));
        if (itStreams != m_coWrittenStreams.end()) {
            m_coWrittenStreams[Short(strTo)] = itStreams->second;
            m_coWrittenStreams.erase(Short(strFrom));
        }
    }
    void After(const char* pszCall, const std::string& strPath)
    {
        if (m_fnAfter)
            m_fnAfter(pszCall, Short(strPath));
    }
    void Encrypted(const std::string& strPath, KwCopyStat& coStat) const
    {
        if (m_coEncrypted.count(Short(strPath)))
            coStat.m_ulAttributes |= KwCopyStat::AttrEncrypted;
    }

    std::string m_strRoot;
};

} // namespace kwtest
