#pragma once

#include "KctlApi.h"
#include "KwCtrlList.h"

#include <memory>
#include <string>

// A list of text lines. For each visible line it asks its owner for the
// text ("KW_LINK_LISTGETTEXT" with the line and the position); the handler
// hands it over with SetListBoxText and answers non-zero. When it answers
// 0 the line is drawn through "KW_LINK_LISTVSCROLL" as in a plain list.
//
// Typing a character searches the lines (GoTo): from the line after the
// selection (or after the first visible line) to the end, then from the
// start, every position once. A search asks at most SearchSlice positions
// (and takes at most SearchSliceMs) at once; the rest goes on between
// messages, a slice each tick of a timer, until it finds the text or has
// asked every position. A new search, a position key or a press ends it.
class KCTL_API KwListText : public KwCtrlList {
    KW_DYNAMIC_CLASS(KwListText, KwCtrlList)
    KW_MVC_CLASS(KwListText, KwCtrlList)
public:
    enum : unsigned short { VarTextDistance = 181, VarTextCenter = 182 };
    // Text alignment: 1 left at the text distance, 2 centred, else right
    // at the text distance.
    enum : short { AlignLeft = 1, AlignCentre = 2, AlignRight = 3 };
    // Texts shorter than this are kept inline, longer ones on the heap.
    enum : int { InlineSize = 255 };
    // Formatted texts are cut to this many characters (the terminator
    // included).
    enum : int { FormatBufferSize = 1024 };
    // Type-ahead: positions and milliseconds of one slice of the search,
    // and the timer's interval between slices.
    enum : unsigned long { SearchSlice = 4096 };
    enum : unsigned short { SearchSliceMs = 20, SearchTick = 1 };

    KwListText() = default;
    explicit KwListText(const char* pszName) : KwCtrlList(pszName) {}
    KwListText(const char* pszName, const KwPoint& coPos, const KwSize& coSize) : KwCtrlList(pszName, coPos, coSize) {}
    KwListText(const char* pszName, const KwPoint& coPos, short nWidth, unsigned short unLines)
        : KwCtrlList(pszName, coPos, nWidth, unLines) {}
    ~KwListText() override;

    // The text of the line being asked for, and its colours (numbers of
    // the colour table, 0 to 255; a negative number leaves a colour as it
    // is, -1 after each line means the list's own).
    void SetListBoxText(const char* pszText, short nColor = -1, short nBackColor = -1);
    int SetListBoxTextFt(const char* pszFormat, ...);
    void SetListBoxTextColor(short nColor) { if (nColor >= 0) m_nTextColor = nColor; }
    void SetListBoxTextBkColor(short nColor) { if (nColor >= 0) m_nBackColor = nColor; }
    const char* GetListBoxText() const { return m_pszHeapText ? m_pszHeapText : m_achText; }
    int IsListBoxTextOnHeap() const { return m_pszHeapText != nullptr; }

    // Layout of the text in its line
    short GetTextDistance() const { return m_nTextDistance; }
    void SetTextDistance(short nDistance, int nRedraw);
    short GetTextCenter() const { return m_nTextCenter; }
    void SetTextCenter(short nAlign, int nRedraw);

    // The text of a position as the owner gives it (empty when the owner
    // gives none); nLine is its line, -1 when it is not visible.
    TString FetchText(unsigned long ulPos, short nLine);

    // Overrides
    operator KwListText*() override { return this; }
    operator const KwListText*() const override { return this; }
    KwWnd* Copy() const override { return new KwListText(*this); }
    // One character compares with the first character of each line
    // (ASCII letters without regard to case, every other character by its
    // bytes); a longer text is looked for inside the line.
    // The first match is selected (a selectable list) or shown at the top;
    // 0 when nothing matched.
    int GoTo(char chKey) override;
    int GoTo(const char* pszText) override;
    // Whether a search goes on between messages; ending it.
    int IsSearching() const { return m_coSearch.ulLeft != 0; }
    void CancelSearch();
    int DrawLine(KwDC& coDC, const KwRect& coRect, short nLine, unsigned long ulPos) override;
    int EvKeyAscii(unsigned short unChar) override;
    int EvKeyPosition(short nIndex) override;
    int EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwListText(const KwListText& coOther);
    void WriteData(TFile& coFile) const override;
    void InitMembers(TOnlyInternalUse) override;
    // Asks the owner for the text of a position ("KW_LINK_LISTGETTEXT")
    // into the buffer; answers the link's result.
    virtual int AskText(unsigned long ulPos, short nLine);

private:
    // The search between messages: what is sought, the next position to
    // ask, how many are left, the range it runs over and where the view
    // stood when it began.
    struct TSearch {
        std::string strSought;
        unsigned long ulNext { 0 };
        unsigned long ulLeft { 0 };
        unsigned long ulRange { 0 };
        unsigned long ulOldCurrent { 0 };
    };

    int SearchOn();
    void ShowMatch(unsigned long ulPos, unsigned long ulOldCurrent);
    void StartSearchTimer();
    int LnkSearchTick(TMvcParam& coParam);
    void ClearText();
    int DrawText(KwDC& coDC, const KwRect& coRect);
    int Matches(const char* pszSought) const;

    TDynRet DynSetListBoxText(char* pchArgs);
    TDynRet DynSetListBoxTextColor(char* pchArgs);

    short m_nTextDistance { 3 };
    short m_nTextCenter { AlignLeft };
    char m_achText[InlineSize] {};
    char* m_pszHeapText { nullptr };   // owned (malloc); null while the text is inline
    short m_nTextColor { -1 };
    short m_nBackColor { -1 };
    unsigned short m_unPendingUnit { 0 };   // a typed character's first half
    TSearch m_coSearch;
    std::unique_ptr<KwTimer> m_pcoSearchTimer;   // owned; made by the first search that goes on
};
