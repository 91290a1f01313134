#include "graphics/image/page_touch.h"

#include <gtest/gtest.h>

#include <new>

#include "graphics/platform/page_size.h"

using namespace gfx;

// Reads stay inside the range (the sanitizer build checks the block's edges).
TEST(PageTouch, ReadsTwoBytesPerPageAfterASixteenPageLead) {
    const size_t page = PageSize();
    ASSERT_EQ(page & (page - 1), 0u);
    auto* block = static_cast<unsigned char*>(operator new[](20 * page, std::align_val_t{page}));
    EXPECT_EQ(PageTouch(block, 17 * page - 1), 0u);
    EXPECT_EQ(PageTouch(block, 17 * page), 2u);
    EXPECT_EQ(PageTouch(block, 20 * page), 8u);
    EXPECT_EQ(PageTouch(block + 1, 20 * page - 1), 6u);  // starts at the next whole page
    EXPECT_EQ(PageTouch(block + page - 1, 2), 0u);
    EXPECT_EQ(PageTouch(nullptr, 20 * page), 0u);
    operator delete[](block, std::align_val_t{page});
}
