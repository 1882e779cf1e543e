#include "tools/voltara/base/ProgressBar.h"

#include <atomic>
#include <cstdio>
#include <unistd.h>

namespace voltara {
namespace {

constexpr int width = 40; // characters

// Read by a signal handler: a bar is on the terminal's last line.
std::atomic<bool> barShown{false};

} // namespace

bool ProgressBar::lineOpen()
{
    return barShown.load();
}

ProgressBar::ProgressBar(long long total, bool wanted)
    : total_(total), shown_(wanted && total > 0 && isatty(STDERR_FILENO) != 0)
{
}

ProgressBar::~ProgressBar()
{
    endLine();
}

void ProgressBar::update(long long done)
{
    if (!shown_)
        return;
    const int filled = int(done * width / total_);
    if (filled == drawn_)
        return;
    drawn_ = filled;
    barShown = true;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", width - filled, "",
                 int(done * 100 / total_));
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    update(total_);
    endLine();
}

void ProgressBar::endLine()
{
    if (shown_ && drawn_ >= 0)
        std::fputs("\n", stderr);
    shown_ = false;
    barShown = false;
}

} // namespace voltara
