// builtins_test.cpp - the built-in functions, called with the engine's argument layout.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "host/core/errors.h"
#include "host/core/listener.h"
#include "host/maxscript/builtins.h"
#include "host/maxscript/call_args.h"
#include "host/maxscript/streams.h"
#include "host/scene/scene.h"
#if defined(_WIN32)
#include "host/win32/images.h"
#include "host/win32/plugins.h"
#endif

namespace {

std::string folded(const std::string& s) {
    std::string f = s;
    for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return f;
}

std::map<std::string, NativeFunction*>& library() {
    static std::map<std::string, NativeFunction*> functions;
    return functions;
}

void collect(const char* name, NativeFunction::Body body) {
    auto* f = new NativeFunction(name, std::move(body));
    f->make_permanent();
    library()[folded(name)] = f;
}

// Constants (the classes) are called like functions here: Bezier_Float () makes one.
void collect_value(const char* name, Value* v) {
    collect(name, [v](Value** args, int count) { return v->apply(args, count); });
}

// What the listener got since the last look, as a string.
Value* listenerText(Value**, int) {
    Value* text = new String(listener_text().c_str());
    listener_clear();
    return text;
}

// Reads one row's call as a script writer spells it: fn arg... key:arg, where an
// argument is 5, 2.5, "text", #name, #(a, b), [x, y], (color r g b), true, false,
// undefined or a variable of the table. A row "v = call" keeps the result in v.
class CallReader {
public:
    CallReader(const std::string& text, std::map<std::string, Value*>& vars) : s(text), vars(vars) {}

    std::string run() {
        std::string target;
        size_t eq = s.find(" = ");
        if (eq != std::string::npos && ident_at(0) == eq) {
            target = s.substr(0, eq);
            pos = eq + 3;
        }
        std::string result;
        try {
            Value* v = call();
            if (!target.empty()) vars[target] = v;
            result = print_form(v);
        } catch (MAXScriptException& e) {
            result = e.message();
        }
        return result;
    }

private:
    const std::string s;
    std::map<std::string, Value*>& vars;
    size_t pos = 0;

    size_t ident_at(size_t at) const {
        size_t end = at;
        while (end < s.size() && (std::isalnum(static_cast<unsigned char>(s[end])) || s[end] == '_')) ++end;
        return end;
    }
    void skip() { while (pos < s.size() && s[pos] == ' ') ++pos; }
    bool at_end() { skip(); return pos >= s.size(); }
    std::string ident() {
        size_t end = ident_at(pos);
        std::string id = s.substr(pos, end - pos);
        pos = end;
        return id;
    }

    Value* call() {
        const size_t end = ident_at(pos);
        auto f = library().find(folded(s.substr(pos, end - pos)));
        if (end == pos || f == library().end()) return value();  // a bare value or variable
        pos = end;
        std::vector<Value*> args, keys;
        if (s.compare(pos, 2, "()") == 0) pos += 2;
        while (!at_end()) {
            const size_t id_end = ident_at(pos);
            if (id_end > pos && id_end < s.size() && s[id_end] == ':') {
                keys.push_back(Name::intern(ident().c_str()));
                ++pos;
                keys.push_back(value());
            } else {
                args.push_back(value());
            }
        }
        if (!keys.empty()) {
            args.push_back(&keyarg_marker_value);
            args.insert(args.end(), keys.begin(), keys.end());
        }
        return f->second->apply(args.data(), static_cast<int>(args.size()));
    }

    Value* value() {
        skip();
        const char c = s[pos];
        if (c == '"') return new String(quoted().c_str());
        if (c == '#' && s[pos + 1] == '(') {
            pos += 2;
            auto* array = new Array(0);
            while (skip(), s[pos] != ')') {
                array->append(value());
                skip();
                if (s[pos] == ',') ++pos;
            }
            ++pos;
            return array;
        }
        if (c == '#') {
            ++pos;
            return Name::intern(ident().c_str());
        }
        if (c == '[') {
            ++pos;
            const float x = value()->to_float();
            skip();
            ++pos;  // ,
            const float y = value()->to_float();
            skip();
            ++pos;  // ]
            return new Point2Value(x, y);
        }
        if (c == '(') {  // (color r g b)
            pos += 7;
            const float r = value()->to_float(), g = value()->to_float(), b = value()->to_float();
            skip();
            ++pos;
            return new ColorValue(r, g, b);
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.') {
            size_t end = pos + 1;
            while (end < s.size() && (std::isdigit(static_cast<unsigned char>(s[end])) || s[end] == '.')) ++end;
            const std::string number = s.substr(pos, end - pos);
            pos = end;
            if (number.find('.') != std::string::npos) return new Float(std::stof(number));
            return new Integer(std::stoi(number));
        }
        const std::string id = ident();
        if (id == "true") return &true_value;
        if (id == "false") return &false_value;
        if (id == "undefined") return &undefined;
        auto v = vars.find(id);
        if (v == vars.end()) throw RuntimeError("test table: no variable " + id);
        return v->second;
    }

    std::string quoted() {
        std::string text;
        for (++pos; pos < s.size() && s[pos] != '"'; ++pos) {
            if (s[pos] == '\\' && pos + 1 < s.size()) {
                const char e = s[++pos];
                text += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            } else {
                text += s[pos];
            }
        }
        ++pos;
        return text;
    }
};

struct Row {
    const char* call;
    const char* expected;  // print form of the result, or the error's message
};

class Builtins : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        define_all_builtins(BuiltinDefiner(collect, collect_value));
        collect("listenerText", listenerText);
    }
    void SetUp() override {
        listener_clear();
        vars = {{"Integer", &Integer_class}, {"String", &String_class}, {"Array", &Array_class}};
    }
    void run(const std::vector<Row>& rows) {
        for (const Row& row : rows)
            EXPECT_EQ(CallReader(row.call, vars).run(), row.expected) << "in: " << row.call;
    }
    std::map<std::string, Value*> vars;
};

TEST_F(Builtins, CallArgsSplitPositionalsFromKeywords) {
    Value* key = Name::intern("mode");
    Value* args[] = {new Integer(1), new Integer(2), &keyarg_marker_value, key, new String("r")};
    EXPECT_EQ(positional_count(args, 5), 2);
    EXPECT_EQ(print_form(key_arg(args, 5, key)), "\"r\"");
    EXPECT_EQ(key_arg(args, 5, Name::intern("other")), nullptr);
    EXPECT_EQ(key_arg(args, 4, key), nullptr);  // a name without its value
    EXPECT_EQ(positional_count(args, 2), 2);
    EXPECT_EQ(print_form(&keyarg_marker_value), "&keyarg_marker");
    EXPECT_THROW(check_positional("f", 1, args, 5), ArgCountError);
}

TEST_F(Builtins, Strings) {
    run({
        {R"(filterString "a,b,,c" ",")", R"(#("a", "b", "c"))"},
        {R"(filterString "a,b,,c" "," splitEmptyTokens:true)", R"(#("a", "b", "", "c"))"},
        {R"(filterString " x  y;z" " ;")", R"(#("x", "y", "z"))"},
        {R"(filterString 5 ",")", "-- Unable to convert: 5 to type: String"},
        {R"(filterString "a")", "-- Argument count error: filterString wanted 2, got 1"},
        {R"(substring "hello" 2 3)", R"("ell")"},
        {R"(substring "hello" 2 -1)", R"("ello")"},
        {R"(substring "hello" 9 2)", R"("")"},
        {R"(substring "hello" 0 2)", R"("he")"},
        {R"(substring "hello" "a" 2)", R"(-- Unable to convert: "a" to type: Integer)"},
        {R"(findString "banana" "nan")", "3"},
        {R"(findString "banana" "N")", "undefined"},
        {R"(toLower "MiXed 1")", R"("mixed 1")"},
        {R"(toUpper #abc)", R"("ABC")"},
        {R"(substituteString "a-b-c" "-" "+")", R"("a+b+c")"},
        {R"(substituteString "aa" "a" "aa")", R"("aaaa")"},
        {R"(substituteString "abc" "" "x")", R"("abc")"},
        {R"(trimLeft "  \n x ")", R"("x ")"},
        {R"(trimRight "$Teapot0911" "1234567890")", R"("$Teapot")"},
        {R"(trimRight "   ")", R"("")"},
        {R"(trimLeft "a" "b" "c")", "-- Argument count error: trimLeft wanted 2, got 3"},
        {R"(matchPattern "Box01" pattern:"box*")", "true"},
        {R"(matchPattern "Box01" pattern:"box*" ignoreCase:false)", "false"},
        {R"(matchPattern "abcbd" pattern:"a*b?")", "true"},
        {R"(matchPattern "ab" pattern:"a*b?")", "false"},
        {R"(replace "abcdef" 2 3 "X")", R"("aXef")"},
        {R"(replace "ab" 4 0 "X")", "-- Runtime error: replace: range out of the string: 4, 0"},
    });
}

TEST_F(Builtins, PrintFormatAndClasses) {
    run({
        {R"(format "% + % = %\n" 1 2.5 "x")", "OK"},
        {R"(print "q")", R"("q")"},
        {R"(print #(1, #a))", "#(1, #a)"},
        {"listenerText()", R"("1 + 2.5 = x\n\"q\"\n#(1, #a)\n")"},
        {R"(ss = stringStream "")", R"(StringStream:"")"},
        {R"(format "[%]" #(1, "a") to:ss)", "OK"},
        {R"(format " 100\\% of %, % left" 5 to:ss)", "OK"},
        {R"(print "p" to:ss)", R"("p")"},
        {"ss", R"(StringStream:"[#(1, \"a\")] 100% of 5, % left\"p\"\n")"},
        {"listenerText()", R"("")"},
        {R"(format "x" to:5)", "-- Type error: format to: needs a stream, got: 5"},
        {R"(print 1 2)", "-- Argument count error: print wanted 1, got 2"},
        {"format()", "-- Argument count error: format wanted 1, got 0"},
        {"classOf 5", "Integer"},
        {"classOf ss", "StringStream"},
        {"classOf 1 2", "-- Argument count error: classOf wanted 1, got 2"},
        {"isKindOf 5 Integer", "true"},
        {"isKindOf 5 String", "false"},
    });
}

TEST_F(Builtins, Arrays) {
    run({
        {"a = #(3, 1, 2)", "#(3, 1, 2)"},
        {"append a 4", "#(3, 1, 2, 4)"},
        {"append 5 1", "-- Type error: append requires Array, got: 5"},
        {R"(s = "ab")", R"("ab")"},
        {R"(append s "cd")", R"("abcd")"},
        {"deleteItem a 1", "#(1, 2, 4)"},
        {"deleteItem a 4", "-- Runtime error: deleteItem index out of range: 4, count 3"},
        {"insertItem 7 a 2", "OK"},
        {"a", "#(1, 7, 2, 4)"},
        {"insertItem 0 a 6", "OK"},
        {"a", "#(1, 7, 2, 4, undefined, 0)"},
        {"insertItem 0 a 0", "-- Runtime error: insertItem index out of range: 0"},
        {"findItem a 2.0", "3"},
        {R"(findItem #("a", "B") "b")", "0"},
        {R"(join #(1) #("x", 2))", R"(#(1, "x", 2))"},
        {"appendIfUnique a 1", "false"},
        {"makeUniqueArray #(1, 1.0, #a, 2, #A)", "#(1, #a, 2)"},
        {"join a 5", "-- Type error: join requires Array, got: 5"},
        {"sort #(3, 1.5, -2)", "#(-2, 1.5, 3)"},
        {R"(sort #("b", "C", "a"))", R"(#("a", "b", "C"))"},
        {R"(m = #(2, "x", 1))", R"(#(2, "x", 1))"},
        {"sort m", R"(-- Type error: sort compares numbers or strings, got: "x")"},
        {"m", R"(#(2, "x", 1))"},
        {"amin #(3, 1, 2)", "1"},
        {"amax 3 7.5 2", "7.5"},
        {"amin #()", "undefined"},
        {R"(amax "b" "a")", R"("b")"},
        {"amin()", "-- Argument count error: amin wanted 1, got 0"},
        {"amin 1 #x", "-- Type error: amin compares numbers or strings, got: #x"},
    });
}

TEST_F(Builtins, CountIsAProperty) {
    Value* count = Name::intern("count");
    auto* array = new Array(0);
    array->append(&ok);
    EXPECT_EQ(print_form(array->get_property(&count, 1)), "1");
    auto* text = new String("four");
    EXPECT_EQ(print_form(text->get_property(&count, 1)), "4");
    Value* other = Name::intern("size");
    EXPECT_THROW(text->get_property(&other, 1), UnknownPropertyError);
}

TEST_F(Builtins, Maths) {
    run({
        {"abs -3", "3"},
        {"abs -2.5", "2.5"},
        {R"(abs "x")", R"(-- Unable to convert: "x" to type: Float)"},
        {"sqrt 16", "4.0"},
        {"floor -2.5", "-3.0"},
        {"ceil 2.1", "3.0"},
        {"mod 7 3", "1.0"},
        {"mod -7 3", "-1.0"},
        {"mod 1 0", "-- Runtime error: mod: division by zero"},
        {"sin 90", "1.0"},
        {"atan2 1 1", "45.0"},
        {"acos 1", "0.0"},
        {"pow 2 10", "1024.0"},
        {"seed 5", "OK"},
        {"random 1 2 3", "-- Argument count error: random wanted 2, got 3"},
        {"random 3 3", "3"},
        {"random 2.5 2.5", "2.5"},
        {"timeStamp 1", "-- Argument count error: timeStamp wanted 0, got 1"},
        {"sleep 0", "OK"},
        {"sleep #x", "-- Unable to convert: #x to type: Float"},
        {"is64bitApplication()", sizeof(void*) == 8 ? "true" : "false"},
        {"is64bitApplication 1", "-- Argument count error: is64bitApplication wanted 0, got 1"},
    });
}

TEST_F(Builtins, RandomStaysInsideInclusiveBoundsAndFollowsTheSeed) {
    std::map<std::string, int> seen;
    for (int i = 0; i < 200; ++i) {
        seen[CallReader("random 3 1", vars).run()]++;
        const float f = std::stof(CallReader("random 0.5 1.5", vars).run());
        EXPECT_TRUE(f >= 0.5f && f <= 1.5f) << f;
    }
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen.count("1") && seen.count("3"));
    CallReader("seed 42", vars).run();
    const std::string first = CallReader("random 1 1000000", vars).run();
    CallReader("seed 42", vars).run();
    EXPECT_EQ(CallReader("random 1 1000000", vars).run(), first);
}

TEST_F(Builtins, FilesAndStreams) {
    std::filesystem::remove_all("builtins_dir");
    std::remove("builtins_test.txt");
    run({
        {R"(doesFileExist "builtins_test.txt")", "false"},
        {R"(f = createFile "builtins_test.txt")", "<File:builtins_test.txt>"},
        {R"(format "one %\n" 1 to:f)", "OK"},
        {"print #(2) to:f", "#(2)"},
        {"close f", "OK"},
        {R"(format "x" to:f)", "-- Runtime error: The file is closed: builtins_test.txt"},
        {R"(doesFileExist "builtins_test.txt")", "true"},
        {R"(f = openFile "builtins_test.txt")", "<File:builtins_test.txt>"},
        {"readLine f", R"("one 1")"},
        {"eof f", "false"},
        {"readLine f", R"x("#(2)")x"},
        {"eof f", "true"},
        {"readLine f", "-- Runtime error: Read past the end of the file: builtins_test.txt"},
        {R"(format "x" to:f)", "-- Runtime error: The file is not open for writing: builtins_test.txt"},
        {"close f", "OK"},
        {R"(f = openFile "builtins_test.txt" mode:"a")", "<File:builtins_test.txt>"},
        {R"(format "three" to:f)", "OK"},
        {"readLine f", "-- Runtime error: The file is not open for reading: builtins_test.txt"},
        {"close f", "OK"},
        {R"(f = openFile "builtins_test.txt" mode:"r+")", "<File:builtins_test.txt>"},
        {"readLine f", R"("one 1")"},
        {"readLine f", R"x("#(2)")x"},
        {"readChar f", R"("t")"},
        {"readLine f", R"("hree")"},
        {"close f", "OK"},
        {R"(openFile "builtins_test.txt" mode:"rw")", R"(-- Runtime error: openFile: unknown mode "rw")"},
        {R"(openFile "no_such_folder/x.txt")", "undefined"},
        {"readLine 5", "-- Type error: readLine requires FileStream, got: 5"},
        {R"(deleteFile "builtins_test.txt")", "true"},
        {R"(deleteFile "builtins_test.txt")", "false"},
        {R"(deleteFile ".")", "false"},
        {R"(getFilenamePath "c:\\dir\\name.ext")", R"("c:\\dir\\")"},
        {R"(getFilenamePath "name.ext")", R"("")"},
        {R"(getFilenameFile "c:/dir/name.tar.gz")", R"("name.tar")"},
        {R"(getFilenameFile "dir\\noext")", R"("noext")"},
        {R"(getFilenameType "a/b.txt")", R"(".txt")"},
        {R"(ss = stringStream "l1\r\nl2")", R"(StringStream:"l1)" "\r" R"(\nl2")"},
        {"readLine ss", R"("l1")"},
        {"eof ss", "false"},
        {"readLine ss", R"("l2")"},
        {"eof ss", "true"},
        {"readLine ss", "-- Runtime error: Read past the end of the stream"},
        {"seek ss 2", "OK"},
        {"readLine ss", R"("")"},
        {"seek ss #eof", "OK"},
        {"filePos ss", "6"},
        {R"(makeDir "builtins_dir/sub" all:true)", "true"},
        {R"(makeDir "builtins_dir/sub/x/y")", "false"},
        {R"(f = createFile "builtins_dir/b.ms")", "<File:builtins_dir/b.ms>"},
        {"close f", "OK"},
        {R"(f = createFile "builtins_dir/a.MS")", "<File:builtins_dir/a.MS>"},
        {"close f", "OK"},
        {R"(getFiles "builtins_dir/*.ms")", R"(#("builtins_dir/a.MS", "builtins_dir/b.ms"))"},
        {R"(getDirectories "builtins_dir/*")", R"(#("builtins_dir/sub/"))"},
        {R"(getFiles "no_such_folder/*")", "#()"},
    });
    std::filesystem::remove_all("builtins_dir");
}

TEST_F(Builtins, SceneFunctionsAndClassConstructors) {
    run({
        {"scene_reset()", "OK"},
        {"c = Bezier_Float()", "Controller:Bezier_Float"},
        {"bezier_position()", "Controller:Bezier_Position"},
        {"scene_add_track c", "OK"},
        {"scene_tracks()", "#(Controller:Bezier_Float)"},
        {"scene_tracks which:1", "#(Controller:Bezier_Float)"},
        {"Bezier_Float 1", "-- Argument count error: Bezier_Float wanted 0, got 1"},
        {"Bezier_Float foo:1", R"(-- Unknown property: "foo" in Controller:Bezier_Float)"},
        {R"(n = scene_create_node "box")", "$box"},
        {"scene_delete n", "true"},
        {"scene_delete 5", "-- Type error: scene_delete requires a controller or a node, got: 5"},
        {"scene_save()", "-- Argument count error: scene_save wanted 1, got 0"},
    });
    EXPECT_EQ(the_scene().tracks().size(), 1u);  // the refused one never became a track
    the_scene().reset();
}

#if defined(_WIN32)
TEST_F(Builtins, Bitmaps) {
    // A 2x1 24-bit BMP, blue then white, for openBitmap.
    const unsigned char bmp[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0,
                                 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    std::FILE* f = std::fopen("builtins_test.bmp", "wb");
    ASSERT_TRUE(f);
    std::fwrite(bmp, 1, sizeof bmp, f);
    std::fclose(f);
    run({
        {"b = bitmap 4 2 color:(color 255 0 0)", "BitMap:4x2"},
        {"getPixels b [1, 1] 2", "#((color 255 0 0), (color 255 0 0))"},
        {"setPixels b [2, 1] #((color 0 0 255), (color 0 300 0))", "OK"},
        {"getPixels b [0, 1] 10",
         "#((color 255 0 0), (color 255 0 0), (color 0 0 255), (color 0 255 0))"},
        {"setPixels b [0, 0] #((color 1 2 3), 5)", "-- Unable to convert: 5 to type: Color"},
        {"getPixels b [0, 0] 1", "#((color 255 0 0))"},
        {"getPixels b [9, 0] 1", "#()"},
        {"getPixels b [0, 0] -1", "#()"},
        {"bitmap 0 5", "-- Runtime error: bitmap: bitmap size out of range: 0x5"},
        {"bitmap 100000 100000", "-- Runtime error: bitmap: bitmap size out of range: 100000x100000"},
        {"setPixels 5 [0, 0] #()", "-- Type error: setPixels requires BitMap, got: 5"},
        {R"(openBitmap "no_such.png")", "undefined"},
        {R"(o = openBitmap "builtins_test.bmp")", "BitMap:2x1"},
        {"getPixels o [0, 0] 2", "#((color 0 0 255), (color 255 255 255))"},
    });
    std::remove("builtins_test.bmp");
}

TEST_F(Builtins, PluginClassesGetConstructorsOnceLoaded) {
    char exe[MAX_PATH];
    std::string folder(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
    folder = folder.substr(0, folder.find_last_of("\\/")) + "\\fixture_plugins";
    load_plugins(folder.c_str());
    define_class_constructors(BuiltinDefiner(collect, collect_value));
    // The fixture's class makes no object: its constructor exists and says so.
    run({{"fixtureFloat()", "-- Runtime error: The class fixtureFloat made no object"}});
}
#endif

}  // namespace
