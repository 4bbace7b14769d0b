#pragma once

#include "TDynBase.h"

// A run-time class with an intrusive reference count. The count is the
// owner's business: nothing here deletes the object.
class KWTL_API TRefObject : public TDynBase {
    KW_DYNAMIC_CLASS(TRefObject, TDynBase)
public:
    TRefObject() = default;
    TRefObject(const TRefObject& coOther) : TDynBase(coOther) {}
    TRefObject& operator=(const TRefObject&) { return *this; }

    unsigned long GetReferenceCount() const { return m_ulRefCount; }

protected:
    unsigned long Use() { return ++m_ulRefCount; }
    unsigned long UnUse() { return --m_ulRefCount; }
    void ChangeReferenceCount(unsigned long ulCount) { m_ulRefCount = ulCount; }

private:
    unsigned long m_ulRefCount { 0 };
};
