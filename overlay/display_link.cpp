#include "display_link.h"

#include <cstdio>
#include <cwchar>

namespace {

// `to` holds capacity + 1 units.
void copyBounded(wchar_t* to, const wchar_t* from, unsigned capacity) {
    copyBoundedText(to, capacity + 1, from, capacity);
}

void putText(wchar_t* area, unsigned capacity, const wchar_t* text) {
    copySharedText(SharedArea{area, capacity}, text, sharedCount(text, capacity));
}

void traceError(const char* format) { std::printf(format, static_cast<int>(GetLastError())); }

}  // namespace

wchar_t* DisplayLink::speakerArea() const {
    if (speakerView_) return static_cast<wchar_t*>(speakerView_.get());
    return privateText_.get();
}

void DisplayLink::start(const wchar_t* startText) {
    putText(startText_, channel::kSpeakerUnits, startText);
    openChannel(Opening::AtStart);
    if (!isOpen()) {
        // Our own buffer: nobody else writes it.
        putText(speakerArea(), channel::kSpeakerUnits, startText_);
        copyLinesHeld();
        return;
    }
    startTextOwed_ = true;
    activityClearOwed_ = activityArea() != nullptr;
    ActivityEntries none;
    if (fetch(Announced::Nothing, none) == FetchResult::MutexBusy) {
        // Meanwhile the paint shows what the waiting writes will leave.
        copyBounded(speakerCopy_, startText_, channel::kSpeakerUnits);
        activityCopy_[0] = L'\0';
    }
}

void DisplayLink::openChannel(Opening opening) {
    UniqueKernelHandle speakerMapping(
        OpenFileMappingW(channel::kMapAllAccess, FALSE, channel::kSpeakerAreaName));
    UniqueView speakerView;
    if (!speakerMapping) {
        traceError("Could not open file mapping object (%d).\n");
    } else {
        speakerView.reset(MapViewOfFile(speakerMapping.get(), channel::kMapAllAccess, 0, 0,
                                        channel::kSpeakerBytes));
        if (!speakerView) traceError("Could not map view of file (%d).\n");
    }
    if (!speakerView) {
        // Zeroed, so that even before the start text is written it reads as "".
        if (!privateText_) privateText_ = std::make_unique<wchar_t[]>(channel::kSpeakerUnits);
        return;
    }
    speakerMapping_ = std::move(speakerMapping);
    speakerView_ = std::move(speakerView);
    privateText_.reset();

    activityMapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              channel::kActivityBytes, channel::kActivityAreaName));
    if (activityMapping_)
        activityView_.reset(MapViewOfFile(activityMapping_.get(), channel::kMapAllAccess, 0, 0,
                                          channel::kActivityBytes));
    else
        traceError("Could not create file mapping object (%d).\n");

    mutex_.reset(OpenMutexW(channel::kMutexOpenAccess, FALSE, channel::kMutexName));
    if (!mutex_) traceError("Could not open mutex  object (%d).\n");
    // Opened on a notification, the log holds nothing from before our
    // start: the plugin had not made its channel then.
    openLog(opening == Opening::AtStart ? LogStart::AfterNewest : LogStart::AtOldestHeld);
}

void DisplayLink::openLog(LogStart from) {
    if (hasLog() || !mutex_) return;
    UniqueKernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, channel::kActivityLogName));
    if (!mapping) return;  // an older plugin: the activity area alone
    UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kActivityLogBytes));
    if (!view) return;
    // Taken without the mutex, so that where reading begins never depends
    // on whether the mutex was free at the opening. 0 reads all the log holds.
    seen_ = from == LogStart::AfterNewest
                ? newestActivityEntry(static_cast<const ActivityLog*>(view.get()))
                : 0;
    logMapping_ = std::move(mapping);
    logView_ = std::move(view);
}

FetchResult DisplayLink::fetch(Announced announced, ActivityEntries& taken) {
    taken.count = 0;
    if (announced == Announced::SpeakerLine) startTextOwed_ = false;  // the plugin's is newer
    if (announced == Announced::Activity) {
        activityOwed_ = true;
        activityClearOwed_ = false;  // the line there is the one announced
    }
    if (!isOpen())
        openChannel(Opening::OnNotification);
    else
        openLog(LogStart::AtOldestHeld);  // the log appeared after the channel

    HANDLE mutex = mutex_.get();
    if (!isOpen() || !mutex) {
        // Our own text, or a channel with no mutex to write or read under:
        // our writes go in as they are, and no activity line is taken
        // while the plugin may be writing it.
        writeOwedHeld();
        activityOwed_ = false;
        copyLinesHeld();
        return FetchResult::Done;
    }
    const DWORD wait = WaitForSingleObject(mutex, kOverlayMutexWaitMs);
    // An abandoned mutex still guards a complete write: the plugin's writer
    // terminates every line before it releases.
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return FetchResult::MutexBusy;
    writeOwedHeld();
    if (activityOwed_) takeActivityHeld(taken);
    copyLinesHeld();
    ReleaseMutex(mutex);
    return FetchResult::Done;
}

void DisplayLink::writeOwedHeld() {
    if (startTextOwed_ && speakerArea()) putText(speakerArea(), channel::kSpeakerUnits, startText_);
    if (activityClearOwed_ && activityArea()) putText(activityArea(), channel::kActivityUnits, L"");
    startTextOwed_ = activityClearOwed_ = false;
}

void DisplayLink::takeActivityHeld(ActivityEntries& taken) {
    activityOwed_ = false;
    auto keep = [&taken](DWORD kind, const wchar_t* text, size_t length) {
        // The log hands out at most as many entries as it holds.
        if (taken.count == channel::kActivityLogLines) return;
        ActivityEntries::Entry& entry = taken.entries[taken.count++];
        entry.kind = kind;
        entry.length = length;
        wmemcpy(entry.text, text, length);
        entry.text[length] = L'\0';
    };
    if (hasLog() && activityLogUsable(log())) {
        readActivityLog(log(), seen_, keep);
    } else if (const wchar_t* line = activityArea()) {
        // An older plugin: the newest line alone. Any process may write
        // the area, so the length is bounded by it.
        keep(kLogEntryLine, line, boundedLength(line, channel::kActivityUnits));
    }
}

void DisplayLink::copyLinesHeld() {
    copyBounded(speakerCopy_, speakerArea(), channel::kSpeakerUnits);
    if (activityArea())
        copyBounded(activityCopy_, activityArea(), channel::kActivityUnits);
    else
        activityCopy_[0] = L'\0';
}
