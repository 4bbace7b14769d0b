#pragma once

#include "Kw25Api.h"
#include "TArray.h"
#include "TString.h"

class KwEvent;
class TMvc;
class _KwAutoSegStack;

// The link of one name of an object's events: calling it calls the link
// registered under that name in the owner's TMvc (0 when there is none).
// The framework's own events need no link object: they call the owner's
// TMvc by name, which costs no allocation. KwRes::GetLinkByName hands out
// a link object on the process's link stack, until a _KwAutomaticSeg of the
// same scope releases it.
class KW25_API KwLink {
public:
    KwLink(TMvc& coOwner, const char* pszName) : m_pcoOwner(&coOwner), m_coName(pszName) {}
    KwLink(const KwLink& coOther) = default;
    KwLink& operator=(const KwLink& coOther) = default;

    virtual ~KwLink() = default;
    // A new copy on the heap; null when memory runs out.
    virtual KwLink* Clone() const;
    virtual int Call(KwEvent& coEvent);

    const TString& GetName() const { return m_coName; }
    TMvc* GetOwner() const { return m_pcoOwner; }

    // The process's link stack, and the link whose Call does nothing.
    static _KwAutoSegStack& LinkStack();
    static KwLink& EmptyLink();

protected:
    KwLink() = default;

    TMvc* m_pcoOwner { nullptr };
    TString m_coName;
};

// The notifications of one name: all of them are called, the result is 0.
class KW25_API KwMultiLink : public KwLink {
public:
    KwMultiLink(TMvc& coOwner, const char* pszName) : KwLink(coOwner, pszName) {}

    KwLink* Clone() const override;
    int Call(KwEvent& coEvent) override;

    static KwMultiLink& EmptyMultiLink();

private:
    friend class KwLink;
    KwMultiLink() = default;
};

// The stack of heap copies of links. Nested handlers push and pop in strict
// stack order. Used on the GUI thread only.
class KW25_API _KwAutoSegStack {
public:
    _KwAutoSegStack() = default;
    ~_KwAutoSegStack();
    _KwAutoSegStack(const _KwAutoSegStack&) = delete;
    _KwAutoSegStack& operator=(const _KwAutoSegStack&) = delete;

    // Pushes a clone and answers it; when memory runs out, the empty link of
    // the kind is answered (and the matching Pop removes nothing).
    KwLink& Push(const KwLink& coLink);
    void Pop();
    long Count() const { return m_coStack.Count(); }

private:
    TStack m_coStack { 8, nullptr };   // owns its links (deleted by Pop and the destructor)
    long m_lMissing { 0 };             // pushes that failed, popped first
};

// Releases, when its scope ends, the link pushed by GetLinkByName or
// GetNotificationByName in that scope.
class KW25_API _KwAutomaticSeg {
public:
    _KwAutomaticSeg() = default;
    ~_KwAutomaticSeg();
    _KwAutomaticSeg(const _KwAutomaticSeg&) = delete;
    _KwAutomaticSeg& operator=(const _KwAutomaticSeg&) = delete;
};
