#pragma once
// The overlay's end of the display channel: the plugin's speaker area (or a
// private stand-in until the plugin is there), its activity area and the
// mutex it writes under.
#include <windows.h>

#include <memory>

#include "unique_handle.h"

class DisplayLink {
public:
    // Where the speaker line is read and the start text written: the shared
    // view once the channel is open, the private buffer before. Always
    // channel::kSpeakerUnits units long.
    wchar_t* speakerText() const;
    // The mapped activity area (channel::kActivityUnits units), or null.
    wchar_t* activityText() const { return static_cast<wchar_t*>(activityView_.get()); }
    HANDLE mutex() const { return mutex_.get(); }
    bool isOpen() const { return static_cast<bool>(speakerView_); }

private:
    friend int openDisplayChannel(DisplayLink& link);

    // Declared in the reverse of the order they are released at exit: the
    // speaker text first, then the activity view, the mutex last.
    UniqueKernelHandle mutex_;
    UniqueKernelHandle activityMapping_;
    UniqueView activityView_;
    UniqueKernelHandle speakerMapping_;
    UniqueView speakerView_;
    std::unique_ptr<wchar_t[]> privateText_;
};

// Opens whatever the plugin has created so far. Returns 1 when the speaker
// view, the activity view and the mutex are all in hand, 0 otherwise;
// failures are traced to standard output and never stop the program.
// Once the speaker view is mapped the channel counts as open and is not
// opened again.
int openDisplayChannel(DisplayLink& link);
