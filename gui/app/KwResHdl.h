#pragma once

#include "Kw25Api.h"
#include "KwColor.h"
#include "TArray.h"
#include "TString.h"

class KwApp;
class KwColorTable;

// The application's resource manager: here its colour tables. Windows
// refer to colours by number; the active colour table turns numbers into
// colours, so a resource file can restyle all windows at once. The manager
// starts with the table "DefaultColorTable" (index 0, active).
class KW25_API KwResHdl {
public:
    explicit KwResHdl(KwApp* pcoApp);
    ~KwResHdl();
    KwResHdl(const KwResHdl&) = delete;
    KwResHdl& operator=(const KwResHdl&) = delete;

    KwApp* GetApp() const { return m_pcoApp; }
    static const char* GetDefaultColorTableName() { return "DefaultColorTable"; }

    // Colour tables: copies of named tables that are not present yet.
    short AddColorTable(const KwColorTable& coTable);
    int RemoveColorTable(short nIndex);
    int RemoveColorTable(const char* pszName);
    int ChangeActColorTable(short nIndex);
    int ChangeActColorTable(const char* pszName);
    short GetColorTableIndex(const char* pszName) const;
    TString GetColorTableName(short nIndex) const;
    short GetColorTableCount() const { return static_cast<short>(m_coColorTables.Count()); }
    KwColorTable* GetColorTable(short nIndex) const;
    KwColorTable* GetColorTable(const char* pszName) const;
    KwColorTable* GetActColorTable() const { return m_pcoActColorTable; }
    operator KwColorTable&() const { return *m_pcoActColorTable; }

    // Colours of the active table
    int HasColor(const char* pszName) const;
    const KwColor& GetColor(short nIndex) const;
    const KwColor& GetColor(const char* pszName) const;
    short GetColorIndex(const char* pszName) const;
    TString GetColorName(short nIndex) const;
    int SetColor(short nIndex, const KwColor& coColor);
    int SetColor(const char* pszName, const KwColor& coColor);
    int ChgColorName(short nIndex, const char* pszNewName);
    int ChgColorName(const char* pszName, const char* pszNewName);

private:
    KwApp* m_pcoApp;                                       // not owned
    TArray m_coColorTables { 4, KwRes::DestroyKwRes, nullptr };   // owns its tables
    KwColorTable* m_pcoActColorTable { nullptr };
};
