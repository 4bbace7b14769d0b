#pragma once

#include "KwFont.h"

#include <memory>

// A font that a control keeps for itself: a copy of the font it was given,
// whose system font is made at once. Copies of the control copy it.
class KwOwnFont {
public:
    KwOwnFont() = default;
    KwOwnFont(const KwOwnFont& coOther) { if (coOther.m_pcoFont) Set(*coOther.m_pcoFont); }
    KwOwnFont& operator=(const KwOwnFont&) = delete;

    const KwFont* Get() const { return m_pcoFont.get(); }
    void Set(const KwFont& coFont)
    {
        m_pcoFont.reset(new KwFont(coFont));
        m_pcoFont->SysCreate(nullptr);
    }
    void Reset() { m_pcoFont.reset(); }

private:
    std::unique_ptr<KwFont> m_pcoFont;
};
