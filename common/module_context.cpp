#include "module_context.h"

// Made on each use rather than kept: windows and dialogs are opened seldom,
// and nothing is left behind across the DLL's loads and unloads.
ModuleContextScope::ModuleContextScope(HMODULE module) {
    if (!module || !FindResourceW(module, MAKEINTRESOURCEW(kModuleManifestId),
                                  MAKEINTRESOURCEW(24 /* RT_MANIFEST */)))
        return;
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.hModule = module;
    request.lpResourceName = MAKEINTRESOURCEW(kModuleManifestId);
    context_ = CreateActCtxW(&request);
    if (context_ == INVALID_HANDLE_VALUE) return;
    if (!ActivateActCtx(context_, &cookie_)) cookie_ = 0;
}

ModuleContextScope::~ModuleContextScope() {
    if (cookie_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
}
