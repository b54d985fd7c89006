// mchar.h - the host's character type, its literals and its string class.
//   Strings cross the host as MCHAR: wide in a Unicode build, as in every current host,
//   single-byte otherwise (the stand-in's own builds).
#pragma once
#include <string>

#if defined(_UNICODE)
typedef wchar_t MCHAR;
#define _M(x) L##x
#else
typedef char MCHAR;
#define _M(x) x
#endif
typedef const MCHAR* LPCMSTR;
typedef MCHAR* LPMSTR;

// A string the host hands back filled in (class names and the like).
class MSTR {
public:
    MSTR() = default;
    MSTR(const MCHAR* s) : text(s ? s : _M("")) {}
    MSTR& operator=(const MCHAR* s) {
        text = s ? s : _M("");
        return *this;
    }
    const MCHAR* data() const { return text.c_str(); }
    int Length() const { return static_cast<int>(text.size()); }
    bool isNull() const { return text.empty(); }
    operator const MCHAR*() const { return text.c_str(); }
    bool operator==(const MSTR& o) const { return text == o.text; }
    bool operator!=(const MSTR& o) const { return text != o.text; }

private:
    std::basic_string<MCHAR> text;
};
