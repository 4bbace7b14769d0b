#pragma once

// Symbols of the standard controls are exported from qa32kctl.dll and
// imported by everything that links against it. The native build is an
// ordinary shared object with default visibility.
#if defined(_WIN32)
#  if defined(QA32KCTL_BUILD)
#    define KCTL_API __declspec(dllexport)
#  else
#    define KCTL_API __declspec(dllimport)
#  endif
#else
#  define KCTL_API __attribute__((visibility("default")))
#endif
