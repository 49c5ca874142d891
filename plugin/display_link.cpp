#include "display_link.h"

#include "globals.h"
#include "overlay_link.h"
#include "plugin_lock.h"

PluginChannel displayChannel;

namespace {

// What each area was last given, written under the same lock as the area
// so that a copy written back is never older than the area's content.
PluginLock copyLock;
wchar_t speakerCopy[channel::kSpeakerUnits] = L"";
wchar_t activityCopy[channel::kActivityUnits] = L"";

void keepCopy(wchar_t* copy, unsigned capacity, const wchar_t* text, unsigned count) {
    unsigned n = 0;
    if (text)
        for (; n + 1 < count && n + 1 < capacity && text[n] != L'\0'; ++n) copy[n] = text[n];
    copy[n] = L'\0';
}

void post(HWND window, DisplayCode code) {
    SendNotifyMessageW(window, DISPLAY_MESSAGE, code, 0);
}

// The overlay program came back with its start text in the areas: both
// lines go back in, and it is told about both. A clear that brought it back
// still applies after them.
void refillRestartedDisplay(HWND window, DisplayCode code) {
    bool activity = false;
    {
        PluginLockGuard guard(copyLock);
        writeSharedText(displayChannel.mutex.get(), speakerArea(), speakerCopy,
                        sharedCount(speakerCopy, channel::kSpeakerUnits));
        writeSharedText(displayChannel.mutex.get(), activityArea(), activityCopy,
                        sharedCount(activityCopy, channel::kActivityUnits));
        activity = activityCopy[0] != L'\0';
    }
    post(window, DISPLAY_SPEAKERS_CHANGED);
    if (activity) post(window, DISPLAY_ACTIVITY_POSTED);
    if (code == DISPLAY_ACTIVITY_CLEAR) post(window, code);
}

void deliver(DisplayCode code, bool seek) {
    HWND window = displayWindow;
    if (window) {
        if (!SendNotifyMessageW(window, DISPLAY_MESSAGE, code, 0) && !IsWindow(window))
            overlayWindowGone(window);
        return;
    }
    if (overlayLost()) {
        if (HWND back = reacquireOverlayWindow()) refillRestartedDisplay(back, code);
        return;
    }
    if (seek) displayWindow = findOverlayWindow();
}

}  // namespace

SharedArea speakerArea() {
    return SharedArea{static_cast<wchar_t*>(displayChannel.speakerView.get()),
                      channel::kSpeakerUnits};
}

SharedArea activityArea() {
    return SharedArea{static_cast<wchar_t*>(displayChannel.activityView.get()),
                      channel::kActivityUnits};
}

void writeSpeakerText(const wchar_t* text, unsigned count) {
    PluginLockGuard guard(copyLock);
    keepCopy(speakerCopy, channel::kSpeakerUnits, text, count);
    writeSharedText(displayChannel.mutex.get(), speakerArea(), text, count);
}

void writeActivityText(const wchar_t* text) {
    const unsigned count = sharedCount(text, channel::kActivityUnits);
    PluginLockGuard guard(copyLock);
    keepCopy(activityCopy, channel::kActivityUnits, text, count);
    writeSharedText(displayChannel.mutex.get(), activityArea(), text, count);
}

void notifyDisplay(DisplayCode code) { deliver(code, false); }

void notifyOrSeekDisplay(DisplayCode code) { deliver(code, true); }

void closeDisplayChannel() {
    displayChannel.speakerView.reset();
    displayChannel.speakerMapping.reset();
    displayChannel.activityView.reset();
    displayChannel.activityMapping.reset();
    displayChannel.mutex.reset();
    PluginLockGuard guard(copyLock);
    speakerCopy[0] = L'\0';
    activityCopy[0] = L'\0';
}
