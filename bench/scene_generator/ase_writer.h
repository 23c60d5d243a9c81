#pragma once

#include "scene_generator/scene_model.h"
#include "scene_generator/text_out.h"

namespace tarvel::scenegen {

// Writes the scene in the layout a modeller's ASCII export has: header,
// SCENE, MATERIAL_LIST, then one GEOMOBJECT per mesh object, CR LF line ends.
void WriteAse(const GeneratedScene& scene, TextOut& out);

}  // namespace tarvel::scenegen
