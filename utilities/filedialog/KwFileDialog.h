#pragma once

#include "KutiApi.h"
#include "TDynBase.h"

#include <vector>

class KwWnd;

// Asks the user for a file name with the system's common open or save
// dialog and keeps the chosen full path and file name. A small value class
// that an application makes when it needs one.
//
// The filter is written as description and pattern pairs, all separated by
// "|": "Text files | *.txt | All | *.*"; spaces around each "|" do not
// count. The default extension is added by the dialog when the user types
// none; a name that then ends in the default extension twice
// ("report.txt.txt") gives it back once.
class KUTI_API KwFileDialog : public TDynBase {
    KW_DYNAMIC_CLASS(KwFileDialog, TDynBase)
public:
    enum : unsigned short { TypeOpen = 1, TypeSave = 2 };
    // The room of the path and the file name, terminating zero included.
    enum : unsigned { NameSize = 256 };
    // The dialogs' flags: the save dialog asks before overwriting, hides the
    // read-only box and wants an existing directory; the open dialog also
    // wants an existing file.
    enum : unsigned long { FlagsSave = 0x806, FlagsOpen = 0x1806 };

    KwFileDialog();
    // Type 1 makes an open dialog, any other a save dialog; the strings are
    // copied.
    KwFileDialog(unsigned short unType, const char* pszDefaultExtension, const char* pszInitialDirectory,
                 const char* pszFileName, const char* pszFilter, const char* pszTitle, const KwWnd* pcoOwner);
    KwFileDialog(const KwFileDialog& coOther);
    KwFileDialog& operator=(const KwFileDialog& coOther);
    ~KwFileDialog() override;

    // Replaces the settings; null strings stay null. One trailing "\" of the
    // directory goes (not that of a drive's root); fileName becomes the
    // initial path, cut to the room there is.
    void InitData(unsigned short unType, const char* pszDefaultExtension, const char* pszInitialDirectory,
                  const char* pszFileName, const char* pszFilter, const char* pszTitle);
    void SetOwner(const KwWnd* pcoOwner) { m_pcoOwner = pcoOwner; }

    // Runs the dialog: 1 when the user chose a file, 0 when not (then path
    // and file name are empty).
    int StartModal();

    // The full path: the initial one before, the chosen one after the dialog.
    const char* GetPath() const { return m_szPath; }
    // The chosen file name without its directory.
    const char* GetFile() const { return m_szFile; }
    int IsOpenDialog() const { return m_nOpen; }
    const char* GetFilter() const { return m_pszFilter; }
    const char* GetInitialDirectory() const { return m_pszInitialDir; }
    const char* GetDefaultExtension() const { return m_pszDefaultExt; }
    const char* GetTitle() const { return m_pszTitle; }

    // The filter in the system's form: zero-separated texts, ended by two
    // zeros; empty for a filter that is null or empty.
    static std::vector<char> ConvertFilter(const char* pszFilter);
    // Removes a doubled default extension at the end of the name part of
    // the path ("report.txt.txt" with "txt"); answers whether it cut.
    static int CutDoubledExtension(char* pszPath, const char* pszDefaultExtension);

protected:
    // The system dialog, filling the path and file buffers; 1 when the user
    // chose a file. The platform's source supplies it.
    virtual int RunSystemDialog(const std::vector<char>& coFilter);
    const KwWnd* GetOwner() const { return m_pcoOwner; }
    char* PathBuffer() { return m_szPath; }
    char* FileBuffer() { return m_szFile; }

private:
    void FreeStrings();
    void CopySettings(const KwFileDialog& coOther);

    char* m_pszFilter { nullptr };       // owned (Strdup); null for none
    char* m_pszInitialDir { nullptr };   // owned
    char* m_pszDefaultExt { nullptr };   // owned
    char* m_pszTitle { nullptr };        // owned
    char m_szPath[NameSize] {};
    char m_szFile[NameSize] {};
    const KwWnd* m_pcoOwner { nullptr }; // not owned
    int m_nOpen { 1 };
};
