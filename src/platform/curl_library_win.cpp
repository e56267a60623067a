#include "platform/curl_library.h"

namespace vellumo::platform {

const CurlLibrary *curlLibrary()
{
    static const CurlLibrary library{
        &curl_global_init,     &curl_share_init,     &curl_share_setopt,        &curl_share_cleanup,
        &curl_multi_init,      &curl_multi_add_handle, &curl_multi_remove_handle, &curl_multi_perform,
        &curl_multi_poll,      &curl_multi_info_read,  &curl_multi_cleanup,       &curl_easy_init,
        &curl_easy_setopt,     &curl_easy_getinfo,     &curl_easy_cleanup,
    };
    // Set up once; libcurl's global clean-up is never called (see the Linux side).
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised ? &library : nullptr;
}

} // namespace vellumo::platform
