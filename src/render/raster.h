#pragma once

// Drawing primitives over one thread's share of the rows. Every thread sees
// every shape and touches only the rows it owns, so no two threads write the
// same pixel and nothing is locked.

#include "render/frame_buffer.h"
#include "render/renderer.h"

namespace tarvel::render {

class RowShare {
  public:
    static constexpr int kBandRows = 8;

    RowShare(int index, int count) : index_(index), count_(count) {}
    // Thin interleaved bands keep the threads' loads even wherever the scene
    // sits on the screen.
    bool Owns(int y) const { return (y / kBandRows) % count_ == index_; }

  private:
    int index_;
    int count_;
};

void ClearRows(FrameBuffer& fb, Rgba background, const RowShare& rows);
// Depth-tested and depth-writing.
void FillTriangle(FrameBuffer& fb, const ScreenTri& tri, const RowShare& rows);
// Depth-tested against a slightly nearer depth, so edges on their own
// polygon show; writes no depth.
void DrawLine(FrameBuffer& fb, const ScreenLine& line, const RowShare& rows);
// Depth-tested, mixed into what is there; writes no depth.
void BlendTriangle(FrameBuffer& fb, const ScreenTri& tri, float alpha, const RowShare& rows);

}  // namespace tarvel::render
