#include "Secure.h"

#include "KwCopyFileSystem.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<Secure::ReportHook> s_pfnReportHook { nullptr };

// A descriptor can grow between the size query and the read; a few rounds
// settle it.
constexpr int kReadRounds = 3;

} // namespace

Secure::Secure(KwSecurityApi& coApi, uint32_t ulInformation)
    : m_coApi(coApi)
    , m_ulInformation(ulInformation)
{
    Init();
}

Secure::Secure(KwSecurityApi& coApi, uint32_t ulInformation, NoToken)
    : m_coApi(coApi)
    , m_ulInformation(ulInformation)
    , m_ulBufferSize(InitialBufferSize)
    , m_pbyBuffer(new uint8_t[InitialBufferSize])
{
}

Secure::Secure(const Secure& coOther)
    : m_coApi(coOther.m_coApi)
    , m_ulInformation(coOther.m_ulInformation)
{
    Init();
    Adopt(coOther.m_pbyBuffer.get(), coOther.m_ulLength);
}

void Secure::Adopt(const void* pvDescriptor, uint32_t ulLength)
{
    if (m_ulBufferSize < ulLength) {
        m_pbyBuffer.reset(new uint8_t[ulLength]);
        m_ulBufferSize = ulLength;
    }
    if (ulLength)
        std::memcpy(m_pbyBuffer.get(), pvDescriptor, ulLength);
    m_ulLength = ulLength;
}

Secure::~Secure()
{
    // Also after a partly failed enabling: what was turned on goes off.
    if (m_hToken) {
        DoPrivilege(0);
        m_coApi.CloseToken(m_hToken);
    }
}

void Secure::SetReportHook(ReportHook pfnHook)
{
    s_pfnReportHook.store(pfnHook);
}

const char* Secure::PrivilegeName(Privilege ePrivilege)
{
    static const char* const s_apszNames[PrivilegeCount] = {
        "SeSecurityPrivilege",
        "SeTakeOwnershipPrivilege",
        "SeRestorePrivilege",
    };
    return s_apszNames[ePrivilege];
}

int Secure::Fail(const char* pszStep, uint32_t ulError)
{
    m_pszLastStep = pszStep;
    m_ulLastError = ulError;
    if (ReportHook pfnHook = s_pfnReportHook.load())
        pfnHook(pszStep, ulError);
    return 0;
}

int Secure::Wanted(Privilege ePrivilege) const
{
    return ePrivilege != RestorePrivilege || (m_ulInformation & KwSecurityApi::OwnerInfo);
}

int Secure::Init()
{
    if (m_hToken) {
        DoPrivilege(0);
        m_coApi.CloseToken(m_hToken);
    }
    m_hToken = 0;
    m_nReady = m_nPrivilegesEnabled = 0;
    m_pbyBuffer.reset(new uint8_t[InitialBufferSize]);
    m_ulBufferSize = InitialBufferSize;
    m_ulLength = 0;
    uint32_t ulError = 0;
    for (int i = 0; i < PrivilegeCount; ++i) {
        m_anHeld[i] = m_anChanged[i] = 0;
        const auto ePrivilege = static_cast<Privilege>(i);
        if (Wanted(ePrivilege) && !m_coApi.LookupPrivilege(PrivilegeName(ePrivilege), m_aulLuid[i], ulError))
            return Fail("Secure::Init -> LookupPrivilegeValue", ulError);
    }
    m_hToken = m_coApi.OpenProcessToken(ulError);
    if (!m_hToken)
        return Fail("Secure::Init -> OpenProcessToken", ulError);
    m_nReady = 1;
    m_nPrivilegesEnabled = DoPrivilege(2);
    return 1;
}

int Secure::DoPrivilege(uint32_t ulAttributes)
{
    if (!m_hToken)
        return 0;
    const int nEnable = (ulAttributes & 2) != 0;
    int nResult = 1;
    for (int i = 0; i < PrivilegeCount; ++i) {
        const auto ePrivilege = static_cast<Privilege>(i);
        if (!Wanted(ePrivilege) || (!nEnable && !m_anChanged[i]))
            continue;
        int nWasEnabled = 0;
        uint32_t ulError = 0;
        if (!m_coApi.AdjustPrivilege(m_hToken, m_aulLuid[i], nEnable, nWasEnabled, ulError)) {
            nResult = Fail("Secure::DoPrivilege -> AdjustTokenPrivileges", ulError);
            continue;
        }
        if (!nEnable) {
            m_anChanged[i] = m_anHeld[i] = 0;
            continue;
        }
        // A partial assignment is a success of the call, not of the privilege.
        m_anHeld[i] = ulError != KwSecurityApi::ErrNotAllAssigned;
        m_anChanged[i] = m_anHeld[i] && !nWasEnabled;
    }
    if (!nEnable)
        m_nPrivilegesEnabled = 0;
    return nResult;
}

int Secure::Read(const char* pszName, KwCopyStream* pcoSource, std::unique_ptr<uint8_t[]>& pbyBuffer,
                 uint32_t& ulBufferSize, uint32_t& ulLength)
{
    const char* pszStep = pcoSource ? "Secure::GetFromStream -> GetKernelObjectSecurity"
                                    : "Secure::GetFromFile -> GetFileSecurity";
    for (int nRound = 0; nRound < kReadRounds; ++nRound) {
        uint32_t ulNeeded = 0;
        uint32_t ulError = 0;
        const int nRead = pcoSource
            ? pcoSource->GetSecurity(m_ulInformation, pbyBuffer.get(), ulBufferSize, ulNeeded, ulError)
            : m_coApi.GetFileSecurity(pszName, m_ulInformation, pbyBuffer.get(), ulBufferSize, ulNeeded, ulError);
        if (nRead) {
            ulLength = ulNeeded && ulNeeded <= ulBufferSize ? ulNeeded : ulBufferSize;
            return 1;
        }
        if (ulError != KwSecurityApi::ErrInsufficientBuffer || ulNeeded <= ulBufferSize)
            return Fail(pszStep, ulError);
        pbyBuffer.reset(new uint8_t[ulNeeded]);
        ulBufferSize = ulNeeded;
    }
    return Fail(pszStep, KwSecurityApi::ErrInsufficientBuffer);
}

int Secure::GetFromFile(const char* pszName)
{
    if (!pszName || !*pszName)
        return Fail("Secure::GetFromFile -> GetFileSecurity", 0);
    m_ulLength = 0;
    return Read(pszName, nullptr, m_pbyBuffer, m_ulBufferSize, m_ulLength);
}

int Secure::GetFromStream(KwCopyStream& coSource)
{
    m_ulLength = 0;
    return Read(nullptr, &coSource, m_pbyBuffer, m_ulBufferSize, m_ulLength);
}

int Secure::SetToFile(const char* pszName)
{
    if (!pszName || !*pszName || !m_ulLength)
        return Fail("Secure::SetToFile -> SetFileSecurity", 0);
    uint32_t ulError = 0;
    if (!m_coApi.SetFileSecurity(pszName, m_ulInformation, m_pbyBuffer.get(), ulError))
        return Fail("Secure::SetToFile -> SetFileSecurity", ulError);
    return 1;
}

int Secure::Transfer(const char* pszSource, const char* pszTarget)
{
    return GetFromFile(pszSource) ? SetToFile(pszTarget) : 0;
}

int Secure::Compare(const char* pszName)
{
    if (!pszName || !*pszName || !m_ulLength)
        return -1;
    uint32_t ulSize = m_ulLength;
    std::unique_ptr<uint8_t[]> pbyOther(new uint8_t[ulSize]);
    uint32_t ulLength = 0;
    if (!Read(pszName, nullptr, pbyOther, ulSize, ulLength))
        return -1;
    return m_coApi.SameDescriptor(m_pbyBuffer.get(), m_ulLength, pbyOther.get(), ulLength, m_ulInformation) ? 1 : 0;
}
