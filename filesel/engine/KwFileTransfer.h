#pragma once

#include "KwCopyFileSystem.h"
#include "KwCopyOptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The copy of one file, self-contained: it touches nothing but the file
// system, its own buffers and the two hooks, so a worker may run one for
// each file it copies.
//
// A copy never shows under its final name before it is complete: it is
// written beside the target under a temporary name of its own
// (TemporaryName), created with the descriptor its creation hook chooses
// once the source is open (so it is never more exposed than its source,
// and the source's rights can be read through the handle that reads its
// content), filled with the content and every named
// stream, read back when the options ask for it, given its times and
// attributes, and only then renamed to its final name while still open. A
// new file never takes the place of an entry that appeared meanwhile; an
// existing target is replaced in that one step. A copy that fails or is
// cancelled removes what it wrote, and the old target stays as it was.
// An encrypted source is written into a target encrypted before its first
// byte, or not at all.
//
// The content moves in pieces of the options' size; between pieces the
// cancel test runs and the progress hook hears the bytes written. A file
// larger than one piece gets its whole size before its first byte; one of
// at least the options' unbuffered size (and, by default, twice as large
// as the memory free) is read and written past the system's cache, in
// whole blocks (the last one padded, the size set right at the end).
class KwFileTransfer {
public:
    enum Result {
        Copied,
        Unchanged,      // the target has the source's size and time of writing: left alone
        Skipped,        // by the options, or an encrypted file that cannot stay encrypted
        Failed,
        Canceled,
    };
    // What an existing target means under the options.
    enum Plan { CreateNew, ReplaceOld, SkipSame, SkipTarget, RefuseTarget };
    using CancelTest = std::function<bool()>;
    using Progress = std::function<void(uint64_t ullBytes)>;
    // The descriptor a copy is created with, chosen between the opening of
    // its source and the creation of the copy: given the source open for
    // its rights (null when it was not, or the wider access was refused),
    // it sets pvDescriptor (null: inherited rights) and returns 1, or
    // returns 0 when the copy must not be made, strReason saying why.
    using Creation = std::function<int(KwCopyStream* pcoSource, const void*& pvDescriptor, std::string& strReason)>;

    KwFileTransfer(KwCopyFileSystem& coFileSystem, const KwCopyOptions& coOptions);
    KwFileTransfer(const KwFileTransfer&) = delete;
    KwFileTransfer& operator=(const KwFileTransfer&) = delete;

    void SetCancelTest(CancelTest fnCanceled) { m_fnCanceled = std::move(fnCanceled); }
    void SetProgress(Progress fnProgress) { m_fnProgress = std::move(fnProgress); }

    // Copies strSource (whose facts are coSource) to strTarget, created with
    // the descriptor fnCreation chooses (none: inherited rights). nRights
    // (KwCopyFileSystem::ReadRights, ReadSacl, or 0) is the access to the
    // source's rights it is opened with besides its content; where that is
    // refused, it is opened as without. nNewDirectory says that the
    // target's directory was just made, so no target can be there yet.
    // strReason says why a copy was not made, or was skipped.
    Result Copy(const std::string& strSource, const KwCopyStat& coSource, const std::string& strTarget, int nRights,
                const Creation& fnCreation, int nNewDirectory, std::string& strReason);
    // What Copy would do with strTarget, without changing anything; the
    // size of a target it would replace goes to pullOldSize.
    Plan Decide(const std::string& strSource, const KwCopyStat& coSource, const std::string& strTarget,
                std::string& strReason, uint64_t* pullOldSize = nullptr);

    // The temporary name beside strTarget for the nTry-th attempt:
    // "~gdl" and eight hexadecimal digits, ".tmp".
    std::string TemporaryName(const std::string& strTarget, unsigned nTry) const;
    // Whether a name has that form: a copy that an interrupted run left.
    static int IsTemporaryName(const std::string& strName);

private:
    Plan DecideExisting(const std::string& strSource, const KwCopyStat& coSource, const std::string& strTarget,
                        const KwCopyDirEntry& coTarget, std::string& strReason);
    // The source open with nHow and the access nRights, or with nHow alone
    // where that is refused (nRights then 0).
    std::unique_ptr<KwCopyStream> OpenSource(const std::string& strSource, int nHow, int& nRights, KwCopyError& coError);
    std::unique_ptr<KwCopyStream> CreateTemporary(const std::string& strTarget, const void* pvDescriptor, int nHow,
                                                  std::string& strWritten, KwCopyError& coError);
    // Content (ullSize: as listed; nProgress: counted as the file's bytes;
    // nBlocks: in whole blocks of an unbuffered file) and its check;
    // ullWritten the bytes of content.
    Result Transfer(KwCopyStream& coSource, KwCopyStream& coTarget, uint64_t ullSize, int nProgress, int nBlocks,
                    uint64_t& ullWritten, std::string& strReason);
    Result Pump(KwCopyStream& coSource, KwCopyStream& coTarget, uint64_t ullSize, int nProgress, int nBlocks,
                uint64_t& ullWritten, std::string& strReason);
    // The content of a new copy, its size set before and after.
    Result Fill(KwCopyStream& coSource, KwCopyStream& coTarget, const KwCopyStat& coStat, int nBlocks,
                std::string& strReason);
    // Reads both files again from their first byte and compares them.
    Result Verify(KwCopyStream& coSource, KwCopyStream& coTarget, std::string& strReason);
    // Whether a file of this size is read and written past the cache.
    int PassesCache(uint64_t ullSize) const;
    // Every named stream of the source into the temporary copy.
    Result CopyStreams(const std::string& strSource, KwCopyStream& coSource, const std::string& strWritten,
                       std::string& strReason);
    std::string Reason(const std::string& strWhat, const KwCopyError& coError) const;
    bool IsCanceled() const { return m_fnCanceled && m_fnCanceled(); }
    // The rest between two pieces; false when the copy was cancelled in it.
    bool Rest() const;

    KwCopyFileSystem& m_coFs;
    const KwCopyOptions& m_coOptions;
    CancelTest m_fnCanceled;
    Progress m_fnProgress;
    uint32_t m_ulPieceSize;
    std::unique_ptr<char[]> m_pchStore;
    char* m_pchBuffer;                          // a piece and a block, aligned to a block
    std::unique_ptr<char[]> m_pchCompare;       // second buffer of the verification, made on first use
};
