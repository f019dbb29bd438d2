// Win32 passes handles and pointers through the integer parameters of messages, window data and
// class settings; this is the one place that turns such an integer back into one.
#pragma once

template <typename Pointer, typename Integer>
Pointer pointerFrom(Integer value) {
    return reinterpret_cast<Pointer>(value);  // NOLINT(performance-no-int-to-ptr)
}
