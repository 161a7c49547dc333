#pragma once
// The decoder front end's noise normalisation: the running mean of the
// cepstra that every frame is heard against, which it learns from the sound
// it hears. The recogniser reads it, sets it, and puts it back where an
// utterance must teach it nothing; every such edit is here.

#include <sphinxbase/cmn.h>

#include <vector>

namespace speech {

class FrontEndMean {
public:
    explicit FrontEndMean(cmn_t* cmn) : cmn_(cmn) {}

    std::vector<float> get() const;
    // Ignores a mean of another shape or with a value that is no number.
    void set(const std::vector<float>& mean);

    // An utterance begins: what the front end has learnt is kept, to be put
    // back if the utterance turns out to be no voice, and what it adds from
    // here on is the utterance's own.
    void utteranceBegins();
    // What the front end learnt in the utterance is forgotten.
    void forgetUtterance() { set(before_); }
    // Around each piece the decoder takes (`frames()` before it).
    int frames() const { return cmn_->nframe; }
    void tookPiece(int framesBefore) {
        if (cmn_->nframe < framesBefore)
            rescaled_ = true;
    }
    // The utterance's own mean; empty when it is shorter than `minFrames`
    // or the front end rescaled its sums within it.
    std::vector<float> utteranceMean(int minFrames) const;

    // Puts the whole state (mean, running sum and count) back as it was
    // when made: a sound heard again for a second look must leave the next
    // utterance heard as if that had never happened.
    class Saved {
    public:
        explicit Saved(cmn_t* cmn);
        ~Saved();
        Saved(const Saved&) = delete;
        Saved& operator=(const Saved&) = delete;

    private:
        cmn_t* cmn_;
        std::vector<mfcc_t> mean_;
        std::vector<mfcc_t> sum_;
        int frames_;
    };

private:
    cmn_t* cmn_;
    std::vector<float> before_;     // the mean as the utterance began
    std::vector<mfcc_t> sumBefore_; // the running sum then
    int framesBefore_ = 0;
    bool rescaled_ = false; // the running sum was rescaled since framesBefore_
};

} // namespace speech
