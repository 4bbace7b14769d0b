#pragma once

#include "Kw25Api.h"
#include "KwRes.h"
#include "KwResBitmap.h"

#include <memory>
#include <vector>

// A named, ordered set of marker pictures (the check and radio marks of
// the controls); an entry may hold no picture. The resource manager keeps
// the installed pools (GetMarkerPoolId names the standard ones).
//
// Record: class "KwMarkerPool", type 31; after those of KwRes one string
// 31 per entry (its bitmap id, absent for an empty entry), a long 32 with
// the transparent colour and a short 33 with the use-transparent flag.
class KW25_API KwMarkerPool : public KwRes {
    KW_DYNAMIC_CLASS(KwMarkerPool, KwRes)
public:
    enum : unsigned short { VarEntry = 31, VarTransparentColor = 32, VarUseTransparent = 33 };
    // Entries read beyond this many are ignored.
    static constexpr size_t MaxEntries = 256;

    KwMarkerPool() = default;
    explicit KwMarkerPool(const char* pszId) : KwRes(pszId) {}
    // Copies colour, flag and entries; an entry without a valid bitmap
    // becomes an empty entry.
    KwMarkerPool(const KwMarkerPool& coOther);
    KwMarkerPool& operator=(const KwMarkerPool& coOther);
    ~KwMarkerPool() override = default;

    short GetCount() const { return static_cast<short>(m_coEntries.size()); }
    // The entry at the index; none out of range.
    KwResBitmap* operator[](short nIndex) const;
    // Add and Insert refuse an empty id and an id whose bitmap cannot be
    // had (0).
    int Add(const char* pszId) { return Insert(GetCount(), pszId); }
    int Insert(short nIndex, const char* pszId);
    int AddEmptyBitmap() { return InsertEmptyBitmap(GetCount()); }
    int InsertEmptyBitmap(short nIndex);
    // The entry takes the new id (an empty id empties it); 0 without entry.
    int Change(short nIndex, const char* pszId);
    int Remove(short nIndex);
    unsigned long GetTransparentColor() const { return m_ulTransparent; }
    void SetTransparentColor(unsigned long ulColor) { m_ulTransparent = ulColor; }
    int IsTransparentColorUsed() const { return m_nUseTransparent; }
    void UseTransparentColor(int nOn) { m_nUseTransparent = nOn ? 1 : 0; }
    // The manager destroyed a shared bitmap: entries holding it let it go.
    void ForgetBitmap(const KwSysBitmap* pcoBitmap);
    static void Destroy(void* pvPool) { delete static_cast<KwMarkerPool*>(pvPool); }
    using KwRes::Destroy;

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    int NotifyReadBegin() override;
    void WriteData(TFile& coFile) const override;

private:
    std::vector<std::unique_ptr<KwResBitmap>> m_coEntries;
    unsigned long m_ulTransparent { 0 };
    int m_nUseTransparent { 0 };
};
