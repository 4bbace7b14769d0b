#pragma once

#include "KwtlApi.h"
#include "TArray.h"
#include "TFileSelection.h"
#include "TString.h"

// A drive letter with an absolute directory path ("C:" and "\WINDOWS"). The
// path always begins with "\"; the full path, drive and path together, is
// upper case and empty without a drive, so a path without drive does not
// exist, selects nothing and cannot be created. Every file-system query goes
// through the operating-system object.
//
// Paths that depend on another one register with it (AddChildPath) and are
// told through NotifyDestroy when it goes. Either side may be destroyed
// first: a dependent path that dies takes itself off the lists it is on.
class KWTL_API TPath {
public:
    // Error codes of Create, Remove and RemoveHighest.
    enum : unsigned short {
        Success = 0,
        NoAccess = 1,          // or the directory exists already
        InvalidPath = 2,
        NotRemovable = 3,      // no directory, not empty, current or root
        NoPath = 4,
    };

    // The drive is kept when it is a letter; the path gets a leading "\"
    // when it lacks one ("\" for none).
    TPath(char chDrive = 0, const char* pszPath = nullptr);
    // Copies take drive and path, never the dependent paths.
    TPath(const TPath& coOther);
    TPath& operator=(const TPath& coOther);
    TPath& operator=(const char* pszText) { Use(pszText); return *this; }

protected:
    // Called on every dependent path when this one is destroyed.
    virtual void NotifyDestroy(TPath* pcoPath);

public:
    virtual ~TPath();
    virtual TPath* Clone() const;
    // Drive letter, ":" and path, upper case; empty without drive.
    virtual TString FullPath() const;
    // A drive letter and a path that begins with "\".
    virtual int IsValid() const;
    // The drive letter in upper case, ":" and the path as it was given:
    // what the user sees, with the case the file system reports. FullPath's
    // upper case (one byte at a time, ASCII only) serves comparisons.
    TString ShownPath() const;

    // Drive and path
    // The drive letter in upper case, 0 when none.
    char Drive() const;
    const TString& Path() const { return m_coPath; }
    void SetDrive(char chDrive);
    // A leading drive part (any character and ":") is skipped, the drive
    // stays; null or empty gives "\".
    void SetPath(const char* pszPath);
    void Set(char chDrive, const char* pszPath);
    // As SetPath, but a leading drive letter also sets the drive; null or
    // empty sets the path "\" and keeps the drive.
    void Use(const char* pszText);
    // The text of FullPath(), valid until this object changes or is asked
    // again.
    operator const char*() const;

    // Components
    // Empties the array and fills it with malloc copies of the directory
    // names of the full path (the array frees them); returns their count.
    long Split(TArray& coComponents) const;

    // The file system
    int Exists() const;
    // Whether the directory has no entry at all ("." and ".." count, so
    // only a root can be empty).
    int IsEmpty() const;
    TFileSelection SelectFiles(const char* pszPattern, unsigned short unAttributes, unsigned short unSortType) const;
    // Creates every missing directory of the path; existed tells whether
    // the whole path was there already. 1 on success.
    int Create(int* pnExisted, unsigned short* punError) const;
    // Removes the directory, then each parent in turn until one cannot be
    // removed; 1 only when every level was removed.
    int Remove(unsigned short* punError) const;
    // Removes only the directory itself.
    int RemoveHighest(unsigned short* punError) const;

    // Dependent paths; a path is registered at most once. 1 when the list
    // changed.
    int AddChildPath(TPath* pcoPath);
    int RemoveChildPath(TPath* pcoPath);

    static const char* GetError(unsigned short unCode);

private:
    static int IsDriveLetter(char ch);

    char m_chDrive { 0 };
    TString m_coPath;
    TArray m_coChildPaths { 4, nullptr, nullptr };     // not owned; told when this path dies
    TArray m_coParentPaths { 4, nullptr, nullptr };    // not owned; the paths this one is registered with
    mutable TString m_coFullText;                      // the text operator const char* hands out
};
