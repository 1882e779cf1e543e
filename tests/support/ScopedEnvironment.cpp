#include "tests/support/ScopedEnvironment.h"

#include <cstdlib>

namespace voltara {

namespace {

void assign(const std::string& name, const char* value)
{
    if (value)
        setenv(name.c_str(), value, 1);
    else
        unsetenv(name.c_str());
}

} // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value) : name_(name)
{
    if (const char* old = std::getenv(name))
        previous_ = old;
    assign(name_, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    assign(name_, previous_ ? previous_->c_str() : nullptr);
}

} // namespace voltara
