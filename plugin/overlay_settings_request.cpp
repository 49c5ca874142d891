#include "overlay_settings_request.h"

#include <atomic>
#include <cstdint>

#include "display_channel.h"
#include "message_pump.h"

namespace {

constexpr DWORD kPollMs = 50;
// How often the window is asked whether it still answers, and how long an
// answer may take: a dialog's own loop answers at once, whatever the user
// does in it.
constexpr ULONGLONG kCheckEveryMs = 500;
constexpr UINT kCheckAnswerMs = 2000;

// The request under way and the answer that came, as one value (request in
// the high bits, the answer's low byte below): a window given up on may
// answer long after, on the thread that asked it, while a later configure
// waits for its own answer.
std::atomic<uint64_t> lastRequest{0};
std::atomic<uint64_t> lastAnswer{0};

void CALLBACK onAnswer(HWND, UINT, ULONG_PTR request, LRESULT result) {
    lastAnswer = (static_cast<uint64_t>(request) << 8) | (static_cast<uint64_t>(result) & 0xFF);
}

bool answersMessages(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kCheckAnswerMs,
                               &ignored) != 0;
}

}  // namespace

SettingsAnswer askOverlaySettings(HWND overlay, LPARAM listEnabled, LRESULT* answer) {
    // Never 0 (no answer yet), and small enough to leave room for the
    // answer byte in 32 bits.
    const ULONG_PTR request = static_cast<ULONG_PTR>(++lastRequest % 0xFFFFFF + 1);
    auto answered = [&] {
        const uint64_t got = lastAnswer.load();
        if ((got >> 8) != request) return false;
        *answer = static_cast<LRESULT>(got & 0xFF);
        return true;
    };
    if (!SendMessageCallbackW(overlay, DISPLAY_MESSAGE, DISPLAY_OPEN_SETTINGS, listEnabled,
                              onAnswer, request))
        return IsWindow(overlay) ? SettingsAnswer::Hung : SettingsAnswer::Gone;

    ULONGLONG checked = GetTickCount64();
    for (;;) {
        // Runs the answer's callback and messages other threads send here,
        // as a waiting SendMessage would; posted messages stay for the
        // thread's own loop.
        bounded::answerSentMessages();
        if (answered()) return SettingsAnswer::Given;
        if (!IsWindow(overlay)) return SettingsAnswer::Gone;
        if (GetTickCount64() - checked >= kCheckEveryMs) {
            if (!answersMessages(overlay)) {
                if (answered()) return SettingsAnswer::Given;
                return IsWindow(overlay) ? SettingsAnswer::Hung : SettingsAnswer::Gone;
            }
            checked = GetTickCount64();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_SENDMESSAGE);
    }
}
