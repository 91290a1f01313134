#include "tests/e2e/avi_info.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace e2e {

namespace {

uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool ReadAviInfo(const std::string& path, AviInfo* info) {
    // RIFF 'AVI ' LIST 'hdrl' 'avih' <size> then the main header fields.
    unsigned char head[88] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(head), sizeof(head))) return false;
    if (std::memcmp(head, "RIFF", 4) || std::memcmp(head + 8, "AVI ", 4) ||
        std::memcmp(head + 12, "LIST", 4) || std::memcmp(head + 20, "hdrl", 4) ||
        std::memcmp(head + 24, "avih", 4)) {
        return false;
    }
    const unsigned char* main = head + 32;
    uint32_t microsPerFrame = Le32(main);
    uint32_t totalFrames = Le32(main + 16);
    info->width = static_cast<int>(Le32(main + 32));
    info->height = static_cast<int>(Le32(main + 36));
    info->seconds = static_cast<double>(microsPerFrame) * totalFrames / 1e6;
    return true;
}

}  // namespace e2e
