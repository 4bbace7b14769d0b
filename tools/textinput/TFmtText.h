#pragma once

#include "KwtlApi.h"
#include "TString.h"

#include <vector>

class TFmtTextFormat;

// The editing engine of a masked input field: a text of fixed length L in
// which the template's "~" positions take input and every other position
// shows its fixed character. Input positions form areas (the runs between
// fixed characters), numbered from 0. An area whose flag (at its first
// position) is "r" or above is right-aligned: characters enter at its last
// position and the content moves left, like a pocket calculator. Areas can
// be aligned and padded with zeros when the cursor leaves them (flags
// "b", "g", "h", "s", "t").
//
// The engine owns no window. Its owner passes key codes to Input, draws
// GetView, calls GotFocus/LostFocus and SetCursorPos for mouse clicks, and
// may hook EnterArea/ExitArea to hear the cursor move between areas.
//
// The cursor is an input position or L. A selection lies inside one
// left-aligned area, on filled positions. An empty input position holds
// the byte TFmtText::Empty; the characters 0 and Empty are never accepted
// as input.
//
// Every position holds one byte of the system's code page. Where that is
// UTF-8 (the framework's programs), a character of several bytes fills as
// many positions of one area, entered byte by byte: the cursor, a deletion
// and a selection then take it whole, never stopping inside it; its bytes
// count as a letter and are never changed by a case conversion, which
// applies to ASCII letters only (the special letters of ISO 8859-1 are
// those of a single-byte code page).
class KWTL_API TFmtText {
public:
    // Key codes of Input; every other value is a character to enter.
    enum : char { KeyDelete = 2, KeyHome = 3, KeyEnd = 4, KeyLeft = 5, KeyRight = 6, KeyBackspace = 8 };
    // Flags of Input. FlagAlt is passed by the owners and not interpreted.
    enum : unsigned short { FlagShift = 1, FlagAlt = 2, FlagCtrl = 4 };
    static constexpr char Empty = 1;

    TFmtText();
    TFmtText(const TFmtText& coOther);
    TFmtText& operator=(const TFmtText& coOther);

protected:
    // Overridables, in the order of the virtual table.
    virtual int AutoViewAlign(short nArea);
    virtual int AutoInputAlign(short nArea);
    virtual int InputNormalInsert(char ch);
    virtual int InputNormalReplace(char ch);
    virtual int InputRightAligned(char ch, unsigned short unAreaBeg);
    virtual int InputFixKey(char ch);
    // unDirection 1: moving left over the fixed position, 2: moving right.
    virtual int FixCharPassed(unsigned short unPos, unsigned short unDirection);
    virtual int AlignAreaRight(unsigned short unBeg, unsigned short unEnd);
    virtual int AlignAreaLeft(unsigned short unBeg, unsigned short unEnd);
    virtual int ExitArea(short nArea);
    virtual int EnterArea(short nArea);
    virtual void NotifyFocusLost(short nArea, unsigned short unBeg, unsigned short unEnd);
    virtual void NotifyFocusGot(short nArea, unsigned short unBeg, unsigned short unEnd);

public:
    virtual ~TFmtText();
    virtual void SetInsertMode(int nOn) { m_nInsertMode = nOn ? 1 : 0; }
    virtual void SetSelectOnEnter(int nOn) { m_nSelectOnEnter = nOn ? 1 : 0; }
    virtual void SetCursorPos(unsigned short unPos);
    virtual TString GetView(char chFill) const;
    virtual void SetText(const char* pszText);

    // Format. Each answers 1, or 0 with the old format kept. Lengths of the
    // built-in formats run from 1 to 127.
    virtual int SetCustomFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea);
    virtual int SetCustomFormat(const TFmtTextFormat& coFormat);
    // nFraction counts the separator together with the decimal positions:
    // (5, 3) gives 5 integer positions, "," and 2 decimal positions.
    virtual int SetDoubleFormat(short nInteger, short nFraction, int nRightAligned);
    virtual int SetIntFormat(short nDigits, int nRightAligned);
    virtual int SetStringFormat(short nLength);

    // Editing. 1 when the text, the cursor or the selection changed, 0 when
    // the key was refused.
    virtual int Input(unsigned short unPos, char chKey, unsigned short unFlags);
    virtual int Input(char chKey, unsigned short unFlags);
    virtual void LostFocus();
    virtual void GotFocus();

    // Validity
    virtual int CharValid(unsigned short unPos, char ch, char* pchStored, int nCheckRoom) const;
    virtual int IsSpecialAlphaCharacter(char ch, char* pchConverted, int* pnUpper) const;

    // Format texts
    const char* GetTemplate() const { return m_pszTemplate; }
    const char* GetFormat() const { return m_pszFormat; }
    const char* GetArea() const { return m_pszArea; }
    const char* GetCurrent() const { return m_pszCurrent; }
    unsigned short GetFullLen() const { return m_unLen; }

    // Text
    void SetText(double d);
    void SetText(char ch);
    void SetText(short n);
    void SetText(long n);
    // printf-style into a work area of 1,024 characters, cut at 1,023.
    void SetTextFt(const char* pszFormat, ...);
    void EmptyInput();
    TString GetText() const;
    long GetLong() const;
    // 0 when the number does not fit 16 bits.
    short GetShort() const;
    char GetChar() const;
    double GetDouble() const;

    // Whether the positions hold UTF-8 text; by default as the system's
    // code page is (TOpSystem::IsUtf8Text).
    void SetUtf8Text(int nOn) { m_nUtf8 = nOn ? 1 : 0; }
    int IsUtf8Text() const;

    // Editing state
    int IsInsertMode() const { return m_nInsertMode; }
    int IsSelectOnEnter() const { return m_nSelectOnEnter; }
    unsigned short GetCursorPos() const { return m_unCursor; }

    // Selection
    int SetSelection(unsigned short unStart, unsigned short unEnd);
    int SelectArea(short nArea);
    int GetSelection(short* pnStart, short* pnEnd) const;
    int HideSelection();
    int RemoveSelection();

    // Positions and areas; L stands for "none further".
    int IsInputPos(unsigned short unPos) const;
    unsigned short GetFirstInputPos() const;
    unsigned short GetLastInputPos() const;
    unsigned short GetBegPos() const;
    unsigned short GetEndPos() const;
    unsigned short NextCursorPos(unsigned short unPos, short* pnFixPassed = nullptr) const;
    unsigned short PrevCursorPos(unsigned short unPos, short* pnFixPassed = nullptr) const;
    unsigned short NextFixPos(unsigned short unPos) const;
    unsigned short PrevFixPos(unsigned short unPos) const;
    short GetArea(unsigned short unPos, unsigned short* punBeg, unsigned short* punEnd) const;
    int GetAreaBegEnd(short nArea, unsigned short* punBeg, unsigned short* punEnd) const;
    unsigned short GetAreaCount() const;
    short GetAreaFlagPos(unsigned short unArea) const;
    char GetAreaFlag(unsigned short unArea) const;
    // 0 when the area does not exist or the flag is the character 0.
    int SetAreaFlag(unsigned short unArea, char chFlag);

private:
    // Positions of one area
    struct TSpan {
        unsigned short unBeg { 0 };
        unsigned short unEnd { 0 };
    };

    void Adopt(char* pszTemplate, char* pszFormat, char* pszArea, unsigned short unLen);
    void CopyFrom(const TFmtText& coOther);
    void FreeTexts();
    int BuildFormat(const char* pszTemplate, const char* pszFormat, const char* pszArea);
    // AlignAreaRight and AlignAreaLeft: the empty positions to the other end.
    int AlignArea(unsigned short unBeg, unsigned short unEnd, int nToRight);

    // Queries below take any position and answer "no" for L and beyond.
    int IsFixPos(unsigned short unPos) const { return unPos < m_unLen && !IsInputPos(unPos); }
    int IsFilled(unsigned short unPos) const { return IsInputPos(unPos) && m_pszCurrent[unPos] != Empty; }
    int IsEmptyPos(unsigned short unPos) const { return IsInputPos(unPos) && m_pszCurrent[unPos] == Empty; }
    int SpanOf(unsigned short unPos, TSpan& coSpan) const;
    int IsRightFlag(char chFlag) const { return static_cast<signed char>(chFlag) >= 'r'; }
    int IsRightSpan(const TSpan& coSpan) const { return IsRightFlag(m_pszArea[coSpan.unBeg]); }
    unsigned short NextInput(unsigned short unPos) const;
    unsigned short PrevInput(unsigned short unPos) const;
    short AreaAround(unsigned short unPos) const;
    short AreaLeftOf(unsigned short unFix) const;
    short AreaRightOf(unsigned short unFix) const;
    short SpanSize(short nArea) const;
    short CursorArea() const;
    int IsRightAlignedMode(TSpan* pcoSpan = nullptr) const;
    int SignRuleAllows(unsigned short unPos) const;
    char ConvertCase(char ch, int nUpper) const;
    void SettleInArea(int nSkipEmpty);
    void MoveCursorAcross(unsigned short unTarget);
    void EmptyPositions();
    void BuildText(char* pszOut, unsigned short* punSep) const;

    // Keys
    int OnKey(char chKey, unsigned short unFlags);
    void OnBackspace();
    void DeleteAtCursor();
    struct TSelectionWas {
        short nStart { -1 };
        short nEnd { -1 };
        int nHad { 0 };
    };
    bool JumpTo(unsigned short unTarget, unsigned short unFlags, TSelectionWas& coWas);
    void OnHome(unsigned short unFlags);
    void OnEnd(unsigned short unFlags);
    void OnLeft(unsigned short unFlags);
    void OnRight(unsigned short unFlags);
    void FollowSelection(unsigned short unOld, int nHadSel, short nSelStart, short nSelEnd);
    // The first position of the character that holds unPos, and the
    // position after it (a UTF-8 character of several bytes inside an
    // area; else the position itself).
    unsigned short CharStart(unsigned short unPos) const;
    unsigned short CharEnd(unsigned short unPos) const;

    char* m_pszTemplate { nullptr };    // owned
    char* m_pszFormat { nullptr };      // owned
    char* m_pszArea { nullptr };        // owned
    char* m_pszCurrent { nullptr };     // owned; length m_unLen
    unsigned short m_unLen { 0 };
    // The layout of the template, made once per format: the area of every
    // position (-1 at fixed ones), the positions of every area, and for
    // every character 1 + the last fixed position showing it (0: none).
    std::vector<short> m_vecAreaOf;
    std::vector<TSpan> m_vecAreas;
    std::vector<unsigned short> m_vecLastFix;
    unsigned short m_unCursor { 0 };
    short m_nSelStart { -1 };
    short m_nSelEnd { -1 };
    int m_nInsertMode { 1 };
    int m_nSelectOnEnter { 1 };
    mutable int m_nUtf8 { -1 };         // -1: not yet asked
};
