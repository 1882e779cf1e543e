#pragma once

namespace voltara {

// While one of these lives, the allocations by which the modules size their
// lines (new (std::nothrow) float[n]) fail, as they do when memory runs out.
class FailingAllocation {
public:
    FailingAllocation();
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
};

} // namespace voltara
