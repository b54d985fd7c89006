// host_text.cpp - converting between host strings and record text through the ANSI code page.
#include "script/host_text.h"

#include <windows.h>

#if defined(_UNICODE)

HostText hostTextFromRecord(const std::string& bytes) {
    if (bytes.empty()) return HostText();
    const int length = static_cast<int>(bytes.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    HostText text(static_cast<size_t>(wide > 0 ? wide : 0), L'\0');
    if (wide > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), wide);
    return text;
}

bool recordTextFromHost(const MCHAR* text, std::string& bytes) {
    if (!text || !*text) {
        bytes.clear();
        return true;
    }
    const int length = static_cast<int>(wcslen(text));
    // No best fit: a character the code page lacks is refused, never stored as a look-alike.
    BOOL lossy = FALSE;
    const int narrow = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, &lossy);
    if (narrow <= 0 || lossy) return false;
    std::string converted(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, converted.data(), narrow, nullptr, &lossy);
    if (lossy) return false;
    bytes = std::move(converted);
    return true;
}

#else

// A single-byte host already speaks the code page.
HostText hostTextFromRecord(const std::string& bytes) { return bytes; }

bool recordTextFromHost(const MCHAR* text, std::string& bytes) {
    bytes = text ? text : "";
    return true;
}

#endif
