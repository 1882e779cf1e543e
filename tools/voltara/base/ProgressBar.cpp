#include "tools/voltara/base/ProgressBar.h"

#include <cstdio>
#include <unistd.h>

namespace voltara {
namespace {

constexpr int width = 40; // characters

} // namespace

ProgressBar::ProgressBar(long long total, bool wanted)
    : total_(total), shown_(wanted && total > 0 && isatty(STDERR_FILENO) != 0)
{
}

ProgressBar::~ProgressBar()
{
    if (shown_ && drawn_ >= 0)
        std::fputs("\n", stderr);
}

void ProgressBar::update(long long done)
{
    if (!shown_)
        return;
    const int filled = int(done * width / total_);
    if (filled == drawn_)
        return;
    drawn_ = filled;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", width - filled, "",
                 int(done * 100 / total_));
    std::fflush(stderr);
}

} // namespace voltara
