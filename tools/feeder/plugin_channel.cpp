#include "plugin_channel.h"

namespace {

UniqueKernelHandle createArea(const wchar_t* name, DWORD bytes) {
    return UniqueKernelHandle(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes, name));
}

UniqueView mapArea(const UniqueKernelHandle& mapping, DWORD bytes) {
    if (!mapping) return UniqueView();
    return UniqueView(MapViewOfFile(mapping.get(), channel::kMapAllAccess, 0, 0, bytes));
}

void fill(SharedArea area, wchar_t unit) {
    if (!area.text) return;
    for (unsigned i = 0; i < area.capacity; ++i) area.text[i] = unit;
}

}  // namespace

PluginChannel::PluginChannel()
    : mutex_(CreateMutexW(nullptr, FALSE, channel::kMutexName)),
      speakerMapping_(createArea(channel::kSpeakerAreaName, channel::kSpeakerBytes)),
      speakerView_(mapArea(speakerMapping_, channel::kSpeakerBytes)),
      activityMapping_(createArea(channel::kActivityAreaName, channel::kActivityBytes)),
      activityView_(mapArea(activityMapping_, channel::kActivityBytes)) {
    writeSharedText(mutex_.get(), speakerArea(), L"", 1);
}

bool PluginChannel::ready() const {
    return mutex_ && speakerView_ && activityView_;
}

bool PluginChannel::createLog() {
    logMapping_ = createArea(channel::kActivityLogName, kActivityLogBytes);
    logView_ = mapArea(logMapping_, kActivityLogBytes);
    if (!log()) return false;
    WaitForSingleObject(mutex_.get(), INFINITE);
    startActivityLog(log());
    ReleaseMutex(mutex_.get());
    return true;
}

SharedArea PluginChannel::speakerArea() const {
    return SharedArea{static_cast<wchar_t*>(speakerView_.get()), channel::kSpeakerUnits};
}

SharedArea PluginChannel::activityArea() const {
    return SharedArea{static_cast<wchar_t*>(activityView_.get()), channel::kActivityUnits};
}

HWND PluginChannel::window() {
    if (!window_ || !IsWindow(window_))
        window_ = FindWindowW(channel::kWindowClass, channel::kWindowTitle);
    return window_;
}

HWND PluginChannel::waitForWindow(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!window()) {
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(20);
    }
    return window_;
}

void PluginChannel::writeSpeakers(const wchar_t* text) {
    writeSharedText(mutex_.get(), speakerArea(), text, sharedCount(text, channel::kSpeakerUnits));
}

void PluginChannel::writeActivity(const wchar_t* text) {
    if (mutex_) WaitForSingleObject(mutex_.get(), INFINITE);
    copySharedText(activityArea(), text, sharedCount(text, channel::kActivityUnits));
    if (log()) appendActivityLog(log(), kLogEntryLine, text);
    if (mutex_) ReleaseMutex(mutex_.get());
}

void PluginChannel::postSpeakers(const wchar_t* text) {
    writeSpeakers(text);
    notify(DISPLAY_SPEAKERS_CHANGED);
}

void PluginChannel::postActivity(const wchar_t* text) {
    writeActivity(text);
    notify(DISPLAY_ACTIVITY_POSTED);
}

void PluginChannel::fillSpeakersUnterminated(wchar_t unit) { fill(speakerArea(), unit); }
void PluginChannel::fillActivityUnterminated(wchar_t unit) { fill(activityArea(), unit); }

std::wstring PluginChannel::speakerText() const {
    SharedArea a = speakerArea();
    return a.text ? std::wstring(a.text, boundedLength(a.text, a.capacity)) : std::wstring();
}

std::wstring PluginChannel::activityText() const {
    SharedArea a = activityArea();
    return a.text ? std::wstring(a.text, boundedLength(a.text, a.capacity)) : std::wstring();
}

bool PluginChannel::notify(WPARAM code) {
    HWND w = window();
    return w && SendNotifyMessageW(w, DISPLAY_MESSAGE, code, 0);
}

LRESULT PluginChannel::send(WPARAM code, LPARAM lParam) {
    HWND w = window();
    return w ? SendMessageW(w, DISPLAY_MESSAGE, code, lParam) : 0;
}

bool PluginChannel::settle(DWORD timeoutMs) {
    HWND w = window();
    DWORD_PTR ignored = 0;
    return w && SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
}
