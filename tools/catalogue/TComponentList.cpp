#include "TComponentList.h"

#include "TFile.h"

#include <cstdint>

namespace {

const char s_szInserted[] = "MVC_COMPONENT_INSERTED";
const char s_szWillRemove[] = "MVC_COMPONENT_WILLREMOVE";

// The first parameter of the events names the entry where a long can hold
// its address.
long EntryAsLong(TComponent* pcoComponent)
{
    if constexpr (sizeof(long) >= sizeof(intptr_t))
        return static_cast<long>(reinterpret_cast<intptr_t>(pcoComponent));
    else
        return 0;
}

} // namespace

KW_IMPLEMENT_DYNAMIC_CLASS(TMvcParamCompList, TMvcParam, "kwtl")

TMvcParamCompList::TMvcParamCompList(TDynBase& coList, TComponent* pcoComponent)
    : TMvcParam(coList, EntryAsLong(pcoComponent), 0)
    , m_pcoComponent(pcoComponent)
{
}

TMvcEventTable TComponentList::m_stcoEvTab { "TComponentList", &TComponentList::TMvcEventsRegister };
void TComponentList::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType(s_szInserted, "TMvcParamCompList", "", "");
    m_stcoEvTab.RegisterEventType(s_szWillRemove, "TMvcParamCompList", "", "");
}
KW_IMPLEMENT_DYNAMIC_CLASS(TComponentList, TResource, "kwtl")

TComponentList::TComponentList(const char* pszResId) : TResource(pszResId) {}

TComponentList::TComponentList(const TComponentList& coOther) : TResource(coOther)
{
    CopyEntries(coOther);
}

TComponentList& TComponentList::operator=(const TComponentList& coOther)
{
    if (this == &coOther)
        return *this;
    RemoveAll();
    TResource::operator=(coOther);
    CopyEntries(coOther);
    return *this;
}

// The reference object is destroyed while the library unloads, when the
// event tables may be gone already; it never has entries to announce.
TComponentList::~TComponentList()
{
    if (!IsDynCppReferenceObject())
        RemoveAll();
}

TComponent* TComponentList::Find(const char* pszComponentClass, long* plIndex) const
{
    const TComponent coKey(pszComponentClass);
    void* pvFound = nullptr;
    const long lIndex = m_coEntries.Find(&coKey, &pvFound);
    if (plIndex)
        *plIndex = pvFound ? lIndex : -1;
    return static_cast<TComponent*>(pvFound);
}

int TComponentList::Add(const TComponent& coEntry)
{
    if (coEntry.GetComponentClass().IsEmpty() || Find(coEntry.GetComponentClass(), nullptr))
        return 0;
    return InsertClone(coEntry);
}

// A handler of the removal may itself remove the entry; it is deleted only
// when it is still listed afterwards.
int TComponentList::Remove(const char* pszComponentClass)
{
    TComponent* pcoEntry = Find(pszComponentClass, nullptr);
    if (!pcoEntry)
        return 0;
    AnnounceWillRemove(pcoEntry);
    const long lIndex = m_coEntries.GetIndex(pcoEntry);
    if (lIndex >= 0)
        m_coEntries.Delete(lIndex);
    return 1;
}

void TComponentList::RemoveAll()
{
    for (long i = 0; i < m_coEntries.Count(); ++i)
        AnnounceWillRemove((*this)[i]);
    m_coEntries.Delete();
}

// Entries read from a file go in as read, like entries added one by one,
// except that an entry without class or with a class already listed is
// refused (the reader deletes it): the catalogue holds each class once, so
// that Find and Remove name one entry.
int TComponentList::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex)
{
    if (!pcoChild || !pcoChild->IsClassFamily("TComponent"))
        return TResource::NotifyChildFullReadFinished(pcoChild, ulIndex);
    TComponent* pcoEntry = static_cast<TComponent*>(pcoChild);
    if (pcoEntry->GetComponentClass().IsEmpty() || Find(pcoEntry->GetComponentClass(), nullptr))
        return 0;
    return InsertAndAnnounce(pcoEntry);
}

void TComponentList::WriteChildren(TFile& coFile) const
{
    TResource::WriteChildren(coFile);
    for (long i = 0; i < Count(); ++i)
        (*this)[i]->WriteResource(coFile);
}

int TComponentList::NotifyReadBegin()
{
    TResource::NotifyReadBegin();
    RemoveAll();
    return 1;
}

// The entry is the catalogue's once this answers 1, the caller's otherwise.
int TComponentList::InsertAndAnnounce(TComponent* pcoEntry)
{
    if (!m_coEntries.Insert(pcoEntry, nullptr))
        return 0;
    TMvcParamCompList coParam(*this, pcoEntry);
    MVC().Call(s_szInserted, coParam);
    return 1;
}

int TComponentList::InsertClone(const TComponent& coEntry)
{
    TComponent* pcoClone = coEntry.Clone();
    if (!pcoClone)
        return 0;
    if (InsertAndAnnounce(pcoClone))
        return 1;
    pcoClone->Destroy();
    return 0;
}

void TComponentList::AnnounceWillRemove(TComponent* pcoEntry)
{
    TMvcParamCompList coParam(*this, pcoEntry);
    MVC().Call(s_szWillRemove, coParam);
}

void TComponentList::CopyEntries(const TComponentList& coSource)
{
    for (long i = 0; i < coSource.Count(); ++i)
        InsertClone(*coSource[i]);
}
