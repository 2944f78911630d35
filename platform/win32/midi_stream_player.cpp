#include "platform/win32/midi_stream_player.h"

#include <array>
#include <atomic>
#include <thread>

#include "runtime/midi/playback_sequence.h"

namespace platform::win32 {
namespace {

// Three buffers of 3 KB go round: one playing, two waiting, so a refill is
// never late.
constexpr int kSlotCount = 3;
constexpr std::size_t kSlotEvents = 256;

}  // namespace

// One playback: opened, played and closed on its own thread.
class MidiStreamPlayer::Session {
public:
    Session(const WinmmApi& winmm, runtime::midi::PassStream pass, int count)
        : winmm_(winmm),
          sequence_(std::move(pass), count, kSlotCount, kSlotEvents),
          wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        if (wake_) thread_ = std::thread([this] { run(); });
    }

    // Stops the playback (if still on) and waits until the output is closed.
    ~Session() {
        if (!wake_) return;
        // The flag comes first: the reset hands every queued buffer back
        // through the callback, and none of them may be sent again.
        stopping_ = true;
        SetEvent(wake_);
        thread_.join();
        CloseHandle(wake_);
    }

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

private:
    // Runs on a system thread: only notes which buffer is back and wakes ours.
    // No multimedia call may be made from here.
    static void CALLBACK onDeviceMessage(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
        if (message != MOM_DONE) return;
        auto* session = reinterpret_cast<Session*>(instance);
        const auto* header = reinterpret_cast<const MIDIHDR*>(param1);
        session->doneSlots_.fetch_or(1u << header->dwUser);
        SetEvent(session->wake_);
    }

    HMIDIOUT output() const { return reinterpret_cast<HMIDIOUT>(stream_); }

    void run() {
        UINT device = MIDI_MAPPER;
        if (winmm_.midiStreamOpen(&stream_, &device, 1, reinterpret_cast<DWORD_PTR>(&onDeviceMessage),
                                  reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
            return;
        // The division can only be set while the stream is stopped, as it
        // is when just opened.
        MIDIPROPTIMEDIV timeDivision{sizeof(MIDIPROPTIMEDIV), sequence_.division()};
        if (winmm_.midiStreamProperty(stream_, reinterpret_cast<LPBYTE>(&timeDivision),
                                      MIDIPROP_SET | MIDIPROP_TIMEDIV) == MMSYSERR_NOERROR) {
            play();
            for (uint32_t message : sequence_.closingMessages()) winmm_.midiOutShortMsg(output(), message);
            for (int slot = 0; slot < kSlotCount; ++slot)
                if (prepared_[slot]) winmm_.midiOutUnprepareHeader(output(), &headers_[slot], sizeof(MIDIHDR));
        }
        winmm_.midiStreamClose(stream_);
    }

    // Until every buffer is back: after the last pass, or after a stop.
    void play() {
        for (int slot : sequence_.start())
            if (sequence_.stopping() || !send(slot)) abandon(slot);
        if (!sequence_.finished() && !sequence_.stopping() && winmm_.midiStreamRestart(stream_) != MMSYSERR_NOERROR)
            stopNow();
        while (!sequence_.finished()) {
            WaitForSingleObject(wake_, INFINITE);
            if (stopping_) stopNow();
            const uint32_t done = doneSlots_.exchange(0);
            for (int slot = 0; slot < kSlotCount; ++slot)
                if ((done & (1u << slot)) && sequence_.bufferDone(slot) && !send(slot)) abandon(slot);
        }
    }

    // Prepares a slot's buffer on its first use, then queues what it holds.
    bool send(int slot) {
        MIDIHDR& header = headers_[slot];
        if (!prepared_[slot]) {
            const auto storage = sequence_.slotStorage(slot);
            header = MIDIHDR{};
            header.lpData = reinterpret_cast<LPSTR>(storage.data());
            header.dwBufferLength = static_cast<DWORD>(storage.size_bytes());
            header.dwUser = static_cast<DWORD_PTR>(slot);
            if (winmm_.midiOutPrepareHeader(output(), &header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR) return false;
            prepared_[slot] = true;
        }
        header.dwBytesRecorded = static_cast<DWORD>(sequence_.slotFilled(slot) * sizeof(runtime::midi::StreamEvent));
        return winmm_.midiStreamOut(stream_, &header, sizeof(MIDIHDR)) == MMSYSERR_NOERROR;
    }

    // A buffer that could not be queued ends the playback.
    void abandon(int slot) {
        stopNow();
        sequence_.bufferDone(slot);
    }

    void stopNow() {
        if (sequence_.stopRequested()) winmm_.midiOutReset(output());
    }

    const WinmmApi& winmm_;
    runtime::midi::PlaybackSequence sequence_;
    HANDLE wake_;
    std::atomic<bool> stopping_{false};
    std::atomic<uint32_t> doneSlots_{0};
    std::array<MIDIHDR, kSlotCount> headers_{};
    std::array<bool, kSlotCount> prepared_{};
    HMIDISTRM stream_ = nullptr;
    std::thread thread_;
};

MidiStreamPlayer::MidiStreamPlayer(const WinmmApi* winmm) : winmm_(winmm) {}

MidiStreamPlayer::~MidiStreamPlayer() { stop(); }

void MidiStreamPlayer::play(const runtime::codec::MidiSong& song, int count) {
    stop();
    // Without an output device the mapper cannot open. Not trying spares a
    // thread and winmm's failure path: under Wine, after some sound
    // toggles, a failing open now and then crashed the program.
    if (winmm_ && winmm_->midiOutGetNumDevs() > 0)
        session_ = std::make_unique<Session>(*winmm_, runtime::midi::buildPassStream(song), count);
}

void MidiStreamPlayer::stop() {
    session_.reset();  // the session's end waits for the output to close
}

}  // namespace platform::win32
