#include "graphics/image/page_touch.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/platform/page_size.h"

using namespace gfx;

namespace {

// A page-aligned block of `pages` pages.
struct PageBlock {
    explicit PageBlock(size_t pages) : size(pages * PageSize()) {
        bytes = static_cast<unsigned char*>(operator new[](size, std::align_val_t{PageSize()}));
    }
    ~PageBlock() { operator delete[](bytes, std::align_val_t{PageSize()}); }
    unsigned char* bytes;
    size_t size;
};

}  // namespace

TEST(PageTouch, PageSizeIsAPowerOfTwo) {
    const uint32_t page = PageSize();
    EXPECT_GE(page, 4096u);
    EXPECT_EQ(page & (page - 1), 0u);
}

TEST(PageTouch, ReadsTwoBytesPerPageAfterTheSixteenPageLeadAndStaysInside) {
    const size_t page = PageSize();
    PageBlock block(20);
    EXPECT_EQ(PageTouch(block.bytes, 16 * page), 0u);
    EXPECT_EQ(PageTouch(block.bytes, 17 * page - 1), 0u);
    EXPECT_EQ(PageTouch(block.bytes, 17 * page), 2u);
    EXPECT_EQ(PageTouch(block.bytes, 20 * page), 8u);
    // An unaligned start skips to the next page; only whole pages inside the range count.
    EXPECT_EQ(PageTouch(block.bytes + 1, 20 * page - 1), 6u);
    EXPECT_EQ(PageTouch(block.bytes + page - 1, 2), 0u);
    EXPECT_EQ(PageTouch(block.bytes + 1, 1), 0u);
    EXPECT_EQ(PageTouch(nullptr, 20 * page), 0u);
    EXPECT_EQ(PageTouch(block.bytes, 0), 0u);
}
