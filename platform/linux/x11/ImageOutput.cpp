#include "platform/linux/x11/ImageOutput.h"

#include "platform/linux/Host.h"
#include "platform/linux/x11/XErrors.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <cstdlib>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace voltara::platform::x11 {

ImageOutput::ImageOutput(Display* display, ::Window window, int width, int height)
    : display_(display), window_(window), width_(width), height_(height)
{
}

std::unique_ptr<ImageOutput> ImageOutput::create(Display* display, ::Window window, Visual* visual, int depth,
                                                 int width, int height, std::string& why)
{
    if (depth != 24 || visual->c_class != TrueColor || visual->red_mask != 0xFF0000 || visual->green_mask != 0xFF00
        || visual->blue_mask != 0xFF) {
        why = "the display offers no 24-bit true-colour visual";
        return nullptr;
    }
    std::unique_ptr<ImageOutput> output(new ImageOutput(display, window, std::max(width, 1), std::max(height, 1)));
    output->gc_ = XCreateGC(display, window, 0, nullptr);
    if (!output->attachShared(visual, depth)) {
        // Xlib frees the data with the image.
        auto* data = static_cast<char*>(std::calloc(size_t(output->width_) * output->height_, 4));
        output->image_ = data
                             ? XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, data,
                                            unsigned(output->width_), unsigned(output->height_), 32, output->width_ * 4)
                             : nullptr;
        if (!output->image_) {
            std::free(data);
            why = "no memory for the window's image";
            return nullptr;
        }
    }
    return output;
}

bool ImageOutput::attachShared(Visual* visual, int depth)
{
    if (!XShmQueryExtension(display_))
        return false;
    image_ = XShmCreateImage(display_, visual, unsigned(depth), ZPixmap, nullptr, &segment_, unsigned(width_),
                             unsigned(height_));
    if (!image_)
        return false;
    segment_.shmid = shmget(IPC_PRIVATE, size_t(image_->bytes_per_line) * height_, IPC_CREAT | 0600);
    if (segment_.shmid >= 0) {
        segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
        segment_.readOnly = False;
        if (segment_.shmaddr != reinterpret_cast<char*>(-1)) {
            // A server on another machine refuses the segment.
            ErrorTrap trap(display_);
            const bool attached = XShmAttach(display_, &segment_) && trap.code() == 0;
            shmctl(segment_.shmid, IPC_RMID, nullptr); // freed once both sides let go
            if (attached) {
                shared_ = true;
                return true;
            }
            shmdt(segment_.shmaddr);
        } else {
            shmctl(segment_.shmid, IPC_RMID, nullptr);
        }
    }
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
}

ImageOutput::~ImageOutput()
{
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        image_->data = nullptr;
        XDestroyImage(image_);
        shmdt(segment_.shmaddr);
    } else if (image_) {
        XDestroyImage(image_);
    }
    if (gc_)
        XFreeGC(display_, gc_);
}

void ImageOutput::send(platform::Window source, WinRect area)
{
    area = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, width_),
            std::min(area.bottom, height_)};
    if (area.left >= area.right || area.top >= area.bottom)
        return;
    auto* pixels = reinterpret_cast<uint32_t*>(image_->data);
    const int stride = image_->bytes_per_line / 4;
    const WinRect copied = host::copyPixels(source, area, pixels + size_t(area.top) * stride + area.left, stride);
    const int width = copied.right - copied.left, height = copied.bottom - copied.top;
    if (width <= 0 || height <= 0)
        return;
    if (shared_) {
        XShmPutImage(display_, window_, gc_, image_, copied.left, copied.top, copied.left, copied.top, unsigned(width),
                     unsigned(height), False);
        unfinished_ = true;
    } else {
        XPutImage(display_, window_, gc_, image_, copied.left, copied.top, copied.left, copied.top, unsigned(width),
                  unsigned(height));
    }
}

void ImageOutput::finish()
{
    if (!unfinished_)
        return;
    XSync(display_, False);
    unfinished_ = false;
}

} // namespace voltara::platform::x11
