// engine.cpp - entry points: text, files, the listener, ExecuteMAXScriptScript; error printing.
#include "host/maxscript/engine.h"

#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "host/core/function.h"
#include "host/core/listener.h"
#include "host/maxscript/builtins.h"
#include "host/maxscript/call_args.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/grammar_values.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/parser.h"
#include "host/core/script_runner.h"

using namespace interp;

namespace {

// A syntax error as an exception (execute, fileIn): its message is the whole report.
class ScriptSyntaxError : public MAXScriptException {
public:
    std::string text;
    explicit ScriptSyntaxError(std::string t) : text(std::move(t)) {}
    void sprin1(CharStream* s) override { s->puts(text.c_str()); }
};

std::string source_line(const std::string& text, int line) {
    std::istringstream in(text);
    std::string l;
    for (int i = 1; std::getline(in, l); ++i)
        if (i == line) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            return l;
        }
    return "";
}

std::string syntax_report(const SyntaxError& e, const std::string& text, const std::string& file) {
    std::string r = "-- Syntax error: " + e.message + "\n-- ";
    if (!file.empty()) r += "file: " + file + "; ";
    r += "line: " + std::to_string(e.line) + "; column: " + std::to_string(e.column) + "\n";
    std::string l = source_line(text, e.line);
    r += "-- " + l + "\n-- ";
    for (int i = 1; i < e.column && i - 1 < static_cast<int>(l.size()); ++i) r += l[static_cast<size_t>(i - 1)] == '\t' ? '\t' : ' ';
    r += "^";
    return r;
}

std::string where(const TraceEntry& t) {
    std::string r = t.function == "top level" ? "anonymous codeblock" : t.function + "()";
    if (!t.file.empty()) r += "; file: " + t.file;
    r += "; line: " + std::to_string(t.line);
    return r;
}

// The last result handed out by run_script_text stays alive until the next run.
Value* last_result = &undefined;
std::multiset<Value*>& protected_values() {
    static auto* s = new std::multiset<Value*>;
    return *s;
}
void mark_protected() {
    heap_detail::trace(last_result);
    for (Value* v : protected_values()) heap_detail::trace(v);
}

std::string read_file(const char* path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string base_name(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Runs a parsed chunk inside whatever is running now (execute, fileIn).
Value* run_nested(const std::shared_ptr<Chunk>& chunk) {
    int base = sp;
    auto* main = new ScriptFunction(chunk->main, chunk);
    push(main);
    try {
        Value* v = call_script(main, nullptr, 0, nullptr);
        sp = base;
        return v;
    } catch (...) {
        sp = base;
        throw;
    }
}

// Runs a chunk from outside any script; prints an uncaught error unless quiet.
bool run_top(const std::shared_ptr<Chunk>& chunk, Value** result, bool quiet) {
    SavePoint saved = save();
    trace_taken = false;
    try {
        Value* v = run_nested(chunk);
        last_result = v;
        if (result) *result = v;
        return true;
    } catch (MAXScriptException& e) {
        restore(saved);
        if (!quiet) report_runtime_error(e.message());
    } catch (std::bad_alloc&) {
        restore(saved);
        if (!quiet) report_runtime_error("-- Runtime error: out of memory");
    } catch (std::exception& e) {
        restore(saved);
        if (!quiet) report_runtime_error(std::string("-- Runtime error: ") + e.what());
    }
    trace_taken = false;
    return false;
}

Value* string_arg(Value** args, int count, const char* fn) {
    check_arg_count(fn, 1, count);
    if (args[0]->tag != &String_class) throw TypeError(fn, args[0], &String_class);
    return args[0];
}

void define_global(const char* name, NativeFunction::Body body) { set_global(name, new NativeFunction(name, body)); }

// The file whose text runs now (getSourceFileName), so a script finds the files beside it.
std::string source_file;
struct SourceFileScope {
    std::string saved;
    explicit SourceFileScope(std::string path) : saved(std::move(source_file)) { source_file = std::move(path); }
    ~SourceFileScope() { source_file = std::move(saved); }
};

}  // namespace

Value* listener_last_result() { return last_result; }

void report_runtime_error(const std::string& message) {
    CharStream* out = the_listener();
    out->printf("%s\n", message.c_str());
    // A runaway recursion shows its innermost and outermost calls only.
    const size_t head = 8, tail = 2;
    for (size_t i = 0; i < trace.size(); ++i) {
        if (trace.size() > head + tail + 1 && i == head) {
            out->puts("--   ... more calls\n");
            i = trace.size() - tail - 1;
            continue;
        }
        out->printf(i == 0 ? "-- Error occurred in %s\n" : "--   called from %s\n", where(trace[i]).c_str());
    }
    trace.clear();
    trace_taken = false;
}

void define_engine_builtins() {
    define_global("execute", [](Value** args, int count) -> Value* {
        std::string text = string_arg(args, count, "execute")->to_string();
        SyntaxError e;
        auto chunk = parse_chunk(text, "", &e);
        if (!chunk) throw ScriptSyntaxError(syntax_report(e, text, ""));
        return run_nested(chunk);
    });
    define_global("fileIn", [](Value** args, int count) -> Value* {
        std::string path = string_arg(args, count, "fileIn")->to_string();
        bool ok;
        std::string text = read_file(path.c_str(), ok);
        if (!ok) throw RuntimeError("fileIn: cannot open " + path);
        SyntaxError e;
        auto chunk = parse_chunk(text, base_name(path), &e);
        if (!chunk) throw ScriptSyntaxError(syntax_report(e, text, base_name(path)));
        SourceFileScope scope(path);
        return run_nested(chunk);
    });
    define_global("getSourceFileName", [](Value**, int count) -> Value* {
        check_arg_count(getSourceFileName, 0, count);
        if (source_file.empty()) return &undefined;
        return new String(source_file.c_str());
    });
    // color r g b is how scripts write a colour literal.
    define_global("color", [](Value** args, int count) -> Value* {
        check_positional("color", 3, args, count);
        for (int i = 0; i < 3; ++i)
            if (args[i]->tag != &Integer_class && args[i]->tag != &Float_class)
                throw TypeError("color", args[i], &Float_class);
        return new ColorValue(args[0]->to_float(), args[1]->to_float(), args[2]->to_float());
    });
    define_global("gc", [](Value**, int) -> Value* {
        gc();
        return &ok;
    });
    define_global("getCurrentException", [](Value**, int count) -> Value* {
        check_arg_count(getCurrentException, 0, count);
        if (!current_exception) return &undefined;
        return new String(current_exception_text.c_str());
    });
}

void engine_init() {
    static bool done = false;
    if (done) return;
    done = true;
    gc_add_root_marker(mark_protected);
    ValueMetaClass* classes[] = {&Integer_class, &Float_class, &String_class, &Name_class, &Array_class,
                                 &Point2Value_class, &Point3Value_class, &ColorValue_class, &Boolean_class,
                                 &Undefined_class, &Ok_class, &MAXScriptFunction_class, &StructDef_class,
                                 &Time_class, &BitArray_class, &Point4Value_class,
                                 &Value_class};
    for (ValueMetaClass* c : classes) set_global(c->name, c);
    set_global("BooleanClass", &Boolean_class);
    define_engine_builtins();
    BuiltinDefiner define([](const char* name, NativeFunction::Body body) { define_global(name, body); },
                          [](const char* name, Value* value) { set_global(name, value); });
    define_all_builtins(define);
    define_grammar_builtins(define);
    set_global("macros", macros_interface());
}

bool run_script_text(const std::string& text, const std::string& file, Value** result, bool quiet) {
    engine_init();
    SyntaxError e;
    auto chunk = parse_chunk(text, file, &e);
    if (!chunk) {
        if (!quiet) the_listener()->printf("%s\n", syntax_report(e, text, file).c_str());
        return false;
    }
    return run_top(chunk, result, quiet);
}

bool run_script_file(const char* path) {
    engine_init();
    bool ok;
    std::string text = read_file(path, ok);
    if (!ok) {
        the_listener()->printf("-- Cannot open script file: %s\n", path);
        return false;
    }
    SourceFileScope scope(path);
    return run_script_text(text, base_name(path), nullptr, false);
}

void run_listener(std::FILE* in) {
    engine_init();
    std::string pending;
    char buf[4096];
    bool more = true;
    while (more) {
        std::string line;
        more = false;
        while (std::fgets(buf, sizeof buf, in)) {
            line += buf;
            if (!line.empty() && line.back() == '\n') {
                more = true;
                break;
            }
        }
        if (!more && line.empty()) break;
        if (!more) more = !std::feof(in);
        pending += line;
        if (pending.back() != '\n') pending += '\n';
        SyntaxError e;
        auto chunk = parse_chunk(pending, "", &e);
        if (!chunk) {
            if (e.at_end && more) continue;  // a block still open: read on
            the_listener()->printf("%s\n", syntax_report(e, pending, "").c_str());
            pending.clear();
            continue;
        }
        pending.clear();
        auto* body = static_cast<Block*>(chunk->main->body);
        if (body->items.empty()) continue;
        Value* result = nullptr;
        if (run_top(chunk, &result, false)) {
            StringStream s;
            result->sprin1(&s);
            the_listener()->printf("%s\n", s.text.c_str());
        }
    }
}

// ---- the host's seam ----

void FPValue::Init() {
    Free();
}

void FPValue::Free() {
    if (type == TYPE_STRING) delete[] s;
    if (type == TYPE_VALUE) {
        auto& p = protected_values();
        auto it = p.find(v);
        if (it != p.end()) p.erase(it);
    }
    type = TYPE_VOID;
    i = 0;
}

BOOL ExecuteMAXScriptScript(const char* text, MAXScript::ScriptSource, BOOL quietErrors, FPValue* result,
                            BOOL) {
    if (result) result->Init();
    Value* v = nullptr;
    if (!run_script_text(text ? text : "", "", &v, quietErrors != FALSE)) return FALSE;
    if (!result) return TRUE;
    if (v->tag == &String_class) {
        const std::string& t = static_cast<String*>(v)->text;
        char* copy = new char[t.size() + 1];
        std::memcpy(copy, t.c_str(), t.size() + 1);
        result->s = copy;
        result->type = TYPE_STRING;
    } else if (v->tag == &Integer_class) {
        result->i = static_cast<Integer*>(v)->value;
        result->type = TYPE_INT;
    } else if (v->tag == &Float_class) {
        result->f = static_cast<Float*>(v)->value;
        result->type = TYPE_FLOAT;
    } else if (v->tag == &Boolean_class) {
        result->i = static_cast<Boolean*>(v)->value ? 1 : 0;
        result->type = TYPE_BOOL;
    } else {
        protected_values().insert(v);
        result->v = v;
        result->type = TYPE_VALUE;
    }
    return TRUE;
}
