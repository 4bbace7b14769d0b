#pragma once

#include <algorithm>
#include <cstdint>
#include <thread>

// How a copy runs. Set before the run starts.
struct KwCopyOptions {
    // Which parts of each security descriptor are copied: group, DACL and
    // SACL (the default), the DACL only, nothing, or the DACL and the group.
    enum Security : unsigned char { SecurityAll, SecurityDacl, SecurityNone, SecurityDaclGroup };
    // What happens to a target file that exists already.
    enum Existing : unsigned char {
        Overwrite,          // replaced (the default)
        SkipExisting,       // left alone
        SkipNewer,          // left alone when it was written later than the source
    };
    enum : uint32_t {
        MinPieceSize = 20000,
        DefaultPieceSize = 1u << 20,
    };
    enum : uint32_t {
        MaxPieceGap = 60000,            // a minute
    };
    enum : int {
        MaxWorkers = 64,
        DefaultWorkers = 1,
    };
    // A copy moves about twice a file's size through the system's cache
    // (the source read, the copy written). Measured on a machine of 3 GiB
    // with a working set of 512 MiB read once: a file of 1 GiB copied
    // through the cache left all of it cached, one of 2 GiB none; past the
    // cache all of it stayed, but the copy went at a half to a quarter of
    // the speed. So a file passes the cache only when twice its size is
    // more than the memory free at its start, and only from 64 MiB on,
    // below which the speed lost weighs more than the little it could push
    // out.
    static constexpr uint64_t DefaultUnbufferedFrom = 64ull << 20;

    Security m_eSecurity { SecurityAll };
    int m_nOwner { 0 };                 // also the owner, when the privilege allows
    Existing m_eExisting { Overwrite };
    int m_nVerify { 0 };                // read back and compare bytes and descriptors
    int m_nListOnly { 0 };              // report what would be done, change nothing
    uint32_t m_ulPieceSize { DefaultPieceSize };    // bytes per read; cancel is seen between pieces
    // Milliseconds of rest between the pieces of a file, which leave a slow
    // line to others (0: none); cancel is seen within a rest.
    uint32_t m_ulPieceGap { 0 };
    // Files copied at once, each by a worker thread of its own (WorkersFor).
    int m_nWorkers { DefaultWorkers };
    // Files of at least this size are read and written past the system's
    // cache (0: none), unless they are verified or encrypted...
    uint64_t m_ullUnbufferedFrom { DefaultUnbufferedFrom };
    // ... and, when this is set, only when twice their size is more than
    // the memory free as each one starts.
    int m_nUnbufferedWhenShort { 1 };

    // The workers a value asks for: 0 one for each processor of this
    // machine; otherwise 1 to MaxWorkers.
    static int WorkersFor(int nAsked)
    {
        if (nAsked == 0)
            nAsked = static_cast<int>(std::thread::hardware_concurrency());
        return std::min<int>(MaxWorkers, std::max(1, nAsked));
    }
};

// The counts of a run, complete once its Finished record has arrived.
struct KwCopySummary {
    long m_lDirectories { 0 };          // directory entries worked on
    long m_lFiles { 0 };                // file and link entries worked on
    long m_lCopied { 0 };               // files and links copied, directories made
    long m_lSkipped { 0 };
    long m_lFailed { 0 };
    uint64_t m_ullBytes { 0 };          // bytes of file content written
    double m_dSeconds { 0 };
    int m_nCanceled { 0 };
    int m_nFatal { 0 };                 // refused before anything was written

    // The exit code of a scripted copy, as robocopy's users test it: bit 1
    // something copied, bit 8 some entry failed (or the run was
    // cancelled), 16 nothing was done because the run was refused; 0
    // nothing to do.
    int ExitCode() const
    {
        if (m_nFatal)
            return 16;
        return (m_lCopied > 0 ? 1 : 0) | (m_lFailed > 0 || m_nCanceled ? 8 : 0);
    }
};
