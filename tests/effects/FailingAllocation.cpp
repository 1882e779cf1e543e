#include "tests/effects/FailingAllocation.h"

#include <cstddef>
#include <new>

namespace {

bool failing = false;
int64_t attempts = 0;

} // namespace

// Replaces the standard nothrow array allocation for this test program.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    ++attempts;
    if (failing)
        return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace voltara {

FailingAllocation::FailingAllocation()
{
    failing = true;
}

FailingAllocation::~FailingAllocation()
{
    failing = false;
}

int64_t FailingAllocation::attempts()
{
    return ::attempts;
}

} // namespace voltara
