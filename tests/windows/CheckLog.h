#pragma once

#include <string>

namespace voltara::winhost {

// What the Windows host reports: one line per check, "ok" or "FAIL" in front,
// and at the end the counts in the form test runners close with.
class CheckLog {
public:
    // Prints the check's line; answers passed.
    bool check(bool passed, const std::string& what, const std::string& detail = {});
    // A line of information between the checks.
    void note(const std::string& line);
    // "N passed, N failed"; answers whether nothing failed.
    bool summary() const;

private:
    int passed_ = 0;
    int failed_ = 0;
};

} // namespace voltara::winhost
