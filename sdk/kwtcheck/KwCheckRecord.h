#pragma once

// The records of a resource file as kwtcheck reads them: through the tool
// library's record reader, like every program does, but into objects that
// keep what was stored (type code, class names, variables in their order,
// children) instead of making windows or pictures of it. Platform-
// independent and without the GUI library, so that it also serves the
// fuzz programs.

#include "TFileHdl.h"
#include "TResource.h"
#include "TString.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// One variable as it was stored.
struct KwCheckVariable {
    unsigned short unType { 0 };
    unsigned short unId { 0 };
    unsigned short unCount { 0 };
    long lValue { 0 };                   // the single value as a reader converts it; 0 for texts
    std::vector<std::string> vecTexts;   // the texts of a string variable; "" for an absent one
};

class KwCheckRecord : public TResource {
public:
    KwCheckRecord(const char* pszClass, unsigned short unType) : m_strClass(pszClass ? pszClass : ""), m_unType(unType) {}
    ~KwCheckRecord() override = default;
    KwCheckRecord(const KwCheckRecord&) = delete;
    KwCheckRecord& operator=(const KwCheckRecord&) = delete;

    // A stand-in for a child that names no class: the reader skips it.
    static std::unique_ptr<KwCheckRecord> Unnamed() { return std::make_unique<KwCheckRecord>("", 0); }

    const std::string& GetClass() const { return m_strClass; }
    unsigned short GetType() const { return m_unType; }
    const std::vector<KwCheckVariable>& GetVariables() const { return m_vecVars; }
    size_t GetChildCount() const { return m_vecChildren.size(); }
    const KwCheckRecord& GetChild(size_t i) const { return *m_vecChildren[i]; }
    // The record's name in a path: its id, or "#n" (its position among its
    // parent's children, from 1) when it has none.
    std::string PathName(size_t nPosition) const;

    // The fields of a picture record checked against its bytes
    // (KwPictureCheck); empty when the picture fits.
    TString CheckBitmap() const;
    TString CheckDib() const;

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;

protected:
    int NotifyReadBegin() override;

private:
    std::string m_strClass;
    unsigned short m_unType;
    std::vector<KwCheckVariable> m_vecVars;
    std::vector<std::unique_ptr<KwCheckRecord>> m_vecChildren;
};

// Opens GUI resource files (their header starts with the GUI core's
// description) and reads their records into KwCheckRecord objects. What
// the reader reports goes into the messages instead of a message box.
class KwCheckFileHdl : public TFileHdl {
public:
    TString GetCustomDescription() const override { return "ZORVIK Brackenholt"; }
    TString GetCustomVersion() const override { return "V3.00.17"; }
    TString GetDefaultExtension() const override { return "KWT"; }

    void DisplayMessage(const char* pszText) override;
    TResource* CustomCreateResource(const char* pszClass, unsigned short unWParam, uint32_t ulLParam) override;
    TResource* NotifyCreateResource(unsigned short unType, TResource* pcoParent, uint32_t ulParentCount,
                                    unsigned short unWParam, uint32_t ulLParam) override;

    // The record of an index entry; none when it has no data or its record
    // names no class. The reader's messages are added to vecMessages, each
    // as one line.
    std::unique_ptr<KwCheckRecord> Load(short nIndex, std::vector<std::string>& vecMessages);

private:
    unsigned short m_unPendingType { 0 };
    std::vector<std::string> m_vecMessages;
};
