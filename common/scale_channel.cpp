#include "scale_channel.h"

#include "display_scale.h"

bool ScaleChannel::open() {
    if (view_) return true;
    UniqueKernelHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  sizeof(ScaleArea), kScaleAreaName));
    if (!mapping) return false;
    // An object of that name made smaller by someone else fails here.
    UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0,
                                  sizeof(ScaleArea)));
    if (!view) return false;
    mapping_ = std::move(mapping);
    view_ = std::move(view);
    return true;
}

void ScaleChannel::close() {
    view_.reset();
    mapping_.reset();
}

void ScaleChannel::publish(UINT dpi) {
    if (view_) InterlockedExchange(&static_cast<ScaleArea*>(view_.get())->dpi, static_cast<LONG>(dpi));
}

UINT ScaleChannel::read() const {
    if (!view_) return 0;
    const LONG dpi = static_cast<const ScaleArea*>(view_.get())->dpi;
    return dpi > 0 ? plausibleDpi(static_cast<UINT>(dpi)) : 0;
}
