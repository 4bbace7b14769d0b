#pragma once

#include "TArray.h"
#include "KwtlApi.h"

#include <mutex>

class TOpSystem;
class TRuntimeModule;

// The process's list of run-time modules, reached through the operating-
// system object (CurrentOS().ModuleManager()). A module stays in the list
// once it has been named, loaded or not, so pointers to modules stay valid
// until the manager is destroyed. Calls from several threads are safe.
class KWTL_API TModuleManager {
public:
    // Modules created by the manager are loaded through pcoSystem (not
    // owned; null: CurrentOS()).
    explicit TModuleManager(const TOpSystem* pcoSystem = nullptr);
    TModuleManager(const TModuleManager&) = delete;
    TModuleManager& operator=(const TModuleManager&) = delete;
    ~TModuleManager();

    // Loading
    // Finds the module or appends a new one, then loads it: the module's
    // Load result. 0 for an empty or absent name.
    int Load(const char* pszName);
    // The module's Free result; 0 for an empty name or an unknown module.
    int Free(const char* pszName);

    // Modules
    // The module that Load(pszName) would use, null when there is none.
    TRuntimeModule* FindModule(const char* pszName) const;
    TRuntimeModule* GetModule(long lIndex) const;
    long Count() const;

    // Unloads every module, the last loaded first, and empties the list.
    // The owning operating-system object calls it before it goes away.
    void DeleteAll();

private:
    TRuntimeModule* Find(const char* pszName) const;

    const TOpSystem* m_pcoSystem;       // not owned
    TArray m_coModules;                 // owns its TRuntimeModule objects
    mutable std::recursive_mutex m_coLock;
};
