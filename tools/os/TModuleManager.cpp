#include "TModuleManager.h"

#include "TCrt.h"
#include "TRuntimeModule.h"

namespace {

void DestroyModule(void* pvModule)
{
    delete static_cast<TRuntimeModule*>(pvModule);
}

} // namespace

TModuleManager::TModuleManager(const TOpSystem* pcoSystem)
    : m_pcoSystem(pcoSystem)
    , m_coModules(4, DestroyModule, nullptr)
{
}

TModuleManager::~TModuleManager()
{
    DeleteAll();
}

TRuntimeModule* TModuleManager::Find(const char* pszName) const
{
    // A name with a directory part is the module of that name in that
    // directory, as the module object made from it would store it.
    const TRuntimeModule coKey(pszName);
    for (long i = 0; i < m_coModules.Count(); ++i) {
        auto* pcoModule = static_cast<TRuntimeModule*>(m_coModules.Get(i));
        if (CrtStricmp(pcoModule->GetName(), coKey.GetName()) == 0
            && CrtStricmp(pcoModule->GetPath(), coKey.GetPath()) == 0)
            return pcoModule;
    }
    return nullptr;
}

TRuntimeModule* TModuleManager::FindModule(const char* pszName) const
{
    if (!pszName || !*pszName)
        return nullptr;
    std::lock_guard<std::recursive_mutex> coGuard(m_coLock);
    return Find(pszName);
}

int TModuleManager::Load(const char* pszName)
{
    if (!pszName || !*pszName)
        return 0;
    std::lock_guard<std::recursive_mutex> coGuard(m_coLock);
    TRuntimeModule* pcoModule = Find(pszName);
    if (!pcoModule) {
        pcoModule = new TRuntimeModule(pszName, nullptr);
        pcoModule->SetOpSystem(m_pcoSystem);
        if (!m_coModules.Add(pcoModule)) {
            delete pcoModule;
            return 0;
        }
    }
    return pcoModule->Load();
}

int TModuleManager::Free(const char* pszName)
{
    if (!pszName || !*pszName)
        return 0;
    std::lock_guard<std::recursive_mutex> coGuard(m_coLock);
    TRuntimeModule* pcoModule = Find(pszName);
    return pcoModule ? pcoModule->Free() : 0;
}

TRuntimeModule* TModuleManager::GetModule(long lIndex) const
{
    std::lock_guard<std::recursive_mutex> coGuard(m_coLock);
    return static_cast<TRuntimeModule*>(m_coModules.Get(lIndex));
}

long TModuleManager::Count() const
{
    std::lock_guard<std::recursive_mutex> coGuard(m_coLock);
    return m_coModules.Count();
}

void TModuleManager::DeleteAll()
{
    std::lock_guard<std::recursive_mutex> coGuard(m_coLock);
    for (long i = m_coModules.Count() - 1; i >= 0; --i)
        m_coModules.Delete(i);
    m_coModules.Delete();
}
