#include "tests/midi/win32/fake_winmm.h"

#include <deque>
#include <mutex>

namespace fake_winmm {
namespace {

using Callback = void(CALLBACK*)(HMIDIOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

struct Device {
    Options options;
    std::vector<Call> calls;
    std::vector<std::string> misuses;
    std::deque<MIDIHDR*> queue;
    Callback callback = nullptr;
    DWORD_PTR instance = 0;
    bool open = false;
    bool started = false;
    int outs = 0;
};

std::mutex mutex;
Device device;
thread_local bool insideCallback = false;
const auto kStream = reinterpret_cast<HMIDISTRM>(0x5EED);

// Records a call; notes it as a misuse where winmm would not have it.
void record(Call call) {
    std::lock_guard lock(mutex);
    if (insideCallback) device.misuses.push_back(call.name + " called from the callback");
    if (!device.open && call.name != "StreamOpen") device.misuses.push_back(call.name + " without an open stream");
    device.calls.push_back(std::move(call));
}

void notify(UINT message, DWORD_PTR param1) {
    Callback callback;
    DWORD_PTR instance;
    {
        std::lock_guard lock(mutex);
        callback = device.callback;
        instance = device.instance;
    }
    insideCallback = true;
    callback(reinterpret_cast<HMIDIOUT>(kStream), message, instance, param1, 0);
    insideCallback = false;
}

// Takes a buffer out of the queue and marks it done, as the driver does
// before the callback.
void handBack(MIDIHDR* header) {
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    notify(MOM_DONE, reinterpret_cast<DWORD_PTR>(header));
}

UINT WINAPI outGetNumDevs() {
    std::lock_guard lock(mutex);
    return device.options.devices;
}

MMRESULT WINAPI streamOpen(LPHMIDISTRM stream, LPUINT deviceId, DWORD, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
    record({"StreamOpen", nullptr, *deviceId, flags, {}});
    {
        std::lock_guard lock(mutex);
        if (device.options.openResult != MMSYSERR_NOERROR) return device.options.openResult;
        device.callback = reinterpret_cast<Callback>(callback);
        device.instance = instance;
        device.open = true;
    }
    *stream = kStream;
    notify(MOM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI streamProperty(HMIDISTRM, LPBYTE data, DWORD flags) {
    const auto* timeDivision = reinterpret_cast<const MIDIPROPTIMEDIV*>(data);
    record({"StreamProperty", nullptr, flags, timeDivision->dwTimeDiv, {}});
    std::lock_guard lock(mutex);
    if (device.started) device.misuses.push_back("time division set while the stream runs");
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI prepareHeader(HMIDIOUT, LPMIDIHDR header, UINT size) {
    record({"OutPrepareHeader", header, size, 0, {}});
    std::lock_guard lock(mutex);
    if (header->dwBufferLength >= 65536) device.misuses.push_back("buffer of 64 KB or more");
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI unprepareHeader(HMIDIOUT, LPMIDIHDR header, UINT size) {
    record({"OutUnprepareHeader", header, size, 0, {}});
    std::lock_guard lock(mutex);
    if (header->dwFlags & MHDR_INQUEUE) {
        device.misuses.push_back("buffer released while queued");
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI streamOut(HMIDISTRM, LPMIDIHDR header, UINT size) {
    Call call{"StreamOut", header, size, 0, {}};
    const auto* events = reinterpret_cast<const runtime::midi::StreamEvent*>(header->lpData);
    call.events.assign(events, events + header->dwBytesRecorded / sizeof(runtime::midi::StreamEvent));
    if (header->dwBytesRecorded % sizeof(runtime::midi::StreamEvent) != 0 || header->dwBytesRecorded > header->dwBufferLength) {
        std::lock_guard lock(mutex);
        device.misuses.push_back("buffer length not whole short events, or beyond the buffer");
    }
    record(std::move(call));
    std::lock_guard lock(mutex);
    if (++device.outs == device.options.failingOut) return MMSYSERR_NOMEM;
    if (!(header->dwFlags & MHDR_PREPARED)) {
        device.misuses.push_back("unprepared buffer sent");
        return MIDIERR_UNPREPARED;
    }
    if (header->dwFlags & MHDR_INQUEUE) {
        device.misuses.push_back("queued buffer sent again");
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
    device.queue.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI streamRestart(HMIDISTRM) {
    record({"StreamRestart", nullptr, 0, 0, {}});
    std::lock_guard lock(mutex);
    device.started = true;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI outReset(HMIDIOUT) {
    record({"OutReset", nullptr, 0, 0, {}});
    std::deque<MIDIHDR*> back;
    {
        std::lock_guard lock(mutex);
        back.swap(device.queue);
        device.started = false;
    }
    for (MIDIHDR* header : back) handBack(header);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI outShortMsg(HMIDIOUT, DWORD message) {
    record({"OutShortMsg", nullptr, message, 0, {}});
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI streamClose(HMIDISTRM) {
    record({"StreamClose", nullptr, 0, 0, {}});
    {
        std::lock_guard lock(mutex);
        if (!device.queue.empty()) {
            device.misuses.push_back("closed with buffers queued");
            return MIDIERR_STILLPLAYING;
        }
    }
    notify(MOM_CLOSE, 0);
    std::lock_guard lock(mutex);
    device.open = false;
    device.started = false;
    return MMSYSERR_NOERROR;
}

}  // namespace

void reset(const Options& options) {
    std::lock_guard lock(mutex);
    device = Device{};
    device.options = options;
}

const platform::win32::WinmmApi& table() {
    static const platform::win32::WinmmApi api{
        .midiOutGetNumDevs = outGetNumDevs,
        .midiStreamOpen = streamOpen,
        .midiStreamProperty = streamProperty,
        .midiStreamOut = streamOut,
        .midiStreamRestart = streamRestart,
        .midiStreamClose = streamClose,
        .midiOutPrepareHeader = prepareHeader,
        .midiOutUnprepareHeader = unprepareHeader,
        .midiOutReset = outReset,
        .midiOutShortMsg = outShortMsg,
    };
    return api;
}

std::vector<Call> calls() {
    std::lock_guard lock(mutex);
    return device.calls;
}

std::vector<std::string> callNames() {
    std::vector<std::string> names;
    for (const Call& call : calls()) names.push_back(call.name);
    return names;
}

std::vector<std::string> misuses() {
    std::lock_guard lock(mutex);
    return device.misuses;
}

int queuedBuffers() {
    std::lock_guard lock(mutex);
    return static_cast<int>(device.queue.size());
}

bool finishOldest() {
    MIDIHDR* header = nullptr;
    {
        std::lock_guard lock(mutex);
        if (device.queue.empty()) return false;
        header = device.queue.front();
        device.queue.pop_front();
    }
    handBack(header);
    return true;
}

}  // namespace fake_winmm
