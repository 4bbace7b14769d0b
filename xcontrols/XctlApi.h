#pragma once

// Symbols of the extended controls are exported from qa32xctl.dll and
// imported by everything that links against it. The native build is an
// ordinary shared object with default visibility.
#if defined(_WIN32)
#  if defined(QA32XCTL_BUILD)
#    define XCTL_API __declspec(dllexport)
#  else
#    define XCTL_API __declspec(dllimport)
#  endif
#else
#  define XCTL_API __attribute__((visibility("default")))
#endif
