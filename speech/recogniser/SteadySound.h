#pragma once
// Sound that is no syllable: a steady tone or hum (a kettle's whistle, an
// alarm, a fan's motor). A syllable's spectrum changes within a few tenths
// of a second and spreads over several bands; such a sound keeps nearly all
// its power in the same few bands for as long as it lasts. Heard as speech
// it would teach the recogniser's normalisation its colour, and a word said
// right after it, in the same utterance, would be heard against that.
// Only a sound that stands out from the room counts: a fan that hums all
// the time is the room, and the pause after a word said over it is quiet.

#include <cstddef>
#include <cstdint>

namespace speech {

class SteadySound {
public:
    // Power in the loudest kTopBands mel bands, as a share of all, that
    // makes a moment narrow.
    static constexpr int kTopBands = 3;
    static constexpr double kNarrowShare = 0.85;
    // How far (power) over the room, and how fast the room's level may
    // rise (a factor a piece; about 2 dB a second): the quietest sound
    // heard lately, followed up slowly so that a long tone does not become
    // the room.
    static constexpr double kOverRoom = 30;
    static constexpr double kRoomRise = 1.047;

    void reset() {
        run_ = 0;
        band_ = -1;
        room_ = -1;
    }
    // Takes the next piece of 16 kHz sound (about a tenth of a second);
    // returns how long (samples) the sound has been steady, this piece
    // included: 0 when it is not.
    std::size_t add(const std::int16_t* samples, std::size_t count);

private:
    void reset(double room) {
        reset();
        room_ = room;
    }
    std::size_t run_ = 0;
    int band_ = -1;    // the loudest band of the steady sound so far
    double room_ = -1; // mean square of the room (-1: nothing heard yet)
};

} // namespace speech
