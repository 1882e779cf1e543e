#include "tools/voltara/ProgressBar.h"

#include <cstdio>
#include <unistd.h>

namespace voltara {
namespace {

constexpr int width = 40; // characters

} // namespace

ProgressBar::ProgressBar(long long totalWork, bool wanted)
    : total(totalWork), shown(wanted && totalWork > 0 && isatty(STDERR_FILENO) != 0)
{
}

ProgressBar::~ProgressBar()
{
    if (shown && drawn >= 0)
        std::fputs("\n", stderr);
}

void ProgressBar::update(long long done)
{
    if (!shown)
        return;
    const int filled = int(done * width / total);
    if (filled == drawn)
        return;
    drawn = filled;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", width - filled, "",
                 int(done * 100 / total));
    std::fflush(stderr);
}

} // namespace voltara
