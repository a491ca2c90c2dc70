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
    m_context = ::CreateActCtxW(&request);
}

ManifestContext::~ManifestContext() {
    if (m_context != INVALID_HANDLE_VALUE) ::ReleaseActCtx(m_context);
}

ManifestContext::Activation::Activation(const ManifestContext& context) {
    m_active =
        context.m_context != INVALID_HANDLE_VALUE && ::ActivateActCtx(context.m_context, &m_cookie);
}

ManifestContext::Activation::~Activation() {
    if (m_active) ::DeactivateActCtx(0, m_cookie);
}

}  // namespace harness
