// The manifests: TALVORI.exe's application manifest, the plugin builds'
// own, and the themed controls they bring to both settings dialogs.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>

#include "dialog_driver.h"
#include "display_channel.h"
#include "list_settings_dialog_ids.h"
#include "scale_session.h"
#include "settings_dialog_ids.h"

namespace scaletest {
namespace {

constexpr WORD kManifestType = 24;  // RT_MANIFEST

// The manifest resource `id` of a program or library of either bitness.
std::string manifestOf(const std::wstring& path, WORD id) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return "(cannot open)";
    std::string text = "(none)";
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kManifestType)))
        if (HGLOBAL loaded = LoadResource(module, found))
            text.assign(static_cast<const char*>(LockResource(loaded)),
                        SizeofResource(module, found));
    FreeLibrary(module);
    return text;
}

bool names(const std::string& manifest, const char* what) {
    return manifest.find(what) != std::string::npos;
}

constexpr char kCommonControls6[] = "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"";

TEST(ScaleManifests, TheProgramAndEveryPluginBuildCarryTheirManifests) {
    const std::string program = manifestOf(binPath(L"TALVORI.exe"), 1);
    EXPECT_TRUE(names(program, kCommonControls6)) << program;
    EXPECT_TRUE(names(program, "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")) << "Windows 10 and 11";
    EXPECT_TRUE(names(program, "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")) << "Windows 7";
    EXPECT_TRUE(names(program, ">PerMonitorV2, PerMonitor<")) << program;
    EXPECT_TRUE(names(program, ">true/pm<")) << program;
    for (const wchar_t* dll :
         {L"TALVOR_plugin.dll", L"TALVOR_plugin_win32.dll", L"TALVOR_plugin_win64.dll"}) {
        const std::string library = manifestOf(binPath(dll), 2);
        EXPECT_TRUE(names(library, kCommonControls6))
            << std::string(dll, dll + wcslen(dll)) << ": " << library;
    }
}

// Cancel, while this thread keeps answering: the List Channel window lives
// on it, and the overlay's windows may send to it while they close.
void closeDialog(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) pumpFor(50);
}

// BCM_GETIDEALSIZE is answered by the buttons of Common Controls 6 only;
// the system's own buttons, which a dialog without that manifest gets,
// leave it unanswered.
TEST_F(ScaleSession, BothSettingsDialogsHaveCommonControls6Buttons) {
    const DisplayConfig record = overlayRecord();
    storeValue(kDisplayConfigValue, &record, sizeof record);
    const std::vector<BYTE> list = listRecordBytes(240, 300, 700, 60);
    storeValue(L"ListChannel", list.data(), static_cast<DWORD>(list.size()));
    ASSERT_NO_FATAL_FAILURE(start());

    // The overlay program's dialog, asked for as the plugin asks; the size
    // is written into the program's own memory.
    DWORD overlayPid = 0;
    GetWindowThreadProcessId(overlay, &overlayPid);
    std::atomic<bool> answered{false};
    std::thread asking([window = overlay, &answered] {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, DISPLAY_MESSAGE, DISPLAY_OPEN_SETTINGS, 0, SMTO_NORMAL, 5000,
                            &ignored);
        answered = true;
    });
    HWND settings = dialogs::waitForDialogWith(overlayPid, IDC_OPACITY, L"msctls_trackbar32");
    ASSERT_NE(settings, nullptr) << "the overlay's settings dialog did not open";
    void* remote = VirtualAllocEx(overlayProcess, nullptr, sizeof(SIZE), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    DWORD_PTR idealAnswered = 0;
    SendMessageTimeoutW(GetDlgItem(settings, IDOK), BCM_GETIDEALSIZE, 0,
                        reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &idealAnswered);
    SIZE ideal{};
    ReadProcessMemory(overlayProcess, remote, &ideal, sizeof ideal, nullptr);
    VirtualFreeEx(overlayProcess, remote, 0, MEM_RELEASE);
    EXPECT_TRUE(idealAnswered) << "the overlay's settings dialog has the system's old buttons";
    EXPECT_GT(ideal.cx, 0);
    closeDialog(settings);
    for (int i = 0; i < 200 && !answered; ++i) pumpFor(50);
    asking.join();

    // The plugin's List Channel dialog, opened by a right click on the
    // window, in this process: the host's manifest (this program has none)
    // must not matter.
    HWND listChannel = listWindow();
    ASSERT_NE(listChannel, nullptr);
    const RECT r = windowRect(listChannel);
    real_input::moveTo(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    real_input::button(MOUSEEVENTF_RIGHTDOWN);
    real_input::button(MOUSEEVENTF_RIGHTUP);
    pumpFor(200);
    HWND listSettings =
        dialogs::waitForDialogWith(GetCurrentProcessId(), IDC_LIST_RESET, L"Button");
    ASSERT_NE(listSettings, nullptr) << "the List Channel settings dialog did not open";
    SIZE listIdeal{};
    const LRESULT listAnswered = SendMessageW(GetDlgItem(listSettings, IDOK), BCM_GETIDEALSIZE, 0,
                                              reinterpret_cast<LPARAM>(&listIdeal));
    EXPECT_TRUE(listAnswered) << "the List Channel dialog has the system's old buttons";
    EXPECT_GT(listIdeal.cx, 0);
    closeDialog(listSettings);
}

}  // namespace
}  // namespace scaletest
