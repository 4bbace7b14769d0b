#pragma once

#include "KwtlApi.h"
#include "TArray.h"
#include "TString.h"

// The declaration of one event type: the class name of the parameter
// object passed with it, and a description and default code that are
// carried for tools but not interpreted here.
class KWTL_API TMvcEventDef {
public:
    TMvcEventDef(const char* pszEventType, const char* pszParamType,
                 const char* pszDescription, const char* pszDefaultCode)
        : m_coEventType(pszEventType), m_coParamType(pszParamType)
        , m_coDescription(pszDescription), m_coDefaultCode(pszDefaultCode) {}
    virtual ~TMvcEventDef() = default;

    // Declaration
    const TString& GetEventType() const { return m_coEventType; }
    const TString& GetParamType() const { return m_coParamType; }
    const TString& GetDescription() const { return m_coDescription; }
    const TString& GetDefaultCode() const { return m_coDefaultCode; }
    void SetDescription(const char* pszText) { m_coDescription = pszText; }
    void SetDefaultCode(const char* pszCode) { m_coDefaultCode = pszCode; }

    static void Destroy(void* pvDef);
    // Event type names, case-insensitive.
    static int Compare(const void* pvA, const void* pvB);

private:
    TString m_coEventType;
    TString m_coParamType;
    TString m_coDescription;
    TString m_coDefaultCode;
};

// The event types that one class announces. Each such class has one static
// table, m_stcoEvTab, filled while its library loads; the constructor that
// takes the class's register function enters the table into the registry of
// TMvc and then runs the function. A table leaves the registry when it is
// destroyed, that is when its library is unloaded.
class KWTL_API TMvcEventTable {
public:
    using RegisterFunc = void (*)();

    explicit TMvcEventTable(const char* pszOwnerClass);
    TMvcEventTable(const char* pszOwnerClass, RegisterFunc pfnRegister);
    virtual ~TMvcEventTable();

    TMvcEventTable(const TMvcEventTable&) = delete;
    TMvcEventTable& operator=(const TMvcEventTable&) = delete;

    // Owner
    const TString& GetOwnerClass() const { return m_coOwnerClass; }
    // The table of the base class, known once an object of a derived class
    // has been made; informative only, lookups follow the objects' TMvc chain.
    TMvcEventTable* GetBaseTable() const { return m_pcoBaseTable; }

    // Event types; all names are compared case-insensitively.
    int RegisterEventType(const char* pszEventType, const char* pszParamType,
                          const char* pszDescription, const char* pszDefaultCode);
    int HasEventType(const char* pszEventType) const { return FindEventTypePtr(pszEventType) != nullptr; }
    // Copies; a missing type gives the definition "None" of type "None".
    TMvcEventDef FindEventType(const char* pszEventType) const;
    TMvcEventDef GetEventType(short i) const;
    short GetEventTypeCount() const { return static_cast<short>(m_coDefs.Count()); }
    int ChangeEventDescription(const char* pszEventType, const char* pszText);
    int ChangeEventDefaultCode(const char* pszEventType, const char* pszCode);

    // Owner class names, case-insensitive.
    static int Compare(const void* pvA, const void* pvB);

private:
    friend class TMvc;

    TMvcEventDef* FindEventTypePtr(const char* pszEventType) const;
    static TMvcEventDef NoneDef() { return TMvcEventDef("None", "None", "", ""); }

    TString m_coOwnerClass;
    TArray m_coDefs { 8, TMvcEventDef::Destroy, TMvcEventDef::Compare };   // owns the definitions
    TMvcEventTable* m_pcoBaseTable { nullptr };
};
