#include "TAppList.h"

#include "TCrt.h"

namespace {

struct TAppRecord {
    int m_nProcessId;
    TAppData* m_pcoData;    // owned
};

} // namespace

TAppList::TAppList()
    : TArray(4, DestroyRecord, nullptr)
{
}

void TAppList::DestroyRecord(void* pvRecord)
{
    TAppRecord* pRecord = static_cast<TAppRecord*>(pvRecord);
    delete pRecord->m_pcoData;
    delete pRecord;
}

int TAppList::AppStart(TAppData* pcoData)
{
    TAppRecord* pRecord = new TAppRecord { CrtProcessId(), pcoData };
    if (Add(pRecord))
        return 1;
    delete pRecord;
    return 0;
}

int TAppList::AppEnd()
{
    const int nProcessId = CrtProcessId();
    for (long i = 0; i < Count(); ++i) {
        if (static_cast<TAppRecord*>(Get(i))->m_nProcessId == nProcessId)
            return Delete(i);
    }
    return 0;
}

TAppData* TAppList::Get() const
{
    const int nProcessId = CrtProcessId();
    for (long i = 0; i < Count(); ++i) {
        const TAppRecord* pRecord = static_cast<const TAppRecord*>(TArray::Get(i));
        if (pRecord->m_nProcessId == nProcessId)
            return pRecord->m_pcoData;
    }
    return nullptr;
}
