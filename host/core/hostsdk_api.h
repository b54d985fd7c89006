// hostsdk_api.h - export/import marker for the host stand-in's DLL.
#pragma once
#if defined(_WIN32)
#  if defined(HOSTSDK_BUILD)
#    define HOSTSDK_API __declspec(dllexport)
#  else
#    define HOSTSDK_API __declspec(dllimport)
#  endif
#else
#  define HOSTSDK_API
#endif
