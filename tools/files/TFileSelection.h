#pragma once

#include "TArray.h"
#include "TFileInfo.h"

#include <vector>

// An owning list of file records (copies), kept in one of five orders.
// Every record added goes to the place TArray's sorted insert gives it, tie
// rules included; a batch of records (a directory listing, a re-sort) is
// placed by one sort that yields exactly the order of inserting the records
// one by one, without the cost of moving the array for each of them.
class KWTL_API TFileSelection : public TArray {
public:
    // Sort types; every value not listed sorts by name.
    enum : unsigned short {
        SortByName = 0,
        SortByExt = 1,
        SortByDate = 2,        // last modified, then by name
        SortBySize = 3,        // size, then by name
        SortNone = 4,          // insertion order
    };

    explicit TFileSelection(unsigned short unSortType = SortByName);
    // Copies carry the sort type and copies of the records, in their order.
    TFileSelection(const TFileSelection& coOther);
    TFileSelection(TFileSelection&& coOther) noexcept;
    TFileSelection& operator=(const TFileSelection& coOther);
    TFileSelection& operator=(TFileSelection&& coOther) noexcept;

    // Size and order
    long Count() const { return TArray::Count(); }
    int IsEmpty() const { return Count() == 0; }
    unsigned short GetSortType() const { return m_unSortType; }

    // Records
    // A copy of record i; an empty record for an index out of range.
    TFileInfo GetFile(long i) const;
    TFileInfo operator[](long i) const { return GetFile(i); }
    TFileInfo operator[](int i) const { return GetFile(i); }
    // Inserts a copy at its sorted place (at the end for SortNone).
    int AddFile(const TFileInfo& coInfo);
    // Adds copies of the records of an array of TFileInfo, in the array's
    // order, exactly as AddFile of each in turn would; null elements are
    // skipped. 0 (and nothing added) when memory runs out.
    int AddFiles(const TArray& coInfos);
    // Removes and destroys record i; 0 for an index out of range.
    int RemoveFile(long i);
    // The index of the record with that name (compared without regard to
    // case); -1 when there is none or for a null or empty name.
    long FindFile(const char* pszName) const;
    // Puts the records into another order and keeps it from then on.
    void Sort(unsigned short unSortType);

    // Selecting
    // Adds the entries of a directory that match the pattern ("*.*" for
    // null or empty) and pass the attribute mask (IsSelected); "." and ".."
    // are entries too. 0 when the directory cannot be listed.
    int Select(const char* pszDirectory, const char* pszPattern, unsigned short unAttributes);
    // Whether a record passes an attribute mask: a record with the code
    // hidden (4), system (16) or directory (2) only when the mask has that
    // bit; every other record always.
    static int IsSelected(const TFileInfo& coInfo, unsigned short unAttributes);
    static CompareFunc CompareFuncOf(unsigned short unSortType);

    // The order of the elements of a sorted array old followed by the
    // elements added, when the added ones are inserted one at a time with
    // TArray's sorted insert (or appended without compare function).
    static std::vector<void*> SortedInsertOrder(void* const* ppvOld, long lOld, void* const* ppvAdded, long lAdded,
                                                CompareFunc pfnCmp);

private:
    // Takes the records over and places them as one-by-one inserts would;
    // on failure nothing is taken (the caller keeps them).
    int InsertOwned(void* const* ppvRecords, long lCount);
    void CopyRecordsOf(const TFileSelection& coOther);

    unsigned short m_unSortType { SortByName };
};
