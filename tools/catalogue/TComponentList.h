#pragma once

#include "KwtlApi.h"
#include "TArray.h"
#include "TComponent.h"
#include "TMvc.h"
#include "TMvcParam.h"
#include "TResource.h"

// The parameter of the catalogue's events: the catalogue is the event
// object and Component() the entry concerned. LParam1 carries the entry's
// address as well where a long holds a pointer (not on 64-bit Windows,
// where it is 0); Component() is the portable way to reach it.
class KWTL_API TMvcParamCompList : public TMvcParam {
    KW_DYNAMIC_CLASS(TMvcParamCompList, TMvcParam)
public:
    TMvcParamCompList(TDynBase& coList, TComponent* pcoComponent);

    // Event data
    TComponent* Component() const { return m_pcoComponent; }

protected:
    TMvcParamCompList() = default;

private:
    TComponent* m_pcoComponent { nullptr };    // the catalogue's entry, not owned
};

// A catalogue of components, kept sorted by component class (without
// regard to letter case), each class at most once. The catalogue owns its
// entries; Add stores a copy of what it is given. Every insertion and every
// removal is announced: "MVC_COMPONENT_INSERTED" after an entry came in,
// "MVC_COMPONENT_WILLREMOVE" while the entry is still there.
//
// In a resource file the catalogue is one record with the entries as child
// records, in their sorted order.
class KWTL_API TComponentList : public TResource {
    KW_DYNAMIC_CLASS(TComponentList, TResource)
    KW_MVC_CLASS(TComponentList, TResource)
public:
    TComponentList() = default;
    explicit TComponentList(const char* pszResId);
    TComponentList(const TComponentList& coOther);
    TComponentList& operator=(const TComponentList& coOther);
    ~TComponentList() override;

    // Entries
    long Count() const { return m_coEntries.Count(); }
    TComponent* operator[](long i) const { return static_cast<TComponent*>(m_coEntries.Get(i)); }
    // The entry of that class (letter case aside), or null with *plIndex -1.
    TComponent* Find(const char* pszComponentClass, long* plIndex) const;
    TComponent* operator()(const char* pszComponentClass, long* plIndex) const { return Find(pszComponentClass, plIndex); }

    // Changes
    // 0 when the entry has no component class or its class is listed.
    int Add(const TComponent& coEntry);
    TComponentList& operator+=(const TComponent& coEntry) { Add(coEntry); return *this; }
    // 0 when no entry of that class is listed.
    int Remove(const char* pszComponentClass);
    TComponentList& operator-=(const char* pszComponentClass) { Remove(pszComponentClass); return *this; }
    void RemoveAll();

    // Reading
    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;

protected:
    void WriteChildren(TFile& coFile) const override;
    int NotifyReadBegin() override;

private:
    int InsertAndAnnounce(TComponent* pcoEntry);
    int InsertClone(const TComponent& coEntry);
    void AnnounceWillRemove(TComponent* pcoEntry);
    void CopyEntries(const TComponentList& coSource);

    TArray m_coEntries { 16, TResource::Destroy, TComponent::Compare };   // owns its entries, sorted by class
};
