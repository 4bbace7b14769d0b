#pragma once

// A resource object stored in a file of its own and read back by its id,
// as an application reads it from its resource file.

#include "KwResFileHelper.h"

#include <memory>
#include <string>

// The object read back (null when it could not be read); the file is made
// in the directory and named after the id.
inline std::unique_ptr<TResource> KwStoredCopy(const kwtest::TResTempDir& coDir, const TResource& coStored)
{
    const std::string strFile = coDir.File(std::string(static_cast<const char*>(coStored.GetResId())) + ".kwt");
    kwtest::StoreResources(strFile, { &coStored });
    TFileHdl coHdl;
    if (coHdl.OpenRead(strFile.c_str(), 0, nullptr) != TFileHdl::Success)
        return nullptr;
    return std::unique_ptr<TResource>(coHdl.LoadResource(coStored.GetResId(), nullptr, nullptr, 0));
}
