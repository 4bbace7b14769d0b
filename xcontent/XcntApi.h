#pragma once

// Symbols of the tree content are exported from qa32xcnt.dll and imported
// by everything that links against it. The native build is an ordinary
// shared object with default visibility.
#if defined(_WIN32)
#  if defined(QA32XCNT_BUILD)
#    define XCNT_API __declspec(dllexport)
#  else
#    define XCNT_API __declspec(dllimport)
#  endif
#else
#  define XCNT_API __attribute__((visibility("default")))
#endif
