#include "KwCheckRecord.h"

#include "KwPictureCheck.h"
#include "TResVar.h"

#include <cstring>

namespace {

// A reader's message on one line: line breaks become single blanks.
std::string OneLine(const char* pszText)
{
    std::string str;
    for (const char* pch = pszText ? pszText : ""; *pch; ++pch) {
        if (*pch != '\n' && *pch != '\r')
            str += *pch;
        else if (!str.empty() && str.back() != ' ')
            str += ' ';
    }
    return str;
}

// Hands the record's variables to a picture check as a reader meets them:
// an id variable starts the picture again, numbers go to Take, and the
// colour and bit variables count what they carry.
template <class TCheck, class TMore>
void Feed(const std::vector<KwCheckVariable>& vecVars, TCheck& coCheck, TMore more)
{
    for (const KwCheckVariable& coVar : vecVars) {
        if (coVar.unId == TResource::VarResId && coVar.unType == TResVar::TypeString)
            coCheck.Clear();
        else if (coVar.unCount <= 1 && coVar.unType != TResVar::TypeString && coCheck.Take(coVar.unId, coVar.lValue))
            continue;
        else
            more(coVar);
    }
}

size_t Values(const KwCheckVariable& coVar, unsigned short unStoredType)
{
    return KwPictureValueCount(coVar.unType, coVar.unCount, unStoredType);
}

} // namespace

std::string KwCheckRecord::PathName(size_t nPosition) const
{
    if (!GetResId().IsEmpty())
        return static_cast<const char*>(GetResId());
    return "#" + std::to_string(nPosition);
}

int KwCheckRecord::NotifyReadBegin()
{
    m_vecVars.clear();
    m_vecChildren.clear();
    return TResource::NotifyReadBegin();
}

int KwCheckRecord::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    TResource::NotifyVariableRead(coVar, pcoParent, ulIndex);
    KwCheckVariable coKept;
    coKept.unType = coVar.MyType();
    coKept.unId = coVar.MyId();
    coKept.unCount = coVar.GetCount();
    if (coKept.unType != TResVar::TypeString) {
        coKept.lValue = static_cast<long>(coVar);
    } else if (const auto* pcoString = dynamic_cast<const TResString*>(&coVar)) {
        if (coKept.unCount < 2) {
            coKept.vecTexts.emplace_back(pcoString->GetValue() ? pcoString->GetValue() : "");
        } else {
            for (unsigned short i = 0; i < coKept.unCount; ++i)
                coKept.vecTexts.emplace_back(pcoString->GetValue(i) ? pcoString->GetValue(i) : "");
        }
    }
    m_vecVars.push_back(std::move(coKept));
    return 1;
}

int KwCheckRecord::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex)
{
    // The reader deletes a child that names no class when this returns;
    // a stand-in keeps its place among the children.
    auto* pcoRecord = dynamic_cast<KwCheckRecord*>(pcoChild);
    if (!pcoRecord || pcoChild->IsDummyResource()) {
        m_vecChildren.push_back(Unnamed());
        return 0;
    }
    m_vecChildren.emplace_back(pcoRecord);
    return 1;
}

TString KwCheckRecord::CheckBitmap() const
{
    KwBitmapRecordCheck coCheck;
    Feed(m_vecVars, coCheck, [&](const KwCheckVariable& coVar) {
        if (coVar.unId == KwBitmapRecordCheck::VarBits)
            coCheck.AddBits(Values(coVar, TResVar::TypeChar));
    });
    return coCheck.Check();
}

TString KwCheckRecord::CheckDib() const
{
    KwDibRecordCheck coCheck;
    Feed(m_vecVars, coCheck, [&](const KwCheckVariable& coVar) {
        if (coVar.unId == KwDibRecordCheck::VarColor)
            coCheck.AddColors(Values(coVar, TResVar::TypeLong));
        else if (coVar.unId == KwDibRecordCheck::VarBits)
            coCheck.AddBits(Values(coVar, TResVar::TypeChar));
    });
    return coCheck.Check();
}

// The handler

void KwCheckFileHdl::DisplayMessage(const char* pszText)
{
    // The only record this handler cannot make is one that names no class;
    // the check reports that itself, at the record's place.
    if (pszText && std::strncmp(pszText, "Resource of class type", 22) == 0)
        return;
    m_vecMessages.push_back(OneLine(pszText));
}

TResource* KwCheckFileHdl::NotifyCreateResource(unsigned short unType, TResource*, uint32_t, unsigned short, uint32_t)
{
    // Asked before the record's class name is offered; the type code is
    // kept for the object made then.
    m_unPendingType = unType;
    return nullptr;
}

TResource* KwCheckFileHdl::CustomCreateResource(const char* pszClass, unsigned short, uint32_t)
{
    return new KwCheckRecord(pszClass, m_unPendingType);
}

std::unique_ptr<KwCheckRecord> KwCheckFileHdl::Load(short nIndex, std::vector<std::string>& vecMessages)
{
    m_vecMessages.clear();
    TResource* pcoObject = LoadResource(nIndex, nullptr, nullptr, 0);
    vecMessages.insert(vecMessages.end(), m_vecMessages.begin(), m_vecMessages.end());
    m_vecMessages.clear();
    auto* pcoRecord = dynamic_cast<KwCheckRecord*>(pcoObject);
    if (!pcoRecord && pcoObject)
        pcoObject->Destroy();
    return std::unique_ptr<KwCheckRecord>(pcoRecord);
}
