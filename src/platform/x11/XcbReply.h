#pragma once

#include <cstdlib>
#include <memory>

// What xcb hands over (replies, events, errors) is malloc'ed and the caller's
// to free; held this way, it is freed on every path out.
struct XcbFree
{
    void operator()(void *allocated) const { std::free(allocated); }
};

template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

// Takes ownership of what an xcb call returned; null stays null.
template <typename T>
XcbReply<T> xcbReply(T *allocated)
{
    return XcbReply<T>(allocated);
}
