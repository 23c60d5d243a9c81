#include <QCheckBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/preview_canvas.h"
#include "app/preview_window.h"
#include "window_fixture.h"

namespace tarvel::app {
namespace {

// Two squares side by side in z = 0: material 0 red on the left (x < 0),
// material 1 blue on the right.
std::string TwoMaterialScene() {
    std::string ase =
        "*3DSMAX_ASCIIEXPORT\t200\n*MATERIAL_LIST {\n\t*MATERIAL_COUNT 2\n"
        "\t*MATERIAL 0 {\n\t\t*MATERIAL_DIFFUSE 1.0000\t0.0000\t0.0000\n\t}\n"
        "\t*MATERIAL 1 {\n\t\t*MATERIAL_DIFFUSE 0.0000\t0.0000\t1.0000\n\t}\n}\n";
    for (int m = 0; m < 2; ++m) {
        const int x0 = m == 0 ? -20 : 0;
        const std::string a = std::to_string(x0), b = std::to_string(x0 + 20);
        ase += "*GEOMOBJECT {\n\t*MESH {\n\t\t*MESH_VERTEX_LIST {\n";
        ase += "\t\t\t*MESH_VERTEX 0\t" + a + ".0\t-10.0\t0.0\n";
        ase += "\t\t\t*MESH_VERTEX 1\t" + b + ".0\t-10.0\t0.0\n";
        ase += "\t\t\t*MESH_VERTEX 2\t" + b + ".0\t10.0\t0.0\n";
        ase += "\t\t\t*MESH_VERTEX 3\t" + a + ".0\t10.0\t0.0\n\t\t}\n";
        ase += "\t\t*MESH_FACE_LIST {\n";
        ase +=
            "\t\t\t*MESH_FACE 0: A: 0 B: 1 C: 2 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 1 "
            "*MESH_MTLID 0\n";
        ase +=
            "\t\t\t*MESH_FACE 1: A: 0 B: 2 C: 3 AB: 1 BC: 1 CA: 0 *MESH_SMOOTHING 1 "
            "*MESH_MTLID 0\n\t\t}\n\t}\n";
        ase += "\t*MATERIAL_REF " + std::to_string(m) + "\n}\n";
    }
    return ase;
}

class Preview : public Window {
  protected:
    std::string WriteScene() {
        const std::string path = (dir_ / "two.ase").string();
        WriteFile(path, TwoMaterialScene());
        return path;
    }
    PreviewWindow& OpenPreview() {
        Widget<QPushButton>("Button6").click();
        EXPECT_NE(form_->Preview(), nullptr);
        return *form_->Preview();
    }
};

TEST_F(Preview, button_sits_under_clear_log_and_waits_for_a_pick) {
    Open();
    auto& preview = Widget<QPushButton>("Button6");
    const auto& clear = Widget<QPushButton>("Button5");
    EXPECT_EQ(preview.text().toStdString(), "Pre&view...");
    EXPECT_EQ(preview.size(), clear.size());
    EXPECT_EQ(preview.x(), clear.x());
    EXPECT_GT(preview.y(), clear.y());
    EXPECT_FALSE(preview.isEnabled());
    Pick(std::nullopt);
    EXPECT_FALSE(preview.isEnabled());
    Pick(WriteScene());
    EXPECT_TRUE(preview.isEnabled());
}

TEST_F(Preview, opens_once_and_shows_the_materials_in_their_colours) {
    Open();
    Pick(WriteScene());
    PreviewWindow& preview = OpenPreview();
    EXPECT_TRUE(preview.isVisible());
    Widget<QPushButton>("Button6").click();
    EXPECT_EQ(form_->Preview(), &preview);  // raised, not a second one
    EXPECT_EQ(form_->findChildren<PreviewWindow*>().size(), 1);

    preview.Canvas().resize(200, 150);
    preview.Canvas().ShowAxis(render::ViewAxis::Top);
    const QImage image = preview.Canvas().Render();
    ASSERT_EQ(image.size(), QSize(200, 150));
    const QColor left = image.pixelColor(70, 75), right = image.pixelColor(130, 75);
    EXPECT_GT(left.red(), 100);
    EXPECT_LT(left.blue(), 40);
    EXPECT_GT(right.blue(), 100);
    EXPECT_LT(right.red(), 40);
    EXPECT_NE(image.pixelColor(2, 2), left);  // background round the scene
    EXPECT_EQ(preview.StatusText().toStdString(),
              "Objects: 2   Materials: 2   Polygons: 4   Vertices: 8");
}

TEST_F(Preview, bsp_view_after_a_run_steps_through_the_nodes) {
    Open();
    Pick(ExamplePath("village.ase"));
    PreviewWindow& preview = OpenPreview();
    auto& mode = *preview.findChild<QPushButton*>("ModeButton");
    EXPECT_FALSE(mode.isEnabled());
    Save("village.3do");
    ASSERT_TRUE(mode.isEnabled());
    mode.click();
    EXPECT_EQ(preview.CurrentMode(), PreviewWindow::Mode::Bsp);

    const QImage plain = preview.Canvas().Render().copy();
    preview.StepNode(1);
    EXPECT_EQ(preview.CurrentNode(), 0);
    const auto* nodeLine = preview.findChild<QLabel*>("NodeStatus");
    EXPECT_TRUE(nodeLine->text().startsWith("Node 1 of ")) << nodeLine->text().toStdString();
    EXPECT_NE(preview.Canvas().Render(), plain);  // the splitter quad shows

    Pick(ExamplePath("village.ase"));  // a new pick leaves the run behind
    EXPECT_FALSE(mode.isEnabled());
}

TEST_F(Preview, dropping_a_scene_file_picks_it) {
    Open();
    const std::string path = WriteScene();
    const std::string obj = (dir_ / "triangle.obj").string();
    std::ofstream(obj) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    struct Case {
        std::string file;
        bool picked;
    };
    const Case cases[] = {{(dir_ / "notes.txt").string(), false}, {obj, true}, {path, true}};
    for (const Case& c : cases) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(c.file))});
        // Qt hands a drop only to a widget that took the drag when it entered.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(form_.get(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.picked) << c.file;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form_.get(), &drop);
        WaitIdle();
        EXPECT_EQ(form_->Imported() != nullptr, c.picked) << c.file;
    }
    EXPECT_EQ(form_->FileName(), path);
    EXPECT_EQ(form_->Imported()->polys.Count(), 4);
    EXPECT_EQ(form_->Log().counters.inputPolys, 4);
}

TEST_F(Preview, switches_between_the_scene_and_the_file_just_written) {
    Open();
    Pick(ExamplePath("village.ase"));
    PreviewWindow& preview = OpenPreview();
    auto& file = *preview.findChild<QPushButton*>("FileButton");
    EXPECT_FALSE(file.isEnabled());
    Save("village.3do");
    EXPECT_EQ(form_->statusBar()->currentMessage().toStdString(), "flat lists: none");
    ASSERT_TRUE(file.isEnabled());
    const QImage scene = preview.Canvas().Render().copy();
    file.click();
    EXPECT_EQ(preview.CurrentMode(), PreviewWindow::Mode::File);
    // The clipper walls are in the scene only; the camera stays where it was.
    EXPECT_NE(preview.Canvas().Render(), scene);
    file.click();
    EXPECT_EQ(preview.CurrentMode(), PreviewWindow::Mode::Scene);
    EXPECT_EQ(preview.Canvas().Render(), scene);
}

TEST_F(Preview, a_dropped_3do_file_is_shown_or_its_problem_goes_to_the_memo) {
    Open();
    Pick(WriteScene());
    const std::string good = Save("two.3do");
    const std::string bad = (dir_ / "bad.3do").string();
    WriteFile(bad, ReadFile(good).substr(0, 40));
    struct Case {
        std::string file;
        bool shown;
    };
    for (const Case& c : {Case{bad, false}, Case{good, true}}) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(c.file))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(form_.get(), &enter);
        EXPECT_TRUE(enter.isAccepted()) << c.file;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form_.get(), &drop);
        // Neither file replaces the picked scene.
        EXPECT_EQ(form_->Imported()->polys.Count(), 4) << c.file;
        const bool shown = form_->Preview() != nullptr && form_->Preview()->isVisible() &&
                           form_->Preview()->CurrentMode() == PreviewWindow::Mode::File;
        EXPECT_EQ(shown, c.shown) << c.file;
    }
    const std::vector<std::string> memo = MemoLines();
    EXPECT_EQ(std::count_if(memo.begin(), memo.end(),
                            [&](const std::string& line) { return line.starts_with(bad + ": "); }),
              1);
    EXPECT_EQ(form_->Preview()->StatusText().toStdString().rfind("3DO file: two.3do", 0), 0u);
}

}  // namespace
}  // namespace tarvel::app
