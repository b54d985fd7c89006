// listener.cpp - the script listener: a text buffer, optionally echoed to stdout.
#include "host/core/listener.h"

#include <cstdio>

namespace {
class ListenerStream : public CharStream {
public:
    std::string text;
    bool echo = false;
    void puts(const char* s) override {
        if (!s) return;
        text += s;
        if (echo) {
            std::fputs(s, stdout);
            std::fflush(stdout);
        }
    }
};

ListenerStream& listener() {
    static ListenerStream stream;
    return stream;
}
}  // namespace

CharStream* the_listener() { return &listener(); }
std::string listener_text() { return listener().text; }
void listener_clear() { listener().text.clear(); }
void listener_echo(bool on) { listener().echo = on; }
