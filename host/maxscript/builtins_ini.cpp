// builtins_ini.cpp - INI files: getINISetting, setINISetting, delIniSetting (Win32 profile calls on Windows).
#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

#if defined(_WIN32)

// The profile calls look in the Windows folder for a bare name; scripts mean the current one.
std::string full_path(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : path;
}

// GetPrivateProfileString into a buffer that grows until the answer fits.
std::string profile_string(const char* section, const char* key, const std::string& file) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<char> buffer(size);
        const DWORD n = GetPrivateProfileStringA(section, key, "", buffer.data(), size, file.c_str());
        const bool list = !section || !key;
        if (n < size - (list ? 2 : 1) || size > (1u << 26)) return std::string(buffer.data(), n);
    }
}

std::vector<std::string> split_nul(const std::string& text) {
    std::vector<std::string> items;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\0', at);
        items.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return items;
}

std::vector<std::string> ini_sections(const std::string& file) { return split_nul(profile_string(nullptr, nullptr, full_path(file))); }
std::vector<std::string> ini_keys(const std::string& file, const std::string& section) {
    return split_nul(profile_string(section.c_str(), nullptr, full_path(file)));
}
std::string ini_get(const std::string& file, const std::string& section, const std::string& key) {
    return profile_string(section.c_str(), key.c_str(), full_path(file));
}
bool ini_set(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), full_path(file).c_str()) != 0;
}
bool ini_delete(const std::string& file, const std::string& section, const std::string* key) {
    return WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr, nullptr,
                                      full_path(file).c_str()) != 0;
}

#else

// The same file format read and written here: [section] lines, key=value lines; names
// compare ignoring case, values lose surrounding blanks and one pair of quotes.
std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

bool same(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

std::vector<std::string> read_lines(const std::string& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool section_line(const std::string& line, std::string* name) {
    const std::string t = trimmed(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const size_t close = t.find(']');
    if (close == std::string::npos) return false;
    *name = trimmed(t.substr(1, close - 1));
    return true;
}

bool key_line(const std::string& line, std::string* key, std::string* value) {
    const std::string t = trimmed(line);
    const size_t eq = t.find('=');
    if (t.empty() || t[0] == ';' || eq == std::string::npos) return false;
    *key = trimmed(t.substr(0, eq));
    *value = trimmed(t.substr(eq + 1));
    if (value->size() >= 2 && (value->front() == '"' || value->front() == '\'') && value->back() == value->front())
        *value = value->substr(1, value->size() - 2);
    return true;
}

// Calls each(lineIndex, section, key, value) for every key line; key lines before any section are skipped.
template <class F>
void walk(const std::vector<std::string>& lines, F each) {
    std::string section, key, value;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (section_line(lines[i], &name)) {
            section = name;
            inSection = true;
            each(i, section, nullptr, nullptr);
        } else if (inSection && key_line(lines[i], &key, &value)) {
            each(i, section, &key, &value);
        }
    }
}

bool write_lines(const std::string& file, const std::vector<std::string>& lines) {
    std::ofstream out(file, std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
    return static_cast<bool>(out);
}

std::vector<std::string> ini_sections(const std::string& file) {
    std::vector<std::string> names;
    walk(read_lines(file), [&](size_t, const std::string& s, const std::string* k, const std::string*) {
        if (!k) names.push_back(s);
    });
    return names;
}

std::vector<std::string> ini_keys(const std::string& file, const std::string& section) {
    std::vector<std::string> keys;
    walk(read_lines(file), [&](size_t, const std::string& s, const std::string* k, const std::string*) {
        if (k && same(s, section)) keys.push_back(*k);
    });
    return keys;
}

std::string ini_get(const std::string& file, const std::string& section, const std::string& key) {
    std::string found;
    bool have = false;
    walk(read_lines(file), [&](size_t, const std::string& s, const std::string* k, const std::string* v) {
        if (k && !have && same(s, section) && same(*k, key)) found = *v, have = true;
    });
    return found;
}

bool ini_set(const std::string& file, const std::string& section, const std::string& key, const std::string& value) {
    std::vector<std::string> lines = read_lines(file);
    long keyAt = -1, sectionEnd = -1;
    walk(lines, [&](size_t i, const std::string& s, const std::string* k, const std::string*) {
        if (!same(s, section)) return;
        if (sectionEnd < 0 || long(i) > sectionEnd) sectionEnd = long(i);
        if (k && keyAt < 0 && same(*k, key)) keyAt = long(i);
    });
    const std::string line = key + "=" + value;
    if (keyAt >= 0) lines[size_t(keyAt)] = line;
    else if (sectionEnd >= 0) lines.insert(lines.begin() + sectionEnd + 1, line);
    else lines.push_back("[" + section + "]"), lines.push_back(line);
    return write_lines(file, lines);
}

bool ini_delete(const std::string& file, const std::string& section, const std::string* key) {
    std::vector<std::string> lines = read_lines(file);
    std::vector<bool> drop(lines.size(), false);
    std::string current;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name, k, v;
        if (section_line(lines[i], &name)) {
            inSection = same(name, section);
            if (inSection && !key) drop[i] = true;
        } else if (inSection && (!key || (key_line(lines[i], &k, &v) && same(k, *key)))) {
            drop[i] = true;
        }
    }
    std::vector<std::string> kept;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!drop[i]) kept.push_back(lines[i]);
    return write_lines(file, kept);
}

#endif

Array* strings(const std::vector<std::string>& items) {
    auto* array = new Array(0);
    for (const std::string& s : items)
        if (!s.empty()) array->append(new String(s.c_str()));
    return array;
}

// getINISetting file -> sections; file section -> keys; file section key -> its value or "".
Value* getINISetting(Value** args, int count) {
    BuiltinArgs a("getINISetting", args, count);
    a.expect(1, 3);
    const std::string file = a.text(0);
    if (a.count() == 1) return strings(ini_sections(file));
    if (a.count() == 2) return strings(ini_keys(file, a.text(1)));
    return new String(ini_get(file, a.text(1), a.text(2)).c_str());
}

Value* setINISetting(Value** args, int count) {
    BuiltinArgs a("setINISetting", args, count);
    a.expect(4);
    const std::string section = a.text(1), key = a.text(2), value = a.text(3);
    if (section.empty() || key.empty()) throw RuntimeError("setINISetting needs a section and a key");
    return bool_result(ini_set(a.text(0), section, key, value));
}

// delIniSetting file section [key]: the key, or the whole section.
Value* delIniSetting(Value** args, int count) {
    BuiltinArgs a("delIniSetting", args, count);
    a.expect(2, 3);
    const std::string key = a.count() == 3 ? a.text(2) : "";
    return bool_result(ini_delete(a.text(0), a.text(1), a.count() == 3 ? &key : nullptr));
}

}  // namespace

void define_ini_builtins(BuiltinDefiner define) {
    define("getINISetting", getINISetting);
    define("setINISetting", setINISetting);
    define("delIniSetting", delIniSetting);
}
