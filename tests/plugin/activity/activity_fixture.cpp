#include "activity_fixture.h"

#include "display_link.h"
#include "fake_host.h"
#include "globals.h"
#include "lifecycle.h"
#include "name_cache.h"

namespace {
// The strings come from this program's own copy of the plugin's resources,
// as they would from the library at process attach.
class PluginAttach : public testing::Environment {
public:
    void SetUp() override { onProcessAttach(GetModuleHandleW(nullptr)); }
    void TearDown() override { onProcessDetach(); }
};
testing::Environment* const attach = testing::AddGlobalTestEnvironment(new PluginAttach);
}  // namespace

int FixedWidthMeasurer::width(const wchar_t*, int length) { return length * kUnitWidth; }

bool FixedWidthMeasurer::fit(const wchar_t*, int length, int maxWidth, int* count) {
    limits.push_back(maxWidth);
    int n = maxWidth < 0 ? 0 : maxWidth / kUnitWidth;
    *count = n < length ? n : length;
    return true;
}

namespace {

const wchar_t kRecorderClass[] = L"TalvoriTestRecorder";

LRESULT CALLBACK recorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<RecorderWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case DISPLAY_MESSAGE:
        if (self) self->codes.push_back(wParam);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        if (self) ++self->paints;
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void registerRecorderClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = recorderProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kRecorderClass;
    RegisterClassExW(&wc);
    done = true;
}

}  // namespace

RecorderWindow::RecorderWindow(bool visible) {
    registerRecorderClass();
    // Only a visible window has an update region, so the stand-in for the
    // List Channel window is shown (small, out of the way).
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kRecorderClass, L"recorder",
                              WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (visible) {
        ShowWindow(window_, SW_SHOWNA);
        UpdateWindow(window_);
        paints = 0;
    }
}

RecorderWindow::~RecorderWindow() {
    if (window_) DestroyWindow(window_);
}

void ActivityTest::SetUp() {
    model.install();
    installFakeHost();
    setTextMeasurer(&measurer);

    model.addConnection(kConnection, "Alpha Server", kOwnClient);
    model.addChannel(kConnection, kLobby, "Lobby");
    model.addChannel(kConnection, kGames, "Games Room");
    model.addClient(kConnection, kOwnClient, "Me", kLobby);
    model.activeConnection = kConnection;

    displayChannel.mutex.reset(CreateMutexW(nullptr, FALSE, nullptr));
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        channel::kActivityBytes, nullptr);
    displayChannel.activityMapping.reset(mapping);
    displayChannel.activityView.reset(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, channel::kActivityBytes));
    ASSERT_TRUE(displayChannel.activityView);

    resetDisplayConfig(pluginDisplayConfig);
    pluginDisplayConfig.width = 240;
    pluginDisplayConfig.onlyMyChannel = 0;
    currentConnection = kConnection;
    placingListWindow = false;
    displayWindow = overlay.handle();
    listWindow = list.handle();
}

void ActivityTest::TearDown() {
    clientNameCache.deleteConnection(kConnection);
    clientNameCache.deleteConnection(kOtherConnection);
    displayWindow = nullptr;
    listWindow = nullptr;
    currentConnection = 0;
    placingListWindow = false;
    setTextMeasurer(nullptr);
    closeDisplayChannel();
    // Every string and list the host handed out went back exactly once.
    EXPECT_EQ(model.outstandingBlocks(), 0u) << model.transcript();
    EXPECT_EQ(model.badFrees(), 0u);
}

std::wstring ActivityTest::activityText() const {
    SharedArea area = activityArea();
    return std::wstring(area.text, boundedLength(area.text, area.capacity));
}

void ActivityTest::setActivityText(const wchar_t* text) { writeActivityText(text); }

bool ActivityTest::cached(uint64 connection, anyID client) const {
    return clientNameCache.findClient(connection, client, nullptr) >= 0;
}
