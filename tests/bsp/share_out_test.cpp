#include "bsp/parallel/share_out.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <stdexcept>

namespace tarvel {
namespace {

TEST(ShareOut, a_throw_on_any_thread_comes_out_once_all_have_finished) {
    constexpr std::size_t kWorkers = 4;
    for (std::size_t thrower = 0; thrower < kWorkers; ++thrower) {
        SCOPED_TRACE(thrower);
        std::atomic<std::size_t> finished{0};
        const auto work = [&](std::size_t begin, std::size_t) {
            if (begin == thrower) {
                throw std::runtime_error("helper failed");
            }
            finished.fetch_add(1);
        };
        EXPECT_THROW(ShareOut(kWorkers, work), std::runtime_error);
        EXPECT_EQ(finished.load(), kWorkers - 1);
    }
}

}  // namespace
}  // namespace tarvel
