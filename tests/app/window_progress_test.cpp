// The counter panels during a long build: refreshed at a bounded rate, and
// ending on the final values.

#include <QElapsedTimer>
#include <QEvent>

#include <random>
#include <sstream>

#include "window/background_work.h"
#include "window/counter_mailbox.h"
#include "window_fixture.h"

namespace tarvel::app {
namespace {

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
    int paints = 0;
};

// Scattered small triangles: a tree with many nodes and splits.
std::string ScatteredTriangles(int count) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> centre(-100, 100);
    std::uniform_real_distribution<double> offset(-5, 5);
    std::ostringstream ase;
    ase << "*GEOMOBJECT {\n*MESH {\n";
    for (int i = 0; i < 3 * count; i += 3) {
        const double cx = centre(random), cy = centre(random), cz = centre(random);
        for (int k = 0; k < 3; ++k) {
            ase << "*MESH_VERTEX " << i + k << ' ' << cx + offset(random) << ' '
                << cy + offset(random) << ' ' << cz + offset(random) << '\n';
        }
    }
    for (int f = 0; f < count; ++f) {
        ase << "*MESH_FACE " << f << ": A: " << 3 * f << " B: " << 3 * f + 1 << " C: " << 3 * f + 2
            << " AB: 1 BC: 1 CA: 1 *MESH_SMOOTHING 1 *MESH_MTLID 0\n";
    }
    ase << "}\n}\n";
    return ase.str();
}

TEST_F(Window, panels_refresh_at_a_bounded_rate_and_end_on_the_final_counts) {
    WriteFile("scattered.ase", ScatteredTriangles(800));
    Open();
    // The debug log is not what this measures.
    form_->Log().logFile = nullptr;
    Pick("scattered.ase");
    PaintCounter counter;
    Widget("Panel_Nodes").installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    Save("scattered.3do");
    const qint64 elapsedMs = clock.elapsed();
    ASSERT_EQ(form_->LastReport().status, ConvertStatus::Saved);
    // Thousands of counter changes; one refresh per tick, plus the last one.
    EXPECT_GT(form_->Log().counters.nodeCount, 500);
    EXPECT_LE(counter.paints, elapsedMs / kRefreshInterval.count() + 4) << elapsedMs << " ms";
    EXPECT_EQ(PanelTextsShown(), AsVector(PanelTexts(form_->Log().counters)));
}

}  // namespace
}  // namespace tarvel::app
