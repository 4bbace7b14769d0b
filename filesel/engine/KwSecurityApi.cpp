#include "KwSecurityApi.h"

#include <cctype>

int KwVolumeInfo::KeepsRights() const
{
    if (m_ulFlags)
        return (m_ulFlags & PersistentAcls) != 0;
    std::string strName;
    for (char ch : m_strFileSystem)
        strName += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return strName == "NTFS";
}
