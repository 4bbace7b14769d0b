#include "TFileSelection.h"

#include "TCrt.h"
#include "TOpSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr long kGrowth = 32;
// A directory listing grows in large steps: it is taken apart at once.
constexpr long kScanGrowth = 4096;

// A record's place in one of the record orders, made once per record so
// that sorting compares plain values: a number (date or size, 0 for the
// name orders), then the name parts lowered and joined by a zero byte,
// base first or extension first. A name holds no zero byte, so comparing
// the joined texts as unsigned bytes compares the first part, then the
// second, just as the compare functions do.
struct TSortKey {
    uint32_t m_ulNumber { 0 };
    std::string m_text;

    bool operator<(const TSortKey& coOther) const
    {
        if (m_ulNumber != coOther.m_ulNumber)
            return m_ulNumber < coOther.m_ulNumber;
        return m_text < coOther.m_text;
    }
};

std::string LoweredParts(const char* pszName, bool bExtensionFirst)
{
    const char* pszDot = std::strchr(pszName, '.');
    const size_t nBase = pszDot ? static_cast<size_t>(pszDot - pszName) : std::strlen(pszName);
    const char* pszExt = pszDot ? pszDot + 1 : pszName + nBase;
    const size_t nExt = std::strlen(pszExt);
    std::string text;
    text.reserve(nBase + nExt + 1);
    auto Append = [&text](const char* psz, size_t n) {
        for (size_t i = 0; i < n; ++i)
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(psz[i])));
    };
    if (bExtensionFirst) {
        Append(pszExt, nExt);
        text += '\0';
        Append(pszName, nBase);
    } else {
        Append(pszName, nBase);
        text += '\0';
        Append(pszExt, nExt);
    }
    return text;
}

// The keys of the records for one of TFileInfo's orders; false for another
// compare function or a null element, which are then compared one by one.
bool MakeSortKeys(void* const* ppvRecords, long lCount, TArray::CompareFunc pfnCmp, std::vector<TSortKey>& vecKeys)
{
    const bool bExt = pfnCmp == TFileInfo::CompareByExt;
    const bool bDate = pfnCmp == TFileInfo::CompareByDate;
    const bool bSize = pfnCmp == TFileInfo::CompareBySize;
    if (!bExt && !bDate && !bSize && pfnCmp != TFileInfo::CompareByName)
        return false;
    vecKeys.resize(static_cast<size_t>(lCount));
    for (long i = 0; i < lCount; ++i) {
        const auto* pcoInfo = static_cast<const TFileInfo*>(ppvRecords[i]);
        if (!pcoInfo)
            return false;
        TSortKey& coKey = vecKeys[static_cast<size_t>(i)];
        coKey.m_ulNumber = static_cast<uint32_t>(bDate ? pcoInfo->LastModified() : (bSize ? pcoInfo->Size() : 0));
        coKey.m_text = LoweredParts(pcoInfo->Name(), bExt);
    }
    return true;
}

void DestroyAll(void* const* ppvRecords, long lCount)
{
    for (long i = 0; i < lCount; ++i)
        TFileInfo::Destroy(ppvRecords[i]);
}

} // namespace

TFileSelection::TFileSelection(unsigned short unSortType)
    : TArray(kGrowth, TFileInfo::Destroy, CompareFuncOf(unSortType))
    , m_unSortType(unSortType)
{
}

TFileSelection::TFileSelection(const TFileSelection& coOther)
    : TArray(kGrowth, TFileInfo::Destroy, CompareFuncOf(coOther.m_unSortType))
    , m_unSortType(coOther.m_unSortType)
{
    CopyRecordsOf(coOther);
}

TFileSelection::TFileSelection(TFileSelection&& coOther) noexcept
    : TArray(kGrowth, TFileInfo::Destroy, CompareFuncOf(coOther.m_unSortType))
    , m_unSortType(coOther.m_unSortType)
{
    Use(coOther, 1);
}

TFileSelection& TFileSelection::operator=(const TFileSelection& coOther)
{
    if (this == &coOther)
        return *this;
    Delete();
    m_unSortType = coOther.m_unSortType;
    SetCmpFunc(CompareFuncOf(m_unSortType));
    CopyRecordsOf(coOther);
    return *this;
}

TFileSelection& TFileSelection::operator=(TFileSelection&& coOther) noexcept
{
    if (this == &coOther)
        return *this;
    Delete();
    m_unSortType = coOther.m_unSortType;
    Use(coOther, 1);
    SetDestroyFunc(TFileInfo::Destroy);
    SetCmpFunc(CompareFuncOf(m_unSortType));
    return *this;
}

void TFileSelection::CopyRecordsOf(const TFileSelection& coOther)
{
    if (!MakeRoom(coOther.Count()))
        return;
    for (long i = 0; i < coOther.Count(); ++i) {
        auto* pcoSource = static_cast<const TFileInfo*>(coOther.Get(i));
        if (pcoSource)
            Add(new TFileInfo(*pcoSource));
    }
}

// Records

TFileInfo TFileSelection::GetFile(long i) const
{
    auto* pcoInfo = static_cast<const TFileInfo*>(Get(i));
    return pcoInfo ? *pcoInfo : TFileInfo();
}

int TFileSelection::AddFile(const TFileInfo& coInfo)
{
    auto* pcoInfo = new (std::nothrow) TFileInfo(coInfo);
    if (!pcoInfo)
        return 0;
    if (Insert(pcoInfo, nullptr))
        return 1;
    delete pcoInfo;
    return 0;
}

int TFileSelection::AddFiles(const TArray& coInfos)
{
    std::vector<void*> vecCopies;
    vecCopies.reserve(static_cast<size_t>(coInfos.Count()));
    for (long i = 0; i < coInfos.Count(); ++i) {
        auto* pcoSource = static_cast<const TFileInfo*>(coInfos.Get(i));
        if (!pcoSource)
            continue;
        auto* pcoCopy = new (std::nothrow) TFileInfo(*pcoSource);
        if (!pcoCopy) {
            DestroyAll(vecCopies.data(), static_cast<long>(vecCopies.size()));
            return 0;
        }
        vecCopies.push_back(pcoCopy);
    }
    if (InsertOwned(vecCopies.data(), static_cast<long>(vecCopies.size())))
        return 1;
    DestroyAll(vecCopies.data(), static_cast<long>(vecCopies.size()));
    return 0;
}

int TFileSelection::RemoveFile(long i)
{
    return Delete(i);
}

long TFileSelection::FindFile(const char* pszName) const
{
    if (!pszName || !*pszName)
        return -1;
    // In name and extension order a record's place follows from its name
    // alone, so bisection finds it; the other orders are searched through.
    if (GetCompareFunc() == TFileInfo::CompareByName || GetCompareFunc() == TFileInfo::CompareByExt) {
        TFileInfo coKey;
        coKey.SetName(pszName);
        return Find(&coKey, nullptr);
    }
    for (long i = 0; i < Count(); ++i) {
        auto* pcoInfo = static_cast<const TFileInfo*>(Get(i));
        if (pcoInfo && CrtStricmp(pcoInfo->Name(), pszName) == 0)
            return i;
    }
    return -1;
}

void TFileSelection::Sort(unsigned short unSortType)
{
    m_unSortType = unSortType;
    SetCmpFunc(CompareFuncOf(unSortType));
    // The records are inserted anew in their present order; the count does
    // not change, so the new order is written into the same slots.
    const std::vector<void*> vecOrder =
        SortedInsertOrder(nullptr, 0, GetObjArray(), Count(), GetCompareFunc());
    for (long i = 0; i < Count(); ++i)
        Set(vecOrder[static_cast<size_t>(i)], i);
}

// Selecting

int TFileSelection::Select(const char* pszDirectory, const char* pszPattern, unsigned short unAttributes)
{
    TArray coScan(kScanGrowth, nullptr, nullptr);
    if (!CurrentOS().ScanFiles(coScan, pszDirectory, pszPattern, 1))
        return 0;
    std::vector<void*> vecKept;
    vecKept.reserve(static_cast<size_t>(coScan.Count()));
    for (long i = 0; i < coScan.Count(); ++i) {
        auto* pcoInfo = static_cast<TFileInfo*>(coScan.Get(i));
        if (pcoInfo && IsSelected(*pcoInfo, unAttributes))
            vecKept.push_back(pcoInfo);
        else
            TFileInfo::Destroy(pcoInfo);
    }
    // The records now belong to vecKept.
    coScan.SetDestroyFunc(nullptr);
    coScan.Delete();
    if (InsertOwned(vecKept.data(), static_cast<long>(vecKept.size())))
        return 1;
    DestroyAll(vecKept.data(), static_cast<long>(vecKept.size()));
    return 0;
}

int TFileSelection::IsSelected(const TFileInfo& coInfo, unsigned short unAttributes)
{
    switch (coInfo.Attributes()) {
    case TFileInfo::AttrHidden:
    case TFileInfo::AttrSystem:
    case TFileInfo::AttrDirectory:
        return (unAttributes & coInfo.Attributes()) ? 1 : 0;
    default:
        return 1;
    }
}

TArray::CompareFunc TFileSelection::CompareFuncOf(unsigned short unSortType)
{
    switch (unSortType) {
    case SortByExt: return TFileInfo::CompareByExt;
    case SortByDate: return TFileInfo::CompareByDate;
    case SortBySize: return TFileInfo::CompareBySize;
    case SortNone: return nullptr;
    default: return TFileInfo::CompareByName;
    }
}

int TFileSelection::InsertOwned(void* const* ppvRecords, long lCount)
{
    if (lCount <= 0)
        return 1;
    const long lOld = Count();
    if (!MakeRoom(lCount))
        return 0;
    const std::vector<void*> vecOrder = SortedInsertOrder(GetObjArray(), lOld, ppvRecords, lCount, GetCompareFunc());
    // The room is there, so the additions cannot fail; then every slot
    // takes its element of the new order.
    for (long i = 0; i < lCount; ++i)
        Add(ppvRecords[i]);
    for (long i = 0; i < Count(); ++i)
        Set(vecOrder[static_cast<size_t>(i)], i);
    return 1;
}

// Where TArray's sorted insert puts an element e, in an array of N elements
// that holds m elements equal to e: with m = 0 between the smaller and the
// greater ones; otherwise after the run of equals, with two exceptions that
// follow from its bisection. When the run is one element at the end of the
// array (nothing greater is in it) and N >= 2, e goes before that element;
// when the array is exactly two equal elements, e goes between them. The
// order of equal elements therefore depends only on N and on whether
// anything greater was there when each of them came, and that is what the
// merge below replays for each run.
std::vector<void*> TFileSelection::SortedInsertOrder(void* const* ppvOld, long lOld, void* const* ppvAdded,
                                                     long lAdded, CompareFunc pfnCmp)
{
    std::vector<void*> vecOut;
    vecOut.reserve(static_cast<size_t>(lOld + lAdded));
    vecOut.insert(vecOut.end(), ppvOld, ppvOld + lOld);
    if (!pfnCmp) {
        vecOut.insert(vecOut.end(), ppvAdded, ppvAdded + lAdded);
        return vecOut;
    }
    vecOut.clear();

    // Whether nothing greater than added element j was in the array when
    // it came.
    std::vector<char> vecAtEnd(static_cast<size_t>(lAdded));
    const void* pvGreatest = lOld > 0 ? ppvOld[lOld - 1] : nullptr;
    bool bAny = lOld > 0;
    for (long j = 0; j < lAdded; ++j) {
        const bool bAtEnd = !bAny || pfnCmp(ppvAdded[j], pvGreatest) >= 0;
        vecAtEnd[static_cast<size_t>(j)] = bAtEnd ? 1 : 0;
        if (bAtEnd) {
            pvGreatest = ppvAdded[j];
            bAny = true;
        }
    }

    // The added elements in key order; equal ones keep the order they came in.
    std::vector<long> vecIndex(static_cast<size_t>(lAdded));
    for (long j = 0; j < lAdded; ++j)
        vecIndex[static_cast<size_t>(j)] = j;
    std::vector<TSortKey> vecKeys;
    if (MakeSortKeys(ppvAdded, lAdded, pfnCmp, vecKeys))
        std::stable_sort(vecIndex.begin(), vecIndex.end(), [&](long a, long b) {
            return vecKeys[static_cast<size_t>(a)] < vecKeys[static_cast<size_t>(b)];
        });
    else
        std::stable_sort(vecIndex.begin(), vecIndex.end(),
                         [&](long a, long b) { return pfnCmp(ppvAdded[a], ppvAdded[b]) < 0; });

    long lOldPos = 0;
    size_t nGroup = 0;
    while (nGroup < vecIndex.size()) {
        const void* pvKey = ppvAdded[vecIndex[nGroup]];
        while (lOldPos < lOld && pfnCmp(ppvOld[lOldPos], pvKey) < 0)
            vecOut.push_back(ppvOld[lOldPos++]);
        const size_t nRunStart = vecOut.size();
        while (lOldPos < lOld && pfnCmp(ppvOld[lOldPos], pvKey) == 0)
            vecOut.push_back(ppvOld[lOldPos++]);
        for (; nGroup < vecIndex.size() && pfnCmp(ppvAdded[vecIndex[nGroup]], pvKey) == 0; ++nGroup) {
            const long j = vecIndex[nGroup];
            const size_t nRun = vecOut.size() - nRunStart;
            const long lCountThen = lOld + j;
            auto itRun = vecOut.begin() + static_cast<std::ptrdiff_t>(nRunStart);
            if (nRun == 2 && lCountThen == 2)
                vecOut.insert(itRun + 1, ppvAdded[j]);
            else if (nRun == 1 && lCountThen >= 2 && vecAtEnd[static_cast<size_t>(j)])
                vecOut.insert(itRun, ppvAdded[j]);
            else
                vecOut.push_back(ppvAdded[j]);
        }
    }
    while (lOldPos < lOld)
        vecOut.push_back(ppvOld[lOldPos++]);
    return vecOut;
}
