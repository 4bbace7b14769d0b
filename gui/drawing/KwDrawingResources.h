#pragma once

#include "Kw25Api.h"

class KwBitmap;
class KwColorTable;
class KwFileHdl;
class KwFont;
class KwSysBitmap;
class TString;

// What drawing objects take from the running application's resources: the
// current colour table (system colours), the default font and the bitmaps
// its resource manager shares. The application family registers the one
// source at library load; drawing asks it on every use, so that it needs
// nothing above it. Current() is null while no application runs, and the
// drawing objects then fall back to their defaults.
class KW25_API KwDrawingResources {
public:
    using TSourceFn = KwDrawingResources* (*)();

    virtual ~KwDrawingResources() = default;

    virtual const KwColorTable* ActColorTable() const = 0;
    virtual const KwFont& DefaultFont() const = 0;
    virtual KwSysBitmap* GetBitmap(const char* pszId, const char* pszFile) = 0;
    virtual KwSysBitmap* GetBitmap(const char* pszId, KwFileHdl* pcoFileHdl) = 0;
    virtual KwSysBitmap* MakeSysBitmap(const KwBitmap& coBitmap, TString& coId) = 0;
    virtual int ReleaseBitmap(const char* pszId) = 0;

    static KwDrawingResources* Current();
    static void Register(TSourceFn pfnSource);

private:
    static TSourceFn s_pfnSource;
};
