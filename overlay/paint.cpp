#include "paint.h"

#include "display_channel.h"
#include "overlay_scale.h"

namespace {

struct TextRun {
    const wchar_t* text;
    size_t length;
};

// With no queue (duration 0) the plugin's latest line shows as it stands;
// otherwise the head of the queue.
TextRun activityLine(const OverlayState& state) {
    if (state.liveConfig.displayDuration == 0 && state.link.activityText()) {
        const wchar_t* shared = state.link.paintedActivity();
        return {shared, boundedLength(shared, channel::kActivityUnits)};
    }
    if (!state.activityQueue.empty())
        return {state.activityQueue.lineAt(0), state.activityQueue.lengthAt(0)};
    return {L"", 0};
}

void drawOverlay(HDC dc, const OverlayState& state) {
    const DisplayConfig& live = state.liveConfig;
    const DisplayConfig& preview = state.previewConfig;
    SelectGuard font(dc, state.font.get());
    // Opaque background mode: each text sits on a box of this colour.
    SetBkColor(dc, preview.backgroundColour);

    // The copy is bounded like the area: any process may write there.
    const wchar_t* speaker = state.link.paintedSpeaker();
    const size_t speakerLength = boundedLength(speaker, channel::kSpeakerUnits);

    // In one-line mode both lines share y 0; the activity line then shows
    // only while nobody is talking.
    if (live.activityEnabled && (live.twoLines || speakerLength == 0)) {
        SetTextColor(dc, preview.channelColour);
        const TextRun line = activityLine(state);
        TextOutW(dc, 0, activityLineTop(state), line.text, static_cast<int>(line.length));
    }
    SetTextColor(dc, preview.speakerColour);
    TextOutW(dc, 0, 0, speaker, static_cast<int>(speakerLength));
}

}  // namespace

void paintOverlay(HWND window, const OverlayState& state) {
    PAINTSTRUCT ps;
    // Drawn from the copies taken under the mutex when the plugin announced
    // its lines, so that a line being written is never drawn half old, half
    // new, and a paint never waits.
    HDC dc = BeginPaint(window, &ps);
    if (dc) drawOverlay(dc, state);
    EndPaint(window, &ps);
}
