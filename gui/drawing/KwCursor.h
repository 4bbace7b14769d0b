#pragma once

#include "Kw25Api.h"
#include "KwObjGDI.h"
#include "TString.h"

// A cursor loaded from a cursor file.
class KW25_API KwCursor : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwCursor, KwObjGDI)
public:
    KwCursor() = default;
    KwCursor(const char* pszName, const char* pszFile);
    ~KwCursor() override;
    KwCursor(const KwCursor&) = delete;
    KwCursor& operator=(const KwCursor&) = delete;

    int SysCreate() override;
    void SysDelete() override;
    const TString& GetFileName() const { return m_coFile; }

private:
    TString m_coFile;
};

// One of the system's predefined cursors, by its system number (the arrow
// is 32512, the wait cursor 32514). It is shared and never destroyed.
class KW25_API KwSysCursor : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwSysCursor, KwObjGDI)
public:
    KwSysCursor() = default;
    explicit KwSysCursor(unsigned short unId);
    KwSysCursor(const KwSysCursor&) = delete;
    KwSysCursor& operator=(const KwSysCursor&) = delete;

    int SysCreate() override;
    unsigned short GetId() const { return m_unId; }

private:
    unsigned short m_unId { 32512 };
};
