#include "display_link.h"

#include <cstdio>

#include "display_channel.h"

wchar_t* DisplayLink::speakerText() const {
    if (speakerView_) return static_cast<wchar_t*>(speakerView_.get());
    return privateText_.get();
}

namespace {

void ensurePrivateText(std::unique_ptr<wchar_t[]>& text) {
    // Zeroed, so that even before the start text is written it reads as "".
    if (!text) text = std::make_unique<wchar_t[]>(channel::kSpeakerUnits);
}

}  // namespace

int openDisplayChannel(DisplayLink& link) {
    UniqueKernelHandle speakerMapping(
        OpenFileMappingW(channel::kMapAllAccess, FALSE, channel::kSpeakerAreaName));
    if (!speakerMapping) {
        std::printf("Could not open file mapping object (%d).\n", static_cast<int>(GetLastError()));
        ensurePrivateText(link.privateText_);
        return 0;
    }
    UniqueView speakerView(MapViewOfFile(speakerMapping.get(), channel::kMapAllAccess, 0, 0,
                                         channel::kSpeakerBytes));
    if (!speakerView) {
        std::printf("Could not map view of file (%d).\n", static_cast<int>(GetLastError()));
        ensurePrivateText(link.privateText_);
        return 0;
    }
    link.speakerMapping_ = std::move(speakerMapping);
    link.speakerView_ = std::move(speakerView);
    link.privateText_.reset();

    link.activityMapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                                   0, channel::kActivityBytes,
                                                   channel::kActivityAreaName));
    if (!link.activityMapping_) {
        std::printf("Could not create file mapping object (%d).\n",
                    static_cast<int>(GetLastError()));
        return 0;
    }
    link.activityView_.reset(MapViewOfFile(link.activityMapping_.get(), channel::kMapAllAccess,
                                           0, 0, channel::kActivityBytes));
    // A line left over from before this opening was never announced to us.
    if (link.activityView_)
        writeSharedText(nullptr, SharedArea{link.activityText(), channel::kActivityUnits}, L"", 1);

    link.mutex_.reset(OpenMutexW(channel::kMutexOpenAccess, FALSE, channel::kMutexName));
    if (!link.mutex_) {
        std::printf("Could not open mutex  object (%d).\n", static_cast<int>(GetLastError()));
        return 0;
    }
    return link.activityView_ ? 1 : 0;
}
