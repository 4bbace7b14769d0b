#pragma once

// Symbols of the tool library are exported from qa32kwtl.dll and imported by
// everything that links against it. The native build is an ordinary shared
// object with default visibility.
#if defined(_WIN32)
#  if defined(QA32KWTL_BUILD)
#    define KWTL_API __declspec(dllexport)
#  else
#    define KWTL_API __declspec(dllimport)
#  endif
#else
#  define KWTL_API __attribute__((visibility("default")))
#endif
