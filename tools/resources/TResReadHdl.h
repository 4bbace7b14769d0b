#pragma once

#include "KwtlApi.h"
#include "TDynBase.h"
#include "TResVar.h"

#include <cstdint>

class TFileHdl;
class TLogFile;
class TResource;

// Reads one resource record item by item: creates the object from the
// stored class name (or fills a given target), hands it each variable, reads
// every child record with a reader of its own and tells object and parent
// when each stage is done. The caller calls ReadDataResource until it
// answers 1 and then takes GetResourceObject().
//
// A damaged record (cut off, values beyond the record's end, texts without
// their zero byte, children nested deeper than MaxDepth) is reported once
// through the handler's DisplayMessage as "Resource file is damaged!"; the
// reader then answers 1 at once, IsDamaged() is 1, and objects of the
// broken subtree that nobody has taken over are deleted. The top-level
// object stays with the reader for the caller to discard.
//
// An object may be destroyed while it is read: its notifications run the
// program's code (a window's creation runs its links), which may destroy
// it or the object being read around it. The reader watches what it holds
// and forgets an object that dies; the rest of that object's record,
// children included, is passed over without creating anything, and a
// top-level object that died is not handed out.
//
// The depth counts across readers: an object being read may load another
// resource (a picture record holding a shared bitmap), whose reader then
// goes on from the depth of the innermost reader running on the thread, so
// that nested loads too end at MaxDepth.
class KWTL_API TResReadHdl {
public:
    static constexpr unsigned short MaxDepth = 64;

    TResReadHdl(TFileHdl* pcoFileHdl, int nCustomCreate);
    ~TResReadHdl();
    TResReadHdl(const TResReadHdl&) = delete;
    TResReadHdl& operator=(const TResReadHdl&) = delete;

    // Reading: one item; 1 at the end of this reader's resource (or when the
    // record is damaged), else 0.
    int ReadDataResource(TLogFile* pcoReader, TResource* pcoTarget, TResource* pcoParent);

    // State
    TResource* GetResourceObject() const { return m_pcoObject; }
    // The object of this reader was destroyed while it was read.
    int IsObjectGone() const { return m_nGone; }
    // Destroys the object (not a given target) that nobody takes, and
    // deletes it when Destroy leaves it alive.
    void DiscardObject();
    unsigned long GetChildCount() const { return m_ulChildCount; }
    int IsDamaged() const { return m_nDamaged; }
    // The stream position the record ends at; -1 (the default) is the end
    // of the stream. Child readers take their parent's.
    void SetReadLimit(int64_t llEnd) { m_llEnd = llEnd; }
    int64_t GetReadLimit() const { return m_llEnd; }

private:
    // Tells the reader when an object it holds dies.
    class TWatch : public TDynBase {
    public:
        explicit TWatch(TResReadHdl& coReader) : m_coReader(coReader) {}
        void Gone(TDynBase* pcoObject);

    private:
        TResReadHdl& m_coReader;
    };

    TResReadHdl(TFileHdl* pcoFileHdl, TResReadHdl* pcoParent, int nCustomCreate);

    // The object read (watched from here on), and letting go of it.
    void Hold(TResource* pcoObject);
    TResource* Release();
    // The parent object: the parent reader's, or the one given at the top.
    TResource* Parent() const;
    // The header of this reader's record was read (the object may be gone).
    int HasHeader() const { return m_pcoObject || m_nGone; }

    // Item kinds
    int ReadVariable(TLogFile* pcoReader, unsigned short unCode, TResVar** ppcoVar);
    int ReadHeader(TLogFile* pcoReader, unsigned short unCode, TResource* pcoTarget);
    TResource* CreateObject(unsigned short unCode, const char* pszClass, const char* pszCppClass,
                            unsigned short unWParam, uint32_t ulLParam);
    int ReadChild(TLogFile* pcoReader, int64_t llStart);
    void FinishOwnVariables(unsigned long ulIndex);
    void FinishEnd(unsigned long ulIndex);
    // Marks this reader and its parents damaged, reports it once and
    // deletes what nobody has taken over; answers 1.
    int Damage();
    void DisplayMessage(const char* pszText) const;

    TResReadHdl* m_pcoParent { nullptr };      // not owned
    int m_nReadFinished { 0 };
    TResource* m_pcoObject { nullptr };        // not owned by the reader
    unsigned long m_ulChildCount { 0 };
    int m_nCustomCreate { 0 };
    TFileHdl* m_pcoFileHdl { nullptr };        // not owned
    TResChar m_coChar;
    TResShort m_coShort;
    TResLong m_coLong;
    TResFloat m_coFloat;
    TResDouble m_coDouble;
    TResString m_coString;
    int m_nTakenOver { 0 };                    // the parent's answer to NotifyChildReadFinished
    int m_nDamaged { 0 };
    unsigned short m_unDepth { 0 };
    int64_t m_llEnd { -1 };
    TResReadHdl* m_pcoOuter { nullptr };       // the reader running on the thread before this one
    TResource* m_pcoGivenParent { nullptr };   // the parent given to a top-level reader, watched
    int m_nGone { 0 };
    TWatch m_coWatch { *this };
};
