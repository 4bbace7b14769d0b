#include "KwResHdl.h"

#include "KwColorTable.h"

KwResHdl::KwResHdl(KwApp* pcoApp)
    : m_pcoApp(pcoApp)
{
    KwColorTable* pcoDefault = new KwColorTable(KwColorTable::Default());
    m_coColorTables.Add(pcoDefault);
    m_pcoActColorTable = pcoDefault;
}

KwResHdl::~KwResHdl() = default;

short KwResHdl::AddColorTable(const KwColorTable& coTable)
{
    if (coTable.GetResId().IsEmpty() || GetColorTableIndex(coTable.GetResId()) >= 0)
        return -1;
    KwColorTable* pcoCopy = new KwColorTable(coTable);
    if (!m_coColorTables.Add(pcoCopy)) {
        delete pcoCopy;
        return -1;
    }
    return static_cast<short>(m_coColorTables.Count() - 1);
}

int KwResHdl::RemoveColorTable(short nIndex)
{
    KwColorTable* pcoTable = GetColorTable(nIndex);
    if (!pcoTable)
        return 0;
    if (pcoTable == m_pcoActColorTable)
        m_pcoActColorTable = nullptr;
    m_coColorTables.Delete(nIndex);
    if (!m_pcoActColorTable)
        m_pcoActColorTable = GetColorTable(static_cast<short>(0));
    return 1;
}

int KwResHdl::RemoveColorTable(const char* pszName)
{
    return RemoveColorTable(GetColorTableIndex(pszName));
}

int KwResHdl::ChangeActColorTable(short nIndex)
{
    KwColorTable* pcoTable = GetColorTable(nIndex);
    if (!pcoTable)
        return 0;
    m_pcoActColorTable = pcoTable;
    return 1;
}

int KwResHdl::ChangeActColorTable(const char* pszName)
{
    return ChangeActColorTable(GetColorTableIndex(pszName));
}

short KwResHdl::GetColorTableIndex(const char* pszName) const
{
    for (long i = 0; pszName && *pszName && i < m_coColorTables.Count(); ++i) {
        if (static_cast<const KwColorTable*>(m_coColorTables.Get(i))->HasResId(pszName))
            return static_cast<short>(i);
    }
    return -1;
}

TString KwResHdl::GetColorTableName(short nIndex) const
{
    const KwColorTable* pcoTable = GetColorTable(nIndex);
    return pcoTable ? pcoTable->GetResId() : TString();
}

KwColorTable* KwResHdl::GetColorTable(short nIndex) const
{
    return static_cast<KwColorTable*>(m_coColorTables.Get(nIndex));
}

KwColorTable* KwResHdl::GetColorTable(const char* pszName) const
{
    return GetColorTable(GetColorTableIndex(pszName));
}

int KwResHdl::HasColor(const char* pszName) const
{
    return m_pcoActColorTable && m_pcoActColorTable->HasColor(pszName);
}

const KwColor& KwResHdl::GetColor(short nIndex) const
{
    return (m_pcoActColorTable ? *m_pcoActColorTable : KwColorTable::Default()).GetColor(nIndex);
}

const KwColor& KwResHdl::GetColor(const char* pszName) const
{
    return (m_pcoActColorTable ? *m_pcoActColorTable : KwColorTable::Default()).GetColor(pszName);
}

short KwResHdl::GetColorIndex(const char* pszName) const
{
    return m_pcoActColorTable ? m_pcoActColorTable->GetColorIndex(pszName) : -1;
}

TString KwResHdl::GetColorName(short nIndex) const
{
    return m_pcoActColorTable ? m_pcoActColorTable->GetColorName(nIndex) : TString();
}

int KwResHdl::SetColor(short nIndex, const KwColor& coColor)
{
    return m_pcoActColorTable && m_pcoActColorTable->SetColor(nIndex, coColor);
}

int KwResHdl::SetColor(const char* pszName, const KwColor& coColor)
{
    return m_pcoActColorTable && m_pcoActColorTable->SetColor(pszName, coColor);
}

int KwResHdl::ChgColorName(short nIndex, const char* pszNewName)
{
    return m_pcoActColorTable && m_pcoActColorTable->ChgColorName(nIndex, pszNewName);
}

int KwResHdl::ChgColorName(const char* pszName, const char* pszNewName)
{
    return m_pcoActColorTable && m_pcoActColorTable->ChgColorName(pszName, pszNewName);
}
