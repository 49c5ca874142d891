#include "display_link.h"

#include <cstdio>

wchar_t* DisplayLink::speakerText() const {
    if (speakerView_) return static_cast<wchar_t*>(speakerView_.get());
    return privateText_.get();
}

namespace {

void ensurePrivateText(std::unique_ptr<wchar_t[]>& text) {
    // Zeroed, so that even before the start text is written it reads as "".
    if (!text) text = std::make_unique<wchar_t[]>(channel::kSpeakerUnits);
}

// `to` holds capacity + 1 units.
void copyBounded(wchar_t* to, const wchar_t* from, unsigned capacity) {
    const size_t n = boundedLength(from, capacity);
    for (size_t i = 0; i < n; ++i) to[i] = from[i];
    to[n] = L'\0';
}

}  // namespace

int openDisplayChannel(DisplayLink& link, bool onNotification) {
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
    // At start, a line left over from before this opening was never
    // announced to us.
    if (link.activityView_ && !onNotification)
        copySharedText(SharedArea{link.activityText(), channel::kActivityUnits}, L"", 1);

    link.mutex_.reset(OpenMutexW(channel::kMutexOpenAccess, FALSE, channel::kMutexName));
    if (!link.mutex_) {
        std::printf("Could not open mutex  object (%d).\n", static_cast<int>(GetLastError()));
        return 0;
    }
    openActivityLog(link, onNotification);
    return link.activityView_ ? 1 : 0;
}

void openActivityLog(DisplayLink& link, bool onNotification) {
    if (link.hasLog() || !link.mutex_) return;
    UniqueKernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, channel::kActivityLogName));
    if (!mapping) return;  // an older plugin: the activity area alone
    UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kActivityLogBytes));
    if (!view) return;
    const DWORD wait = WaitForSingleObject(link.mutex_.get(), kOverlayMutexWaitMs);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return;  // tried again on the next post
    const ActivityLog* log = static_cast<const ActivityLog*>(view.get());
    const DWORD newest = log->newest;
    ReleaseMutex(link.mutex_.get());
    link.seen_ = newest;
    if (onNotification)
        link.seen_ = newest > channel::kActivityLogLines ? newest - channel::kActivityLogLines : 0;
    link.logMapping_ = std::move(mapping);
    link.logView_ = std::move(view);
}

void copyLinesHeld(DisplayLink& link) {
    copyBounded(link.speakerCopy_, link.speakerText(), channel::kSpeakerUnits);
    if (link.activityText())
        copyBounded(link.activityCopy_, link.activityText(), channel::kActivityUnits);
    else
        link.activityCopy_[0] = L'\0';
}

bool copyLines(DisplayLink& link) {
    HANDLE mutex = link.mutex();
    // Before the channel is open the text is our own: nobody else writes it.
    if (!link.isOpen() || !mutex) {
        copyLinesHeld(link);
        return true;
    }
    const DWORD wait = WaitForSingleObject(mutex, kOverlayMutexWaitMs);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
    copyLinesHeld(link);
    ReleaseMutex(mutex);
    return true;
}
