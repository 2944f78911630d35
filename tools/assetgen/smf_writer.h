#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// Writes one track chunk's events in time order. Channel events repeat no
// status byte that is already running; meta events cancel the running status.
class TrackWriter {
public:
    void channel(int64_t tick, uint8_t status, uint8_t data1, uint8_t data2);
    void channel(int64_t tick, uint8_t status, uint8_t data1);  // program change
    void meta(int64_t tick, uint8_t type, const std::vector<uint8_t>& data);
    void name(int64_t tick, const std::string& text);
    void tempo(int64_t tick, uint32_t microsPerQuarter);
    void timeSignature(int64_t tick, int numerator, int denominatorPower);
    void end(int64_t tick);

    std::vector<uint8_t> chunk() const;

private:
    void delta(int64_t tick);
    std::vector<uint8_t> events_;
    int64_t last_ = 0;
    uint8_t running_ = 0;
};

// "MThd" for format 1 with the given tracks, then the track chunks.
std::vector<uint8_t> writeSmf(int division, const std::vector<TrackWriter>& tracks);

}  // namespace assetgen
