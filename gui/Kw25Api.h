#pragma once

// Symbols of the GUI core are exported from qa32kw25.dll and imported by
// everything that links against it. The native build is an ordinary shared
// object with default visibility.
#if defined(_WIN32)
#  if defined(QA32KW25_BUILD)
#    define KW25_API __declspec(dllexport)
#  else
#    define KW25_API __declspec(dllimport)
#  endif
#else
#  define KW25_API __attribute__((visibility("default")))
#endif

#include <cstdint>

// A handle of the window system (window, device context, drawing object,
// menu, timer id, instance). Always pointer-sized: on 64-bit Windows a
// handle does not fit into 32 bits.
using KwHandle = std::uintptr_t;
