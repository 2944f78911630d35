#include "platform/linux/fluid_player.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <filesystem>

#include "runtime/codec/midi_bytes.h"

namespace platform::linux_x11 {
namespace {

using namespace runtime::codec::midi;
using Clock = std::chrono::steady_clock;

// Where Debian puts a General MIDI soundfont; the first is the alternatives
// link that any of them provides.
constexpr const char* kSoundfonts[] = {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                       "/usr/share/sounds/sf2/TimGM6mb.sf2"};
// PulseAudio (PipeWire answers it too), else ALSA.
constexpr const char* kAudioDrivers[] = {"pulseaudio", "alsa"};

void quiet(int, const char*, void*) {}
// ALSA reports every card it cannot find on standard error.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

FluidPlayer::~FluidPlayer() {
    stop();
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (driver_) delete_fluid_audio_driver(driver_);
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

void FluidPlayer::play(const runtime::codec::MidiSong& song, int count) {
    stop();
    std::lock_guard lock(mutex_);
    events_.clear();
    std::vector<bool> used(16, false);
    for (const auto& e : song.events) {
        if (!isChannelEvent(e.status)) continue;
        events_.push_back({e.timeUs, e.status, e.data1, e.data2});
        used[e.status & 0x0F] = true;
    }
    channels_.clear();
    for (int c = 0; c < 16; ++c)
        if (used[c]) channels_.push_back(c);
    lengthUs_ = song.lengthUs;
    count_ = count;
    ++generation_;
    playing_ = true;
    if (!thread_.joinable()) thread_ = std::thread(&FluidPlayer::run, this);
    changed_.notify_all();
}

void FluidPlayer::stop() {
    std::unique_lock lock(mutex_);
    if (!playing_) return;
    ++generation_;
    changed_.notify_all();
    // While the synthesizer is still being made nothing sounds yet: no
    // need to wait for an audio server that may be slow to answer.
    if (starting_) {
        playing_ = false;
        return;
    }
    changed_.wait(lock, [this] { return !playing_; });
}

void FluidPlayer::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || playing_; });
        if (quit_) return;
        if (!synthTried_) {
            starting_ = true;
            lock.unlock();
            startSynth();
            lock.lock();
            starting_ = false;
            synthTried_ = true;
            continue;   // a stop or another play may have come meanwhile
        }
        playSong(lock, generation_);
        playing_ = false;
        changed_.notify_all();
    }
}

void FluidPlayer::playSong(std::unique_lock<std::mutex>& lock, uint64_t generation) {
    auto movedOn = [&] { return quit_ || generation_ != generation; };
    if (!synth_) {
        changed_.wait(lock, movedOn);   // silent, but playing until stopped
        return;
    }
    Clock::time_point passStart = Clock::now();
    for (int pass = 0; count_ < 0 || pass < count_; ++pass) {
        for (const Event& e : events_) {
            if (changed_.wait_until(lock, passStart + std::chrono::microseconds(e.timeUs), movedOn)) {
                silence(true);
                return;
            }
            send(e);
        }
        passStart += std::chrono::microseconds(lengthUs_);
        if (changed_.wait_until(lock, passStart, movedOn)) {
            silence(true);
            return;
        }
        silence(false);   // no note carries over into the next pass
    }
}

void FluidPlayer::startSynth() {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, quiet, nullptr);
    snd_lib_error_set_handler(quietAlsa);
    settings_ = new_fluid_settings();
    if (!settings_) return;
    fluid_settings_setstr(settings_, "synth.midi-bank-select", "gs");
    // The default 64-frame periods wake the audio thread 700 times a second:
    // 20 % of a core here, against 3 % with 1024 frames (23 ms, plenty for a
    // looping carol).
    fluid_settings_setint(settings_, "audio.period-size", 1024);
    synth_ = new_fluid_synth(settings_);
    for (const char* driver : kAudioDrivers) {
        if (driver_) break;
        fluid_settings_setstr(settings_, "audio.driver", driver);
        driver_ = new_fluid_audio_driver(settings_, synth_);
    }
    // The soundfont's samples take megabytes: loaded only for an output.
    bool loaded = false;
    for (const char* path : kSoundfonts)
        if (driver_ && !loaded && std::filesystem::exists(path))
            loaded = fluid_synth_sfload(synth_, path, 1) != FLUID_FAILED;
    if (loaded) return;
    if (driver_) delete_fluid_audio_driver(driver_);   // no soundfont or no output: silent
    driver_ = nullptr;
    delete_fluid_synth(synth_);
    synth_ = nullptr;
}

void FluidPlayer::send(const Event& e) {
    const int channel = e.status & 0x0F;
    switch (kindOf(e.status)) {
    case kNoteOn: fluid_synth_noteon(synth_, channel, e.data1, e.data2); break;   // velocity 0 ends the note
    case kNoteOff: fluid_synth_noteoff(synth_, channel, e.data1); break;
    case kKeyPressure: fluid_synth_key_pressure(synth_, channel, e.data1, e.data2); break;
    case kControlChange: fluid_synth_cc(synth_, channel, e.data1, e.data2); break;
    case kProgramChange: fluid_synth_program_change(synth_, channel, e.data1); break;
    case kChannelPressure: fluid_synth_channel_pressure(synth_, channel, e.data1); break;
    case kPitchBend: fluid_synth_pitch_bend(synth_, channel, e.data1 | e.data2 << 7); break;
    default: break;
    }
}

void FluidPlayer::silence(bool cutSound) {
    for (int channel : channels_) {
        if (cutSound) fluid_synth_all_sounds_off(synth_, channel);
        fluid_synth_all_notes_off(synth_, channel);
        fluid_synth_cc(synth_, channel, kResetAllControllers, 0);
    }
}

}  // namespace platform::linux_x11
