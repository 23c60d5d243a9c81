#include <gtest/gtest.h>

#include <thread>

#include "log/file_sink.h"
#include "log/log.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

TEST(Log, writes_reach_the_sinks_of_the_installed_context_only) {
    LogContext context;
    VectorMemoSink memo;
    StringTextSink file, console;
    context.memo = &memo;
    context.logFile = &file;
    context.console = &console;
    {
        ScopedLogContext scope(context);
        LogMemoF("MATERIAL_COUNT: %d", 2);
        LogFile("Side of poly [%5d]: %d (%s)\n", 3, 0, "xdInFront");
        LogConsole("@@ type %d\n", 6);
    }
    LogMemo("discarded: no context installed");
    EXPECT_EQ(memo.lines, (std::deque<std::string>{"MATERIAL_COUNT: 2"}));
    EXPECT_EQ(file.text(), "Side of poly [    3]: 0 (xdInFront)\n");
    EXPECT_EQ(console.text(), "@@ type 6\n");
}

TEST(Log, long_lines_are_formatted_whole) {
    LogContext context;
    StringTextSink file;
    context.logFile = &file;
    ScopedLogContext scope(context);
    const std::string name(5000, 'x');
    LogFile("[%s]", name.c_str());
    EXPECT_EQ(file.text(), "[" + name + "]");
}

TEST(Log, each_thread_has_its_own_counters) {
    LogContext mine;
    ScopedLogContext scope(mine);
    ProgressCounters().nodeCount = 5;
    std::thread other([] {
        LogContext theirs;
        ScopedLogContext inner(theirs);
        ProgressCounters().nodeCount = 9;
        EXPECT_EQ(ProgressCounters().nodeCount, 9);
    });
    other.join();
    EXPECT_EQ(ProgressCounters().nodeCount, 5);
}

class CountingSink : public CounterSink {
  public:
    void CountersChanged(const Counters& c) override { last = c, ++calls; }
    Counters last;
    int calls = 0;
};

TEST(Log, update_counters_hands_the_values_to_the_sink) {
    LogContext context;
    CountingSink sink;
    context.counterSink = &sink;
    ScopedLogContext scope(context);
    ProgressCounters().depth = 2;
    UpdateCounters();
    EXPECT_EQ(sink.calls, 1);
    EXPECT_EQ(sink.last.depth, 2);
}

// Several buffers' worth, in pieces of every size, from one thread and then
// another, as the threads of a compile take turns: the writer thread must
// lose, repeat and reorder nothing.
TEST(BufferedFileSink, writes_every_byte_in_order_whichever_thread_hands_it_over) {
    const testing::TempDir dir;
    const std::string path = (dir / "log.txt").string();
    BufferedFileSink sink;
    ASSERT_TRUE(sink.Open(path));
    std::string expected;
    const auto writeSome = [&sink, &expected](int seed) {
        for (int i = 0; i < 4000; ++i) {
            const std::string piece(static_cast<std::size_t>((i * 7919 + seed) % 5000),
                                    static_cast<char>('a' + (i + seed) % 26));
            sink.Write(piece);
            expected += piece;
        }
    };
    writeSome(1);
    sink.Flush();
    std::thread other([&] { writeSome(2); });
    other.join();
    writeSome(3);
    ASSERT_TRUE(sink.Close());
    const std::vector<uint8_t> written = testing::ReadBytes(path);
    EXPECT_GT(expected.size(), std::size_t{20} << 20);
    EXPECT_TRUE(std::string(written.begin(), written.end()) == expected);
}

}  // namespace
}  // namespace tarvel
