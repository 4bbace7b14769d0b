#include "KwFileTransfer.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

constexpr unsigned kTemporaryTries = 100;
constexpr uint32_t kBlock = KwCopyFileSystem::UnbufferedBlock;

char* Aligned(char* pchStore)
{
    const auto ulAddress = reinterpret_cast<uintptr_t>(pchStore);
    return pchStore + (kBlock - ulAddress % kBlock) % kBlock;
}

// Temporary names differ between the runs and threads of one process and,
// by the clock, between processes; a clash only costs another try.
std::atomic<uint32_t> s_ulTemporary { static_cast<uint32_t>(
    static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) * 2654435761u) };

} // namespace

KwFileTransfer::KwFileTransfer(KwCopyFileSystem& coFileSystem, const KwCopyOptions& coOptions)
    : m_coFs(coFileSystem)
    , m_coOptions(coOptions)
    , m_ulPieceSize(std::max<uint32_t>(coOptions.m_ulPieceSize, KwCopyOptions::MinPieceSize))
    , m_pchStore(new char[m_ulPieceSize + 2 * kBlock])
    , m_pchBuffer(Aligned(m_pchStore.get()))
{
}

std::string KwFileTransfer::Reason(const std::string& strWhat, const KwCopyError& coError) const
{
    if (coError.m_eKind == KwCopyError::NoSpace)
        return strWhat + ": the target volume is full";
    if (coError.m_ulCode)
        return strWhat + ": " + m_coFs.ErrorText(coError.m_ulCode);
    return strWhat;
}

std::string KwFileTransfer::TemporaryName(const std::string& strTarget, unsigned nTry) const
{
    std::string strParent;
    std::string strName;
    if (!m_coFs.SplitLast(strTarget, strParent, strName))
        strParent = strTarget;
    char szName[32];
    std::snprintf(szName, sizeof(szName), "~gdl%08x.tmp",
                  static_cast<unsigned>(s_ulTemporary.fetch_add(1) + nTry * 0x9E3779B9u));
    return m_coFs.Join(strParent, szName);
}

int KwFileTransfer::IsTemporaryName(const std::string& strName)
{
    if (strName.size() != 16 || strName.compare(0, 4, "~gdl") != 0 || strName.compare(12, 4, ".tmp") != 0)
        return 0;
    for (size_t i = 4; i < 12; ++i)
        if (!std::isdigit(static_cast<unsigned char>(strName[i])) && (strName[i] < 'a' || strName[i] > 'f'))
            return 0;
    return 1;
}

KwFileTransfer::Plan KwFileTransfer::DecideExisting(const std::string& strSource, const KwCopyStat& coSource,
                                                    const std::string& strTarget, const KwCopyDirEntry& coTarget,
                                                    std::string& strReason)
{
    if (coTarget.m_coStat.m_eKind != KwCopyStat::File) {
        strReason = "an entry of that name that is not a file is in the way";
        return RefuseTarget;
    }
    if (m_coOptions.m_eExisting == KwCopyOptions::SkipExisting) {
        strReason = "the target exists";
        return SkipTarget;
    }
    KwCopyIdentity coSourceId;
    KwCopyIdentity coTargetId;
    KwCopyError coError;
    if (m_coFs.Identity(strSource, coSourceId, coError) && m_coFs.Identity(strTarget, coTargetId, coError)
        && coSourceId == coTargetId) {
        strReason = "source and target are the same file";
        return RefuseTarget;
    }
    if (coTarget.m_coStat.m_ullSize == coSource.m_ullSize && coTarget.m_coStat.m_llWritten == coSource.m_llWritten) {
        strReason = "same";
        return SkipSame;
    }
    if (m_coOptions.m_eExisting == KwCopyOptions::SkipNewer && coTarget.m_coStat.m_llWritten > coSource.m_llWritten) {
        strReason = "the target is newer";
        return SkipTarget;
    }
    return ReplaceOld;
}

KwFileTransfer::Plan KwFileTransfer::Decide(const std::string& strSource, const KwCopyStat& coSource,
                                            const std::string& strTarget, std::string& strReason,
                                            uint64_t* pullOldSize)
{
    // A target that cannot be examined is taken for a new one: the copy
    // would not take the place of anything that is there (Commit).
    KwCopyDirEntry coTarget;
    KwCopyError coError;
    if (!m_coFs.Stat(strTarget, coTarget, coError))
        return CreateNew;
    if (pullOldSize)
        *pullOldSize = coTarget.m_coStat.m_ullSize;
    return DecideExisting(strSource, coSource, strTarget, coTarget, strReason);
}

KwFileTransfer::Result KwFileTransfer::Pump(KwCopyStream& coSource, KwCopyStream& coTarget, uint64_t ullSize,
                                            int nProgress, int nBlocks, uint64_t& ullWritten, std::string& strReason)
{
    KwCopyError coError;
    const long lPiece = static_cast<long>(nBlocks ? m_ulPieceSize / kBlock * kBlock : m_ulPieceSize);
    bool bPadded = false;
    ullWritten = 0;
    for (;;) {
        if (IsCanceled() || (ullWritten && ullWritten < ullSize && !Rest()))
            return Canceled;
        const long lRead = coSource.Read(m_pchBuffer, lPiece, coError);
        if (lRead < 0) {
            strReason = Reason("the source cannot be read", coError);
            return Failed;
        }
        if (lRead == 0)
            return Copied;
        // Only the last piece may end within a block: it is padded, and
        // the size set afterwards cuts the padding off.
        if (bPadded) {
            strReason = "the source cannot be read: it changed while it was copied";
            return Failed;
        }
        long lWrite = lRead;
        if (nBlocks && lRead % static_cast<long>(kBlock)) {
            lWrite = (lRead / static_cast<long>(kBlock) + 1) * static_cast<long>(kBlock);
            std::memset(m_pchBuffer + lRead, 0, static_cast<size_t>(lWrite - lRead));
            bPadded = true;
        }
        if (coTarget.Write(m_pchBuffer, lWrite, coError) != lWrite) {
            strReason = Reason("the target cannot be written", coError);
            return Failed;
        }
        ullWritten += static_cast<uint64_t>(lRead);
        if (nProgress && m_fnProgress)
            m_fnProgress(static_cast<uint64_t>(lRead));
        // A file read short ends there: when that is the size it was listed
        // with, a further read would only report the end (for most small
        // files, one call of four).
        if (lRead < lPiece && ullWritten == ullSize)
            return Copied;
    }
}

bool KwFileTransfer::Rest() const
{
    if (!m_coOptions.m_ulPieceGap)
        return true;
    // In short slices, so that a cancel is not kept waiting for a long rest.
    const auto coSlice = std::chrono::milliseconds(10);
    const auto coEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_coOptions.m_ulPieceGap);
    for (auto coNow = std::chrono::steady_clock::now(); coNow < coEnd; coNow = std::chrono::steady_clock::now()) {
        if (IsCanceled())
            return false;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(coSlice, coEnd - coNow));
    }
    return !IsCanceled();
}

KwFileTransfer::Result KwFileTransfer::Transfer(KwCopyStream& coSource, KwCopyStream& coTarget, uint64_t ullSize,
                                                int nProgress, int nBlocks, uint64_t& ullWritten, std::string& strReason)
{
    // A copy that does not read back as its source never replaces anything.
    const Result eResult = Pump(coSource, coTarget, ullSize, nProgress, nBlocks, ullWritten, strReason);
    return eResult == Copied && m_coOptions.m_nVerify ? Verify(coSource, coTarget, strReason) : eResult;
}

KwFileTransfer::Result KwFileTransfer::Fill(KwCopyStream& coSource, KwCopyStream& coTarget, const KwCopyStat& coStat,
                                            int nBlocks, std::string& strReason)
{
    KwCopyError coError;
    // The whole length before the first byte: the file system lays the
    // file out at once, and a volume too full shows now.
    const bool bSized = nBlocks || coStat.m_ullSize > m_ulPieceSize;
    if (bSized && !coTarget.SetSize(coStat.m_ullSize, coError)) {
        strReason = Reason("the target cannot be written", coError);
        return Failed;
    }
    uint64_t ullWritten = 0;
    const Result eResult = Transfer(coSource, coTarget, coStat.m_ullSize, 1, nBlocks, ullWritten, strReason);
    if (eResult == Copied && bSized && !coTarget.SetSize(ullWritten, coError)) {
        strReason = Reason("the target cannot be written", coError);
        return Failed;
    }
    return eResult;
}

std::unique_ptr<KwCopyStream> KwFileTransfer::OpenSource(const std::string& strSource, int nHow, int& nRights,
                                                         KwCopyError& coError)
{
    // The wider open may be refused where the content can be read (a
    // privilege not held, a file system that keeps no rights): the copy
    // goes on as without it.
    if (nRights) {
        if (std::unique_ptr<KwCopyStream> pcoSource = m_coFs.OpenSource(strSource, nHow | nRights, coError))
            return pcoSource;
        nRights = 0;
    }
    return m_coFs.OpenSource(strSource, nHow, coError);
}

int KwFileTransfer::PassesCache(uint64_t ullSize) const
{
    const uint64_t ullFrom = m_coOptions.m_ullUnbufferedFrom;
    if (!ullFrom || ullSize < ullFrom)
        return 0;
    return !m_coOptions.m_nUnbufferedWhenShort || ullSize > m_coFs.FreeMemory() / 2;
}

std::unique_ptr<KwCopyStream> KwFileTransfer::CreateTemporary(const std::string& strTarget, const void* pvDescriptor,
                                                              int nHow, std::string& strWritten,
                                                              KwCopyError& coError)
{
    for (unsigned nTry = 0; nTry < kTemporaryTries; ++nTry) {
        strWritten = TemporaryName(strTarget, nTry);
        std::unique_ptr<KwCopyStream> pcoTarget = m_coFs.CreateTarget(strWritten, pvDescriptor, nHow, coError);
        if (pcoTarget || coError.m_eKind != KwCopyError::Exists)
            return pcoTarget;
    }
    return nullptr;
}

KwFileTransfer::Result KwFileTransfer::CopyStreams(const std::string& strSource, KwCopyStream& coSource,
                                                   const std::string& strWritten, std::string& strReason)
{
    std::vector<KwCopyNamedStream> vecStreams;
    KwCopyError coError;
    if (!coSource.NamedStreams(vecStreams, coError)) {
        strReason = Reason("its named streams cannot be listed", coError);
        return Failed;
    }
    for (const KwCopyNamedStream& coStream : vecStreams) {
        const std::string strWhat = "the stream \"" + coStream.m_strName + "\" cannot be copied";
        std::unique_ptr<KwCopyStream> pcoFrom = m_coFs.OpenSource(strSource + coStream.m_strName, 0, coError);
        std::unique_ptr<KwCopyStream> pcoTo;
        if (pcoFrom)
            pcoTo = m_coFs.CreateTarget(strWritten + coStream.m_strName, nullptr, 0, coError);
        if (!pcoTo) {
            strReason = Reason(strWhat, coError);
            return Failed;
        }
        uint64_t ullWritten = 0;
        const Result eResult = Transfer(*pcoFrom, *pcoTo, coStream.m_ullSize, 0, 0, ullWritten, strReason);
        if (eResult != Copied) {
            strReason = strWhat + ": " + strReason;
            return eResult;
        }
        if (!pcoTo->Close(coError)) {
            strReason = Reason(strWhat, coError);
            return Failed;
        }
    }
    return Copied;
}

KwFileTransfer::Result KwFileTransfer::Copy(const std::string& strSource, const KwCopyStat& coSource,
                                            const std::string& strTarget, int nRights, const Creation& fnCreation,
                                            int nNewDirectory, std::string& strReason)
{
    // In a directory just made, whatever may have appeared meanwhile is
    // still never replaced (Commit).
    const Plan ePlan = nNewDirectory ? CreateNew : Decide(strSource, coSource, strTarget, strReason);
    switch (ePlan) {
    case SkipSame:
        return Unchanged;
    case SkipTarget:
        return Skipped;
    case RefuseTarget:
        return Failed;
    default:
        break;
    }
    // Never plaintext: an encrypted file is encrypted before its first byte.
    const int nEncrypted = (coSource.m_ulAttributes & KwCopyStat::AttrEncrypted) ? 1 : 0;
    // A verified copy is read back through the cache, as any other reader
    // would read it.
    const int nUnbuffered = PassesCache(coSource.m_ullSize) && !m_coOptions.m_nVerify && !nEncrypted;
    const int nHow = nUnbuffered ? KwCopyFileSystem::Unbuffered : 0;
    KwCopyError coError;
    std::unique_ptr<KwCopyStream> pcoSource = OpenSource(strSource, nHow, nRights, coError);
    if (!pcoSource) {
        strReason = Reason("the source cannot be opened", coError);
        return Failed;
    }
    const void* pvDescriptor = nullptr;
    if (fnCreation && !fnCreation(nRights ? pcoSource.get() : nullptr, pvDescriptor, strReason))
        return Failed;
    std::string strWritten;
    std::unique_ptr<KwCopyStream> pcoTarget
        = CreateTemporary(strTarget, pvDescriptor, nHow | (nEncrypted ? KwCopyFileSystem::Encrypted : 0), strWritten, coError);
    if (!pcoTarget) {
        strReason = Reason(nEncrypted ? "encrypted, not copied" : "the target cannot be created", coError);
        return nEncrypted ? Skipped : Failed;
    }
    Result eResult = Fill(*pcoSource, *pcoTarget, coSource, nUnbuffered, strReason);
    if (eResult == Copied)
        eResult = CopyStreams(strSource, *pcoSource, strWritten, strReason);
    if (eResult != Copied) {
        pcoTarget->Abandon();
        return eResult;
    }
    // Times last: writing a stream counts as writing the file.
    if (!pcoTarget->Finish(coSource, coError)) {
        pcoTarget->Abandon();
        strReason = Reason("times and attributes cannot be set", coError);
        return Failed;
    }
    if (!pcoTarget->Commit(strTarget, ePlan == ReplaceOld, coError)) {
        pcoTarget->Abandon();
        strReason = coError.m_eKind == KwCopyError::Exists
            ? "an entry of that name appeared while the file was copied, and was left alone"
            : Reason("the copy cannot take its name", coError);
        return Failed;
    }
    if (!pcoTarget->Close(coError)) {
        // What may not have reached the disk does not keep the name.
        KwCopyError coIgnored;
        m_coFs.DeleteFile(strTarget, coIgnored);
        strReason = Reason("the target cannot be completed", coError);
        return Failed;
    }
    return Copied;
}

KwFileTransfer::Result KwFileTransfer::Verify(KwCopyStream& coSource, KwCopyStream& coTarget, std::string& strReason)
{
    KwCopyError coError;
    if (!coSource.Rewind(coError) || !coTarget.Rewind(coError)) {
        strReason = Reason("verification: the files cannot be read again", coError);
        return Failed;
    }
    if (!m_pchCompare)
        m_pchCompare.reset(new char[m_ulPieceSize]);
    uint64_t ullOffset = 0;
    for (;;) {
        if (IsCanceled())
            return Canceled;
        const long lSource = coSource.Read(m_pchBuffer, static_cast<long>(m_ulPieceSize), coError);
        // The copy is read to the same length, so its end shows as a
        // difference rather than as a short piece.
        long lTarget = 0;
        while (lSource > 0 && lTarget < lSource) {
            const long lPiece = coTarget.Read(m_pchCompare.get() + lTarget, lSource - lTarget, coError);
            if (lPiece <= 0)
                break;
            lTarget += lPiece;
        }
        if (lSource < 0) {
            strReason = Reason("verification: the files cannot be read again", coError);
            return Failed;
        }
        if (lSource == 0) {
            char chMore;
            if (coTarget.Read(&chMore, 1, coError) == 0)
                return Copied;
            strReason = "verification: the copy is longer than the source";
            return Failed;
        }
        const long lSame = std::mismatch(m_pchBuffer, m_pchBuffer + lTarget, m_pchCompare.get()).first
            - m_pchBuffer;
        if (lSame < lSource) {
            char szReason[96];
            std::snprintf(szReason, sizeof(szReason), "verification: the copy differs from the source at byte %llu",
                          static_cast<unsigned long long>(ullOffset + static_cast<uint64_t>(lSame)));
            strReason = szReason;
            return Failed;
        }
        ullOffset += static_cast<uint64_t>(lSource);
    }
}
