// What the overlay program costs the machine while it runs: its memory,
// handles and GDI/USER objects idle, after 10 000 activity lines have passed
// through its queue, and after a phase of talk events; and the CPU time it
// uses while idle and while one talk event arrives every 50 ms.
//
// Usage: overlay_footprint [--idle-seconds S] [--talk-seconds S] [--lines N]
//                          [--exe TALVORI.exe]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "overlay_session.h"
#include "process_metrics.h"
#include "unique_handle.h"

namespace {

constexpr int kQueueCapacity = 32;  // the overlay keeps at most this many lines
constexpr DWORD kTalkPeriodMs = 50;

struct Options {
    int idleSeconds = 60;
    int talkSeconds = 60;
    int lines = 10000;
    std::wstring exe = bench::defaultOverlayExe();
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const bool value = i + 1 < argc;
        if (!std::strcmp(argv[i], "--idle-seconds") && value) {
            options.idleSeconds = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--talk-seconds") && value) {
            options.talkSeconds = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--lines") && value) {
            options.lines = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--exe") && value) {
            options.exe = bench::windowsPath(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: overlay_footprint [--idle-seconds S] [--talk-seconds S] "
                                 "[--lines N] [--exe TALVORI.exe]\n");
            return false;
        }
    }
    if (options.idleSeconds < 1) options.idleSeconds = 1;
    if (options.talkSeconds < 1) options.talkSeconds = 1;
    if (options.lines < 0) options.lines = 0;
    return true;
}

// Activity lines of every length the area takes, so the queue's copies do
// not all come from one allocation size.
std::wstring activityLine(int n) {
    wchar_t text[128];
    const int pad = n % 90;
    std::swprintf(text, 128, L"Client %05d -> Channel %d %.*ls", n, n % 7, pad,
                  L"................................................................"
                  L"..............................");
    return text;
}

// Every line enters the queue: the overlay copies each one before the next
// batch, and the clear code empties the queue between batches.
void passLines(PluginChannel& channel, int lines) {
    for (int sent = 0; sent < lines;) {
        for (int k = 0; k < kQueueCapacity && sent < lines; ++k, ++sent) {
            channel.postActivity(activityLine(sent).c_str());
            channel.settle();  // copied before the area is written again
        }
        channel.notify(DISPLAY_ACTIVITY_CLEAR);
        channel.settle();
    }
}

// One talk event every 50 ms, two speaker lines alternating. Returns the
// number of events sent.
int talk(PluginChannel& channel, int seconds) {
    const wchar_t* const lines[2] = {L"Alice Bob ", L"Charlotte Dmitri Eleanor "};
    const LONGLONG start = bench::now();
    int events = 0;
    for (;;) {
        const double due = static_cast<double>(events) * kTalkPeriodMs * 1000.0;
        double elapsed = bench::microseconds(start, bench::now());
        if (elapsed >= seconds * 1e6) break;
        if (elapsed < due) {
            Sleep(static_cast<DWORD>((due - elapsed) / 1000.0));
            continue;
        }
        channel.postSpeakers(lines[events % 2]);
        ++events;
    }
    return events;
}

std::string kib(size_t bytes) { return std::to_string((bytes + 512) / 1024) + " KiB"; }

std::string count(long value) { return value < 0 ? "-" : std::to_string(value); }

// The API's own answer; Wine's zero is marked as not available there.
std::string api(unsigned long long value, const std::string& text) {
    return value == 0 && bench::underWine() ? "0 (n/a)" : text;
}

void printMetrics(const char* phases[], const bench::ProcessMetrics metrics[], int n) {
    std::printf("  %-46s", "");
    for (int i = 0; i < n; ++i) std::printf(" %18s", phases[i]);
    std::printf("\n");
    auto row = [&](const char* name, auto text) {
        std::printf("  %-46s", name);
        for (int i = 0; i < n; ++i) std::printf(" %18s", text(metrics[i]).c_str());
        std::printf("\n");
    };
    using M = bench::ProcessMetrics;
    row("private bytes (PrivateUsage)", [](const M& m) {
        return api(m.privateUsage, kib(m.privateUsage));
    });
    row("  stand-in: PagefileUsage", [](const M& m) { return kib(m.pagefileUsage); });
    row("working set", [](const M& m) { return kib(m.workingSet); });
    row("handles (GetProcessHandleCount)", [](const M& m) {
        return api(m.handlesApi, std::to_string(m.handlesApi));
    });
    row("  stand-in: SystemProcessInformation", [](const M& m) {
        return count(m.handlesSystem);
    });
    row("GDI objects (GetGuiResources)", [](const M& m) {
        return api(m.gdiApi, std::to_string(m.gdiApi));
    });
    row("  stand-in: GDI handle table, not stock", [](const M& m) { return count(m.gdiTable); });
    row("USER objects (GetGuiResources)", [](const M& m) {
        return api(m.userApi, std::to_string(m.userApi));
    });
    row("  stand-in: windows of the process", [](const M& m) { return count(m.windows); });
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 2;

    bench::OverlaySession overlay;
    const std::string error = overlay.start(options.exe);
    if (!error.empty()) {
        std::printf("overlay_footprint: %s\n", error.c_str());
        return 1;
    }
    UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                                           overlay.processId()));
    if (!process) {
        std::printf("overlay_footprint: cannot open the overlay process (%lu)\n", GetLastError());
        return 1;
    }
    PluginChannel& channel = overlay.channel();
    std::fprintf(stderr, "overlay_footprint: idle, %d lines, %d s idle, %d s talk\n",
                 options.lines, options.idleSeconds, options.talkSeconds);

    Sleep(2000);  // the start-up's own work is over
    bench::ProcessMetrics metrics[3];
    metrics[0] = bench::sampleProcess(process.get(), overlay.processId());

    const LONGLONG linesStart = bench::now();
    passLines(channel, options.lines);
    const double linesSeconds = bench::microseconds(linesStart, bench::now()) / 1e6;
    Sleep(1000);
    metrics[1] = bench::sampleProcess(process.get(), overlay.processId());

    const double idleBefore = bench::cpuMilliseconds(process.get());
    Sleep(static_cast<DWORD>(options.idleSeconds) * 1000);
    const double idleCpu = bench::cpuMilliseconds(process.get()) - idleBefore;

    const double talkBefore = bench::cpuMilliseconds(process.get());
    const int talkEvents = talk(channel, options.talkSeconds);
    channel.settle();
    const double talkCpu = bench::cpuMilliseconds(process.get()) - talkBefore;
    Sleep(1000);
    metrics[2] = bench::sampleProcess(process.get(), overlay.processId());

    const std::string wine = bench::wineVersion();
    std::printf("Overlay footprint: real TALVORI.exe (process %lu)%s%s\n", overlay.processId(),
                wine.empty() ? "" : ", under Wine ", wine.c_str());
    std::printf("  n/a = the API answers 0 under Wine; the stand-in below it is what Wine does "
                "report\n");
    char after[32];
    std::snprintf(after, sizeof after, "after %d lines", options.lines);
    const char* phases[3] = {"idle", after, "after talk phase"};
    printMetrics(phases, metrics, 3);
    std::printf("  (%d activity lines passed through the queue in %s s: %d at a time, then "
                "cleared with code 3)\n",
                options.lines, bench::figure(linesSeconds).c_str(), kQueueCapacity);
    std::printf("  CPU time (GetProcessTimes, kernel + user):\n");
    std::printf("    idle, %d s: %s ms (%s%% of one core)\n", options.idleSeconds,
                bench::figure(idleCpu).c_str(),
                bench::figure(idleCpu / (options.idleSeconds * 10.0)).c_str());
    std::printf("    one talk event every %lu ms, %d s (%d events): %s ms (%s%% of one core, "
                "%s ms per event)\n",
                kTalkPeriodMs, options.talkSeconds, talkEvents, bench::figure(talkCpu).c_str(),
                bench::figure(talkCpu / (options.talkSeconds * 10.0)).c_str(),
                bench::figure(talkEvents ? talkCpu / talkEvents : 0).c_str());
    if (bench::underWine())
        std::printf("    (under Wine the times come from Linux in 10 ms steps, and the work the "
                    "wineserver and the X server do for the overlay is not counted)\n");
    std::printf("\n");
    overlay.quit();
    return 0;
}
