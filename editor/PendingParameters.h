#pragma once

#include "common/Relaxed.h"
#include "plugin/RackParameters.h"

#include <cstdint>

namespace voltara {

// The parameter indices that changed since the editor last looked: marked on
// whichever thread changes a parameter, taken on the window thread, one bit
// per index and no lock.
class PendingParameters {
public:
    // [any thread]
    void mark(int32_t index);
    void markAll();
    // [window thread] Calls apply(index) for each marked index, in ascending
    // order, and unmarks it; a mark made meanwhile is kept for the next time.
    template <typename Apply>
    void take(Apply&& apply)
    {
        for (int32_t word = 0; word < wordCount; ++word) {
            const uint32_t bits = words_[word].exchange(0);
            for (int32_t bit = 0; bit < bitsPerWord; ++bit)
                if (bits & (1u << bit))
                    apply(word * bitsPerWord + bit);
        }
    }
    void clear();

private:
    static constexpr int32_t bitsPerWord = 32;
    static constexpr int32_t wordCount = (rackParameterCount + bitsPerWord - 1) / bitsPerWord;

    Relaxed<uint32_t> words_[wordCount];
};

} // namespace voltara
