#pragma once

#include <windows.h>

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

class CWnd;

// A handler reached through a message map. The thunk decodes the message's parameters, casts the
// window object back to the class that declared the handler and turns the handler's result into
// the message's LRESULT.
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

// What a message carries, decoded once here for every handler: Decode(wParam, lParam) gives the
// typed arguments in the order handlers take them. A message without a decoder of its own carries
// nothing that handlers read.
template <UINT Message>
struct MessageArguments {
    static constexpr bool decoded = false;
    static std::tuple<> Decode(WPARAM, LPARAM) { return {}; }
};

namespace message_map_detail {

struct Decoded {
    static constexpr bool decoded = true;
};

// (window): a window handle in wParam.
struct WindowInWParam : Decoded {
    static std::tuple<HWND> Decode(WPARAM wParam, LPARAM) {
        return {reinterpret_cast<HWND>(wParam)};
    }
};

// (key code, repeat count, flags): the virtual key in wParam, the repeat count in the low word of
// lParam and the scan code and state flags in its high word.
struct Key : Decoded {
    static std::tuple<UINT, UINT, UINT> Decode(WPARAM wParam, LPARAM lParam) {
        return {static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)};
    }
};

// (key state, point): the MK_ flags in wParam and the client coordinates in lParam, which are
// signed (a captured mouse reports points left of or above the window).
struct Mouse : Decoded {
    static std::tuple<UINT, POINT> Decode(WPARAM wParam, LPARAM lParam) {
        const auto coordinate = [](WORD word) {
            return static_cast<LONG>(static_cast<SHORT>(word));
        };
        return {static_cast<UINT>(wParam),
                POINT{coordinate(LOWORD(lParam)), coordinate(HIWORD(lParam))}};
    }
};

}  // namespace message_map_detail

// (create parameters)
template <>
struct MessageArguments<WM_CREATE> : message_map_detail::Decoded {
    static std::tuple<CREATESTRUCTA*> Decode(WPARAM, LPARAM lParam) {
        return {reinterpret_cast<CREATESTRUCTA*>(lParam)};
    }
};

// (control to get the default focus, creation parameter)
template <>
struct MessageArguments<WM_INITDIALOG> : message_map_detail::Decoded {
    static std::tuple<HWND, LPARAM> Decode(WPARAM wParam, LPARAM lParam) {
        return {reinterpret_cast<HWND>(wParam), lParam};
    }
};

// (window that changed the system palette)
template <>
struct MessageArguments<WM_PALETTECHANGED> : message_map_detail::WindowInWParam {};

// (window that loses the focus, or null)
template <>
struct MessageArguments<WM_SETFOCUS> : message_map_detail::WindowInWParam {};

// (window that gets the focus, or null)
template <>
struct MessageArguments<WM_KILLFOCUS> : message_map_detail::WindowInWParam {};

// (device context to erase in)
template <>
struct MessageArguments<WM_ERASEBKGND> : message_map_detail::Decoded {
    static std::tuple<HDC> Decode(WPARAM wParam, LPARAM) { return {reinterpret_cast<HDC>(wParam)}; }
};

template <>
struct MessageArguments<WM_KEYDOWN> : message_map_detail::Key {};
template <>
struct MessageArguments<WM_KEYUP> : message_map_detail::Key {};

template <>
struct MessageArguments<WM_MOUSEMOVE> : message_map_detail::Mouse {};
template <>
struct MessageArguments<WM_LBUTTONDOWN> : message_map_detail::Mouse {};
template <>
struct MessageArguments<WM_LBUTTONUP> : message_map_detail::Mouse {};
template <>
struct MessageArguments<WM_LBUTTONDBLCLK> : message_map_detail::Mouse {};

// (timer id)
template <>
struct MessageArguments<WM_TIMER> : message_map_detail::Decoded {
    static std::tuple<UINT_PTR> Decode(WPARAM wParam, LPARAM) {
        return {static_cast<UINT_PTR>(wParam)};
    }
};

// (window under the cursor, hit-test code, mouse message that prompted it, 0 for none)
template <>
struct MessageArguments<WM_SETCURSOR> : message_map_detail::Decoded {
    static std::tuple<HWND, UINT, UINT> Decode(WPARAM wParam, LPARAM lParam) {
        return {reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)};
    }
};

// (TRUE when enabled)
template <>
struct MessageArguments<WM_ENABLE> : message_map_detail::Decoded {
    static std::tuple<BOOL> Decode(WPARAM wParam, LPARAM) { return {static_cast<BOOL>(wParam)}; }
};

// (new text)
template <>
struct MessageArguments<WM_SETTEXT> : message_map_detail::Decoded {
    static std::tuple<const char*> Decode(WPARAM, LPARAM lParam) {
        return {reinterpret_cast<const char*>(lParam)};
    }
};

// (control that sent the command, null for menus and accelerators); the id and the notification
// code are those of the map entry.
template <>
struct MessageArguments<WM_COMMAND> : message_map_detail::Decoded {
    static std::tuple<HWND> Decode(WPARAM, LPARAM lParam) {
        return {reinterpret_cast<HWND>(lParam)};
    }
};

namespace message_map_detail {

template <typename T>
struct HandlerTraits;

template <typename C, typename R, typename... Parameters>
struct HandlerTraits<R (C::*)(Parameters...)> {
    using Class = C;
    using Result = R;
    using Arguments = std::tuple<Parameters...>;
};

// The first N element types of a tuple type.
template <typename Tuple, typename Indices>
struct LeadingOf;
template <typename Tuple, size_t... I>
struct LeadingOf<Tuple, std::index_sequence<I...>> {
    using type = std::tuple<std::tuple_element_t<I, Tuple>...>;
};

// A handler takes the message's arguments in order, or only as many of the first ones as it
// uses, each of exactly the decoded type.
template <typename Arguments, typename Taken>
constexpr bool TakesLeading() {
    constexpr size_t n = std::tuple_size_v<Taken>;
    if constexpr (n > std::tuple_size_v<Arguments>) {
        return false;
    } else {
        return std::is_same_v<typename LeadingOf<Arguments, std::make_index_sequence<n>>::type,
                              Taken>;
    }
}

template <typename R>
LRESULT ToResult(R value) {
    if constexpr (std::is_pointer_v<R>) {
        return reinterpret_cast<LRESULT>(value);
    } else {
        return static_cast<LRESULT>(value);
    }
}

template <UINT Message, auto Handler>
LRESULT Invoke(CWnd* wnd, WPARAM wParam, LPARAM lParam) {
    using Traits = HandlerTraits<decltype(Handler)>;
    using Arguments = decltype(MessageArguments<Message>::Decode(wParam, lParam));
    using Taken = typename Traits::Arguments;
    static_assert(MessageArguments<Message>::decoded || std::tuple_size_v<Taken> == 0,
                  "this message has no decoder: its handler takes no arguments");
    static_assert(TakesLeading<Arguments, Taken>(),
                  "the handler's parameters are not the message's leading arguments");

    auto* self = static_cast<typename Traits::Class*>(wnd);
    const Arguments arguments = MessageArguments<Message>::Decode(wParam, lParam);
    return [&]<size_t... I>(std::index_sequence<I...>)->LRESULT {
        if constexpr (std::is_void_v<typename Traits::Result>) {
            (self->*Handler)(std::get<I>(arguments)...);
            return 0;
        } else {
            return ToResult((self->*Handler)(std::get<I>(arguments)...));
        }
    }
    (std::make_index_sequence<std::tuple_size_v<Taken>>{});
}

}  // namespace message_map_detail

// Entry for a window message: OnMessage<WM_TIMER, &C::OnTimer>(). The handler is an ordinary
// member function that takes the message's decoded arguments (or the first few of them) and
// returns void (result 0) or the message's result.
template <UINT Message, auto Handler>
constexpr MessageMapEntry OnMessage() {
    static_assert(Message != WM_COMMAND, "commands are mapped by id and code with OnCommand");
    return {Message, 0, 0, &message_map_detail::Invoke<Message, Handler>};
}

// Entry for WM_COMMAND from one control or command id with one notification code. The handler
// takes nothing or the window of the control that sent it.
template <auto Handler>
constexpr MessageMapEntry OnCommand(UINT id, UINT code = BN_CLICKED) {
    return {WM_COMMAND, id, code, &message_map_detail::Invoke<WM_COMMAND, Handler>};
}

// Builds a map from a class's entry array: MakeMessageMap(&Base::messageMap, entries).
template <size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* base, const MessageMapEntry (&entries)[N]) {
    return {base, entries, N};
}
