#pragma once

#include "Kw25Api.h"
#include "KwColor.h"
#include "KwResObjInfo.h"
#include "TString.h"

#include <memory>
#include <vector>

class KwApp;
class KwBitmap;
class KwColorTable;
class KwDib;
class KwFileHdl;
class KwFont;
class KwFontTable;
class KwMarkerPool;
class KwRes;
class KwSysBitmap;
class KwWnd;
class TResource;
struct KwMemberLinkArray;

// A list of named tables (colour or font tables) of which one is active.
// It owns copies of the tables it is given.
template <class T>
class KwTableList {
public:
    short Count() const { return static_cast<short>(m_coTables.size()); }
    T* Get(short nIndex) const;
    T* Get(const char* pszName) const { return Get(IndexOf(pszName)); }
    // The first table of the name (without regard to case); -1 for none.
    short IndexOf(const char* pszName) const;
    // Appends a copy of a named table that is not present yet: its index,
    // -1 for an empty or present name.
    short Add(const T& coTable);
    // Takes over a table (owned from now on); its index.
    short Adopt(std::unique_ptr<T> pcoTable);
    // Replaces the table at the index (owned from now on); 0 out of range.
    int Replace(short nIndex, std::unique_ptr<T> pcoTable);
    // Removing the active table makes the first one active.
    int Remove(short nIndex);
    int SetActive(short nIndex);
    T* GetActive() const { return m_pcoActive; }

private:
    std::vector<std::unique_ptr<T>> m_coTables;
    T* m_pcoActive { nullptr };
};

// The application's resource manager. It installs resource files with the
// base files and libraries they name (base files first, each file once,
// counted), finds a resource among all installed files and loads it as an
// object of the right family, and holds the colour tables, the font
// tables, the marker pools and the shared bitmaps.
class KW25_API KwResHdl {
public:
    explicit KwResHdl(KwApp* pcoApp);
    ~KwResHdl();
    KwResHdl(const KwResHdl&) = delete;
    KwResHdl& operator=(const KwResHdl&) = delete;

    KwApp* GetApp() const { return m_pcoApp; }
    static const char* GetDefaultColorTableName() { return "DefaultColorTable"; }
    static const char* GetDefaultFontTableName() { return "DefaultFontTable"; }

    // Resource files
    // Installs the file (a TFileHdl code, 1 installed): an installed base
    // name only counts up; otherwise the file is opened, its include
    // projects installed before it and its include libraries loaded; then
    // the member link table is registered. A file that is being installed
    // already (an include cycle) is refused.
    unsigned short InstallResourceFile(const char* pszFile, const KwMemberLinkArray* pcoLinks, int nCopy,
                                       const char* pszReadPassword);
    // Counts an installation down (by file name, or path, with '.', else by project
    // name); at 0 the file is closed, its libraries freed and its include
    // projects uninstalled. Non-zero when an installation was found.
    int UnInstallResourceFile(const char* pszName);
    KwFileHdl* GetFileHdl(const char* pszName) const;
    KwFileHdl* GetFileHdlFromIndex(short nIndex) const;
    short GetFileHdlCount() const { return static_cast<short>(m_coFiles.size()); }
    // The file that holds the id (the first in installation order, so base
    // files win), or the file of the project when one is named.
    KwFileHdl* FindUsedFileHdl(const char* pszId, const char* pszProject) const;

    // Loading: none or 0 for an empty id, a missing target, an id that no
    // installed file holds or one of another family.
    KwRes* LoadResource(const char* pszId, TResource* pcoParent, const char* pszProject, int nFlag);
    int LoadCustomResource(const char* pszId, TResource* pcoTarget, TResource* pcoParent, const char* pszProject, int nFlag);
    KwWnd* LoadWindow(const char* pszId, KwWnd* pcoParent, const char* pszProject);
    int LoadCustomWindow(const char* pszId, KwWnd* pcoWindow, KwWnd* pcoParent, const char* pszProject);
    KwBitmap* LoadBitmap(const char* pszId, const char* pszProject);
    int LoadCustomBitmap(const char* pszId, KwBitmap* pcoBitmap, const char* pszProject);
    KwDib* LoadDib(const char* pszId, const char* pszProject);
    int LoadCustomDib(const char* pszId, KwDib* pcoDib, const char* pszProject);

    // Colour tables (the manager starts with "DefaultColorTable", active).
    KwColorTable* LoadColorTable(const char* pszId, int nMakeActive, const char* pszProject, KwColorTable* pcoCopy);
    short AddColorTable(const KwColorTable& coTable) { return m_coColorTables.Add(coTable); }
    int RemoveColorTable(short nIndex) { return m_coColorTables.Remove(nIndex); }
    int RemoveColorTable(const char* pszName) { return RemoveColorTable(GetColorTableIndex(pszName)); }
    int ChangeActColorTable(short nIndex) { return m_coColorTables.SetActive(nIndex); }
    int ChangeActColorTable(const char* pszName) { return ChangeActColorTable(GetColorTableIndex(pszName)); }
    short GetColorTableIndex(const char* pszName) const { return m_coColorTables.IndexOf(pszName); }
    TString GetColorTableName(short nIndex) const;
    short GetColorTableCount() const { return m_coColorTables.Count(); }
    KwColorTable* GetColorTable(short nIndex) const { return m_coColorTables.Get(nIndex); }
    KwColorTable* GetColorTable(const char* pszName) const { return m_coColorTables.Get(pszName); }
    KwColorTable* GetActColorTable() const { return m_coColorTables.GetActive(); }
    operator KwColorTable&() const { return *GetActColorTable(); }

    // Colours of the active table
    int HasColor(const char* pszName) const;
    const KwColor& GetColor(short nIndex) const;
    const KwColor& GetColor(const char* pszName) const;
    short GetColorIndex(const char* pszName) const;
    TString GetColorName(short nIndex) const;
    int SetColor(short nIndex, const KwColor& coColor);
    int SetColor(const char* pszName, const KwColor& coColor);
    int ChgColorName(short nIndex, const char* pszNewName);
    int ChgColorName(const char* pszName, const char* pszNewName);

    // Font tables (the manager starts with the empty "DefaultFontTable",
    // active, re-creating its fonts automatically).
    KwFontTable* LoadFontTable(const char* pszId, int nMakeActive, const char* pszProject, KwFontTable* pcoCopy);
    short AddFontTable(const KwFontTable& coTable) { return m_coFontTables.Add(coTable); }
    int RemoveFontTable(short nIndex) { return m_coFontTables.Remove(nIndex); }
    int RemoveFontTable(const char* pszName) { return RemoveFontTable(GetFontTableIndex(pszName)); }
    int ChangeActFontTable(short nIndex) { return m_coFontTables.SetActive(nIndex); }
    int ChangeActFontTable(const char* pszName) { return ChangeActFontTable(GetFontTableIndex(pszName)); }
    short GetFontTableIndex(const char* pszName) const { return m_coFontTables.IndexOf(pszName); }
    TString GetFontTableName(short nIndex) const;
    short GetFontTableCount() const { return m_coFontTables.Count(); }
    KwFontTable* GetFontTable(short nIndex) const { return m_coFontTables.Get(nIndex); }
    KwFontTable* GetFontTable(const char* pszName) const { return m_coFontTables.Get(pszName); }
    KwFontTable* GetActFontTable() const { return m_coFontTables.GetActive(); }
    operator KwFontTable&() const { return *GetActFontTable(); }

    // Fonts of the active table (an empty slot: the application's default
    // font)
    int HasFont(const char* pszName) const;
    const KwFont& GetFont(short nIndex) const;
    const KwFont& GetFont(const char* pszName) const;
    short GetFontIndex(const char* pszName) const;
    TString GetFontName(short nIndex) const;
    int SetFont(short nIndex, const KwFont& coFont);
    int SetFont(const char* pszName, const KwFont& coFont);
    int ChgFontName(short nIndex, const char* pszNewName);
    int ChgFontName(const char* pszName, const char* pszNewName);

    // Marker pools: copies, by id.
    int InstallMarkerPool(const KwMarkerPool& coPool);
    int InstallMarkerPool(const char* pszId);
    short GetMarkerPoolCount() const { return static_cast<short>(m_coMarkerPools.size()); }
    KwMarkerPool* MarkerPoolFromIndex(short nIndex) const;
    KwMarkerPool* MarkerPoolFromId(const char* pszId) const;
    short IndexFromMarkerPoolId(const char* pszId) const;
    // The standard pools 0 to 5; empty otherwise.
    static TString GetMarkerPoolId(unsigned short n);
    static const char* GetDefaultMarkerPoolName() { return "MP_CTRLMARKER_DEFAULT"; }

    // Shared bitmaps, counted by use: the first request makes the bitmap
    // (priority file, installed files, then a picture file), the last
    // release destroys it.
    KwSysBitmap* GetBitmap(const char* pszId, const char* pszFile);
    KwSysBitmap* GetBitmap(const char* pszId, KwFileHdl* pcoFileHdl);
    // A shared copy of an in-memory picture, named "KwSysBitmap_Int<n>";
    // the id goes to coId.
    KwSysBitmap* MakeSysBitmap(const KwBitmap& coBitmap, TString& coId);
    int ReleaseBitmap(const char* pszId);
    int HasBitmap(const char* pszId) const;
    short GetBitmapCount() const { return static_cast<short>(m_coBitmaps.size()); }
    short GetBitmapInfoList(KwResBitmapInfoList& coList) const;
    void SetResBitmapsOff(int nOff) { m_nResBitmapsOff = nOff; }
    int IsResBitmapsOff() const { return m_nResBitmapsOff; }
    void InstallPriorityFileHdl(KwFileHdl* pcoFileHdl) { m_pcoPriorityFileHdl = pcoFileHdl; }
    void UnInstallPriorityFileHdl() { m_pcoPriorityFileHdl = nullptr; }
    KwFileHdl* GetPriorityFileHdl() const { return m_pcoPriorityFileHdl; }

private:
    unsigned short Install(const char* pszFile, const KwMemberLinkArray* pcoLinks, int nCopy, const char* pszPassword);
    void AfterInstall(KwFileHdl& coHdl);
    KwSysBitmap* FindBitmap(const char* pszId) const;
    KwSysBitmap* AddBitmap(std::unique_ptr<KwSysBitmap> pcoBitmap);
    void ForgetInMarkerPools(const KwSysBitmap* pcoBitmap);

    KwApp* m_pcoApp;                                          // not owned
    std::vector<std::unique_ptr<KwFileHdl>> m_coFiles;        // in installation order
    std::vector<TString> m_coInstalling;                      // base names being installed
    std::vector<std::unique_ptr<KwMarkerPool>> m_coMarkerPools;
    KwTableList<KwColorTable> m_coColorTables;
    KwTableList<KwFontTable> m_coFontTables;
    std::vector<std::unique_ptr<KwSysBitmap>> m_coBitmaps;    // sorted by id
    long m_lNextInternalBitmap { 1 };
    int m_nResBitmapsOff { 0 };
    KwFileHdl* m_pcoPriorityFileHdl { nullptr };              // not owned
};
