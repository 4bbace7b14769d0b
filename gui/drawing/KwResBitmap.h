#pragma once

#include "Kw25Api.h"
#include "KwBitmap.h"
#include "KwRes.h"

#include <functional>

class KwDrawingResources;
class KwFileHdl;

// A bitmap shared through the resource manager: one per id, counted by
// its users, destroyed by the manager when the last one releases it.
class KW25_API KwSysBitmap : public KwBitmap {
    KW_DYNAMIC_CLASS(KwSysBitmap, KwBitmap)
public:
    KwSysBitmap() = default;
    explicit KwSysBitmap(const char* pszId) : KwBitmap(pszId) {}
    ~KwSysBitmap() override = default;

    unsigned short GetUseCount() const { return m_unUses; }
    void AddUse() { ++m_unUses; }
    unsigned short ReleaseUse() { return m_unUses ? --m_unUses : 0; }

private:
    unsigned short m_unUses { 0 };
};

// The resource form of a shared bitmap: its id (variable 21) names the
// picture; reading the record takes the shared bitmap of that id.
//
// Record: class "KwResBitmap", type 31, the id only.
class KW25_API KwResBitmap : public KwRes {
    KW_DYNAMIC_CLASS(KwResBitmap, KwRes)
public:
    KwResBitmap() = default;
    explicit KwResBitmap(const char* pszId);
    KwResBitmap(const char* pszId, const char* pszFile);
    KwResBitmap(const KwBitmap& coBitmap, TString& coName);
    KwResBitmap(const KwResBitmap& coOther);
    KwResBitmap& operator=(const KwResBitmap& coOther);
    ~KwResBitmap() override;

    // Takes the shared bitmap of the id (after releasing what was held):
    // from the installed files or a picture file, from one file handler,
    // or a shared copy of an in-memory picture (whose id goes to coId).
    int SysCreate() override;
    int SysCreate(const char* pszId, const char* pszFile);
    int SysCreate(const char* pszId, KwFileHdl* pcoFileHdl);
    int SysCreate(const KwBitmap& coBitmap, TString& coId);
    // Releases the shared bitmap and empties the id.
    void SysDelete() override;
    int IsValid() const override;

    TString GetFileName() const;
    short Width() const;
    short Height() const;
    KwSysBitmap* GetSysBitmap() const { return m_pcoBitmap; }
    operator KwSysBitmap*() const { return m_pcoBitmap; }
    operator KwBitmap*() const { return m_pcoBitmap; }
    // The manager destroyed the bitmap: it is forgotten without release.
    void ForgetBitmap(const KwSysBitmap* pcoBitmap);

    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;

private:
    void Release();
    // Releases, takes the id and asks the manager for its bitmap.
    int Acquire(const char* pszId, const std::function<KwSysBitmap*(KwDrawingResources&, const TString&)>& fnGet);

    KwSysBitmap* m_pcoBitmap { nullptr };   // shared; one use held
};
