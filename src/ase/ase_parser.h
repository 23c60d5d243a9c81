#pragma once

#include "ase/ase_reader.h"
#include "ase/scene.h"

namespace tarvel {

// The memo keeps at most this many lines once a parse is over.
inline constexpr int kMemoLinesAfterParse = 200;

// One pass over the ASE text into a fresh scene and cupboard (both are
// emptied first). It never fails: keywords it does not know are skipped line
// by line, stray characters one at a time, missing values read as 0. At the
// end the memo is trimmed, the last material and object are added, the scene
// is compiled and the materials are dumped into the memo.
void ParseAse(AseReader& reader, Scene& scene, Cupboard& cupboard);

}  // namespace tarvel
