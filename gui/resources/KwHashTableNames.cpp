#include "KwHashTable.h"

#include "KwRes.h"

// The handle tables of the adapter hold resource objects by pointer only;
// finding one by its resource name asks the object, so this lookup is
// defined here, where a resource object is a complete type, and the system
// family needs nothing above it.
KwRes* KwHashTable::GetObj(const char* pszName) const
{
    if (!pszName || !*pszName)
        return nullptr;
    for (long i = 0; i < Count(); ++i) {
        KwRes* pcoObject = GetObj(i);
        if (pcoObject->HasResId(pszName))
            return pcoObject;
    }
    return nullptr;
}
