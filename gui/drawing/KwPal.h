#pragma once

#include "Kw25Api.h"
#include "KwGdiTypes.h"
#include "KwObjGDI.h"

#include <vector>

class KwDib;

// A logical palette, from entries or from a DIB's colour table.
class KW25_API KwPal : public KwObjGDI {
    KW_DYNAMIC_CLASS(KwPal, KwObjGDI)
public:
    KwPal() = default;
    KwPal(const std::vector<KwPaletteEntry>& coEntries, int nCreate);
    KwPal(const KwDib& coDib, int nCreate);
    ~KwPal() override = default;
    KwPal(const KwPal&) = delete;
    KwPal& operator=(const KwPal&) = delete;

    void SetEntries(const std::vector<KwPaletteEntry>& coEntries);
    const std::vector<KwPaletteEntry>& GetEntries() const { return m_coEntries; }
    // A palette without entries has no system palette.
    int SysCreate() override;

private:
    std::vector<KwPaletteEntry> m_coEntries;
};
