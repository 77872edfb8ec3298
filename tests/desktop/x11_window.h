#pragma once
// Finding, capturing and closing another program's window on the test's X
// display, with Xlib; keys are pressed through xdotool (the XTEST extension).

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "picture.h"

namespace pw {
namespace test {

// The window's title: _NET_WM_NAME (UTF-8, as SDL's message box sets it), else WM_NAME.
inline std::string windowTitle(Display* display, Window window) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  if (XGetWindowProperty(display, window, netName, 0, 256, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success &&
      data != nullptr) {
    title.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data != nullptr) XFree(data);
  if (!title.empty()) return title;
  char* name = nullptr;
  if (XFetchName(display, window, &name) != 0 && name != nullptr) title = name;
  if (name != nullptr) XFree(name);
  return title;
}

// A viewable top-level window whose title is `title`; 0 when none appears in time.
inline Window waitForWindow(Display* display, const char* title, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) != 0) {
      Window found = 0;
      for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) != 0 && attributes.map_state == IsViewable &&
            windowTitle(display, children[i]) == title) {
          found = children[i];
        }
      }
      if (children != nullptr) XFree(children);
      if (found != 0) return found;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

inline Picture capture(Display* display, Window window) {
  Picture p;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes) == 0) return p;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image == nullptr) return p;
  p.width = attributes.width;
  p.height = attributes.height;
  p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      uint8_t* out = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
      out[0] = static_cast<uint8_t>((pixel & image->red_mask) >> 16);
      out[1] = static_cast<uint8_t>((pixel & image->green_mask) >> 8);
      out[2] = static_cast<uint8_t>(pixel & image->blue_mask);
    }
  XDestroyImage(image);
  return p;
}

// What the close box does: the window manager's WM_DELETE_WINDOW request.
inline void requestClose(Display* display, Window window) {
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

}  // namespace test
}  // namespace pw
