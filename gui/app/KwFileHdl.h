#pragma once

#include "Kw25Api.h"
#include "KwFileHdlInfo.h"
#include "TFileHdl.h"

class KwBitmap;
class KwDib;
class KwWnd;

// The GUI core's resource file handler: the file identification of GUI
// resource files ("ZORVIK Brackenholt", "V3.00.17", extension "KWT"),
// the project information read with every file, objects created through
// the application while reading, messages through the application's
// message box, and typed loading of windows and pictures.
class KW25_API KwFileHdl : public TFileHdl {
    KW_DYNAMIC_CLASS(KwFileHdl, TFileHdl)
public:
    // Codes of the picture import
    enum : unsigned short { ImportOk = 1, ImportNoFile = 2, ImportNotWriting = 3, ImportIdExists = 4, ImportFailed = 5 };

    KwFileHdl() = default;
    ~KwFileHdl() override = default;

    // Installations sharing this handler (the resource manager counts).
    unsigned short GetRefCount() const { return m_unRefCount; }
    void AddRef() { ++m_unRefCount; }
    unsigned short Release() { return m_unRefCount ? --m_unRefCount : 0; }
    const TString& GetVersion() const { return m_coVersion; }
    const KwFileHdlInfo& GetFileHdlInfo() const { return m_coInfo; }
    KwFileHdlInfo& GetFileHdlInfo() { return m_coInfo; }

    // Typed loading: none (or 0) unless the index entry of the id names a
    // class of the family. A window is created with its system window
    // below the parent; the caller owns what is answered.
    KwWnd* LoadWindow(const char* pszId, KwWnd* pcoParent);
    int LoadCustomWindow(const char* pszId, KwWnd* pcoWindow, KwWnd* pcoParent);
    // Pictures of the family "KwBitmap", or a "KwDib" converted.
    KwBitmap* LoadBitmap(const char* pszId);
    int LoadCustomBitmap(const char* pszId, KwBitmap* pcoBitmap);
    KwDib* LoadDib(const char* pszId);
    int LoadCustomDib(const char* pszId, KwDib* pcoDib);

    // Importing a picture file into the file being edited: an import code
    // (GetImportError). The id is the given one or MakeDefaultResId(file).
    unsigned short ImportDib(const char* pszFile, const char* pszId, int nReplace);
    unsigned short ImportBitmap(const char* pszFile, const char* pszId, int nReplace);
    // "C:\PIC\LOGO.BMP" gives BMP_LOGO; with the prefix DIB, DIB_LOGO.
    static TString MakeDefaultResId(const char* pszFile, const char* pszPrefix);
    static TString GetImportError(unsigned short unCode, const char* pszFile, const char* pszId);

    // Hooks of the handler
    TString GetCustomDescription() const override { return "ZORVIK Brackenholt"; }
    TString GetCustomVersion() const override { return "V3.00.17"; }
    void SetCustomVersion(const char* pszVersion) override { m_coVersion = pszVersion; }
    void DisplayMessage(const char* pszText) override;
    TResource* CustomCreateResource(const char* pszClass, unsigned short unWParam, uint32_t ulLParam) override;
    TResource* NotifyCreateResource(unsigned short unType, TResource* pcoParent, uint32_t ulParentCount,
                                    unsigned short unWParam, uint32_t ulLParam) override;
    void NotifyStartTmpLoadFromSave() override;
    void NotifyEndTmpLoadFromSave() override;
    void NotifyPostOpen() override;
    void NotifyPreSave() override;
    void NotifyPostCreate() override { m_coInfo.Empty(); }
    void NotifyPostClose() override { m_coInfo.Empty(); }
    TString GetDefaultExtension() const override { return "KWT"; }
    TString GetDefaultNonameId() const override { return "NONAME"; }
    TString GetDefaultTmpFileId() const override { return "KW30"; }

    // Whether the index entry of the id names a class of the family.
    int IsEntryOfFamily(const char* pszId, const char* pszFamily) const;

private:
    unsigned short Import(const char* pszFile, const char* pszId, int nReplace, const char* pszPrefix);

    unsigned short m_unRefCount { 0 };
    TString m_coVersion;
    KwFileHdlInfo m_coInfo;
};
