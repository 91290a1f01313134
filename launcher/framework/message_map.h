#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>

class CWnd;

// A handler reached through a message map. The thunk casts the window object back to the class
// that declared the handler and cracks nothing: handlers take either no arguments or the raw
// (WPARAM, LPARAM) pair, and return void (result 0) or a value convertible to LRESULT.
using MessageThunk = LRESULT (*)(CWnd* wnd, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;
    UINT id;    // WM_COMMAND only: the control or command id
    UINT code;  // WM_COMMAND only: the notification code
    MessageThunk thunk;
};

// One class's entries and the map of its base class, searched in that order.
struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
    size_t count;
};

namespace message_map_detail {

template <typename T>
struct HandlerTraits;

template <typename C, typename R>
struct HandlerTraits<R (C::*)()> {
    using Class = C;
    using Result = R;
    static constexpr bool takesArguments = false;
};

template <typename C, typename R>
struct HandlerTraits<R (C::*)(WPARAM, LPARAM)> {
    using Class = C;
    using Result = R;
    static constexpr bool takesArguments = true;
};

template <auto Handler>
LRESULT Invoke(CWnd* wnd, WPARAM wParam, LPARAM lParam) {
    using Traits = HandlerTraits<decltype(Handler)>;
    auto* self = static_cast<typename Traits::Class*>(wnd);
    auto call = [&]() {
        if constexpr (Traits::takesArguments) {
            return (self->*Handler)(wParam, lParam);
        } else {
            (void)wParam;
            (void)lParam;
            return (self->*Handler)();
        }
    };
    if constexpr (std::is_void_v<typename Traits::Result>) {
        call();
        return 0;
    } else {
        return static_cast<LRESULT>(call());
    }
}

}  // namespace message_map_detail

// Entry for a window message, whatever its parameters.
template <auto Handler>
constexpr MessageMapEntry OnMessage(UINT message) {
    return {message, 0, 0, &message_map_detail::Invoke<Handler>};
}

// Entry for WM_COMMAND from one control or command id with one notification code.
template <auto Handler>
constexpr MessageMapEntry OnCommand(UINT id, UINT code = BN_CLICKED) {
    return {WM_COMMAND, id, code, &message_map_detail::Invoke<Handler>};
}

// Builds a map from a class's entry array: MakeMessageMap(&Base::messageMap, entries).
template <size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageMapEntry (&entries)[N]) {
    return {base, entries, N};
}
