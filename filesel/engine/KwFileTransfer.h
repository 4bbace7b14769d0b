#pragma once

#include "KwCopyFileSystem.h"
#include "KwCopyOptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Copies the content of one file, the way that never loses the old target:
// a new target is created under its own name, never opened if something
// appeared there meanwhile; an existing target is replaced in one step by
// a complete copy written beside it under a temporary name. A copy that
// fails or is cancelled removes what it wrote, and the old target stays.
//
// The content moves in pieces of the options' size; between pieces the
// cancel test runs and the progress hook hears the bytes written.
class KwFileTransfer {
public:
    enum Result { Copied, Skipped, Failed, Canceled };
    // What an existing target means under the options.
    enum Plan { CreateNew, ReplaceOld, SkipTarget, RefuseTarget };
    using CancelTest = std::function<bool()>;
    using Progress = std::function<void(uint64_t ullBytes)>;

    KwFileTransfer(KwCopyFileSystem& coFileSystem, const KwCopyOptions& coOptions);
    KwFileTransfer(const KwFileTransfer&) = delete;
    KwFileTransfer& operator=(const KwFileTransfer&) = delete;

    void SetCancelTest(CancelTest fnCanceled) { m_fnCanceled = std::move(fnCanceled); }
    void SetProgress(Progress fnProgress) { m_fnProgress = std::move(fnProgress); }

    // Copies strSource (whose facts are coSource) to strTarget, created with
    // pvDescriptor (null: inherited rights). strReason says why a copy was
    // skipped or failed.
    Result Copy(const std::string& strSource, const KwCopyStat& coSource, const std::string& strTarget,
                const void* pvDescriptor, std::string& strReason);
    // What Copy would do with strTarget, without changing anything.
    Plan Decide(const std::string& strSource, const KwCopyStat& coSource, const std::string& strTarget,
                std::string& strReason);

    // The temporary name beside strTarget for the nTry-th attempt.
    std::string TemporaryName(const std::string& strTarget, unsigned nTry) const;

private:
    Plan DecideExisting(const std::string& strSource, const KwCopyStat& coSource, const std::string& strTarget,
                        const KwCopyDirEntry& coTarget, std::string& strReason);
    Result Pump(KwCopyStream& coSource, KwCopyStream& coTarget, std::string& strReason);
    // Reads both files again from their first byte and compares them.
    Result Verify(KwCopyStream& coSource, KwCopyStream& coTarget, std::string& strReason);
    std::string Reason(const char* pszWhat, const KwCopyError& coError) const;
    bool IsCanceled() const { return m_fnCanceled && m_fnCanceled(); }

    KwCopyFileSystem& m_coFs;
    const KwCopyOptions& m_coOptions;
    CancelTest m_fnCanceled;
    Progress m_fnProgress;
    uint32_t m_ulPieceSize;
    std::unique_ptr<char[]> m_pchBuffer;
    std::unique_ptr<char[]> m_pchCompare;       // second buffer of the verification, made on first use
};
