// The preview's modes, node stepping and texts over the data a pick and a
// BSP run of the window logic hand it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic_fixture.h"
#include "window/preview_logic.h"

namespace tarvel::window {
namespace {

class PreviewModes : public Logic {
  protected:
    // The example picked and saved as out.3do, handed to the preview.
    void PickAndSave() {
        Open();
        Pick(ExamplePath("village.ase"));
        Save("out.3do");
        preview_.SetScene(logic_->PickPreview());
        preview_.SetRun(logic_->RunPreview());
        ASSERT_NE(logic_->RunPreview(), nullptr);
        ASSERT_TRUE(logic_->RunPreview()->saved);
    }

    PreviewLogic preview_;
    std::vector<std::string> rejected_;
};

TEST_F(PreviewModes, steps_through_the_nodes_in_build_order_and_wraps_through_none) {
    PickAndSave();
    const int count = static_cast<int>(logic_->RunPreview()->tree.nodes.size());
    ASSERT_GT(count, 2);
    preview_.StepNode(1);
    EXPECT_EQ(preview_.Node(), -1);  // only the BSP view steps
    preview_.ToggleBsp();
    ASSERT_EQ(preview_.Mode(), PreviewMode::Bsp);
    struct Case {
        int step;
        int node;
    };
    const Case cases[] = {{1, 0},          {1, 1},  {-1, 0},         {-1, -1},
                          {-1, count - 1}, {1, -1}, {-3, count - 3}, {count + 1, count - 3}};
    for (const Case& c : cases) {
        preview_.StepNode(c.step);
        EXPECT_EQ(preview_.Node(), c.node) << c.step;
        EXPECT_EQ(preview_.Quad().has_value(), c.node >= 0) << c.step;
    }
    preview_.SetRun(logic_->RunPreview());
    EXPECT_EQ(preview_.Node(), -1);
}

TEST_F(PreviewModes, switches_views_only_to_what_there_is) {
    Open();
    Pick(ExamplePath("village.ase"));
    preview_.SetScene(logic_->PickPreview());
    preview_.ToggleBsp();
    preview_.ToggleFile();
    EXPECT_EQ(preview_.Mode(), PreviewMode::Scene);
    EXPECT_EQ(preview_.NodeText(), "Keys: 1-6 axis views, 0 iso, F fit, E edges.");

    PickAndSave();
    const PreviewScene& scene = *logic_->PickPreview();
    const PreviewRun& run = *logic_->RunPreview();
    struct Case {
        void (PreviewLogic::*toggle)();
        PreviewMode mode;
        const render::RenderMesh* mesh;
    };
    const Case cases[] = {
        {&PreviewLogic::ToggleBsp, PreviewMode::Bsp, &run.tree.mesh},
        {&PreviewLogic::ToggleFile, PreviewMode::File, nullptr},
        {&PreviewLogic::ToggleBsp, PreviewMode::Bsp, &run.tree.mesh},
        {&PreviewLogic::ToggleBsp, PreviewMode::Scene, &scene.mesh},
        {&PreviewLogic::ToggleFile, PreviewMode::File, nullptr},
        {&PreviewLogic::ToggleFile, PreviewMode::Scene, &scene.mesh},
    };
    for (const Case& c : cases) {
        (preview_.*c.toggle)();
        EXPECT_EQ(preview_.Mode(), c.mode);
        if (c.mesh) {
            EXPECT_EQ(preview_.Mesh(), c.mesh);
        }
    }
    preview_.SetScene(logic_->PickPreview());  // a new pick leaves the run behind
    preview_.ToggleBsp();
    EXPECT_EQ(preview_.Mode(), PreviewMode::Scene);
    EXPECT_FALSE(preview_.Controls().modeEnabled);
}

TEST_F(PreviewModes, status_names_the_run_and_the_file_shown) {
    PickAndSave();
    const std::string status = preview_.StatusText();
    EXPECT_NE(
        status.find("   |   Nodes: " + std::to_string(logic_->Log().counters.nodeCount) + "   "),
        std::string::npos)
        << status;
    EXPECT_NE(status.find(" bytes"), std::string::npos) << status;
    preview_.ToggleFile();
    EXPECT_EQ(preview_.StatusText().rfind("3DO file: out.3do   Polygons: 80   Vertices: 62", 0), 0u)
        << preview_.StatusText();
    EXPECT_EQ(preview_.Controls().fileText, "S&cene view");
}

// The file a run wrote is read when first shown; gone by then, it is
// reported once and no longer offered.
TEST_F(PreviewModes, a_written_file_that_no_longer_reads_is_reported_once) {
    PickAndSave();
    preview_.onFileRejected = [this](const std::string& message) { rejected_.push_back(message); };
    WriteFile(logic_->RunPreview()->path, "not a 3DO file");
    preview_.ToggleFile();
    preview_.ToggleFile();
    EXPECT_EQ(preview_.Mode(), PreviewMode::Scene);
    EXPECT_EQ(rejected_.size(), 1u);
    EXPECT_FALSE(preview_.Controls().fileEnabled);
    EXPECT_FALSE(preview_.OpenFile(logic_->RunPreview()->path));
    EXPECT_EQ(rejected_.size(), 2u);
    EXPECT_EQ(preview_.Mode(), PreviewMode::Scene);
}

}  // namespace
}  // namespace tarvel::window
