#include "TFmtText.h"

#include "TFmtTextFormat.h"
#include "TOpSystem.h"
#include "TUtf8.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr short kBuiltInMax = 127;
constexpr int kMaxFixCalls = 128;
constexpr unsigned short kNoSep = 0xFFFF;

int IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
int IsLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

int IsKeyCode(char ch)
{
    switch (ch) {
    case TFmtText::KeyDelete:
    case TFmtText::KeyHome:
    case TFmtText::KeyEnd:
    case TFmtText::KeyLeft:
    case TFmtText::KeyRight:
    case TFmtText::KeyBackspace:
        return 1;
    default:
        return 0;
    }
}

} // namespace

TFmtText::TFmtText()
{
    BuildFormat("~~~~~~~~~~~~~~~~~~~~", "********************", "aaaaaaaaaaaaaaaaaaaa");
}

TFmtText::TFmtText(const TFmtText& coOther) { CopyFrom(coOther); }

TFmtText& TFmtText::operator=(const TFmtText& coOther)
{
    if (this != &coOther)
        CopyFrom(coOther);
    return *this;
}

TFmtText::~TFmtText() { FreeTexts(); }

void TFmtText::CopyFrom(const TFmtText& coOther)
{
    unsigned short unLen = coOther.m_unLen;
    char* pszCurrent = TFmtTextFormat::CopyText(coOther.m_pszCurrent, unLen);
    Adopt(TFmtTextFormat::CopyText(coOther.m_pszTemplate, unLen),
          TFmtTextFormat::CopyText(coOther.m_pszFormat, unLen),
          TFmtTextFormat::CopyText(coOther.m_pszArea, unLen), unLen);
    std::memcpy(m_pszCurrent, pszCurrent, unLen);
    delete[] pszCurrent;
    m_unCursor = coOther.m_unCursor;
    m_nSelStart = coOther.m_nSelStart;
    m_nSelEnd = coOther.m_nSelEnd;
    m_nInsertMode = coOther.m_nInsertMode;
    m_nSelectOnEnter = coOther.m_nSelectOnEnter;
    m_nUtf8 = coOther.m_nUtf8;
}

void TFmtText::FreeTexts()
{
    delete[] m_pszTemplate;
    delete[] m_pszFormat;
    delete[] m_pszArea;
    delete[] m_pszCurrent;
    m_pszTemplate = m_pszFormat = m_pszArea = m_pszCurrent = nullptr;
    m_unLen = 0;
    m_vecAreaOf.clear();
    m_vecAreas.clear();
}

// Takes the three texts (already copied, so that they may have come from
// this object's own texts) and makes an empty current text for them.
void TFmtText::Adopt(char* pszTemplate, char* pszFormat, char* pszArea, unsigned short unLen)
{
    FreeTexts();
    m_pszTemplate = pszTemplate;
    m_pszFormat = pszFormat;
    m_pszArea = pszArea;
    m_unLen = unLen;
    m_pszCurrent = new char[size_t(unLen) + 1];
    for (unsigned short p = 0; p < unLen; ++p)
        m_pszCurrent[p] = pszTemplate[p] == '~' ? Empty : pszTemplate[p];
    m_pszCurrent[unLen] = 0;
    m_nSelStart = m_nSelEnd = -1;
    m_unCursor = 0;

    m_vecAreaOf.assign(unLen, -1);
    m_vecAreas.clear();
    m_vecLastFix.assign(256, 0);
    for (unsigned short p = 0; p < unLen; ++p) {
        if (pszTemplate[p] != '~') {
            m_vecLastFix[static_cast<unsigned char>(pszTemplate[p])] = static_cast<unsigned short>(p + 1);
            continue;
        }
        if (p == 0 || pszTemplate[p - 1] != '~')
            m_vecAreas.push_back(TSpan { p, p });
        m_vecAreas.back().unEnd = p;
        m_vecAreaOf[p] = static_cast<short>(m_vecAreas.size() - 1);
    }
}

int TFmtText::BuildFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea)
{
    if (!pszTemplate || !pszFormat)
        return 0;
    size_t nLen = TFmtTextFormat::BoundedLen(pszTemplate);
    if (nLen == 0 || nLen > TFmtTextFormat::MaxLen || TFmtTextFormat::BoundedLen(pszFormat) != nLen)
        return 0;
    char* pszNewArea = nullptr;
    if (pszArea && TFmtTextFormat::BoundedLen(pszArea) == nLen) {
        pszNewArea = TFmtTextFormat::CopyText(pszArea, nLen);
    } else {
        pszNewArea = new char[nLen + 1];
        std::memset(pszNewArea, 'a', nLen);
        pszNewArea[nLen] = 0;
    }
    Adopt(TFmtTextFormat::CopyText(pszTemplate, nLen), TFmtTextFormat::CopyText(pszFormat, nLen), pszNewArea,
          static_cast<unsigned short>(nLen));
    m_unCursor = GetBegPos();
    return 1;
}

// Format

int TFmtText::SetCustomFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea)
{
    HideSelection();
    return BuildFormat(pszTemplate, pszFormat, pszArea);
}

int TFmtText::SetCustomFormat(const TFmtTextFormat& coFormat)
{
    return SetCustomFormat(coFormat.GetTemplate(), coFormat.GetFormat(), coFormat.GetArea());
}

int TFmtText::SetStringFormat(short nLength)
{
    if (nLength < 1 || nLength > kBuiltInMax)
        return 0;
    std::string strTemplate(size_t(nLength), '~'), strFormat(size_t(nLength), '*'), strArea(size_t(nLength), 'a');
    return SetCustomFormat(strTemplate.c_str(), strFormat.c_str(), strArea.c_str());
}

int TFmtText::SetIntFormat(short nDigits, int nRightAligned)
{
    if (nDigits < 1 || nDigits > kBuiltInMax)
        return 0;
    std::string strTemplate(size_t(nDigits), '~'), strFormat(size_t(nDigits), '9'), strArea(size_t(nDigits), 'a');
    strArea[0] = nRightAligned ? 'r' : 'g';
    return SetCustomFormat(strTemplate.c_str(), strFormat.c_str(), strArea.c_str());
}

// An integer area of at least one position is required: without one the
// separator would lead the text and GetDouble would read the decimals as
// the integer part.
int TFmtText::SetDoubleFormat(short nInteger, short nFraction, int nRightAligned)
{
    if (nInteger < 1 || nFraction < 1 || nInteger + nFraction > kBuiltInMax)
        return 0;
    std::string strTemplate(size_t(nInteger), '~'), strFormat(size_t(nInteger), '+'), strArea(size_t(nInteger), 'a');
    strArea[0] = nRightAligned ? 'r' : 'h';
    strTemplate += ',';
    strFormat += '~';
    strArea += '~';
    if (nFraction > 1) {
        strTemplate.append(size_t(nFraction - 1), '~');
        strFormat.append(size_t(nFraction - 1), '9');
        strArea += 'b';
        strArea.append(size_t(nFraction - 2), 'a');
    }
    return SetCustomFormat(strTemplate.c_str(), strFormat.c_str(), strArea.c_str());
}

// Positions and areas

int TFmtText::IsInputPos(unsigned short unPos) const { return unPos < m_unLen && m_pszTemplate[unPos] == '~'; }

unsigned short TFmtText::GetFirstInputPos() const
{
    return m_vecAreas.empty() ? m_unLen : m_vecAreas.front().unBeg;
}

unsigned short TFmtText::GetLastInputPos() const
{
    return m_vecAreas.empty() ? m_unLen : m_vecAreas.back().unEnd;
}

unsigned short TFmtText::NextInput(unsigned short unPos) const
{
    for (unsigned p = unsigned(unPos) + 1; p < m_unLen; ++p)
        if (IsInputPos(static_cast<unsigned short>(p)))
            return static_cast<unsigned short>(p);
    return m_unLen;
}

unsigned short TFmtText::PrevInput(unsigned short unPos) const
{
    unsigned short p = unPos > m_unLen ? m_unLen : unPos;
    while (p > 0) {
        --p;
        if (IsInputPos(p))
            return p;
    }
    return m_unLen;
}

unsigned short TFmtText::NextCursorPos(unsigned short unPos, short* pnFixPassed) const
{
    if (pnFixPassed)
        *pnFixPassed = -1;
    if (unPos >= m_unLen)
        return m_unLen;
    if (pnFixPassed && IsFixPos(static_cast<unsigned short>(unPos + 1)))
        *pnFixPassed = static_cast<short>(unPos + 1);
    return NextInput(unPos);
}

unsigned short TFmtText::PrevCursorPos(unsigned short unPos, short* pnFixPassed) const
{
    if (pnFixPassed)
        *pnFixPassed = -1;
    if (unPos == 0)
        return 0;
    if (pnFixPassed && IsFixPos(static_cast<unsigned short>(unPos - 1)))
        *pnFixPassed = static_cast<short>(unPos - 1);
    return PrevInput(unPos);
}

unsigned short TFmtText::NextFixPos(unsigned short unPos) const
{
    if (unPos >= m_unLen)
        return unPos;
    unsigned p = unsigned(unPos) + 1;
    if (IsInputPos(static_cast<unsigned short>(p)))
        p = unsigned(m_vecAreas[size_t(m_vecAreaOf[p])].unEnd) + 1;
    return p < m_unLen ? static_cast<unsigned short>(p) : m_unLen;
}

unsigned short TFmtText::PrevFixPos(unsigned short unPos) const
{
    if (unPos == 0 || unPos > m_unLen)
        return unPos;
    unsigned short p = static_cast<unsigned short>(unPos - 1);
    if (!IsInputPos(p))
        return p;
    unsigned short unBeg = m_vecAreas[size_t(m_vecAreaOf[p])].unBeg;
    return unBeg == 0 ? m_unLen : static_cast<unsigned short>(unBeg - 1);
}

// The area around an input position; L counts as the last position when
// the text ends with an input position.
int TFmtText::SpanOf(unsigned short unPos, TSpan& coSpan) const
{
    if (unPos == m_unLen && m_unLen > 0 && IsInputPos(static_cast<unsigned short>(m_unLen - 1)))
        unPos = static_cast<unsigned short>(m_unLen - 1);
    if (!IsInputPos(unPos))
        return 0;
    coSpan = m_vecAreas[size_t(m_vecAreaOf[unPos])];
    return 1;
}

short TFmtText::GetArea(unsigned short unPos, unsigned short* punBeg, unsigned short* punEnd) const
{
    TSpan coSpan;
    if (!SpanOf(unPos, coSpan)) {
        if (punBeg)
            *punBeg = 0;
        if (punEnd)
            *punEnd = 0;
        return -1;
    }
    if (punBeg)
        *punBeg = coSpan.unBeg;
    if (punEnd)
        *punEnd = coSpan.unEnd;
    return m_vecAreaOf[coSpan.unBeg];
}

int TFmtText::GetAreaBegEnd(short nArea, unsigned short* punBeg, unsigned short* punEnd) const
{
    if (nArea < 0 || size_t(nArea) >= m_vecAreas.size())
        return 0;
    if (punBeg)
        *punBeg = m_vecAreas[size_t(nArea)].unBeg;
    if (punEnd)
        *punEnd = m_vecAreas[size_t(nArea)].unEnd;
    return 1;
}

unsigned short TFmtText::GetAreaCount() const { return static_cast<unsigned short>(m_vecAreas.size()); }

short TFmtText::GetAreaFlagPos(unsigned short unArea) const
{
    unsigned short unBeg = 0;
    if (unArea > 0x7FFF || !GetAreaBegEnd(static_cast<short>(unArea), &unBeg, nullptr))
        return -1;
    return static_cast<short>(unBeg);
}

char TFmtText::GetAreaFlag(unsigned short unArea) const
{
    short nPos = GetAreaFlagPos(unArea);
    return nPos < 0 ? 0 : m_pszArea[nPos];
}

int TFmtText::SetAreaFlag(unsigned short unArea, char chFlag)
{
    short nPos = GetAreaFlagPos(unArea);
    if (nPos < 0 || chFlag == 0)
        return 0;
    m_pszArea[nPos] = chFlag;
    return 1;
}

unsigned short TFmtText::GetBegPos() const
{
    unsigned short unFirst = GetFirstInputPos();
    TSpan coSpan;
    if (unFirst >= m_unLen || !SpanOf(unFirst, coSpan))
        return m_unLen;
    // A right-aligned area takes input on its last position, also when it
    // runs to the end of the text.
    return IsRightSpan(coSpan) ? coSpan.unEnd : unFirst;
}

unsigned short TFmtText::GetEndPos() const
{
    unsigned short unLast = m_unLen;
    for (unsigned short p = m_unLen; p > 0; --p) {
        if (IsFilled(static_cast<unsigned short>(p - 1))) {
            unLast = static_cast<unsigned short>(p - 1);
            break;
        }
    }
    // Nothing filled: input starts where Home puts the cursor, not after
    // the text where nothing can be entered.
    if (unLast == m_unLen)
        return GetBegPos();
    unsigned short unEnd = NextCursorPos(unLast);
    TSpan coSpan;
    if (unEnd == m_unLen) {
        if (SpanOf(GetLastInputPos(), coSpan) && IsRightSpan(coSpan))
            return coSpan.unEnd;
        return unEnd;
    }
    if (SpanOf(unEnd, coSpan) && IsRightSpan(coSpan))
        return coSpan.unEnd;
    return unEnd;
}

short TFmtText::AreaAround(unsigned short unPos) const
{
    if (unPos >= m_unLen)
        unPos = GetLastInputPos();
    return GetArea(unPos, nullptr, nullptr);
}

short TFmtText::AreaLeftOf(unsigned short unFix) const
{
    unsigned short unPos = PrevInput(unFix);
    return unPos < m_unLen ? GetArea(unPos, nullptr, nullptr) : short(-1);
}

short TFmtText::AreaRightOf(unsigned short unFix) const
{
    unsigned short unPos = NextInput(unFix);
    return unPos < m_unLen ? GetArea(unPos, nullptr, nullptr) : short(-1);
}

short TFmtText::SpanSize(short nArea) const
{
    unsigned short unBeg = 0, unEnd = 0;
    if (!GetAreaBegEnd(nArea, &unBeg, &unEnd))
        return 0;
    return static_cast<short>(unEnd - unBeg + 1);
}

short TFmtText::CursorArea() const { return AreaAround(m_unCursor); }

int TFmtText::IsRightAlignedMode(TSpan* pcoSpan) const
{
    TSpan coSpan;
    if (m_unCursor >= m_unLen || !SpanOf(m_unCursor, coSpan) || !IsRightSpan(coSpan) || m_unCursor != coSpan.unEnd)
        return 0;
    if (pcoSpan)
        *pcoSpan = coSpan;
    return 1;
}

// Characters of several bytes

int TFmtText::IsUtf8Text() const
{
    if (m_nUtf8 < 0)
        m_nUtf8 = CurrentOS().IsUtf8Text() ? 1 : 0;
    return m_nUtf8;
}

unsigned short TFmtText::CharStart(unsigned short unPos) const
{
    TSpan coSpan;
    if (!IsUtf8Text() || !SpanOf(unPos, coSpan))
        return unPos;
    const char* pchArea = m_pszCurrent + coSpan.unBeg;
    const size_t nLength = size_t(coSpan.unEnd) + 1 - coSpan.unBeg;
    size_t nAt = 0;
    for (;;) {
        const size_t nNext = TUtf8::Next(pchArea, nLength, nAt);
        if (nNext == nAt || coSpan.unBeg + nNext > unPos)
            return static_cast<unsigned short>(coSpan.unBeg + nAt);
        nAt = nNext;
    }
}

unsigned short TFmtText::CharEnd(unsigned short unPos) const
{
    TSpan coSpan;
    if (!IsUtf8Text() || !SpanOf(unPos, coSpan))
        return static_cast<unsigned short>(unPos + 1);
    const unsigned short unStart = CharStart(unPos);
    return static_cast<unsigned short>(unStart + TUtf8::CharSize(m_pszCurrent + unStart, size_t(coSpan.unEnd) + 1 - unStart));
}

// Validity

int TFmtText::IsSpecialAlphaCharacter(char ch, char* pchConverted, int* pnUpper) const
{
    unsigned char uch = static_cast<unsigned char>(ch);
    int nUpperVowel = uch == 0xC4 || uch == 0xD6 || uch == 0xDC;
    int nLowerVowel = uch == 0xE4 || uch == 0xF6 || uch == 0xFC;
    int nSpecial = nUpperVowel || nLowerVowel || uch == 0xDF;
    char chConverted = ch;
    if (nSpecial && pnUpper) {
        if (*pnUpper && nLowerVowel)
            chConverted = static_cast<char>(uch - 0x20);
        else if (!*pnUpper && nUpperVowel)
            chConverted = static_cast<char>(uch + 0x20);
    }
    if (pchConverted)
        *pchConverted = chConverted;
    return nSpecial;
}

char TFmtText::ConvertCase(char ch, int nUpper) const
{
    if (nUpper && ch >= 'a' && ch <= 'z')
        return static_cast<char>(ch - 'a' + 'A');
    if (!nUpper && ch >= 'A' && ch <= 'Z')
        return static_cast<char>(ch - 'A' + 'a');
    // A byte of a UTF-8 character is never changed.
    char chConverted = ch;
    if (!IsUtf8Text())
        IsSpecialAlphaCharacter(ch, &chConverted, &nUpper);
    return chConverted;
}

int TFmtText::SignRuleAllows(unsigned short unPos) const
{
    TSpan coSpan;
    if (!SpanOf(unPos, coSpan))
        return 0;
    if (IsRightSpan(coSpan))
        return 1;
    if (unPos != coSpan.unBeg)
        return 0;
    for (unsigned short p = coSpan.unBeg; p <= coSpan.unEnd; ++p)
        if (m_pszFormat[p] != '+')
            return 0;
    return 1;
}

int TFmtText::CharValid(unsigned short unPos, char ch, char* pchStored, int nCheckRoom) const
{
    if (pchStored)
        *pchStored = ch;
    if (m_unLen == 0 || unPos >= m_unLen)
        return 0;
    if (!IsInputPos(unPos))
        return ch == m_pszTemplate[unPos];
    // 0 would end the text and Empty marks an empty position.
    if (ch == 0 || ch == Empty)
        return 0;
    TSpan coSpan;
    SpanOf(unPos, coSpan);
    if (nCheckRoom && IsRightSpan(coSpan) && IsFilled(coSpan.unBeg))
        return 0;

    // In UTF-8 text every byte of a character beyond ASCII counts as a
    // letter's: the character is taken whole or not at all.
    int nAlpha = IsLetter(ch)
        || (IsUtf8Text() ? static_cast<unsigned char>(ch) >= 0x80 : IsSpecialAlphaCharacter(ch, nullptr, nullptr));
    int nValid = 0;
    char chStored = ch;
    switch (m_pszFormat[unPos]) {
    case '*': nValid = 1; break;
    case '9': nValid = IsDigit(ch); break;
    case '+': nValid = IsDigit(ch) || ((ch == '+' || ch == '-') && SignRuleAllows(unPos)); break;
    case 'A': nValid = nAlpha; chStored = ConvertCase(ch, 1); break;
    case 'a': nValid = nAlpha; chStored = ConvertCase(ch, 0); break;
    case 'B': nValid = nAlpha; break;
    case 'X': nValid = nAlpha || IsDigit(ch); chStored = ConvertCase(ch, 1); break;
    case 'x': nValid = nAlpha || IsDigit(ch); chStored = ConvertCase(ch, 0); break;
    case 'Y': nValid = nAlpha || IsDigit(ch); break;
    case 'C': nValid = !IsDigit(ch); chStored = ConvertCase(ch, 1); break;
    case 'c': nValid = !IsDigit(ch); chStored = ConvertCase(ch, 0); break;
    case 'D': nValid = !IsDigit(ch); break;
    case 'Z': nValid = 1; chStored = ConvertCase(ch, 1); break;
    case 'z': nValid = 1; chStored = ConvertCase(ch, 0); break;
    default: break;
    }
    if (nValid && pchStored)
        *pchStored = chStored;
    return nValid;
}

// Entering characters

int TFmtText::Input(unsigned short unPos, char chKey, unsigned short unFlags)
{
    if (!IsInputPos(unPos))
        return 0;
    unsigned short unOld = m_unCursor;
    m_unCursor = unPos;
    int nResult = Input(chKey, unFlags);
    if (!nResult)
        m_unCursor = unOld;
    return nResult;
}

int TFmtText::Input(char chKey, unsigned short unFlags)
{
    if (IsKeyCode(chKey))
        return OnKey(chKey, unFlags);
    if (InputFixKey(chKey))
        return 1;
    TSpan coSpan;
    if (IsRightAlignedMode(&coSpan))
        return InputRightAligned(chKey, coSpan.unBeg);
    if (m_unCursor < m_unLen && !CharValid(m_unCursor, chKey, nullptr, 0))
        return 0;
    short nStart = -1, nEnd = -1;
    if (GetSelection(&nStart, &nEnd)) {
        // The selection is replaced only by a character that its first
        // position accepts; anything else would delete it for nothing.
        if (!CharValid(static_cast<unsigned short>(nStart), chKey, nullptr, 0))
            return 0;
        RemoveSelection();
        Input(chKey, unFlags);
        return 1;
    }
    return m_nInsertMode ? InputNormalInsert(chKey) : InputNormalReplace(chKey);
}

int TFmtText::InputFixKey(char ch)
{
    if (m_unCursor >= m_unLen)
        return 0;
    // Most characters typed are no separator at all, or none after the
    // cursor: those are answered without looking at the text.
    int nPoint = ch == '.' || ch == ',';
    unsigned unLastCandidate = m_vecLastFix[static_cast<unsigned char>(ch)];
    if (nPoint)
        unLastCandidate = std::max({ unLastCandidate, unsigned(m_vecLastFix[size_t('.')]), unsigned(m_vecLastFix[size_t(',')]) });
    if (unLastCandidate <= unsigned(m_unCursor) + 1)
        return 0;
    unsigned short unFix = m_unLen;
    for (unsigned p = unsigned(m_unCursor) + 1; p < m_unLen && unFix == m_unLen; ++p) {
        unsigned short unPos = static_cast<unsigned short>(p);
        if (IsInputPos(unPos)) {
            p = m_vecAreas[size_t(m_vecAreaOf[unPos])].unEnd;
            continue;
        }
        char chFix = m_pszTemplate[unPos];
        if (chFix == ch) {
            unFix = unPos;
            continue;
        }
        // A decimal point typed in a number finds the separator whichever
        // of the two characters it is.
        if (!nPoint || (chFix != '.' && chFix != ','))
            continue;
        TSpan coSpan;
        if (!SpanOf(static_cast<unsigned short>(unPos - 1), coSpan))
            continue;
        int nNumeric = 1;
        for (unsigned short q = coSpan.unBeg; q <= coSpan.unEnd && nNumeric; ++q)
            nNumeric = m_pszFormat[q] == '9' || m_pszFormat[q] == '+';
        if (nNumeric)
            unFix = unPos;
    }
    if (unFix == m_unLen)
        return 0;

    HideSelection();
    unsigned short unOld = m_unCursor;
    unsigned short unTarget = NextCursorPos(unFix);
    m_unCursor = unTarget;
    int nCalls = 0;
    for (unsigned short g = static_cast<unsigned short>(unOld + 1); g <= unFix && nCalls < kMaxFixCalls; ++g) {
        if (IsFixPos(g) && IsInputPos(static_cast<unsigned short>(g - 1))) {
            FixCharPassed(g, 2);
            ++nCalls;
        }
    }
    // An area passed on the way may have taken the cursor without the area
    // after the separator taking it back (a single-position area is left
    // without a call): the cursor belongs after the separator.
    TSpan coSpan;
    if (unTarget >= m_unLen)
        m_unCursor = m_unLen;
    else if (SpanOf(unTarget, coSpan) && (m_unCursor < coSpan.unBeg || m_unCursor > coSpan.unEnd))
        m_unCursor = unTarget;
    SettleInArea(0);
    return 1;
}

int TFmtText::InputNormalInsert(char ch)
{
    char chStored = ch;
    if (m_unCursor >= m_unLen || !CharValid(m_unCursor, ch, &chStored, 1))
        return 0;
    unsigned short unFree = m_unCursor;
    while (IsFilled(unFree))
        ++unFree;
    if (!IsEmptyPos(unFree))
        return 0;
    std::memmove(m_pszCurrent + m_unCursor + 1, m_pszCurrent + m_unCursor, size_t(unFree - m_unCursor));
    m_pszCurrent[m_unCursor] = chStored;
    ++m_unCursor;
    if (IsFixPos(m_unCursor)) {
        unsigned short unFix = m_unCursor;
        m_unCursor = NextInput(unFix);
        FixCharPassed(unFix, 2);
        SettleInArea(0);
    }
    return 1;
}

int TFmtText::InputNormalReplace(char ch)
{
    char chStored = ch;
    if (m_unCursor >= m_unLen || !IsInputPos(m_unCursor) || !CharValid(m_unCursor, ch, &chStored, 0))
        return 0;
    m_pszCurrent[m_unCursor] = chStored;
    short nFix = -1;
    m_unCursor = NextCursorPos(m_unCursor, &nFix);
    if (nFix >= 0) {
        FixCharPassed(static_cast<unsigned short>(nFix), 2);
        SettleInArea(0);
    }
    return 1;
}

// Characters enter at the cursor (the area's last position) and push the
// content left. In an area of "+" codes one position stays free for a sign
// as long as there is none; the sign stands right before the number and
// moves left with it.
int TFmtText::InputRightAligned(char ch, unsigned short unAreaBeg)
{
    unsigned short unCursor = m_unCursor;
    char chStored = ch;
    if (unCursor >= m_unLen || unAreaBeg > unCursor || !CharValid(unCursor, ch, &chStored, 0))
        return 0;
    for (unsigned short p = unAreaBeg; p <= unCursor; ++p)
        if (!IsInputPos(p))
            return 0;
    unsigned short unEmpty = 0;
    while (unAreaBeg + unEmpty <= unCursor && IsEmptyPos(static_cast<unsigned short>(unAreaBeg + unEmpty)))
        ++unEmpty;
    unsigned short unFirstFilled = static_cast<unsigned short>(unAreaBeg + unEmpty);
    unsigned short unSize = static_cast<unsigned short>(unCursor - unAreaBeg + 1);

    if (m_pszFormat[unCursor] == '+') {
        int nSign = unFirstFilled <= unCursor && m_pszCurrent[unFirstFilled] == '-';
        if (ch == '-' || ch == '+') {
            if (nSign) {
                if (ch == '+')
                    m_pszCurrent[unFirstFilled] = Empty;
                return 1;
            }
            if (unEmpty == 0)
                return 0;
            if (ch == '-')
                m_pszCurrent[unFirstFilled - 1] = '-';
            return 1;
        }
        if (unEmpty == 0 || (!nSign && unSize > 1 && unEmpty < 2))
            return 0;
    } else if (unEmpty == 0) {
        return 0;
    }
    if (unFirstFilled <= unCursor)
        std::memmove(m_pszCurrent + unFirstFilled - 1, m_pszCurrent + unFirstFilled, size_t(unCursor - unFirstFilled + 1));
    m_pszCurrent[unCursor] = chStored;
    return 1;
}

// Areas and alignment

int TFmtText::FixCharPassed(unsigned short unPos, unsigned short unDirection)
{
    if (!IsFixPos(unPos))
        return 0;
    HideSelection();
    if (unDirection != 1 && unDirection != 2)
        return 0;
    short nLeft = AreaLeftOf(unPos);
    short nRight = AreaRightOf(unPos);
    short nLeaving = unDirection == 1 ? nRight : nLeft;
    short nEntering = unDirection == 1 ? nLeft : nRight;
    if (nLeaving < 0 || SpanSize(nLeaving) <= 1)
        return 0;
    int nExit = ExitArea(nLeaving);
    int nEnter = nEntering >= 0 ? EnterArea(nEntering) : 0;
    return nExit ? nExit : nEnter;
}

int TFmtText::ExitArea(short nArea) { return AutoViewAlign(nArea); }

int TFmtText::EnterArea(short nArea)
{
    HideSelection();
    int nAlign = AutoInputAlign(nArea);
    int nSelect = m_nSelectOnEnter ? SelectArea(nArea) : 0;
    return nAlign ? nAlign : nSelect;
}

int TFmtText::AutoInputAlign(short nArea)
{
    HideSelection();
    unsigned short unBeg = 0, unEnd = 0;
    if (!GetAreaBegEnd(nArea, &unBeg, &unEnd))
        return 0;
    char chFlag = m_pszArea[unBeg];
    unsigned short unOld = m_unCursor;
    int nAlign = 0;
    if (IsRightFlag(chFlag)) {
        m_unCursor = unEnd;
        return m_unCursor != unOld ? 1 : 0;
    }
    if (chFlag == 'g' || chFlag == 'h')
        nAlign = AlignAreaLeft(unBeg, unEnd);
    unsigned short unLast = unEnd;
    while (unLast > unBeg && !IsFilled(unLast))
        --unLast;
    if (!IsFilled(unLast))
        m_unCursor = unBeg;
    else if (unLast < unEnd)
        m_unCursor = static_cast<unsigned short>(unLast + 1);
    else
        m_unCursor = unEnd + 1 == m_unLen ? m_unLen : unEnd;
    return m_unCursor != unOld ? 1 : nAlign;
}

int TFmtText::AutoViewAlign(short nArea)
{
    HideSelection();
    unsigned short unBeg = 0, unEnd = 0;
    if (!GetAreaBegEnd(nArea, &unBeg, &unEnd))
        return 0;
    int nAlign = 0;
    switch (m_pszArea[unBeg]) {
    case 'b':
    case 's':
        for (unsigned short p = unBeg; p <= unEnd; ++p)
            if (m_pszCurrent[p] == Empty)
                m_pszCurrent[p] = '0';
        return 1;
    case 'g':
        return AlignAreaRight(unBeg, unEnd);
    case 'h':
        nAlign = AlignAreaRight(unBeg, unEnd);
        if (m_pszCurrent[unEnd] == Empty)
            m_pszCurrent[unEnd] = '0';
        return nAlign;
    case 't':
        if (m_pszCurrent[unEnd] == Empty)
            m_pszCurrent[unEnd] = '0';
        return 0;
    default:
        return 0;
    }
}

int TFmtText::AlignAreaRight(unsigned short unBeg, unsigned short unEnd) { return AlignArea(unBeg, unEnd, 1); }

int TFmtText::AlignAreaLeft(unsigned short unBeg, unsigned short unEnd) { return AlignArea(unBeg, unEnd, 0); }

// Moving the content as a block is the same as moving it by one position
// as often as there are empty positions at the far end, without the
// quadratic cost for long areas.
int TFmtText::AlignArea(unsigned short unBeg, unsigned short unEnd, int nToRight)
{
    if (!(unEnd > 0 && unEnd < m_unLen && unBeg < unEnd))
        return 0;
    for (unsigned short p = unBeg; p <= unEnd; ++p)
        if (!IsInputPos(p))
            return 0;
    const size_t nSize = size_t(unEnd - unBeg) + 1;
    size_t nEmpty = 0;
    while (nEmpty < nSize && m_pszCurrent[nToRight ? unEnd - nEmpty : unBeg + nEmpty] == Empty)
        ++nEmpty;
    if (nEmpty == 0 || nEmpty == nSize)
        return 0;
    char* pchContent = m_pszCurrent + unBeg;
    if (nToRight) {
        std::memmove(pchContent + nEmpty, pchContent, nSize - nEmpty);
        std::memset(pchContent, Empty, nEmpty);
    } else {
        std::memmove(pchContent, pchContent + nEmpty, nSize - nEmpty);
        std::memset(pchContent + nSize - nEmpty, Empty, nEmpty);
    }
    return 1;
}

// After the cursor has passed into another area: a right-aligned area
// takes input on its last position; with nSkipEmpty a cursor on the first
// position of a left-aligned area moves over its empty leading positions,
// but stays on the first position of a wholly empty area, where input can
// start.
void TFmtText::SettleInArea(int nSkipEmpty)
{
    TSpan coSpan;
    if (m_unCursor >= m_unLen || !SpanOf(m_unCursor, coSpan))
        return;
    if (IsRightSpan(coSpan)) {
        m_unCursor = coSpan.unEnd;
        return;
    }
    if (!nSkipEmpty || m_unCursor != coSpan.unBeg)
        return;
    unsigned short p = coSpan.unBeg;
    while (p <= coSpan.unEnd && IsEmptyPos(p))
        ++p;
    if (p <= coSpan.unEnd)
        m_unCursor = p;
}

// Cursor and focus

void TFmtText::SetCursorPos(unsigned short unPos)
{
    HideSelection();
    if (unPos > m_unLen)
        unPos = m_unLen;
    if (IsFixPos(unPos))
        unPos = NextCursorPos(unPos);
    TSpan coSpan;
    short nTarget = GetArea(unPos, &coSpan.unBeg, &coSpan.unEnd);
    if (nTarget < 0)
        return;
    short nCurrent = GetArea(m_unCursor, nullptr, nullptr);
    if (IsRightSpan(coSpan)) {
        unPos = coSpan.unEnd;
    } else {
        if (nTarget != nCurrent) {
            unsigned short unKeep = m_unCursor;
            AutoInputAlign(nTarget);
            m_unCursor = unKeep;
        }
        while (unPos > coSpan.unBeg && IsEmptyPos(static_cast<unsigned short>(unPos - 1)))
            --unPos;
        unPos = CharStart(unPos);
    }
    if (unPos == m_unCursor)
        return;
    if (nTarget != nCurrent) {
        if (nCurrent >= 0)
            ExitArea(nCurrent);
        m_unCursor = unPos;
        EnterArea(nTarget);
    }
    // A click puts the cursor where it was clicked, also when entering the
    // area moved it.
    m_unCursor = unPos;
}

void TFmtText::GotFocus()
{
    HideSelection();
    EnterArea(0);
    unsigned short unBeg = 0, unEnd = 0;
    GetAreaBegEnd(0, &unBeg, &unEnd);
    NotifyFocusGot(0, unBeg, unEnd);
}

void TFmtText::LostFocus()
{
    HideSelection();
    short nArea = CursorArea();
    if (nArea < 0)
        return;
    unsigned short unCount = GetAreaCount();
    for (unsigned short a = 0; a < unCount; ++a)
        if (short(a) != nArea)
            AutoViewAlign(static_cast<short>(a));
    ExitArea(nArea);
    unsigned short unBeg = 0, unEnd = 0;
    GetAreaBegEnd(nArea, &unBeg, &unEnd);
    NotifyFocusLost(nArea, unBeg, unEnd);
}

void TFmtText::NotifyFocusLost(short, unsigned short, unsigned short) {}
void TFmtText::NotifyFocusGot(short, unsigned short, unsigned short) {}

// Keys

int TFmtText::OnKey(char chKey, unsigned short unFlags)
{
    std::string strBefore(m_pszCurrent, m_unLen);
    unsigned short unCursor = m_unCursor;
    short nSelStart = m_nSelStart, nSelEnd = m_nSelEnd;
    switch (chKey) {
    case KeyBackspace: OnBackspace(); break;
    case KeyDelete:
        if (!RemoveSelection())
            DeleteAtCursor();
        break;
    case KeyHome: OnHome(unFlags); break;
    case KeyEnd: OnEnd(unFlags); break;
    case KeyLeft: OnLeft(unFlags); break;
    case KeyRight: OnRight(unFlags); break;
    default: break;
    }
    return m_unCursor != unCursor || m_nSelStart != nSelStart || m_nSelEnd != nSelEnd
        || strBefore.compare(0, std::string::npos, m_pszCurrent, m_unLen) != 0;
}

void TFmtText::OnBackspace()
{
    if (RemoveSelection() || IsRightAlignedMode())
        return;
    unsigned short unFirst = GetFirstInputPos();
    if (unFirst >= m_unLen || m_unCursor <= unFirst)
        return;
    unsigned short unBefore = static_cast<unsigned short>(m_unCursor - 1);
    TSpan coSpan;
    if (IsInputPos(unBefore)) {
        SpanOf(unBefore, coSpan);
        const unsigned short unStart = CharStart(unBefore);
        const size_t nCount = size_t(m_unCursor - unStart);
        std::memmove(m_pszCurrent + unStart, m_pszCurrent + m_unCursor, size_t(coSpan.unEnd + 1 - m_unCursor));
        std::memset(m_pszCurrent + coSpan.unEnd + 1 - nCount, Empty, nCount);
        m_unCursor = unStart;
        return;
    }
    short nFix = -1;
    unsigned short unPos = PrevCursorPos(m_unCursor, &nFix);
    if (unPos >= m_unLen || !SpanOf(unPos, coSpan))
        return;
    if (!IsRightSpan(coSpan)) {
        while (unPos > coSpan.unBeg && IsEmptyPos(unPos))
            --unPos;
        if (IsFilled(unPos)) {
            const unsigned short unStart = CharStart(unPos);
            std::memset(m_pszCurrent + unStart, Empty, size_t(unPos + 1 - unStart));
            unPos = unStart;
        }
    }
    m_unCursor = unPos;
    if (nFix >= 0)
        FixCharPassed(static_cast<unsigned short>(nFix), 1);
}

void TFmtText::DeleteAtCursor()
{
    unsigned short unFirst = GetFirstInputPos();
    if (unFirst >= m_unLen || m_unCursor < unFirst)
        return;
    TSpan coSpan;
    if (IsRightAlignedMode(&coSpan)) {
        // The rightmost character goes, with all its bytes.
        const unsigned short unStart = CharStart(m_unCursor);
        const size_t nCount = size_t(m_unCursor + 1 - unStart);
        std::memmove(m_pszCurrent + coSpan.unBeg + nCount, m_pszCurrent + coSpan.unBeg, size_t(unStart - coSpan.unBeg));
        std::memset(m_pszCurrent + coSpan.unBeg, Empty, nCount);
        return;
    }
    if (m_unCursor >= m_unLen || !SpanOf(m_unCursor, coSpan))
        return;
    const size_t nCount = size_t(CharEnd(m_unCursor) - m_unCursor);
    std::memmove(m_pszCurrent + m_unCursor, m_pszCurrent + m_unCursor + nCount, size_t(coSpan.unEnd + 1 - m_unCursor - nCount));
    std::memset(m_pszCurrent + coSpan.unEnd + 1 - nCount, Empty, nCount);
}

// Moves the cursor to another area the way Home and End do: the old area
// is left before and the new one entered after the cursor is set.
void TFmtText::MoveCursorAcross(unsigned short unTarget)
{
    short nOld = AreaAround(m_unCursor);
    short nNew = AreaAround(unTarget);
    if (nOld != nNew) {
        if (nOld >= 0)
            ExitArea(nOld);
        m_unCursor = unTarget;
        if (nNew >= 0)
            EnterArea(nNew);
    }
    m_unCursor = unTarget;
}

// Moves the cursor to Home's or End's target; the selection as it was
// before comes back in coWas. True when Shift extends a selection within
// one area, which the caller then adjusts.
bool TFmtText::JumpTo(unsigned short unTarget, unsigned short unFlags, TSelectionWas& coWas)
{
    coWas.nHad = GetSelection(&coWas.nStart, &coWas.nEnd);
    const bool bSameArea = AreaAround(m_unCursor) == AreaAround(unTarget) && AreaAround(unTarget) >= 0;
    MoveCursorAcross(unTarget);
    return (unFlags & FlagShift) && bSameArea;
}

void TFmtText::OnHome(unsigned short unFlags)
{
    if (!(unFlags & FlagShift))
        HideSelection();
    const unsigned short unOld = m_unCursor;
    const unsigned short unTarget = GetBegPos();
    TSelectionWas coWas;
    if (unTarget >= unOld || !JumpTo(unTarget, unFlags, coWas))
        return;
    if (!coWas.nHad)
        SetSelection(unTarget, static_cast<unsigned short>(unOld - 1));
    else if (coWas.nStart > short(unTarget))
        SetSelection(unTarget, static_cast<unsigned short>(coWas.nEnd));
    else
        HideSelection();
}

void TFmtText::OnEnd(unsigned short unFlags)
{
    if (!(unFlags & FlagShift))
        HideSelection();
    const unsigned short unOld = m_unCursor;
    const unsigned short unTarget = GetEndPos();
    TSelectionWas coWas;
    if (unTarget <= unOld || !JumpTo(unTarget, unFlags, coWas))
        return;
    const unsigned short unLast = unTarget >= m_unLen ? static_cast<unsigned short>(m_unLen - 1) : unTarget;
    if (!coWas.nHad)
        SetSelection(unOld, unLast);
    else if (coWas.nEnd < short(unTarget))
        SetSelection(static_cast<unsigned short>(coWas.nStart), unLast);
    else
        HideSelection();
}

void TFmtText::OnLeft(unsigned short unFlags)
{
    unsigned short unOld = m_unCursor;
    short nStart = -1, nEnd = -1;
    int nHadSel = GetSelection(&nStart, &nEnd);
    int nHidden = !(unFlags & FlagShift) && HideSelection();
    if (IsRightAlignedMode()) {
        unsigned short unFix = PrevFixPos(unOld);
        unsigned short unPos = unFix < m_unLen ? PrevInput(unFix) : m_unLen;
        if (unPos < m_unLen) {
            m_unCursor = unPos;
            FixCharPassed(unFix, 1);
        }
        return;
    }
    short nFix = -1;
    unsigned short unTarget = unOld;
    TSpan coSpan;
    if ((unFlags & FlagCtrl) && SpanOf(unOld, coSpan) && unOld > coSpan.unBeg) {
        unTarget = coSpan.unBeg;
    } else {
        unsigned short unPos = PrevCursorPos(unOld, &nFix);
        int nRefused = unPos >= m_unLen || unPos >= unOld;
        if (!(unFlags & FlagCtrl) && nHidden && !IsFilled(static_cast<unsigned short>(unOld - 1)))
            nRefused = 1;
        if (nRefused)
            return;
        unTarget = CharStart(unPos);
    }
    m_unCursor = unTarget;
    if (nFix >= 0)
        FixCharPassed(static_cast<unsigned short>(nFix), 1);
    else if (unFlags & FlagShift)
        FollowSelection(unOld, nHadSel, nStart, nEnd);
}

void TFmtText::OnRight(unsigned short unFlags)
{
    unsigned short unOld = m_unCursor;
    short nStart = -1, nEnd = -1;
    int nHadSel = GetSelection(&nStart, &nEnd);
    int nHidden = !(unFlags & FlagShift) && HideSelection();
    if (unOld >= m_unLen)
        return;
    short nFix = -1;
    if (unFlags & FlagCtrl) {
        if (unOld + 1 == m_unLen) {
            m_unCursor = m_unLen;
        } else if (IsFilled(unOld)) {
            unsigned short p = unOld;
            while (IsFilled(p))
                ++p;
            if (IsFixPos(p)) {
                nFix = static_cast<short>(p);
                m_unCursor = NextInput(p);
                FixCharPassed(p, 2);
                SettleInArea(0);
            } else {
                m_unCursor = p;
            }
        } else {
            unsigned short unFix = NextFixPos(unOld);
            if (unFix < m_unLen) {
                nFix = static_cast<short>(unFix);
                m_unCursor = NextInput(unFix);
                FixCharPassed(unFix, 2);
                SettleInArea(0);
            } else {
                unsigned short unEnd = GetEndPos();
                if (unEnd > unOld)
                    m_unCursor = unEnd;
            }
        }
    } else {
        if (nHidden && !IsFilled(unOld))
            return;
        if (IsRightAlignedMode() && AreaAround(unOld) + 1 == int(GetAreaCount()))
            return;
        if (!IsFilled(unOld)) {
            unsigned short unFix = NextFixPos(unOld);
            unsigned short unPos = unFix < m_unLen ? NextInput(unFix) : m_unLen;
            if (unPos >= m_unLen)
                return;
            nFix = static_cast<short>(unFix);
            m_unCursor = unPos;
            FixCharPassed(unFix, 2);
            SettleInArea(1);
        } else {
            m_unCursor = NextCursorPos(static_cast<unsigned short>(CharEnd(unOld) - 1), &nFix);
            if (nFix >= 0) {
                FixCharPassed(static_cast<unsigned short>(nFix), 2);
                SettleInArea(1);
            }
        }
    }
    if (nFix < 0 && (unFlags & FlagShift) && m_unCursor != unOld)
        FollowSelection(unOld, nHadSel, nStart, nEnd);
}

// With the shift flag the selection follows the cursor inside its area:
// the end at which the cursor stood moves as far as the cursor did.
void TFmtText::FollowSelection(unsigned short unOld, int nHadSel, short nSelStart, short nSelEnd)
{
    int nNew = m_unCursor, nOld = unOld, nLo = 0, nHi = -1;
    if (!nHadSel) {
        nLo = nNew < nOld ? nNew : nOld;
        nHi = (nNew < nOld ? nOld : nNew) - 1;
    } else if (nOld <= nSelStart) {
        int nMoved = nSelStart + (nNew - nOld);
        nLo = nMoved <= nSelEnd ? nMoved : nSelEnd + 1;
        nHi = nMoved <= nSelEnd ? nSelEnd : nMoved - 1;
    } else {
        int nMoved = nSelEnd + (nNew - nOld);
        nLo = nMoved >= nSelStart ? nSelStart : nMoved + 1;
        nHi = nMoved >= nSelStart ? nMoved : nSelStart - 1;
    }
    if (nLo > nHi || nLo < 0 || nHi >= m_unLen) {
        HideSelection();
        return;
    }
    SetSelection(static_cast<unsigned short>(nLo), static_cast<unsigned short>(nHi));
}

// Selection

int TFmtText::SetSelection(unsigned short unStart, unsigned short unEnd)
{
    HideSelection();
    if (m_unLen == 0 || unStart > unEnd || !IsInputPos(unStart) || !IsInputPos(unEnd))
        return 0;
    TSpan coStart, coEnd;
    SpanOf(unStart, coStart);
    SpanOf(unEnd, coEnd);
    if (IsRightSpan(coStart))
        return 0;
    if (coStart.unBeg != coEnd.unBeg) {
        unStart = coStart.unBeg;
        unEnd = coStart.unEnd;
    }
    while (unStart <= unEnd && IsEmptyPos(unStart))
        ++unStart;
    while (unEnd > unStart && IsEmptyPos(unEnd))
        --unEnd;
    if (unStart > unEnd || !IsFilled(unStart))
        return 0;
    unStart = CharStart(unStart);
    unEnd = static_cast<unsigned short>(CharEnd(unEnd) - 1);
    m_nSelStart = static_cast<short>(unStart);
    m_nSelEnd = static_cast<short>(unEnd);
    return 1;
}

int TFmtText::SelectArea(short nArea)
{
    HideSelection();
    unsigned short unBeg = 0, unEnd = 0;
    if (!GetAreaBegEnd(nArea, &unBeg, &unEnd))
        return 0;
    return SetSelection(unBeg, unEnd);
}

int TFmtText::GetSelection(short* pnStart, short* pnEnd) const
{
    if (m_nSelStart < 0 || m_nSelStart > m_nSelEnd || m_nSelEnd >= m_unLen)
        return 0;
    if (pnStart)
        *pnStart = m_nSelStart;
    if (pnEnd)
        *pnEnd = m_nSelEnd;
    return 1;
}

int TFmtText::HideSelection()
{
    int nHad = m_nSelStart >= 0;
    m_nSelStart = m_nSelEnd = -1;
    return nHad;
}

// Deleting the selection's positions one by one at its start moves the rest
// of the area left by their number; this does the same in one step.
int TFmtText::RemoveSelection()
{
    short nStart = -1, nEnd = -1;
    if (!GetSelection(&nStart, &nEnd))
        return 0;
    HideSelection();
    TSpan coSpan;
    SpanOf(static_cast<unsigned short>(nStart), coSpan);
    size_t nCount = size_t(nEnd - nStart) + 1;
    std::memmove(m_pszCurrent + nStart, m_pszCurrent + nEnd + 1, size_t(coSpan.unEnd - nEnd));
    std::memset(m_pszCurrent + coSpan.unEnd + 1 - nCount, Empty, nCount);
    m_unCursor = static_cast<unsigned short>(nStart);
    return 1;
}

// Text

void TFmtText::EmptyPositions()
{
    for (unsigned short p = 0; p < m_unLen; ++p)
        if (IsInputPos(p))
            m_pszCurrent[p] = Empty;
}

void TFmtText::EmptyInput()
{
    HideSelection();
    EmptyPositions();
}

void TFmtText::SetText(const char* pszText)
{
    HideSelection();
    if (m_unLen == 0) {
        EmptyInput();
        return;
    }
    EmptyPositions();
    if (pszText && *pszText) {
        m_unCursor = GetBegPos();
        // Nothing is entered at L any more, so the rest of a long text is
        // not even looked at.
        for (const char* pch = pszText; *pch && m_unCursor < m_unLen; ++pch) {
            char ch = *pch;
            // Input would take these for keys.
            if (IsKeyCode(ch))
                continue;
            if (CharValid(m_unCursor, ch, nullptr, 1)) {
                Input(ch, 0);
                continue;
            }
            unsigned short unFix = NextFixPos(m_unCursor);
            if (unFix >= m_unLen)
                continue;
            char chFix = m_pszTemplate[unFix];
            Input(chFix, 0);
            if (ch != chFix && CharValid(m_unCursor, ch, nullptr, 1))
                Input(ch, 0);
        }
    }
    unsigned short unCount = GetAreaCount();
    for (unsigned short a = 0; a < unCount; ++a)
        AutoViewAlign(static_cast<short>(a));
}

void TFmtText::SetTextFt(const char* pszFormat, ...)
{
    // Longer texts than any template are cut, as they always were.
    TString coText;
    va_list args;
    va_start(args, pszFormat);
    coText.SetTextV(pszFormat, args, 1023);
    va_end(args);
    SetText(coText);
}

void TFmtText::SetText(double d) { SetTextFt("%lf", d); }
void TFmtText::SetText(char ch) { SetTextFt("%c", ch); }
void TFmtText::SetText(short n) { SetTextFt("%d", n); }
void TFmtText::SetText(long n) { SetTextFt("%ld", n); }

TString TFmtText::GetView(char chFill) const
{
    std::string strView(m_unLen, ' ');
    for (unsigned short p = 0; p < m_unLen; ++p) {
        if (!IsInputPos(p))
            strView[p] = m_pszTemplate[p];
        else
            strView[p] = m_pszCurrent[p] == Empty ? chFill : m_pszCurrent[p];
    }
    return TString(strView.c_str());
}

// Writes the text as GetText reads it (at most L characters and the
// terminating zero) and, in punSep, the index of the fixed character that
// follows the first area's characters (kNoSep when none does).
void TFmtText::BuildText(char* pszOut, unsigned short* punSep) const
{
    size_t nOut = 0;
    *punSep = kNoSep;
    int nFirstArea = 1;
    unsigned short p = 0;
    while (p < m_unLen) {
        if (!IsInputPos(p)) {
            pszOut[nOut++] = m_pszTemplate[p++];
            continue;
        }
        TSpan coSpan;
        SpanOf(p, coSpan);
        unsigned short unFirstFilled = coSpan.unBeg;
        while (unFirstFilled <= coSpan.unEnd && !IsFilled(unFirstFilled))
            ++unFirstFilled;
        int nWhollyEmpty = unFirstFilled > coSpan.unEnd;
        char chFlag = m_pszArea[coSpan.unBeg];
        for (unsigned short q = coSpan.unBeg; q <= coSpan.unEnd; ++q) {
            if (IsFilled(q)) {
                pszOut[nOut++] = m_pszCurrent[q];
                continue;
            }
            int nZero = 0;
            if (chFlag == 'b')
                nZero = nWhollyEmpty || q > unFirstFilled;
            else if (chFlag == 's')
                nZero = nWhollyEmpty || q < unFirstFilled;
            else if (chFlag == 'h' || chFlag == 't')
                nZero = nWhollyEmpty && q == coSpan.unBeg;
            if (nZero)
                pszOut[nOut++] = '0';
        }
        if (nFirstArea && coSpan.unEnd + 1 < m_unLen)
            *punSep = static_cast<unsigned short>(nOut);
        nFirstArea = 0;
        p = static_cast<unsigned short>(coSpan.unEnd + 1);
    }
    pszOut[nOut] = 0;
}

TString TFmtText::GetText() const
{
    std::string strOut(size_t(m_unLen) + 1, '\0');
    unsigned short unSep = kNoSep;
    BuildText(&strOut[0], &unSep);
    return TString(strOut.c_str());
}

long TFmtText::GetLong() const
{
    unsigned short unFirst = GetFirstInputPos();
    if (unFirst >= m_unLen)
        return 0;
    std::string strOut(size_t(m_unLen) + 1, '\0');
    unsigned short unSep = kNoSep;
    BuildText(&strOut[0], &unSep);
    const char* pszText = strOut.c_str();
    if (!*pszText)
        return 0;
    // strtol instead of atol: a number too long for a long gives the
    // nearest long instead of undefined behaviour.
    return std::strtol(pszText + unFirst, nullptr, 10);
}

short TFmtText::GetShort() const
{
    long n = GetLong();
    return n >= -32768 && n <= 32767 ? static_cast<short>(n) : short(0);
}

char TFmtText::GetChar() const
{
    TString coText = GetText();
    return coText.IsEmpty() ? char(0) : coText[0];
}

double TFmtText::GetDouble() const
{
    std::string strOut(size_t(m_unLen) + 1, '\0');
    unsigned short unSep = kNoSep;
    BuildText(&strOut[0], &unSep);
    if (!strOut[0])
        return 0;
    unsigned short unFirst = GetFirstInputPos();
    if (unFirst >= m_unLen)
        unFirst = m_unLen;
    if (unSep != kNoSep && strOut[unSep])
        strOut[unSep] = '.';
    return std::strtod(strOut.c_str() + unFirst, nullptr);
}
