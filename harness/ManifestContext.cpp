#include "ManifestContext.h"

namespace harness {

ManifestContext::ManifestContext(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    if (!::GetModuleFileNameW(module, path, MAX_PATH)) return;
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.lpResourceName = MAKEINTRESOURCEW(2);
    context_ = ::CreateActCtxW(&request);
}

ManifestContext::~ManifestContext() {
    if (context_ != INVALID_HANDLE_VALUE) ::ReleaseActCtx(context_);
}

ManifestContext::Activation::Activation(const ManifestContext& context) {
    active_ =
        context.context_ != INVALID_HANDLE_VALUE && ::ActivateActCtx(context.context_, &cookie_);
}

ManifestContext::Activation::~Activation() {
    if (active_) ::DeactivateActCtx(0, cookie_);
}

}  // namespace harness
