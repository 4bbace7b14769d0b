#pragma once

#include "KwtlApi.h"
#include "TDynRet.h"

#include <cstdarg>
#include <type_traits>

class TArray;
class TDynTab;
class TAppList;
class TMvc;

// The owner token of a registered class, and the by-value argument of
// InitMembers and DynCreate (always null there). A token that holds a table
// unregisters the class when it is destroyed, that is when the library that
// defines the class is unloaded.
class KWTL_API TOnlyInternalUse {
public:
    constexpr TOnlyInternalUse() = default;
    TOnlyInternalUse(const TOnlyInternalUse&) {}
    TOnlyInternalUse& operator=(const TOnlyInternalUse& coOther);
    ~TOnlyInternalUse();

private:
    friend class TDynBase;
    TDynTab const* m_pcoTab { nullptr };
};

// Builds an object's base part without any registration step.
class TOnlySecondInternalUse {
};

// Reads the variable arguments handed to a function called by name; Next()
// takes them in order, with the usual promotions (a char or short arrives
// as int, a float as double). The char* such a function gets is, on
// Windows, the caller's argument area itself, laid out as for C
// variable-argument functions (a va_list there is a plain pointer into it),
// so that "va_list ap = pchArgs;" reads it too; elsewhere, where a va_list
// is a structure, it is the address of the caller's va_list.
class TDynArgs {
public:
#if defined(_WIN32)
    explicit TDynArgs(char* pchArgs) : m_args(pchArgs) {}

    template <class T>
    T Next() { return va_arg(m_args, T); }

private:
    va_list m_args;
#else
    explicit TDynArgs(char* pchArgs) : m_pArgs(reinterpret_cast<va_list*>(pchArgs)) {}

    template <class T>
    T Next() { return va_arg(*m_pArgs, T); }

private:
    va_list* m_pArgs;
#endif
};

// The root of every object that can be created by class name, called by
// function name, watched for destruction, linked by events or stored in
// resource files.
//
// A registered class X declares KW_DYNAMIC_CLASS(X, Base) in its body and
// KW_IMPLEMENT_DYNAMIC_CLASS(X, Base, "tag") in one source file of its
// library; that source file then makes X's reference object while the
// library loads, which enters X's class table into the process's registry.
// X must be default-constructible, and its members must be initialised
// where they are declared (the reference object is built without X's
// constructor body).
class KWTL_API TDynBase {
public:
    using DynFunc = TDynRet (TDynBase::*)(char*);
    using DestructionHandler = void (TDynBase::*)(TDynBase*);

    TDynBase() = default;
    explicit TDynBase(TOnlyInternalUse const*);
    explicit TDynBase(TOnlySecondInternalUse) {}
    TDynBase& operator=(const TDynBase&) { return *this; }
    virtual ~TDynBase();

    // The virtual functions are declared in their slot order.
    // Hook for a preferred run-time class; nothing selects one yet.
    virtual const char* GetPriorityRuntimeClass() const { return nullptr; }
    // The events of this object. The base answers a library-wide dummy
    // whose owner is null, which means "no events of its own"; classes
    // that announce events return their own TMvc member (KW_MVC_CLASS).
    virtual TMvc& MVC() const;
protected:
    virtual void InitMembers(TOnlyInternalUse) {}
public:
    virtual TDynTab const** DynVTable() const { return &m_stpcoDynTab; }
    static TDynTab const** StaticDynVTable() { return &m_stpcoDynTab; }

    // Registry of the calling process
    static TDynTab const* GetVTable(const char* pszClassName);
    static const TDynBase* GetRuntimeObject(const char* pszClassName);
    static TDynBase* RTTIDynCreate(const char* pszClassName);
    static short VTableCount();
    static TDynTab const* VTableFromIndex(short i);

    // Class queries: names are found case-insensitively, families compared exactly.
    const char* GetClassName() const;
    const char* GetModuleName() const;
    const char* GetBaseClassName() const;
    static const char* GetBaseClassName(const char* pszClassName);
    int IsClass(const char* pszName) const;
    int IsClassFamily(const char* pszName) const;
    static int IsClassFamily(const char* pszClassName, const char* pszFamilyName);
    int IsDynCppReferenceObject() const { return m_nReferenceObject; }

    // Destruction handlers: the watcher's handler is called with this object
    // when it dies (never for a reference object).
    int AddDestructionHandler(TDynBase* pcoWatcher, DestructionHandler pfnHandler);
    int RemoveDestructionHandler(TDynBase* pcoWatcher, DestructionHandler pfnHandler);
    int HasDestructionHandler(TDynBase* pcoWatcher, DestructionHandler pfnHandler) const;
    static void DestroyTDynBaseDestroyHandler(void* pvRecord);

    // Functions called by name; the variable arguments follow the name.
    TDynRet Call(const char* pszFunctionName, ...);
    TDynRet Call(DynFunc pfnFunction, ...);

    // Events: takes over the events of coSource (soft links only when
    // nSoftOnly), replacing what this object had.
    void CopyMVC(const TDynBase& coSource, int nSoftOnly);

protected:
    TDynBase(const TDynBase&) : TDynBase() {}

    TDynTab const* InitNewVTable(const char* pszClassName, TDynTab const** ppcoBaseSlot,
                                 TOnlyInternalUse* pcoOwner, const char* pszModuleTag);

    // For InitMembers: enters "Class::Function" into X's table.
    template <class X>
    static void InsertDynFunc(const char* pszName, TDynRet (X::*pfnFunction)(char*))
    {
        InsertDynFunc(X::StaticDynVTable(), pszName, static_cast<DynFunc>(pfnFunction));
    }
    // Runs X::InitMembers when X declares one of its own.
    template <class X, class Member>
    static void InitOwnMembers(X& coReference, Member pfnMember)
    {
        if constexpr (std::is_same_v<Member, void (X::*)(TOnlyInternalUse)>)
            (coReference.*pfnMember)(TOnlyInternalUse());
    }

private:
    friend class TOnlyInternalUse;
    friend class TAppCleanUp;

    virtual TDynBase* DynCreate(TOnlyInternalUse) const { return new TDynBase; }

    static void AddVTable(TDynTab const* pcoTab);
    static void RemoveVTable(TDynTab const* pcoTab);
    static TArray* Registry();
    static void InsertDynFunc(TDynTab const** ppcoSlot, const char* pszName, DynFunc pfnFunction);
    void InternalDt();

    TArray* m_pcoDestroyHandlers { nullptr };   // owned; created on the first handler
    int m_nReferenceObject { 0 };
    int m_nDying { 0 };

    static TDynTab const* m_stpcoDynTab;
    static TOnlyInternalUse m_stcoDynOwner;
    static TDynBase* m_stpcoDynReference;
    static TAppList* m_stpcoAppList;            // owned; the registries of the processes
};

// Declarations of a registered class X derived from Base, inside X's body.
#define KW_DYNAMIC_CLASS(X, Base)                                               \
public:                                                                         \
    TDynTab const** DynVTable() const override { return &m_stpcoDynTab; }       \
    static TDynTab const** StaticDynVTable() { return &m_stpcoDynTab; }         \
    explicit X(TOnlySecondInternalUse coTag) : Base(coTag) {}                   \
protected:                                                                      \
    explicit X(TOnlyInternalUse const*);                                        \
private:                                                                        \
    TDynBase* DynCreate(TOnlyInternalUse) const override { return new X; }      \
    static TDynTab const* m_stpcoDynTab;                                        \
    static TOnlyInternalUse m_stcoDynOwner;                                     \
    static X* m_stpcoDynReference;                                              \
public:

// Definitions of the class statics and the registration constructor of X;
// the reference object is made while the library loads.
#define KW_IMPLEMENT_DYNAMIC_CLASS(X, Base, pszModuleTag)                       \
    TDynTab const* X::m_stpcoDynTab = nullptr;                                  \
    TOnlyInternalUse X::m_stcoDynOwner;                                         \
    X::X(TOnlyInternalUse const*) : X(TOnlySecondInternalUse())                 \
    {                                                                           \
        if (m_stpcoDynTab)                                                      \
            return;                                                             \
        m_stpcoDynTab = InitNewVTable(#X, this->Base::DynVTable(),              \
                                      &m_stcoDynOwner, pszModuleTag);           \
        if (m_stpcoDynTab)                                                      \
            InitOwnMembers<X>(*this, &X::InitMembers);                          \
    }                                                                           \
    X* X::m_stpcoDynReference = new X(static_cast<TOnlyInternalUse const*>(nullptr));
