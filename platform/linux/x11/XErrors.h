#pragma once

#include <X11/Xlib.h>

// X errors on the presenters' connections never end the process (Xlib's
// default would): a window we live in may go at any time with the host's.
// They are noted per connection; errors on other connections (a host's own
// toolkit's) go on to the handler that was there before.

namespace voltara::platform::x11 {

// From now on until forgotten, errors on the connection are only noted.
void watchErrors(Display* display);
void forgetErrors(Display* display);

// The first error code the server reported on the connection from its
// construction until code() was asked (which waits for the server); 0 for none.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    int code();

private:
    Display* display_;
};

} // namespace voltara::platform::x11
