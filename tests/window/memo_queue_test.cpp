#include "window/memo_queue.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tarvel::window {
namespace {

// What the memo widget does with a batch.
void Apply(const MemoQueue::Batch& batch, std::vector<std::string>& widget) {
    const auto drop =
        std::min<std::size_t>(static_cast<std::size_t>(batch.deleteFirst), widget.size());
    widget.erase(widget.begin(), widget.begin() + static_cast<std::ptrdiff_t>(drop));
    widget.insert(widget.end(), batch.lines.begin(), batch.lines.end());
}

// The queue, seen through the widget, must behave like a memo that shows
// every line at once, however the window's refreshes fall between the calls.
TEST(MemoQueue, matches_an_immediate_memo_whenever_the_window_refreshes) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        MemoQueue queue;
        VectorMemoSink reference;
        std::vector<std::string> widget;
        for (int step = 0; step < 60; ++step) {
            const int what = std::uniform_int_distribution<int>(0, 9)(random);
            if (what < 5) {
                const std::string line = "line " + std::to_string(step);
                queue.AppendLine(line);
                reference.AppendLine(line);
            } else if (what < 8) {
                queue.DeleteFirstLine();
                reference.DeleteFirstLine();
            } else {
                Apply(queue.Take(), widget);
            }
            ASSERT_EQ(queue.LineCount(), reference.LineCount()) << "round " << round;
        }
        Apply(queue.Take(), widget);
        EXPECT_EQ(widget, std::vector<std::string>(reference.lines.begin(), reference.lines.end()));
    }
}

TEST(MemoQueue, trim_of_a_long_parse_leaves_only_the_last_lines_to_show) {
    MemoQueue queue;
    std::vector<std::string> widget;
    queue.AppendLine("shown before the parse");
    Apply(queue.Take(), widget);
    for (int i = 0; i < 1000; ++i) {
        queue.AppendLine(std::to_string(i));
    }
    while (queue.LineCount() > 200) {
        queue.DeleteFirstLine();
    }
    const MemoQueue::Batch batch = queue.Take();
    // Lines never shown are dropped from the queue, not sent to be deleted.
    EXPECT_EQ(batch.deleteFirst, 1);
    EXPECT_EQ(batch.lines.size(), 200u);
    Apply(batch, widget);
    EXPECT_EQ(widget.front(), "800");
    EXPECT_EQ(widget.back(), "999");
}

TEST(MemoQueue, clear_forgets_shown_and_pending_lines) {
    MemoQueue queue;
    queue.AppendLine("a");
    queue.Take();
    queue.AppendLine("b");
    queue.DeleteFirstLine();
    queue.Clear();
    EXPECT_EQ(queue.LineCount(), 0);
    EXPECT_TRUE(queue.Take().Empty());
    queue.DeleteFirstLine();
    EXPECT_TRUE(queue.Take().Empty());
}

}  // namespace
}  // namespace tarvel::window
