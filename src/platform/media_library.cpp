#include "platform/media_library.h"

#include <dlfcn.h>

namespace tw {

void* OpenSharedLibrary(const char* soname, std::string& why) {
    // Every function is bound now, so that a library that lacks one fails here and not in the
    // middle of a run. A library is never closed: SDL and fontconfig keep threads and caches
    // for the life of the process.
    void* library = ::dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library) return library;
    const char* error = ::dlerror();
    std::string reason = error ? error : "the system gave no reason";
    // The system's message usually starts with the name: it is said once.
    const std::string prefix = std::string(soname) + ": ";
    if (reason.compare(0, prefix.size(), prefix) == 0) reason.erase(0, prefix.size());
    why = std::string(soname) + " cannot be loaded: " + reason;
    return nullptr;
}

void* FindFunction(void* library, const char* soname, const char* name, std::string& why) {
    void* address = library ? ::dlsym(library, name) : nullptr;
    if (!address) why = std::string(soname) + " has no function " + name;
    return address;
}

namespace {

// A table as its first load left it: whole, or none with the reason.
template <class Table>
struct Loaded {
    Table table;
    bool ok = false;
    std::string why;
};

template <class Function>
bool Resolve(void* library, const char* soname, const char* name, Function& function,
             std::string& why) {
    void* address = FindFunction(library, soname, name, why);
    function = reinterpret_cast<Function>(address);
    return address != nullptr;
}

// Opens the library and fills its table with `resolveAll`, which stops at the first function
// missing.
template <class Table, class ResolveAll>
Loaded<Table> Load(const char* soname, ResolveAll resolveAll) {
    Loaded<Table> loaded;
    void* library = OpenSharedLibrary(soname, loaded.why);
    loaded.ok = library && resolveAll(library, soname, loaded.table, loaded.why);
    return loaded;
}

template <class Table>
const Table* Give(const Loaded<Table>& loaded, std::string* why) {
    if (!loaded.ok && why) *why = loaded.why;
    return loaded.ok ? &loaded.table : nullptr;
}

// One link of the chain that fills a table: the function prefix##name into member `name`.
#define TW_RESOLVE(prefix, name) &&Resolve(library, soname, #prefix #name, table.name, reason)

}  // namespace

const SdlFunctions* LoadSdl(std::string* why) {
    static const auto loaded = Load<SdlFunctions>(
        kSdlLibrary, [](void* library, const char* soname, SdlFunctions& table,
                        std::string& reason) { return true TW_SDL_FUNCTIONS(TW_RESOLVE); });
    return Give(loaded, why);
}

const TtfFunctions* LoadTtf(std::string* why) {
    static const auto loaded = Load<TtfFunctions>(
        kTtfLibrary, [](void* library, const char* soname, TtfFunctions& table,
                        std::string& reason) { return true TW_TTF_FUNCTIONS(TW_RESOLVE); });
    return Give(loaded, why);
}

const ImgFunctions* LoadImg(std::string* why) {
    static const auto loaded = Load<ImgFunctions>(
        kImgLibrary, [](void* library, const char* soname, ImgFunctions& table,
                        std::string& reason) { return true TW_IMG_FUNCTIONS(TW_RESOLVE); });
    return Give(loaded, why);
}

const FcFunctions* LoadFontconfig(std::string* why) {
    static const auto loaded = Load<FcFunctions>(
        kFcLibrary, [](void* library, const char* soname, FcFunctions& table, std::string& reason) {
            return true TW_FC_FUNCTIONS(TW_RESOLVE);
        });
    return Give(loaded, why);
}

#undef TW_RESOLVE

void SurfaceDeleter::operator()(SDL_Surface* surface) const {
    if (!surface) return;
    if (const SdlFunctions* sdl = LoadSdl()) sdl->FreeSurface(surface);
}

}  // namespace tw
