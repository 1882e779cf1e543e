#include "tests/windows/CheckLog.h"

#include <cstdio>

namespace voltara::winhost {

bool CheckLog::check(bool passed, const std::string& what, const std::string& detail)
{
    ++(passed ? passed_ : failed_);
    std::printf("%s %s%s%s\n", passed ? "ok  " : "FAIL", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
    return passed;
}

void CheckLog::note(const std::string& line)
{
    std::printf("     %s\n", line.c_str());
    std::fflush(stdout);
}

bool CheckLog::summary() const
{
    std::printf("windows: %d passed, %d failed\n", passed_, failed_);
    std::fflush(stdout);
    return failed_ == 0;
}

} // namespace voltara::winhost
