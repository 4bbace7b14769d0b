#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// What went wrong in one call of the file system: the platform's own code
// (a Win32 error or an errno value, 0 for none) and the few kinds the copy
// engine decides by.
struct KwCopyError {
    enum Kind : unsigned char { None, Exists, NotFound, Denied, NoSpace, NotSupported, InUse, Other };

    void Set(Kind eKind, uint32_t ulCode)
    {
        m_eKind = eKind;
        m_ulCode = ulCode;
    }
    void Clear() { Set(None, 0); }

    Kind m_eKind { None };
    uint32_t m_ulCode { 0 };
};

// The facts of one directory entry. Kind tells the engine what to do with
// it; the rest it only carries from the source to the copy.
struct KwCopyStat {
    enum Kind : unsigned char {
        File,              // also a link to a file: its content is copied
        Directory,         // also one behind a reparse point that is no link (cloud files, dedup)
        DirectoryLink,     // a junction, a link or a mount point: never descended into
        Other,             // a device, pipe or socket: not copied
    };
    // Win32 attribute bits (FILE_ATTRIBUTE_*), natively derived from the mode.
    enum : uint32_t {
        AttrReadOnly = 0x1,
        AttrHidden = 0x2,
        AttrSystem = 0x4,
        AttrDirectory = 0x10,
        AttrArchive = 0x20,
        AttrReparsePoint = 0x400,
        AttrEncrypted = 0x4000,
    };
    // Reparse tags that name another entry (IsReparseTagNameSurrogate).
    enum : uint32_t { TagNameSurrogate = 0x20000000 };

    // What an entry with these Win32 attributes and reparse tag is: a
    // directory behind a reparse point is a link only when the tag names
    // another entry (a junction, a symbolic link, a mount point), or when
    // the tag is unknown (0); cloud-file and other such directories are
    // directories.
    static Kind KindOf(uint32_t ulAttributes, uint32_t ulReparseTag);

    Kind m_eKind { File };
    uint32_t m_ulAttributes { 0 };
    uint32_t m_ulMode { 0 };            // POSIX permission bits; 0 on Windows
    uint32_t m_ulOwner { 0 };           // POSIX owner and group; 0 on Windows
    uint32_t m_ulGroup { 0 };
    uint32_t m_ulReparseTag { 0 };
    uint64_t m_ullSize { 0 };
    // Time stamps in the platform's own unit (Windows: 100 ns since 1601,
    // POSIX: ns since 1970), exactly as read; 0 when the platform has none.
    int64_t m_llCreated { 0 };
    int64_t m_llWritten { 0 };
    int64_t m_llAccessed { 0 };
};

struct KwCopyDirEntry {
    std::string m_strName;              // as the file system reported it, case kept
    KwCopyStat m_coStat;
    // Listed, but its facts could not be read (the directory can be read
    // but not entered, a time out of range): the error, else 0.
    uint32_t m_ulError { 0 };
};

// A named (alternate) data stream of a file: its name as the file system
// reports it (":name:$DATA") and its size.
struct KwCopyNamedStream {
    std::string m_strName;
    uint64_t m_ullSize { 0 };
};

// Which file a name leads to: the volume and the file's number on it. Two
// names with one identity are one file (or directory), whatever the path.
struct KwCopyIdentity {
    uint64_t m_ullVolume { 0 };
    uint64_t m_ullIndexHigh { 0 };
    uint64_t m_ullIndexLow { 0 };

    bool operator==(const KwCopyIdentity& coOther) const
    {
        return m_ullVolume == coOther.m_ullVolume && m_ullIndexHigh == coOther.m_ullIndexHigh
            && m_ullIndexLow == coOther.m_ullIndexLow;
    }
    bool operator<(const KwCopyIdentity& coOther) const
    {
        if (m_ullVolume != coOther.m_ullVolume)
            return m_ullVolume < coOther.m_ullVolume;
        if (m_ullIndexHigh != coOther.m_ullIndexHigh)
            return m_ullIndexHigh < coOther.m_ullIndexHigh;
        return m_ullIndexLow < coOther.m_ullIndexLow;
    }
};

// An open file of the copy: a source open for reading or a target the
// engine created. Destroying it closes it; a target that was neither
// committed, closed nor abandoned is abandoned.
class KwCopyStream {
public:
    virtual ~KwCopyStream() = default;

    // Up to lCount bytes; 0 at the end, -1 on failure.
    virtual long Read(char* pchBuffer, long lCount, KwCopyError& coError) = 0;
    // All lCount bytes, or -1 on failure.
    virtual long Write(const char* pchBuffer, long lCount, KwCopyError& coError) = 0;
    // Back to the first byte, to read the file again (a target is open for
    // reading too).
    virtual int Rewind(KwCopyError& coError) = 0;
    // Sets the end of a target: before its first byte, so that the file
    // system lays the whole file out at once (and a full volume shows at
    // once); after its last, at the bytes really written.
    virtual int SetSize(uint64_t ullSize, KwCopyError& coError) = 0;
    // Gives a target the source's time stamps and attributes. Natively the
    // permission bits are part of the rights: a target created with a
    // descriptor keeps the mode it was created with.
    virtual int Finish(const KwCopyStat& coSource, KwCopyError& coError) = 0;
    // The named streams of a source; none where the file system keeps none.
    virtual int NamedStreams(std::vector<KwCopyNamedStream>& vecStreams, KwCopyError& coError) = 0;
    // The security descriptor of a source opened with ReadRights, in the
    // parts ulInfo names, read through the open file as
    // KwSecurityApi::GetFileSecurity reads it by name (the same form, codes
    // and ErrInsufficientBuffer with the size needed): no second lookup of
    // the name, and the rights of exactly the file whose content is copied.
    virtual int GetSecurity(uint32_t ulInfo, void* pvBuffer, uint32_t ulSize, uint32_t& ulNeeded,
                            uint32_t& ulError) = 0;
    // Gives a complete target its final name while it is still open, so
    // that no one can change or take it in between: replacing an entry of
    // that name (a read-only one too) only when nReplace is set, else
    // failing with Exists. A committed target is no longer removed by
    // Abandon.
    virtual int Commit(const std::string& strFinal, int nReplace, KwCopyError& coError) = 0;
    // Closes the file; 1 when everything written reached the file.
    virtual int Close(KwCopyError& coError) = 0;
    // Removes a target created by the engine (unless committed) and closes it.
    virtual void Abandon() = 0;
};

// The file-system calls of the copy engine, with one implementation per
// platform (Platform()). Paths are UTF-8 text; Windows paths of any length
// work, drive ("C:\...") and UNC ("\\server\share\...") alike.
//
// Descriptors handed to the creating calls are self-relative security
// descriptors as KwSecurityApi reads them (natively its own small form);
// null creates the entry with the rights it inherits.
class KwCopyFileSystem {
public:
    // How a file is opened or created.
    enum : int {
        Encrypted = 1,      // a target encrypted before its first byte, or none (CreateTarget)
        // Past the system's cache (FILE_FLAG_NO_BUFFERING, O_DIRECT), so a
        // large copy does not push out what the user works with: reads and
        // writes in whole blocks of UnbufferedBlock bytes, at addresses
        // aligned so; a file system that cannot do it gives a cached file.
        Unbuffered = 2,
        // A source whose descriptor can be read through it (GetSecurity):
        // owner, group and DACL; with ReadSacl the SACL too, which only a
        // process with SeSecurityPrivilege enabled may open for (the open
        // fails otherwise).
        ReadRights = 4,
        ReadSacl = 8,
    };
    enum : uint32_t { UnbufferedBlock = 4096 };

    virtual ~KwCopyFileSystem() = default;

    // The file system of this process's platform.
    static KwCopyFileSystem& Platform();
    // The framework's text (the ANSI code page on Windows) as UTF-8, and
    // back; natively the text is UTF-8 already.
    static std::string FromSystemText(const char* pszText);
    static std::string ToSystemText(const char* pszText);

    // Names
    virtual char Separator() const = 0;
    // The absolute, normalised form of a path ("." and ".." resolved, no
    // trailing separator except for a root); 0 for an empty or bad path.
    virtual int FullPath(const std::string& strPath, std::string& strFull) const = 0;
    // The length of the root part of a full path ("C:\" 3, "/" 1).
    virtual size_t RootLength(const std::string& strFull) const = 0;
    // Whether two names are the same name here (without regard to case on
    // Windows).
    virtual int SameName(const std::string& strA, const std::string& strB) const = 0;
    // A key that two names share exactly when they are the same name here.
    virtual std::string NameKey(const std::string& strName) const = 0;

    // Entries
    // The entries of a directory, without "." and "..", in no particular
    // order, and the directory's identity when pcoIdentity is given.
    virtual int List(const std::string& strDirectory, std::vector<KwCopyDirEntry>& vecEntries,
                     KwCopyIdentity* pcoIdentity, KwCopyError& coError) = 0;
    // The entry the path names, exactly that one (read by opening it, never
    // by a search, so "?" and "*" are no patterns), a link not followed;
    // its name is the last name of the path as given.
    virtual int Stat(const std::string& strPath, KwCopyDirEntry& coEntry, KwCopyError& coError) = 0;
    // The same with links, junctions and mount points on the way and at the
    // end followed: what the user means by a source or target he names.
    virtual int StatFollowing(const std::string& strPath, KwCopyDirEntry& coEntry, KwCopyError& coError) = 0;
    // The last name of an existing entry as the file system spells it (the
    // case it was made with, the long name for an 8.3 alias).
    virtual int StoredName(const std::string& strPath, std::string& strName, KwCopyError& coError) = 0;
    virtual int Identity(const std::string& strPath, KwCopyIdentity& coIdentity, KwCopyError& coError) = 0;
    // The full path of an existing entry with every link, junction,
    // substituted drive and mount on the way resolved.
    virtual int FinalPath(const std::string& strPath, std::string& strFinal, KwCopyError& coError) = 0;
    // Bytes free for this process on the volume that holds the path.
    virtual int FreeSpace(const std::string& strPath, uint64_t& ullFree, KwCopyError& coError) = 0;
    // Bytes of memory free now: neither in use nor holding cached files,
    // so what a copy through the system's cache takes without pushing
    // anything out. 0 when nothing is free or the system does not tell.
    virtual uint64_t FreeMemory() = 0;

    // Creating and changing
    // Error kind Exists when any entry of that name is there already.
    virtual int CreateDirectory(const std::string& strPath, const void* pvDescriptor, KwCopyError& coError) = 0;
    // A file (or a named stream, "file:name:$DATA") open for reading;
    // nHow: Unbuffered, ReadRights, ReadSacl or 0.
    virtual std::unique_ptr<KwCopyStream> OpenSource(const std::string& strPath, int nHow, KwCopyError& coError) = 0;
    // Creates a new file (or a named stream of one) for writing; never
    // opens an existing one (Exists). While it is open, no other run can
    // remove it (DeleteUnheld). nHow: Encrypted (the file is encrypted
    // before its first byte, or not made at all: NotSupported), Unbuffered.
    virtual std::unique_ptr<KwCopyStream> CreateTarget(const std::string& strPath, const void* pvDescriptor,
                                                       int nHow, KwCopyError& coError) = 0;
    virtual int DeleteFile(const std::string& strPath, KwCopyError& coError) = 0;
    // Removes a file unless another run holds it open (InUse).
    virtual int DeleteUnheld(const std::string& strPath, KwCopyError& coError) = 0;
    // Lets the copying account create entries in a read-only directory.
    virtual int ClearReadOnly(const std::string& strPath, KwCopyError& coError) = 0;
    // Time stamps and attributes of a directory; natively its permission
    // bits too, unless nRights says that its rights are set from a
    // descriptor.
    virtual int SetEntryInfo(const std::string& strPath, const KwCopyStat& coSource, int nRights,
                             KwCopyError& coError) = 0;
    // Makes strTarget a link like the link strSource; NotSupported when the
    // link cannot be read or made here.
    virtual int CopyLink(const std::string& strSource, const std::string& strTarget, KwCopyError& coError) = 0;

    // Errors
    virtual std::string ErrorText(uint32_t ulCode) const = 0;

    // Path helpers built on the platform's separator and root rule.
    std::string Join(const std::string& strDirectory, const std::string& strName) const;
    // Splits a full path into its directory and its last name; 0 for a root.
    int SplitLast(const std::string& strFull, std::string& strParent, std::string& strName) const;
    // Whether strPath is strBase or lies below it (names compared with SameName).
    int IsSameOrBelow(const std::string& strPath, const std::string& strBase) const;
    // Whether strPath (which need not exist) is the existing directory
    // strBase or lies inside it, under any name: by their names, by their
    // final paths (links, junctions, substituted drives and mounted folders
    // resolved) and by the identities of strPath's existing ancestors. The
    // one check of a copy into its own source, for the engine and the
    // selectors' drop rules alike.
    int LiesWithin(const std::string& strPath, const std::string& strBase);
    // Whether a name matches a pattern of "*" (any run of characters) and
    // "?" (one character), names compared as NameKey compares them.
    int MatchesPattern(const std::string& strPattern, const std::string& strName) const;
    // The names of a full path below its root.
    std::vector<std::string> Components(const std::string& strFull) const;
};
