#pragma once

#include <optional>
#include <string>

namespace voltara {

// Sets (or, with nullptr, removes) one environment variable for the life of
// the object and puts the previous state back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

private:
    std::string name_;
    std::optional<std::string> previous_;
};

} // namespace voltara
