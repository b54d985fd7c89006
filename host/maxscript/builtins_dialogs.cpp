// builtins_dialogs.cpp - messageBox, queryBox, yesNoCancelBox, the file and folder dialogs, and
// Box2 (windows.getWindowPos answers one). Asked through the platform's real dialogs when
// someone can click them, else answered from VANTREL_DIALOG_ANSWERS, so no run ever waits.
#include <cctype>
#include <cstdio>
#include <string>

#include "host/core/dialog_answers.h"
#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"

DialogAnswerer platform_dialog = nullptr;

ValueMetaClass Box2Value_class("Box2");

namespace {

// A rectangle of whole pixels: x, y, w, h, and its edges.
class Box2Value : public Value {
public:
    int x, y, w, h;
    Box2Value(int x, int y, int w, int h) : x(x), y(y), w(w), h(h) { tag = &Box2Value_class; }
    void sprin1(CharStream* s) override { s->printf("(Box2 %d %d %d %d)", x, y, w, h); }
    Value* get_property(Value** args, int count) override {
        Value* n = count > 0 ? args[0] : nullptr;
        const struct {
            const char* name;
            int value;
        } fields[] = {{"x", x}, {"y", y}, {"w", w}, {"h", h}, {"left", x}, {"top", y}, {"right", x + w}, {"bottom", y + h}};
        for (const auto& f : fields)
            if (n == Name::intern(f.name)) return Integer::intern(f.value);
        return Value::get_property(args, count);
    }
};

std::string key_text(const BuiltinArgs& a, const char* name) {
    Value* v = a.key(name);
    if (!v) return "";
    if (v->tag != &String_class) throw TypeError(name, v, &String_class);
    return v->to_string();
}

// The answer to r: from the real dialog, or the next listed answer (cancel when none is left).
std::string ask(DialogRequest& r, const char* fn) {
    if (!dialogs_answered_from_list() && platform_dialog) return platform_dialog(r);
    std::string answer;
    if (!next_dialog_answer(answer)) answer = "cancel";
    note_dialog_answer(fn, r.text, answer.empty() ? "cancel" : answer);
    return answer;
}

bool is_word(const std::string& answer, const char* word) {
    if (answer.size() != std::char_traits<char>::length(word)) return false;
    for (size_t i = 0; i < answer.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(answer[i])) != word[i]) return false;
    return true;
}

DialogRequest request(DialogRequest::Kind kind, const BuiltinArgs& a, const char* text_key) {
    DialogRequest r;
    r.kind = kind;
    if (!text_key) r.text = a.text(0);
    else r.text = key_text(a, text_key);
    r.title = key_text(a, "title");
    return r;
}

// messageBox "text" [title:] [beep:]: shown, or printed when nobody can see it; takes no answer.
Value* messageBox(Value** args, int count) {
    BuiltinArgs a("messageBox", args, count);
    a.expect(1);
    DialogRequest r = request(DialogRequest::Kind::Message, a, nullptr);
    if (!dialogs_answered_from_list() && platform_dialog) platform_dialog(r);
    else note_dialog_answer("messageBox", r.text, "OK");
    return &ok;
}

Value* queryBox(Value** args, int count) {
    BuiltinArgs a("queryBox", args, count);
    a.expect(1);
    DialogRequest r = request(DialogRequest::Kind::Query, a, nullptr);
    return bool_result(is_word(ask(r, "queryBox"), "yes"));
}

Value* yesNoCancelBox(Value** args, int count) {
    BuiltinArgs a("yesNoCancelBox", args, count);
    a.expect(1);
    DialogRequest r = request(DialogRequest::Kind::YesNoCancel, a, nullptr);
    const std::string answer = ask(r, "yesNoCancelBox");
    if (is_word(answer, "yes")) return Name::intern("yes");
    if (is_word(answer, "no")) return Name::intern("no");
    return Name::intern("cancel");
}

// A path, or undefined when the dialog was cancelled.
Value* path_result(const std::string& answer) {
    if (answer.empty() || is_word(answer, "cancel")) return &undefined;
    return new String(answer.c_str());
}

Value* file_dialog(const char* fn, DialogRequest::Kind kind, Value** args, int count) {
    BuiltinArgs a(fn, args, count);
    a.expect(0);
    DialogRequest r = request(kind, a, "caption");
    r.file_name = key_text(a, "filename");
    r.types = key_text(a, "types");
    r.initial_dir = key_text(a, "initialDir");
    return path_result(ask(r, fn));
}

}  // namespace

Value* make_box2(int x, int y, int w, int h) { return new Box2Value(x, y, w, h); }

void define_dialog_builtins(BuiltinDefiner define) {
    define("messageBox", messageBox);
    define("queryBox", queryBox);
    define("yesNoCancelBox", yesNoCancelBox);
    define("getOpenFileName", [](Value** v, int n) { return file_dialog("getOpenFileName", DialogRequest::Kind::OpenFile, v, n); });
    define("getSaveFileName", [](Value** v, int n) { return file_dialog("getSaveFileName", DialogRequest::Kind::SaveFile, v, n); });
    define("getSavePath", [](Value** v, int n) { return file_dialog("getSavePath", DialogRequest::Kind::SavePath, v, n); });
    define("box2", [](Value** args, int count) -> Value* {
        BuiltinArgs a("box2", args, count);
        a.expect(4);
        return make_box2(a.integer(0), a.integer(1), a.integer(2), a.integer(3));
    });
}
