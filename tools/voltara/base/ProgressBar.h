#pragma once

namespace voltara {

// A bar on standard error that fills as work is done; silent when standard
// error is not a terminal or when the work is short.
class ProgressBar {
public:
    ProgressBar(long long total, bool wanted);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(long long done);
    // The work is done: the bar shows 100% and its line ends.
    void finish();
    // Whether a bar is on the terminal's last line: a signal that ends the
    // program ends the line first. Safe in a signal handler.
    static bool lineOpen();

private:
    void endLine();

    long long total_;
    bool shown_;
    int drawn_ = -1; // last width drawn, in characters
};

} // namespace voltara
