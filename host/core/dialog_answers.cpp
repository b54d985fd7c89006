// dialog_answers.cpp - dialog box answers from VANTREL_DIALOG_ANSWERS, so headless runs never wait.
#include "host/core/dialog_answers.h"

#include <cstdlib>
#include <deque>

#include "host/core/listener.h"

namespace {

bool headless = true;  // until the runner says it pumps messages

std::deque<std::string>* answers() {
    static std::deque<std::string>* list = [] {
        auto* out = new std::deque<std::string>;
        const char* text = std::getenv("VANTREL_DIALOG_ANSWERS");
        if (!text || !*text) return out;
        std::string all = text, one;
        for (char c : all) {
            if (c == '|') {
                out->push_back(one);
                one.clear();
            } else {
                one += c;
            }
        }
        out->push_back(one);
        return out;
    }();
    return list;
}

}  // namespace

void set_dialogs_headless(bool on) { headless = on; }

bool dialogs_headless() { return headless; }

bool dialogs_answered_from_list() { return headless || std::getenv("VANTREL_DIALOG_ANSWERS") != nullptr; }

bool next_dialog_answer(std::string& answer) {
    auto* list = answers();
    if (list->empty()) return false;
    answer = list->front();
    list->pop_front();
    return true;
}

void note_dialog_answer(const char* dialog, const std::string& text, const std::string& answer) {
    the_listener()->printf("-- %s \"%s\": %s\n", dialog, text.c_str(), answer.c_str());
}
