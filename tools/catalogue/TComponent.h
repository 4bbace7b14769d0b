#pragma once

#include "KwtlApi.h"
#include "TResource.h"
#include "TString.h"

// One entry of a component catalogue: a run-time class delivered in a
// library of its own, with a prompt and a description for display and the
// file name of that library. Stored in resource files as a record of its
// own (usually a child of a TComponentList record). The resource
// identifier follows the component class, cut to what a file index holds.
class KWTL_API TComponent : public TResource {
    KW_DYNAMIC_CLASS(TComponent, TResource)
public:
    // Resource variables after those of TResource.
    enum : unsigned short { VarComponentClass = 23, VarPrompt = 24, VarDesc = 25, VarDll = 26 };
    // Characters of an identifier in a file index, without the terminator.
    static constexpr int MaxResIdLen = 31;

    TComponent() = default;
    explicit TComponent(const char* pszComponentClass);
    TComponent(const TComponent& coOther);
    TComponent& operator=(const TComponent& coOther);

    // Fields
    void SetComponentClass(const char* pszComponentClass);
    void SetPrompt(const char* pszPrompt) { m_coPrompt = pszPrompt; }
    void SetDesc(const char* pszDesc) { m_coDesc = pszDesc; }
    // Keeps only the file name: what follows the last ":", "\" or "/".
    void SetDll(const char* pszPath);
    const TString& GetComponentClass() const { return m_coComponentClass; }
    const TString& GetPrompt() const { return m_coPrompt; }
    const TString& GetDesc() const { return m_coDesc; }
    const TString& GetDll() const { return m_coDll; }

    // Library
    // 1 when the library is found in one of the directories of the search
    // path ("path"), in order; the current directory is not searched.
    // pcoModuleName, when given, receives the module name looked for (the
    // library with a "????" prefix completed), also when nothing is found.
    int CheckDllExistance(TString* pcoModuleName) const;

    // Sorting: component classes without regard to letter case; an empty
    // class sorts first.
    static int Compare(const void* pvA, const void* pvB);

    // Reading
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

    // Overridables
    // A new copy of the same class; derived entries override it.
    virtual TComponent* Clone() const;

protected:
    void WriteData(TFile& coFile) const override;
    int NotifyReadBegin() override;

private:
    TString m_coComponentClass;
    TString m_coPrompt;
    TString m_coDesc;
    TString m_coDll;            // file name without directory
};
