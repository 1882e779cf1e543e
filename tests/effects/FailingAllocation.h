#pragma once

#include <cstdint>

namespace voltara {

// While one of these lives, the allocations by which the modules size their
// lines (new (std::nothrow) float[n]) fail, as they do when memory runs out.
class FailingAllocation {
public:
    FailingAllocation();
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // How many such allocations were asked for so far, failed or not.
    static int64_t attempts();
};

} // namespace voltara
