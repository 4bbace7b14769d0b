#pragma once

#include "Kw25Api.h"
#include "TString.h"

#include <memory>

class KwRes;

// One handle table: the framework object that owns each system handle of
// one kind, kept sorted by handle.
class KW25_API KwHashTable {
public:
    explicit KwHashTable(const char* pszName);
    ~KwHashTable();
    KwHashTable(const KwHashTable&) = delete;
    KwHashTable& operator=(const KwHashTable&) = delete;

    const TString& GetName() const { return m_coName; }

    // Entries: a handle registered again belongs to the new object.
    int Insert(KwHandle hHandle, KwRes* pcoObject);
    // Removes the entry only when it still belongs to that object.
    int Remove(KwHandle hHandle, const KwRes* pcoObject);
    KwRes* Lookup(KwHandle hHandle) const;
    long Count() const;
    KwRes* GetObj(long lIndex) const;
    KwHandle GetKey(long lIndex) const;
    // The first object (in handle order) whose resource id equals the
    // name, without regard to case; null for an empty name.
    KwRes* GetObj(const char* pszName) const;
    // The smallest handle from 1 up that is not registered, below hLimit;
    // 0 when all are taken.
    KwHandle NextFreeHandle(KwHandle hLimit) const;

private:
    struct TData;
    TString m_coName;
    std::unique_ptr<TData> m_pData;
};

// The handle tables of the adapter, one per kind of system object:
// "SYSTEM" (windows), "MENU", "MENUITEM", "TIMER" and "CUSTOM". Kinds are
// named without regard to case.
class KW25_API KwHashTableList {
public:
    KwHashTableList();
    ~KwHashTableList();
    KwHashTableList(const KwHashTableList&) = delete;
    KwHashTableList& operator=(const KwHashTableList&) = delete;

    KwHashTable* GetHash(const char* pszKind) const;
    KwRes* Lookup(const char* pszKind, KwHandle hHandle) const;
    KwRes* GetObj(const char* pszKind, long lIndex) const;
    KwRes* GetObj(const char* pszKind, const char* pszName) const;

private:
    std::unique_ptr<KwHashTable> m_apcoTables[5];
};
