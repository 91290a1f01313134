#include "graphics/core/result_name.h"

#include <cstdio>

namespace gfx {

const char* ResultName(Result result) {
    switch (result) {
        case ResultOk:
            return "ResultOk";
        case ResultUnsupported:
            return "ResultUnsupported";
        case ResultInvalid:
            return "ResultInvalid";
        case ResultNoImage:
            return "ResultNoImage";
        case ResultLocked:
            return "ResultLocked";
        case ResultUnknownEncoding:
            return "ResultUnknownEncoding";
        case ResultNotEncoded:
            return "ResultNotEncoded";
        case ResultAlreadyEncoded:
            return "ResultAlreadyEncoded";
        case ResultDCOut:
            return "ResultDCOut";
        case ResultPaletteMismatch:
            return "ResultPaletteMismatch";
        case ResultEmptyPalette:
            return "ResultEmptyPalette";
        case ResultEncoded:
            return "ResultEncoded";
        case ResultFailed:
            return "ResultFailed";
        case ResultNoMemory:
            return "ResultNoMemory";
        case ResultNoSource:
            return "ResultNoSource";
    }
    thread_local char unnamed[24];
    std::snprintf(unnamed, sizeof unnamed, "Result%u", static_cast<unsigned>(result));
    return unnamed;
}

}  // namespace gfx
