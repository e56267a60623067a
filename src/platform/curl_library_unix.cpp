#include "platform/curl_library.h"

#include <QtGlobal>

#include <type_traits>

#include <dlfcn.h>

namespace vellumo::platform {

namespace {
// The soname of libcurl 7 and 8, whose functions keep their signatures.
constexpr const char *libraryName = "libcurl.so.4";

const CurlLibrary *load()
{
    // Never unloaded: libcurl's global clean-up is not safe while anything
    // else in the process might use the libraries below it.
    void *handle = dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        qWarning("Cannot load %s: %s", libraryName, dlerror());
        return nullptr;
    }
    bool complete = true;
    const auto find = [&](auto &function, const char *name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
        complete = complete && function;
    };
    static CurlLibrary library;
    find(library.global_init, "curl_global_init");
    find(library.share_init, "curl_share_init");
    find(library.share_setopt, "curl_share_setopt");
    find(library.share_cleanup, "curl_share_cleanup");
    find(library.multi_init, "curl_multi_init");
    find(library.multi_add_handle, "curl_multi_add_handle");
    find(library.multi_remove_handle, "curl_multi_remove_handle");
    find(library.multi_perform, "curl_multi_perform");
    find(library.multi_poll, "curl_multi_poll");
    find(library.multi_info_read, "curl_multi_info_read");
    find(library.multi_cleanup, "curl_multi_cleanup");
    find(library.easy_init, "curl_easy_init");
    find(library.easy_setopt, "curl_easy_setopt");
    find(library.easy_getinfo, "curl_easy_getinfo");
    find(library.easy_cleanup, "curl_easy_cleanup");
    if (!complete) {
        qWarning("%s lacks functions that this program needs", libraryName);
        return nullptr;
    }
    if (library.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return nullptr;
    return &library;
}
} // namespace

const CurlLibrary *curlLibrary()
{
    static const CurlLibrary *const library = load();
    return library;
}

} // namespace vellumo::platform
