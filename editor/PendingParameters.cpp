#include "editor/PendingParameters.h"

namespace voltara {

void PendingParameters::mark(int32_t index)
{
    if (index < 0 || index >= rackParameterCount)
        return;
    Relaxed<uint32_t>& word = words_[index / bitsPerWord];
    const uint32_t bit = 1u << (index % bitsPerWord);
    uint32_t seen = word.load();
    while (!(seen & bit) && !word.compareExchange(seen, seen | bit)) {
    }
}

void PendingParameters::markAll()
{
    for (int32_t index = 0; index < rackParameterCount; ++index)
        mark(index);
}

void PendingParameters::clear()
{
    for (Relaxed<uint32_t>& word : words_)
        word.store(0);
}

} // namespace voltara
