// lexer.cpp - tokens of MAXScript: numbers, strings, names, punctuation, comments.
#include "host/maxscript/lexer.h"

#include <cctype>
#include <cstdlib>

namespace {

bool ident_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool ident_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

struct Lexer {
    const std::string& s;
    size_t i = 0;
    int line = 1;
    size_t line_start = 0;
    std::vector<Token> out;

    explicit Lexer(const std::string& s) : s(s) {}
    char at(size_t k) const { return k < s.size() ? s[k] : '\0'; }

    Token make(Tok kind, size_t start, bool space) {
        Token t;
        t.kind = kind;
        t.line = line;
        t.column = static_cast<int>(start - line_start) + 1;
        t.space_before = space;
        return t;
    }
    bool error(size_t start, const std::string& message) {
        Token t = make(Tok::Error, start, true);
        t.text = message;
        out.push_back(t);
        return false;
    }
    void newline_at(size_t k) {
        ++line;
        line_start = k + 1;
    }

    bool number(size_t start, bool space) {
        size_t k = start;
        if (at(k) == '0' && (at(k + 1) == 'x' || at(k + 1) == 'X') && std::isxdigit(static_cast<unsigned char>(at(k + 2)))) {
            k += 2;
            unsigned long long v = 0;
            while (std::isxdigit(static_cast<unsigned char>(at(k)))) {
                v = (v << 4) | static_cast<unsigned>(std::strtol(std::string(1, at(k)).c_str(), nullptr, 16));
                v &= 0xFFFFFFFFull;
                ++k;
            }
            Token t = make(Tok::Int, start, space);
            t.int_value = static_cast<long long>(static_cast<int>(static_cast<unsigned>(v)));
            out.push_back(t);
            i = k;
            return true;
        }
        bool is_float = false;
        while (digit(at(k))) ++k;
        if (at(k) == '.' && !ident_start(at(k + 1)) && at(k + 1) != '.') {
            is_float = true;
            ++k;
            while (digit(at(k))) ++k;
        }
        if ((at(k) == 'e' || at(k) == 'E') &&
            (digit(at(k + 1)) || ((at(k + 1) == '-' || at(k + 1) == '+') && digit(at(k + 2))))) {
            is_float = true;
            k += 2;
            while (digit(at(k))) ++k;
        }
        if (time_suffix(at(k)) || (at(k) == 'n' && !ident_char(at(k + 1)))) return time_literal(start, space);
        std::string text = s.substr(start, k - start);
        Token t = make(is_float ? Tok::Float : Tok::Int, start, space);
        if (is_float) {
            t.float_value = std::strtod(text.c_str(), nullptr);
        } else {
            errno = 0;
            long long v = std::strtoll(text.c_str(), nullptr, 10);
            if (errno || v > 2147483647LL) {  // too big for an Integer: read as a Float
                t.kind = Tok::Float;
                t.float_value = std::strtod(text.c_str(), nullptr);
            }
            t.int_value = v;
        }
        if (ident_char(at(k))) return error(start, "bad number: " + s.substr(start, k - start + 1));
        out.push_back(t);
        i = k;
        return true;
    }

    static bool time_suffix(char c) { return c == 'm' || c == 's' || c == 'f' || c == 't'; }
    // 2m30s5f2t: numbers each followed by a unit, in that order; 0.45n is a fraction of the
    // active segment (0 to 100 frames here). 4800 ticks a second, 30 frames a second.
    bool time_literal(size_t start, bool space) {
        static const char units[] = "msft";
        static const double ticks[] = {288000, 4800, 160, 1};
        size_t k = start;
        double total = 0;
        int next_unit = 0;
        while (digit(at(k)) || (at(k) == '.' && digit(at(k + 1)))) {
            size_t n0 = k;
            while (digit(at(k))) ++k;
            if (at(k) == '.') {
                ++k;
                while (digit(at(k))) ++k;
            }
            double v = std::strtod(s.substr(n0, k - n0).c_str(), nullptr);
            if (at(k) == 'n' && n0 == start) {
                total = v * 100 * 160;
                ++k;
                break;
            }
            int u = next_unit;
            while (u < 4 && units[u] != at(k)) ++u;
            if (u == 4) return error(start, "bad time literal: " + s.substr(start, k - start + 1));
            total += v * ticks[u];
            next_unit = u + 1;
            ++k;
        }
        if (ident_char(at(k))) return error(start, "bad time literal: " + s.substr(start, k - start + 1));
        Token t = make(Tok::Time, start, space);
        t.float_value = total;
        out.push_back(t);
        i = k;
        return true;
    }

    // $, $Box01, $'a name', $*, $geometry, $a/b*, $.../c: the path text after the $, quotes
    // kept so a quoted level matches literally.
    bool path_name(size_t start, bool space) {
        size_t k = start + 1;
        for (;;) {
            char c = at(k);
            if (ident_char(c) || c == '*' || c == '?' || c == '/') {
                ++k;
            } else if (c == '.' && at(k + 1) == '.' && at(k + 2) == '.') {
                k += 3;
            } else if (c == '\'') {
                size_t e = k + 1;
                while (e < s.size() && s[e] != '\'' && s[e] != '\n') ++e;
                if (at(e) != '\'') return error(start, "unterminated quoted name");
                k = e + 1;
            } else {
                break;
            }
        }
        Token t = make(Tok::PathName, start, space);
        t.text = s.substr(start + 1, k - start - 1);
        out.push_back(t);
        i = k;
        return true;
    }

    bool string(size_t start, bool space, bool verbatim) {
        // Made before scanning: a string may span lines, the token is where it starts.
        Token t = make(Tok::String, start, space);
        const int start_line = line;
        const size_t start_line_start = line_start;
        size_t k = start + (verbatim ? 2 : 1);
        std::string text;
        for (;;) {
            char c = at(k);
            if (k >= s.size()) {
                line = start_line;
                line_start = start_line_start;
                return error(start, "unterminated string");
            }
            if (c == '"') break;
            if (c == '\n') newline_at(k);
            if (c == '\\' && !verbatim) {
                char e = at(k + 1);
                switch (e) {
                    case 'n': text += '\n'; break;
                    case 't': text += '\t'; break;
                    case 'r': text += '\r'; break;
                    case '"': text += '"'; break;
                    case '\\': text += '\\'; break;
                    case '%': text += '%'; break;
                    case '*': text += '*'; break;
                    case '?': text += '?'; break;
                    case 'x': {
                        size_t h = k + 2;
                        unsigned code = 0;
                        while (std::isxdigit(static_cast<unsigned char>(at(h))) && h < k + 10) {
                            code = code * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(at(h))) ? at(h) - '0' : (std::tolower(static_cast<unsigned char>(at(h))) - 'a' + 10));
                            ++h;
                        }
                        if (h == k + 2) {  // no digits: the backslash stays
                            text += '\\';
                            ++k;
                            continue;
                        }
                        append_code(text, code);
                        k = h;
                        continue;
                    }
                    default:  // any other backslash is kept as it stands
                        text += '\\';
                        ++k;
                        continue;
                }
                k += 2;
                continue;
            }
            text += c;
            ++k;
        }
        t.text = text;
        out.push_back(t);
        i = k + 1;
        return true;
    }

    // A character code as UTF-8 (codes below 128 as themselves).
    static void append_code(std::string& text, unsigned code) {
        if (code < 0x80) {
            text += static_cast<char>(code);
        } else if (code < 0x800) {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            if (code > 0xFFFF) code = 0xFFFD;
            text += static_cast<char>(0xE0 | (code >> 12));
            text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool run() {
        if (s.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;  // a UTF-8 byte order mark
        bool space = true;
        while (i < s.size()) {
            char c = s[i];
            if (c == '\n') {
                Token t = make(Tok::Newline, i, space);
                out.push_back(t);
                newline_at(i);
                ++i;
                space = true;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++i;
                space = true;
                continue;
            }
            if (c == '-' && at(i + 1) == '-') {  // comment to the end of the line
                while (i < s.size() && s[i] != '\n') ++i;
                space = true;
                continue;
            }
            if (c == '/' && at(i + 1) == '*') {
                size_t start = i;
                const int start_line = line;
                const size_t start_line_start = line_start;
                i += 2;
                while (i < s.size() && !(s[i] == '*' && at(i + 1) == '/')) {
                    if (s[i] == '\n') newline_at(i);
                    ++i;
                }
                if (i >= s.size()) {
                    line = start_line;
                    line_start = start_line_start;
                    return error(start, "unterminated comment");
                }
                i += 2;
                space = true;
                continue;
            }
            if (c == '\\') {  // line continuation: backslash, blanks, end of line
                size_t k = i + 1;
                while (at(k) == ' ' || at(k) == '\t' || at(k) == '\r') ++k;
                if (at(k) == '-' && at(k + 1) == '-')
                    while (k < s.size() && s[k] != '\n') ++k;
                if (at(k) == '\n') {
                    newline_at(k);
                    i = k + 1;
                    space = true;
                    continue;
                }
                return error(i, "unexpected \\");
            }
            size_t start = i;
            if (c == '.' && at(i + 1) == '.' && at(i + 2) != '.') {  // 3..5 in a bit array
                out.push_back(make(Tok::DotDot, start, space));
                i += 2;
                space = false;
                continue;
            }
            if (digit(c) || (c == '.' && digit(at(i + 1)))) {
                if (!number(start, space)) return false;
                space = false;
                continue;
            }
            if (c == '$') {
                if (!path_name(start, space)) return false;
                space = false;
                continue;
            }
            if (c == '"' || (c == '@' && at(i + 1) == '"')) {
                if (!string(start, space, c == '@')) return false;
                space = false;
                continue;
            }
            if (ident_start(c)) {
                size_t k = i;
                while (ident_char(at(k))) ++k;
                Token t = make(Tok::Ident, start, space);
                t.text = s.substr(start, k - start);
                // "name:" is a keyword argument (never "name::")
                if (at(k) == ':' && at(k + 1) != ':') {
                    t.kind = Tok::KeyArg;
                    ++k;
                }
                out.push_back(t);
                i = k;
                space = false;
                continue;
            }
            if (c == '#') {
                if (at(i + 1) == '(') {
                    out.push_back(make(Tok::ArrayOpen, start, space));
                    i += 2;
                } else if (at(i + 1) == '{') {
                    out.push_back(make(Tok::BitArrayOpen, start, space));
                    i += 2;
                } else if (at(i + 1) == '\'') {  // #'a name'
                    size_t e = i + 2;
                    while (e < s.size() && s[e] != '\'' && s[e] != '\n') ++e;
                    if (at(e) != '\'') return error(start, "unterminated quoted name");
                    Token t = make(Tok::Name, start, space);
                    t.text = s.substr(i + 2, e - i - 2);
                    out.push_back(t);
                    i = e + 1;
                } else if (ident_char(at(i + 1))) {
                    size_t k = i + 1;
                    while (ident_char(at(k))) ++k;
                    Token t = make(Tok::Name, start, space);
                    t.text = s.substr(i + 1, k - i - 1);
                    out.push_back(t);
                    i = k;
                } else {
                    return error(start, "bad character after #");
                }
                space = false;
                continue;
            }
            Tok kind = Tok::Error;
            size_t len = 1;
            char n = at(i + 1);
            switch (c) {
                case '(': kind = Tok::LParen; break;
                case ')': kind = Tok::RParen; break;
                case '[': kind = Tok::LBracket; break;
                case ']': kind = Tok::RBracket; break;
                case ',': kind = Tok::Comma; break;
                case ';': kind = Tok::Semicolon; break;
                case ':': kind = n == ':' ? (len = 2, Tok::DoubleColon) : Tok::Colon; break;
                case '&': kind = Tok::Amp; break;
                case '?': kind = Tok::Question; break;
                case '{': kind = Tok::LBrace; break;
                case '}': kind = Tok::RBrace; break;
                case '.': kind = Tok::Dot; break;
                case '^': kind = Tok::Caret; break;
                case '+': kind = n == '=' ? (len = 2, Tok::PlusAssign) : Tok::Plus; break;
                case '-': kind = n == '=' ? (len = 2, Tok::MinusAssign) : Tok::Minus; break;
                case '*': kind = n == '=' ? (len = 2, Tok::StarAssign) : Tok::Star; break;
                case '/': kind = n == '=' ? (len = 2, Tok::SlashAssign) : Tok::Slash; break;
                case '=': kind = n == '=' ? (len = 2, Tok::Eq) : Tok::Assign; break;
                case '!': if (n == '=') { kind = Tok::Ne; len = 2; } break;
                case '<': kind = n == '=' ? (len = 2, Tok::Le) : Tok::Lt; break;
                case '>': kind = n == '=' ? (len = 2, Tok::Ge) : Tok::Gt; break;
                default: break;
            }
            if (kind == Tok::Error) {
                unsigned char u = static_cast<unsigned char>(c);
                char buf[32];
                if (u >= 32 && u < 127) std::snprintf(buf, sizeof buf, "unexpected character '%c'", c);
                else std::snprintf(buf, sizeof buf, "unexpected byte 0x%02X", u);
                return error(start, buf);
            }
            out.push_back(make(kind, start, space));
            i += len;
            space = false;
        }
        Token end = make(Tok::End, i, true);
        out.push_back(end);
        return true;
    }
};

}  // namespace

std::vector<Token> tokenize(const std::string& text) {
    Lexer lx(text);
    lx.run();
    return std::move(lx.out);
}

Tok plain_operator(Tok op) {
    switch (op) {
        case Tok::PlusAssign: return Tok::Plus;
        case Tok::MinusAssign: return Tok::Minus;
        case Tok::StarAssign: return Tok::Star;
        case Tok::SlashAssign: return Tok::Slash;
        default: return op;
    }
}

const char* token_spelling(Tok kind) {
    switch (kind) {
        case Tok::End: return "end of input";
        case Tok::Newline: return "end of line";
        case Tok::Int: case Tok::Float: return "number";
        case Tok::String: return "string";
        case Tok::Name: return "name";
        case Tok::Ident: return "identifier";
        case Tok::KeyArg: return "keyword argument";
        case Tok::LParen: return "(";
        case Tok::RParen: return ")";
        case Tok::LBracket: return "[";
        case Tok::RBracket: return "]";
        case Tok::ArrayOpen: return "#(";
        case Tok::Comma: return ",";
        case Tok::Semicolon: return ";";
        case Tok::Colon: return ":";
        case Tok::Dot: return ".";
        case Tok::Plus: return "+";
        case Tok::Minus: return "-";
        case Tok::Star: return "*";
        case Tok::Slash: return "/";
        case Tok::Caret: return "^";
        case Tok::Assign: return "=";
        case Tok::PlusAssign: return "+=";
        case Tok::MinusAssign: return "-=";
        case Tok::StarAssign: return "*=";
        case Tok::SlashAssign: return "/=";
        case Tok::Eq: return "==";
        case Tok::Ne: return "!=";
        case Tok::Lt: return "<";
        case Tok::Gt: return ">";
        case Tok::Le: return "<=";
        case Tok::Ge: return ">=";
        case Tok::Error: return "error";
        case Tok::Time: return "time";
        case Tok::PathName: return "path name";
        case Tok::Amp: return "&";
        case Tok::Question: return "?";
        case Tok::DoubleColon: return "::";
        case Tok::BitArrayOpen: return "#{";
        case Tok::LBrace: return "{";
        case Tok::RBrace: return "}";
        case Tok::DotDot: return "..";
    }
    return "?";
}
