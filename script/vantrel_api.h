// vantrel_api.h - what the extension exports to the host.
#pragma once
#if defined(VANTREL_BUILD)
#  define VANTREL_API __declspec(dllexport)
#else
#  define VANTREL_API __declspec(dllimport)
#endif
