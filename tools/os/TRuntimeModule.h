#pragma once

#include "TDynBase.h"
#include "TString.h"

#include <cstdint>

class TOpSystem;

// One library that is loaded while the program runs, by module name, with a
// count of outstanding Load calls: the library is loaded on the first Load
// and unloaded when the last Load is matched by a Free.
//
// A name that begins with "????" names the same module on every platform;
// the current platform's four-character prefix replaces the question marks
// when the module is loaded. The operating-system object adds the file
// extension of its platform.
class KWTL_API TRuntimeModule : public TDynBase {
    KW_DYNAMIC_CLASS(TRuntimeModule, TDynBase)
public:
    // A directory part of pszName (up to its last "\" or ":"; natively "/")
    // becomes the path; a non-empty pszPath replaces it.
    TRuntimeModule(const char* pszName = nullptr, const char* pszPath = nullptr);
    // A copy shares the loaded module but never unloads it.
    TRuntimeModule(const TRuntimeModule& coOther);
    TRuntimeModule& operator=(const TRuntimeModule&) = delete;
    ~TRuntimeModule() override;

    // Loading
    int Load();
    int Free();

    // State
    int IsLoaded() const { return m_nHandle != 0; }
    intptr_t GetModuleHandle() const { return m_nHandle; }
    long GetReferenceCount() const { return m_lRefCount; }
    int IsCopy() const { return m_nCopy; }
    const TString& GetName() const { return m_coName; }
    const TString& GetPath() const { return m_coPath; }
    // The file name that Load hands to the operating-system object.
    TString GetFileName() const;

    // The operating-system object that loads and frees this module; null
    // means CurrentOS(). Not owned.
    void SetOpSystem(const TOpSystem* pcoSystem) { m_pcoSystem = pcoSystem; }

    // Module names
    // The name with a leading "????" replaced by the platform prefix; empty
    // for an absent name or one longer than MaxNameLength characters.
    static TString MakeModuleName(const char* pszName);
    // "????" and the rest of a name that begins with a known platform
    // prefix; empty for every other name.
    static TString MakeModuleWildcardName(const char* pszName);
    static const char* GetPlatformPrefix() { return "qa32"; }

    enum { MaxNameLength = 127 };

private:
    const TOpSystem& OpSystem() const;

    TString m_coName;
    TString m_coPath;                  // no trailing separator, except for a root
    intptr_t m_nHandle { 0 };
    long m_lRefCount { 0 };
    int m_nCopy { 0 };
    const TOpSystem* m_pcoSystem { nullptr };  // not owned; null: CurrentOS()
};
