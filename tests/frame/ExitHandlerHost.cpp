// A host that calls the library from its own exit handler, registered before its first library
// call: the objects the library made on that first call are destroyed at exit before the handler
// runs, unless the library keeps them alive. It reaches the library through the C entry points
// only, linked at start (KOR2_EXIT_HOST_LINKED) or opened after the handler is registered (the
// module's path as the argument), as a plug-in host opens it: the module's own global objects are
// then destroyed before the handler too.
//
// Each round creates an object, converts a colour, and writes and reads back a setting of the
// store KOR2_SETTINGS names; it prints one line, failures included, and so does every failure the
// library absorbs. The exit is left to run to its end: what the library does after the handler
// counts too.

#include <Kor2_Sys/Kor2_Sys.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef KOR2_EXIT_HOST_LINKED
#include <dlfcn.h>
#endif

namespace {

// The entry points the host calls, named once for the struct and for both ways of finding them.
#define KOR2_EXIT_HOST_API(X)                                                                                \
    X(create, kor2_create) X(shared, kor2_shared) X(release, kor2_release) X(invoke, kor2_invoke)              \
    X(makeLong, kor2_value_long) X(makeText, kor2_value_text) X(freeValue, kor2_value_free)                  \
    X(asText, kor2_value_as_text) X(freeString, kor2_string_free) X(clearError, kor2_error_clear)            \
    X(onSwallowedError, kor2_on_swallowed_error)

struct Api {
#define KOR2_SLOT(slot, name) decltype(&name) slot;
    KOR2_EXIT_HOST_API(KOR2_SLOT)
};

Api g_api{};

void absorbed(int32_t number, const char* description, const char* operation, void*)
{
    std::printf("absorbed %s: error %d: %s\n", operation, static_cast<int>(number), description);
}

// One call; its answer as text, or the error as "error N: description".
std::string call(kor2_object* object, const char* member, kor2_value** args, size_t count)
{
    kor2_value* result = nullptr;
    kor2_error error{0, nullptr};
    std::string answer;
    if (g_api.invoke(object, member, KOR2_METHOD, args, count, &result, &error) == 0) {
        char* text = g_api.asText(result, nullptr);
        answer = text != nullptr ? text : "<no text>";
        g_api.freeString(text);
    } else {
        answer = "error " + std::to_string(error.number) + ": " + (error.description ? error.description : "");
    }
    g_api.freeValue(result);
    g_api.clearError(&error);
    for (size_t i = 0; i < count; ++i)
        g_api.freeValue(args[i]);
    return answer;
}

kor2_object* object(decltype(&kor2_create) make, const char* progid)
{
    kor2_object* made = nullptr;
    kor2_error error{0, nullptr};
    if (make(progid, &made, &error) != 0)
        std::printf("%s: error %d: %s\n", progid, static_cast<int>(error.number),
                    error.description ? error.description : "");
    g_api.clearError(&error);
    return made;
}

void round(const char* when, const char* value)
{
    kor2_object* colours = object(g_api.create, "Kor2_Sys.CColores");
    kor2_object* settings = object(g_api.shared, "Kor2_Sys.cRegistro");
    if (colours == nullptr || settings == nullptr) {
        g_api.release(colours);
        g_api.release(settings);
        return;
    }
    kor2_value* colour[] = {g_api.makeLong(200)};
    const std::string number = call(colours, "Col_NuCad_de_NuVB", colour, 1);
    kor2_value* write[] = {g_api.makeText("Host"), g_api.makeText("Exit"), g_api.makeText(when), g_api.makeText(value)};
    const std::string written = call(settings, "R_Grabar_un_dato_en_Win", write, 4);
    kor2_value* read[] = {g_api.makeText("Host"), g_api.makeText("Exit"), g_api.makeText(when), g_api.makeText("none")};
    const std::string back = call(settings, "R_Lee_un_dato_en_Win", read, 4);
    std::printf("%s: colour %s, wrote [%s], read %s\n", when, number.c_str(), written.c_str(), back.c_str());
    g_api.release(colours);
    g_api.release(settings);
}

void atExit()
{
    round("at exit", "last");
}

#ifdef KOR2_EXIT_HOST_LINKED
bool load(int, char**)
{
#define KOR2_LINKED(slot, name) g_api.slot = name;
    KOR2_EXIT_HOST_API(KOR2_LINKED)
    return true;
}
#else
bool load(int argc, char** argv)
{
    void* module = argc > 1 ? dlopen(argv[1], RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (module == nullptr) {
        std::printf("cannot open the module: %s\n", argc > 1 ? dlerror() : "no path given");
        return false;
    }
    // Never closed: the exit handler still calls into it.
    bool found = true;
#define KOR2_FOUND(slot, name) found = found && (g_api.slot = reinterpret_cast<decltype(&name)>(dlsym(module, #name)));
    KOR2_EXIT_HOST_API(KOR2_FOUND)
    return found;
}
#endif

} // namespace

int main(int argc, char** argv)
{
    std::atexit(atExit);
    // Whatever was printed before a crash still reaches the test.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!load(argc, argv)) {
        std::printf("entry points missing\n");
        std::_Exit(2);  // the handler must not call what is missing
    }
    g_api.onSwallowedError(absorbed, nullptr);
    round("in main", "first");
    return 0;
}
