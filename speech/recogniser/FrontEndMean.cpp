#include "FrontEndMean.h"

#include <algorithm>
#include <cmath>

namespace speech {

std::vector<float> FrontEndMean::get() const {
    std::vector<mfcc_t> mean(std::size_t(cmn_->veclen));
    cmn_live_get(cmn_, mean.data());
    return {mean.begin(), mean.end()};
}

void FrontEndMean::set(const std::vector<float>& state) {
    if (state.size() != std::size_t(cmn_->veclen) ||
        !std::all_of(state.begin(), state.end(), [](float v) { return std::isfinite(v); }))
        return;
    const std::vector<mfcc_t> mean(state.begin(), state.end());
    cmn_live_set(cmn_, mean.data());
}

void FrontEndMean::utteranceBegins() {
    before_ = get();
    // The running sum is rescaled to a shorter window (CMN_WIN frames)
    // whenever it passes CMN_WIN_HWM, and the utterance's own sum is the
    // difference from here on: a rescale inside the utterance made that
    // garbage, or negative, about every other utterance. Rescaled here
    // instead, the mean kept as it is, no rescale comes for CMN_WIN_HWM -
    // CMN_WIN frames (3 s of speech).
    if (cmn_->nframe > CMN_WIN) {
        const mfcc_t scale = mfcc_t(CMN_WIN) / mfcc_t(cmn_->nframe);
        for (int i = 0; i < cmn_->veclen; ++i)
            cmn_->sum[i] *= scale;
        cmn_->nframe = CMN_WIN;
    }
    sumBefore_.assign(cmn_->sum, cmn_->sum + cmn_->veclen);
    framesBefore_ = cmn_->nframe;
    rescaled_ = false;
}

std::vector<float> FrontEndMean::utteranceMean(int minFrames) const {
    const int frames = cmn_->nframe - framesBefore_;
    if (frames < minFrames || rescaled_ || std::size_t(cmn_->veclen) != sumBefore_.size())
        return {};
    std::vector<float> own(sumBefore_.size());
    for (std::size_t i = 0; i < own.size(); ++i)
        own[i] = float((cmn_->sum[i] - sumBefore_[i]) / mfcc_t(frames));
    return own;
}

FrontEndMean::Saved::Saved(cmn_t* cmn)
    : cmn_(cmn), mean_(cmn->cmn_mean, cmn->cmn_mean + cmn->veclen),
      sum_(cmn->sum, cmn->sum + cmn->veclen), frames_(cmn->nframe) {}

FrontEndMean::Saved::~Saved() {
    std::copy(mean_.begin(), mean_.end(), cmn_->cmn_mean);
    std::copy(sum_.begin(), sum_.end(), cmn_->sum);
    cmn_->nframe = frames_;
}

} // namespace speech
