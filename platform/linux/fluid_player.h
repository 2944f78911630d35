#pragma once
// The carol through FluidSynth: our own thread plays the song's events at
// their times into a General MIDI synthesizer. The synthesizer and the
// audio output are made on that thread, so a slow or missing audio server
// never holds up the card; without one the card is silent.
#include <fluidsynth.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime/codec/midi_song.h"

namespace platform::linux_x11 {

class FluidPlayer {
public:
    FluidPlayer() = default;
    ~FluidPlayer();
    FluidPlayer(const FluidPlayer&) = delete;
    FluidPlayer& operator=(const FluidPlayer&) = delete;

    // Stops what plays, then plays the song from its start; count -1 loops
    // without end.
    void play(const runtime::codec::MidiSong& song, int count);
    // Returns once the sound has stopped.
    void stop();

private:
    struct Event {
        int64_t timeUs;
        uint8_t status, data1, data2;
    };
    void run();
    // Plays the current song until it ends or the generation moves on.
    void playSong(std::unique_lock<std::mutex>& lock, uint64_t generation);
    void startSynth();
    void send(const Event& e);
    void silence(bool cutSound);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
    bool quit_ = false;
    uint64_t generation_ = 0;   // bumped by every play and stop
    bool playing_ = false;      // the thread holds a song to play
    bool sounding_ = false;     // the thread has sent notes of it
    std::vector<Event> events_;
    std::vector<int> channels_;   // those the song uses
    int64_t lengthUs_ = 0;
    int count_ = 0;

    // Made by the thread on the first play; null where that failed.
    bool starting_ = false;
    bool synthTried_ = false;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
};

}  // namespace platform::linux_x11
