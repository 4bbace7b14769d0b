#pragma once

// Symbols of the content library are exported from qa32kcnt.dll and
// imported by everything that links against it. The native build is an
// ordinary shared object with default visibility.
#if defined(_WIN32)
#  if defined(QA32KCNT_BUILD)
#    define KCNT_API __declspec(dllexport)
#  else
#    define KCNT_API __declspec(dllimport)
#  endif
#else
#  define KCNT_API __attribute__((visibility("default")))
#endif
