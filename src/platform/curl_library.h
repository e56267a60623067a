#pragma once

#include <curl/curl.h>

namespace vellumo::platform {

// The libcurl functions the transfers call. On Linux the library is loaded
// at the first transfer rather than at start: with what it depends on (TLS,
// Kerberos, LDAP, SSH...) it is two dozen shared libraries, milliseconds of
// every start, and a start often transfers nothing (a load from the cache,
// an install). On Windows it is linked as usual.
struct CurlLibrary {
    decltype(&curl_global_init) global_init;
    decltype(&curl_share_init) share_init;
    decltype(&curl_share_setopt) share_setopt;
    decltype(&curl_share_cleanup) share_cleanup;
    decltype(&curl_multi_init) multi_init;
    decltype(&curl_multi_add_handle) multi_add_handle;
    decltype(&curl_multi_remove_handle) multi_remove_handle;
    decltype(&curl_multi_perform) multi_perform;
    decltype(&curl_multi_poll) multi_poll;
    decltype(&curl_multi_info_read) multi_info_read;
    decltype(&curl_multi_cleanup) multi_cleanup;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_easy_cleanup) easy_cleanup;
};

// libcurl, loaded and set up (curl_global_init) by the first call and kept
// for the life of the process; nullptr when it cannot be loaded or set up.
const CurlLibrary *curlLibrary();

} // namespace vellumo::platform
