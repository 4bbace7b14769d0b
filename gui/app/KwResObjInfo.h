#pragma once

#include "Kw25Api.h"
#include "TString.h"

#include <memory>
#include <vector>

// What the resource manager reports of an object it shares: its id, the
// file it came from and how many users hold it.
class KW25_API KwResObjInfo {
public:
    KwResObjInfo() = default;
    KwResObjInfo(const char* pszId, const char* pszFile, unsigned short unUses)
        : m_coId(pszId), m_coFile(pszFile), m_unUses(unUses) {}
    virtual ~KwResObjInfo() = default;
    // A new copy (owned by the caller).
    virtual KwResObjInfo* Copy() const { return new KwResObjInfo(*this); }

    const TString& GetId() const { return m_coId; }
    const TString& GetFile() const { return m_coFile; }
    unsigned short GetUses() const { return m_unUses; }

private:
    TString m_coId;
    TString m_coFile;
    unsigned short m_unUses { 0 };
};

class KW25_API KwResBitmapInfo : public KwResObjInfo {
public:
    using KwResObjInfo::KwResObjInfo;
    KwResObjInfo* Copy() const override { return new KwResBitmapInfo(*this); }
};

// Info records, owned; kept sorted by id (without regard to case) and
// found by bisection when made sorted, else in insertion order and found
// one by one.
class KW25_API KwResObjInfoList {
public:
    explicit KwResObjInfoList(int nSorted = 0) : m_nSorted(nSorted) {}
    KwResObjInfoList(const KwResObjInfoList&) = delete;
    KwResObjInfoList& operator=(const KwResObjInfoList&) = delete;
    virtual ~KwResObjInfoList() = default;

    // Takes a copy of the record; its index.
    short Add(const KwResObjInfo& coInfo);
    short Count() const { return static_cast<short>(m_coInfos.size()); }
    void Clear() { m_coInfos.clear(); }
    // The record at the index; null out of range.
    const KwResObjInfo* Get(short nIndex) const;
    // The record of the id, its index in *pnIndex (-1 when missing).
    const KwResObjInfo* Find(const char* pszId, short* pnIndex) const;

private:
    int m_nSorted;
    std::vector<std::unique_ptr<KwResObjInfo>> m_coInfos;
};

// Bitmap records; reading answers copies.
class KW25_API KwResBitmapInfoList : public KwResObjInfoList {
public:
    explicit KwResBitmapInfoList(int nSorted = 1) : KwResObjInfoList(nSorted) {}
    KwResBitmapInfo operator[](short nIndex) const;
    KwResBitmapInfo Find(const char* pszId, short* pnIndex) const;
};
