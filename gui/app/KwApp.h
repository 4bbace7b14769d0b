#pragma once

#include "Kw25Api.h"
#include "KwColor.h"
#include "KwConfig.h"
#include "KwContent.h"
#include "KwDib.h"
#include "KwDummyChildWindow.h"
#include "KwFont.h"
#include "KwKeyTable.h"
#include "KwRes.h"
#include "KwResHdl.h"
#include "TMvc.h"
#include "TString.h"

#include <vector>

class KwCursor;
class KwDC;
class KwWFrame;
class KwWnd;
class TFileHdl;

// One entry of an application's member link table: the resource name of
// the object whose link is meant, the link function's name ("Class::Member")
// and the member function. A table ends with an entry whose link function
// name is null; entries without target name are skipped.
struct KwMemberLinkArray {
    const char* pszTarget;
    const char* pszLinkFunction;
    TMvcHandler pfnHandler;
};

// The one application object of a process. The executable defines a class
// derived from KwApp as a static object; the entry point calls its
// InitInstance and then Go, whose result is the exit code. It owns what is
// global to the GUI: the platform adapter (made by the first application
// object), the frames, the member link tables, the default font, the key
// table, the resource manager's colour tables and the wait cursor.
class KW25_API KwApp : public KwRes {
    KW_DYNAMIC_CLASS(KwApp, KwRes)
    KW_MVC_CLASS(KwApp, KwRes)
public:
    using UccCallback = KwRes* (*)(unsigned short);

    // Application name, profile file (or null), show the start-up logo.
    KwApp(const char* pszName, const char* pszProfile, int nLogo);
    ~KwApp() override;
    KwApp(const KwApp&) = delete;
    KwApp& operator=(const KwApp&) = delete;

    unsigned short MyResType() const override { return 150; }

    // Identity and state
    const TString& GetAppName() const { return m_coAppName; }
    short GetSystem() const { return m_nSystem; }
    KwHandle GetPrevInstance() const { return m_hPrevInstance; }
    short GetShowParam() const { return m_nShowParam; }
    void SetShowParam(short nShow) { m_nShowParam = nShow; }
    KwWFrame* GetMainWindow() const { return m_pcoMainWindow; }
    int IsLoadForEdit() const { return m_nLoadForEdit; }
    void SetLoadForEdit(int nOn) { m_nLoadForEdit = nOn; }
    const KwKeyTable& GetKeyTable() const { return m_coKeyTable; }
    KwResHdl& GetResHdl() { return m_coResHdl; }
    const KwResHdl& GetResHdl() const { return m_coResHdl; }
    KwConfig& GetConfig() { return m_coConfig; }
    const KwConfig& GetConfig() const { return m_coConfig; }
    const KwFont& GetDefaultFont() const { return m_coDefaultFont; }
    void SetDefaultFont(const KwFont& coFont);
    const TString& GetLogoDibId() const { return m_coLogoDibId; }
    void SetLogoDibId(const char* pszId) { m_coLogoDibId = pszId; }
    const KwDib& GetLogoDib() const { return m_coLogoDib; }
    KwDummyChildWindow& GetDummyChildWindow() { return m_coDummyChild; }
    KwDummyContent& GetDummyContent() { return m_coDummyContent; }
    short GetColForeGrayed() const { return m_coColForeGrayed.GetIndex(); }
    void SetColForeGrayed(short nColor) { m_coColForeGrayed.SetIndex(nColor); }
    short GetColForeHighLight() const { return m_coColForeHighLight.GetIndex(); }
    void SetColForeHighLight(short nColor) { m_coColForeHighLight.SetIndex(nColor); }
    short GetColBackHighLight() const { return m_coColBackHighLight.GetIndex(); }
    void SetColBackHighLight(short nColor) { m_coColBackHighLight.SetIndex(nColor); }

    // Frames
    short CurrentAppFrameCount() const { return static_cast<short>(m_coFrames.size()); }
    KwWFrame* GetAppFrame(short nIndex) const;
    // Whether the frame still exists (frames leave the list when deleted).
    int HasAppFrame(const KwWFrame* pcoFrame) const;

    // Member link tables
    void AddMLA(const KwMemberLinkArray* pcoTable);
    void RemoveMLA(const KwMemberLinkArray* pcoTable);
    // The member function of the first entry (tables in registration order,
    // entries in order) whose target and link function name equal the
    // arguments exactly; null when either is null or nothing matches.
    TMvcHandler FindLinkPtr(const char* pszTarget, const char* pszLinkFunction) const;
    const char* FindLinkName(TMvcHandler pfnHandler) const;

    // Objects of the application's own classes, made while reading
    void RegisterCallbackUCC(UccCallback pfnCallback);
    void UnregisterCallbackUCC(UccCallback pfnCallback);

    // The wait cursor, counted: the first switch-on saves the current
    // cursor, the last switch-off restores it.
    void WaitCursor(int nOn);
    int GetWaitCount() const { return m_nWaitCount; }

    // The framework's message box, the dialog "DLG_GER_MESSAGE" of the
    // standard resource file run modally; answers the number of the pressed
    // button (1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
    // Type: the buttons (0x0F: 0 OK, 1 OK Cancel, 2 Abort Retry Ignore, 3
    // Yes No Cancel, 4 Yes No, 5 Retry Cancel), the picture (0xF0: 0x10
    // stop, 0x20 question, 0x30 exclamation, else information), the
    // default button (0x0F00: 0x100 the second, 0x200 the third). Without
    // the dialog, and inside a message box that is still being made (a
    // complaint of the resource reader about the dialog itself), the
    // system's message box stands in.
    int Message(const char* pszText, const char* pszTitle, const KwWnd* pcoParent, unsigned short unType) const;
    // The text formatted into at most 1023 characters (longer texts are
    // cut); 1 without format.
    int Message(unsigned short unType, const char* pszTitle, const char* pszFormat, ...) const;

    // The command line split into words (after InitInstance: empty again).
    short GetArgCount() const { return static_cast<short>(m_coArgs.size()); }
    // Splits a command line at white space into at most 128 words.
    static std::vector<TString> SplitCommandLine(const char* pszCommandLine);

    // The standard resource file and the profile files (through the adapter)
    static const char* GetStandardKwtFile() { return "zorvik30.kwt"; }
    static short GetProfileShort(const char* pszSection, const char* pszKey, const char* pszFile, short nDefault);
    static TString GetProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszDefault);
    static int WriteProfileShort(const char* pszSection, const char* pszKey, const char* pszFile, short nValue);
    static int WriteProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszValue);
    static TString GetWindowsDirectory();
    static TString GetSystemDirectory();
    // Starts another program: the command line as given, its working
    // directory the program's own (ExecuteWorkDir), the framework show
    // code; 1 when it was started.
    static int Execute(const char* pszCommandLine, unsigned short unShow);
    // The program's directory: the command line's first word (up to a
    // blank, comma or semicolon outside double quotes) up to its last '\'
    // or ':' (a root keeps its '\'); empty without either.
    static TString ExecuteWorkDir(const char* pszCommandLine);

    // Screen and cursor (through the adapter)
    static KwRect GetScreenRect();
    static int Beep(unsigned short unType);
    static KwPoint GetCursorPos();
    static int SetCursorPos(const KwPoint& coPoint);
    static KwHandle GetCursor();
    static KwHandle SetCursor(KwHandle hCursor);
    static KwHandle SetCursor(const KwCursor* pcoCursor);
    static int ClipCursor(const KwRect& coRect);
    static int FreeClippedCursor();
    static KwRect GetClipCursor();
    static int ShowCursor(int nShow);
    static int GetNumPixelXPerInch(const KwDC& coDC);
    static int GetNumPixelYPerInch(const KwDC& coDC);
    static int GetPixelWidth(const KwDC& coDC);
    static int GetPixelHeight(const KwDC& coDC);

    // Overridables, in their slot order after those of KwRes.
private:
    virtual int DoLogoPaint(KwEventPaint& coEvent);

protected:
    // The logo: the picture in a bordered popup frame centred on the
    // screen (InitInstance shows it when asked to, and closes it when the
    // main window starts or the Main hooks return).
    void ShowLogo();
    void CloseLogo();
    KwWFrame* GetLogoFrame() const { return m_pcoLogoFrame; }

public:
    // Start-up: connects to the instance, runs the class initialisers and
    // the layout set-up, splits the command line and calls the Main hooks;
    // their result is the result.
    virtual int InitInstance(KwHandle hInstance, KwHandle hPrevInstance, const char* pszCommandLine, unsigned short unShow);
    // Runs the main loop when a main window was started; the loop's exit
    // value, 0 without main window.
    virtual short Go();
    virtual int InitDynamicLayout() const { return 0; }
    virtual int Main() { return 0; }
    virtual int Main(short nArgc, const char** ppszArgv) { return 0; }
    virtual KwRes* UCC_KwRes(unsigned short unResType) const;
    virtual KwRes* UCC_KwRes(const char* pszClassName) const { return nullptr; }
    virtual int EvResourceFileInstalled(const TFileHdl& coFileHdl);
    virtual int NotifyWindowPreCreate(KwWnd* pcoWnd, KwWnd* pcoParent, const char* pszName) { return 0; }
    virtual int NotifyEndSession() { return 0; }
    virtual int EvQueryEndSession() { return 1; }
    virtual int NotifyTaskExit(short nCode) { return 0; }
    virtual int EvActivateApp(int nActive) { return 0; }
    // Ends the main loop: posts the quit request.
    virtual void Exit(short nCode);
    virtual const TString& GetDefaultAppIconId() const;
    virtual void NotifyLinkDefinitionCreated(unsigned short unType, const char* pszTarget, const char* pszFunction) {}
    virtual void NotifyLinkDefinitionDestroyed(unsigned short unType, const char* pszTarget, const char* pszFunction) {}

    void SysDelete() override;

protected:
    // Makes the frame the main window and starts it with the show
    // parameter; refuses a null frame and a second main window.
    int StartMainWindow(KwWFrame* pcoFrame);

private:
    // What windows ask of the application goes through it (KwWndApp).
    friend class KwAppWndApp;
    KwApp();

    void AddAppFrame(KwWFrame* pcoFrame);
    void RemoveAppFrame(KwWFrame* pcoFrame);
    void EndStartupWait();
    void InstallStandardFile();
    // The link of the message box's buttons: the pressed button's number
    // becomes its frame's dialog result, and the frame is asked to close.
    int MBoxPushed(TMvcParam& coParam);
    // The paint link of the logo's child.
    int LnkLogoPaint(TMvcParam& coParam);
    // The system's box in place of the dialog: 1.
    int SystemMessage(const char* pszText) const;
    int RunMessageDialog(KwWFrame& coDialog, const char* pszText, const char* pszTitle, const KwWnd* pcoParent,
                         unsigned short unType) const;

    TString m_coAppName;
    KwFont m_coDefaultFont { "MS Sans Serif", "FONT_DEFAULT" };
    std::vector<const KwMemberLinkArray*> m_coLinkTables;
    std::vector<KwWFrame*> m_coFrames;          // not owned; each frame registers itself
    std::vector<UccCallback> m_coUccCallbacks;
    int m_nStartup { 0 };
    int m_nLogo { 0 };
    KwWFrame* m_pcoLogoFrame { nullptr };
    KwDib m_coLogoDib;
    TString m_coLogoDibId { "BMP_ZORVIK" };
    int m_nWaitCount { 0 };
    KwHandle m_hSavedCursor { 0 };
    KwSysColor m_coColForeGrayed { 8 };
    KwSysColor m_coColForeHighLight { 7 };
    KwSysColor m_coColBackHighLight { 5 };
    KwDummyChildWindow m_coDummyChild;
    KwDummyContent m_coDummyContent;
    mutable TString m_coDefaultIconId;
    KwResHdl m_coResHdl { this };
    KwConfig m_coConfig;
    KwKeyTable m_coKeyTable;
    short m_nSystem { 0 };
    KwHandle m_hPrevInstance { 0 };
    short m_nShowParam { 4 };
    KwWFrame* m_pcoMainWindow { nullptr };     // not owned
    int m_nLoadForEdit { 0 };
    std::vector<TString> m_coArgs;
    mutable int m_nInMessage { 0 };           // a message box is being made or runs
};

// Starts a framework program: the application object's InitInstance with
// the show command converted to the framework's code, then Go. Answers the
// exit code. The entry point of a program calls it (KwWinMain in the
// library qa32kw25main does).
KW25_API int KwRunApplication(KwHandle hInstance, KwHandle hPrevInstance, const char* pszCommandLine, int nSystemShow);
