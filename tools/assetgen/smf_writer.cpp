#include "tools/assetgen/smf_writer.h"

#include <stdexcept>

#include "runtime/codec/midi_bytes.h"

namespace assetgen {
namespace {

using namespace runtime::codec::midi;

void put32be(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void putVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t bytes[4];
    int n = 0;
    do {
        bytes[n++] = static_cast<uint8_t>(v & 0x7F);
        v >>= 7;
    } while (v && n < 4);
    while (n-- > 0) out.push_back(static_cast<uint8_t>(bytes[n] | (n ? 0x80 : 0)));
}

}  // namespace

void TrackWriter::delta(int64_t tick) {
    if (tick < last_) throw std::logic_error("track events out of order");
    putVarLen(events_, static_cast<uint32_t>(tick - last_));
    last_ = tick;
}

void TrackWriter::channel(int64_t tick, uint8_t status, uint8_t data1, uint8_t data2) {
    channel(tick, status, data1);
    events_.push_back(data2);
}

void TrackWriter::channel(int64_t tick, uint8_t status, uint8_t data1) {
    delta(tick);
    if (status != running_) events_.push_back(status);
    running_ = status;
    events_.push_back(data1);
}

void TrackWriter::meta(int64_t tick, uint8_t type, const std::vector<uint8_t>& data) {
    delta(tick);
    events_.insert(events_.end(), {kMeta, type});
    putVarLen(events_, static_cast<uint32_t>(data.size()));
    events_.insert(events_.end(), data.begin(), data.end());
    running_ = 0;
}

void TrackWriter::name(int64_t tick, const std::string& text) {
    meta(tick, 0x03, std::vector<uint8_t>(text.begin(), text.end()));
}

void TrackWriter::tempo(int64_t tick, uint32_t us) {
    meta(tick, kMetaTempo, {static_cast<uint8_t>(us >> 16), static_cast<uint8_t>(us >> 8), static_cast<uint8_t>(us)});
}

void TrackWriter::timeSignature(int64_t tick, int numerator, int denominatorPower) {
    // 24 MIDI clocks per metronome click, 8 thirty-seconds per quarter.
    meta(tick, kMetaTimeSignature, {static_cast<uint8_t>(numerator), static_cast<uint8_t>(denominatorPower), 24, 8});
}

void TrackWriter::end(int64_t tick) { meta(tick, kMetaEndOfTrack, {}); }

std::vector<uint8_t> TrackWriter::chunk() const {
    std::vector<uint8_t> out = {'M', 'T', 'r', 'k'};
    put32be(out, static_cast<uint32_t>(events_.size()));
    out.insert(out.end(), events_.begin(), events_.end());
    return out;
}

std::vector<uint8_t> writeSmf(int division, const std::vector<TrackWriter>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    out.push_back(static_cast<uint8_t>(tracks.size() >> 8));
    out.push_back(static_cast<uint8_t>(tracks.size()));
    out.push_back(static_cast<uint8_t>(division >> 8));
    out.push_back(static_cast<uint8_t>(division));
    for (const TrackWriter& t : tracks) {
        const auto c = t.chunk();
        out.insert(out.end(), c.begin(), c.end());
    }
    return out;
}

}  // namespace assetgen
