#include "KwFileTransfer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned kTemporaryTries = 100;

// Temporary names differ between the runs and threads of one process and,
// by the clock, between processes; a clash only costs another try.
std::atomic<uint32_t> s_ulTemporary { static_cast<uint32_t>(
    static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) * 2654435761u) };

} // namespace

KwFileTransfer::KwFileTransfer(KwCopyFileSystem& coFileSystem, const KwCopyOptions& coOptions)
    : m_coFs(coFileSystem)
    , m_coOptions(coOptions)
    , m_ulPieceSize(std::max<uint32_t>(coOptions.m_ulPieceSize, KwCopyOptions::MinPieceSize))
    , m_pchBuffer(new char[m_ulPieceSize])
{
}

std::string KwFileTransfer::Reason(const char* pszWhat, const KwCopyError& coError) const
{
    std::string strReason = pszWhat;
    if (coError.m_eKind == KwCopyError::NoSpace)
        return strReason + ": the target volume is full";
    if (coError.m_ulCode)
        strReason += ": " + m_coFs.ErrorText(coError.m_ulCode);
    return strReason;
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
    if (m_coOptions.m_eExisting == KwCopyOptions::SkipNewer && coTarget.m_coStat.m_llWritten > coSource.m_llWritten) {
        strReason = "the target is newer";
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
    return ReplaceOld;
}

KwFileTransfer::Plan KwFileTransfer::Decide(const std::string& strSource, const KwCopyStat& coSource,
                                            const std::string& strTarget, std::string& strReason)
{
    KwCopyDirEntry coTarget;
    KwCopyError coError;
    if (!m_coFs.Stat(strTarget, coTarget, coError))
        return CreateNew;
    return DecideExisting(strSource, coSource, strTarget, coTarget, strReason);
}

KwFileTransfer::Result KwFileTransfer::Pump(KwCopyStream& coSource, KwCopyStream& coTarget, std::string& strReason)
{
    KwCopyError coError;
    for (;;) {
        if (IsCanceled())
            return Canceled;
        const long lRead = coSource.Read(m_pchBuffer.get(), static_cast<long>(m_ulPieceSize), coError);
        if (lRead < 0) {
            strReason = Reason("the source cannot be read", coError);
            return Failed;
        }
        if (lRead == 0)
            return Copied;
        if (coTarget.Write(m_pchBuffer.get(), lRead, coError) != lRead) {
            strReason = Reason("the target cannot be written", coError);
            return Failed;
        }
        if (m_fnProgress)
            m_fnProgress(static_cast<uint64_t>(lRead));
    }
}

KwFileTransfer::Result KwFileTransfer::Copy(const std::string& strSource, const KwCopyStat& coSource,
                                            const std::string& strTarget, const void* pvDescriptor,
                                            std::string& strReason)
{
    KwCopyError coError;
    std::unique_ptr<KwCopyStream> pcoSource = m_coFs.OpenSource(strSource, coError);
    if (!pcoSource) {
        strReason = Reason("the source cannot be opened", coError);
        return Failed;
    }
    std::string strWritten = strTarget;
    std::unique_ptr<KwCopyStream> pcoTarget = m_coFs.CreateTarget(strTarget, pvDescriptor, coError);
    const bool bReplace = !pcoTarget && coError.m_eKind == KwCopyError::Exists;
    if (bReplace) {
        KwCopyDirEntry coExisting;
        if (!m_coFs.Stat(strTarget, coExisting, coError)) {
            strReason = Reason("the target cannot be examined", coError);
            return Failed;
        }
        switch (DecideExisting(strSource, coSource, strTarget, coExisting, strReason)) {
        case SkipTarget:
            return Skipped;
        case RefuseTarget:
            return Failed;
        default:
            break;
        }
        for (unsigned nTry = 0; !pcoTarget && nTry < kTemporaryTries; ++nTry) {
            strWritten = TemporaryName(strTarget, nTry);
            pcoTarget = m_coFs.CreateTarget(strWritten, pvDescriptor, coError);
            if (!pcoTarget && coError.m_eKind != KwCopyError::Exists)
                break;
        }
    }
    if (!pcoTarget) {
        strReason = Reason("the target cannot be created", coError);
        return Failed;
    }
    // A copy that does not read back as its source never replaces anything.
    Result eResult = Pump(*pcoSource, *pcoTarget, strReason);
    if (eResult == Copied && m_coOptions.m_nVerify)
        eResult = Verify(*pcoSource, *pcoTarget, strReason);
    if (eResult != Copied) {
        pcoTarget->Abandon();
        return eResult;
    }
    if (!pcoTarget->Finish(coSource, coError)) {
        pcoTarget->Abandon();
        strReason = Reason("times and attributes cannot be set", coError);
        return Failed;
    }
    if (!pcoTarget->Close(coError)) {
        KwCopyError coIgnored;
        m_coFs.DeleteFile(strWritten, coIgnored);
        strReason = Reason("the target cannot be completed", coError);
        return Failed;
    }
    pcoSource.reset();
    if (bReplace && !m_coFs.Replace(strTarget, strWritten, coError)) {
        KwCopyError coIgnored;
        m_coFs.DeleteFile(strWritten, coIgnored);
        strReason = Reason("the old target cannot be replaced", coError);
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
        const long lSource = coSource.Read(m_pchBuffer.get(), static_cast<long>(m_ulPieceSize), coError);
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
        const long lSame = std::mismatch(m_pchBuffer.get(), m_pchBuffer.get() + lTarget, m_pchCompare.get()).first
            - m_pchBuffer.get();
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
