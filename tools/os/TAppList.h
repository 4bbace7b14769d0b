#pragma once

#include "TArray.h"

// Payload of one process's record in a TAppList.
class KWTL_API TAppData {
public:
    virtual ~TAppData() = default;

protected:
    TAppData() = default;
};

// Per-process records: each process that uses a library keeps its data in
// a record under its process id.
class KWTL_API TAppList : public TArray {
public:
    TAppList();

    int AppStart(TAppData* pcoData);
    int AppEnd();
    using TArray::Get;
    TAppData* Get() const;
    unsigned short AppCount() const { return static_cast<unsigned short>(Count()); }

private:
    static void DestroyRecord(void* pvRecord);
};

// Removes the calling process's class registry when the tool library is
// unloaded; classes that unregister after it find nothing left to do.
class KWTL_API TAppCleanUp {
public:
    TAppCleanUp() {}
    ~TAppCleanUp();

    TAppCleanUp(const TAppCleanUp&) = delete;
    TAppCleanUp& operator=(const TAppCleanUp&) = delete;
};
