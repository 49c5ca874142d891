#include "display_link.h"

#include "globals.h"

PluginChannel displayChannel;

SharedArea speakerArea() {
    return SharedArea{static_cast<wchar_t*>(displayChannel.speakerView.get()),
                      channel::kSpeakerUnits};
}

SharedArea activityArea() {
    return SharedArea{static_cast<wchar_t*>(displayChannel.activityView.get()),
                      channel::kActivityUnits};
}

void writeSpeakerText(const wchar_t* text, unsigned count) {
    writeSharedText(displayChannel.mutex.get(), speakerArea(), text, count);
}

void writeActivityText(const wchar_t* text) {
    writeSharedText(displayChannel.mutex.get(), activityArea(), text,
                    sharedCount(text, channel::kActivityUnits));
}

void notifyDisplay(DisplayCode code) {
    if (displayWindow) SendNotifyMessageW(displayWindow, DISPLAY_MESSAGE, code, 0);
}

void closeDisplayChannel() {
    displayChannel.speakerView.reset();
    displayChannel.speakerMapping.reset();
    displayChannel.activityView.reset();
    displayChannel.activityMapping.reset();
    displayChannel.mutex.reset();
}
