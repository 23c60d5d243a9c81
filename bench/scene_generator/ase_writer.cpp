#include "scene_generator/ase_writer.h"

namespace tarvel::scenegen {
namespace {

void Triple(TextOut& out, Vec3 v) {
    out.Fixed4(v.x).Put("\t").Fixed4(v.y).Put("\t").Fixed4(v.z);
}

void Line(TextOut& out, int tabs, std::string_view key, std::string_view rest) {
    out.Tabs(tabs).Put("*").Put(key).Put(" ").Put(rest).Eol();
}

void Quoted(TextOut& out, int tabs, std::string_view key, std::string_view text) {
    out.Tabs(tabs).Put("*").Put(key).Put(" \"").Put(text).Put("\"").Eol();
}

void ColourLine(TextOut& out, int tabs, std::string_view key, Vec3 colour) {
    out.Tabs(tabs).Put("*").Put(key).Put(" ");
    Triple(out, colour);
    out.Eol();
}

void WriteHeader(const GeneratedScene& scene, TextOut& out) {
    out.Put("*3DSMAX_ASCIIEXPORT\t200").Eol();
    Quoted(out, 0, "COMMENT", scene.comment);
    out.Put("*SCENE {").Eol();
    Quoted(out, 1, "SCENE_FILENAME", scene.fileName);
    Line(out, 1, "SCENE_FIRSTFRAME", "0");
    Line(out, 1, "SCENE_LASTFRAME", "100");
    Line(out, 1, "SCENE_FRAMESPEED", "30");
    Line(out, 1, "SCENE_TICKSPERFRAME", "160");
    ColourLine(out, 1, "SCENE_BACKGROUND_STATIC", {0, 0, 0});
    ColourLine(out, 1, "SCENE_AMBIENT_STATIC", {0.2, 0.2, 0.2});
    out.Put("}").Eol();
}

void WriteDiffuseMap(const MaterialDef& material, int tabs, TextOut& out) {
    out.Tabs(tabs).Put("*MAP_DIFFUSE {").Eol();
    Quoted(out, tabs + 1, "MAP_NAME", material.name + " map");
    Quoted(out, tabs + 1, "MAP_CLASS", "Bitmap");
    Line(out, tabs + 1, "MAP_SUBNO", "1");
    Line(out, tabs + 1, "MAP_AMOUNT", "1.0000");
    Quoted(out, tabs + 1, "BITMAP", material.bitmap);
    Line(out, tabs + 1, "MAP_TYPE", "Screen");
    Line(out, tabs + 1, "UVW_U_OFFSET", "0.0000");
    Line(out, tabs + 1, "UVW_V_OFFSET", "0.0000");
    Line(out, tabs + 1, "UVW_U_TILING", "1.0000");
    Line(out, tabs + 1, "UVW_V_TILING", "1.0000");
    Line(out, tabs + 1, "UVW_ANGLE", "0.0000");
    Line(out, tabs + 1, "UVW_BLUR", "1.0000");
    Line(out, tabs + 1, "BITMAP_FILTER", "Pyramidal");
    out.Tabs(tabs).Put("}").Eol();
}

// keyword is MATERIAL or SUBMATERIAL; sub-materials nest one level deeper.
void WriteMaterial(const MaterialDef& material, std::string_view keyword, int number, int tabs,
                   TextOut& out) {
    out.Tabs(tabs).Put("*").Put(keyword).Put(" ").Int(number).Put(" {").Eol();
    const int in = tabs + 1;
    Quoted(out, in, "MATERIAL_NAME", material.name);
    Quoted(out, in, "MATERIAL_CLASS",
           material.subMaterials.empty() ? "Standard" : "Multi/Sub-Object");
    ColourLine(out, in, "MATERIAL_AMBIENT", material.diffuse * 0.3);
    ColourLine(out, in, "MATERIAL_DIFFUSE", material.diffuse);
    ColourLine(out, in, "MATERIAL_SPECULAR", {0.9, 0.9, 0.9});
    Line(out, in, "MATERIAL_SHINE", "0.1000");
    Line(out, in, "MATERIAL_SHINESTRENGTH", "0.0000");
    Line(out, in, "MATERIAL_TRANSPARENCY", "0.0000");
    Line(out, in, "MATERIAL_WIRESIZE", "1.0000");
    Line(out, in, "MATERIAL_SHADING", "Blinn");
    if (!material.bitmap.empty()) {
        WriteDiffuseMap(material, in, out);
    }
    if (!material.subMaterials.empty()) {
        out.Tabs(in).Put("*NUMSUBMTLS ").Int(static_cast<int64_t>(material.subMaterials.size()));
        out.Eol();
        int sub = 0;
        for (const MaterialDef& child : material.subMaterials) {
            WriteMaterial(child, "SUBMATERIAL", sub++, in, out);
        }
    }
    out.Tabs(tabs).Put("}").Eol();
}

void WriteMaterialList(const GeneratedScene& scene, TextOut& out) {
    out.Put("*MATERIAL_LIST {").Eol();
    out.Tabs(1).Put("*MATERIAL_COUNT ").Int(static_cast<int64_t>(scene.materials.size())).Eol();
    int number = 0;
    for (const MaterialDef& material : scene.materials) {
        WriteMaterial(material, "MATERIAL", number++, 1, out);
    }
    out.Put("}").Eol();
}

void WriteNodeTm(const MeshObject& object, TextOut& out) {
    out.Tabs(1).Put("*NODE_TM {").Eol();
    Quoted(out, 2, "NODE_NAME", object.name);
    Line(out, 2, "INHERIT_POS", "0 0 0");
    Line(out, 2, "INHERIT_ROT", "0 0 0");
    Line(out, 2, "INHERIT_SCL", "0 0 0");
    ColourLine(out, 2, "TM_ROW0", {1, 0, 0});
    ColourLine(out, 2, "TM_ROW1", {0, 1, 0});
    ColourLine(out, 2, "TM_ROW2", {0, 0, 1});
    ColourLine(out, 2, "TM_ROW3", {0, 0, 0});
    ColourLine(out, 2, "TM_POS", {0, 0, 0});
    ColourLine(out, 2, "TM_ROTAXIS", {0, 0, 0});
    Line(out, 2, "TM_ROTANGLE", "0.0000");
    ColourLine(out, 2, "TM_SCALE", {1, 1, 1});
    ColourLine(out, 2, "TM_SCALEAXIS", {0, 0, 0});
    Line(out, 2, "TM_SCALEAXISANG", "0.0000");
    out.Tabs(1).Put("}").Eol();
}

void WriteVertices(const MeshObject& object, TextOut& out) {
    out.Tabs(2).Put("*MESH_VERTEX_LIST {").Eol();
    int64_t i = 0;
    for (Vec3 p : object.vertices) {
        out.Tabs(3).Put("*MESH_VERTEX ").Padded(i++, 4).Put("\t");
        Triple(out, p);
        out.Eol();
    }
    out.Tabs(2).Put("}").Eol();
}

void WriteFaces(const MeshObject& object, TextOut& out) {
    out.Tabs(2).Put("*MESH_FACE_LIST {").Eol();
    int64_t i = 0;
    for (const MeshFace& f : object.faces) {
        out.Tabs(3).Put("*MESH_FACE ").Padded(i++, 4).Put(":");
        out.Put("    A: ").Padded(f.a, 4).Put(" B: ").Padded(f.b, 4).Put(" C: ").Padded(f.c, 4);
        out.Put(" AB: ").Padded(f.ab ? 1 : 0, 4).Put(" BC: ").Padded(f.bc ? 1 : 0, 4);
        out.Put(" CA: ").Padded(f.ca ? 1 : 0, 4);
        out.Put("\t *MESH_SMOOTHING ").Int(f.smoothing).Put(" \t*MESH_MTLID ").Int(f.mtlid);
        out.Eol();
    }
    out.Tabs(2).Put("}").Eol();
}

void WriteTexture(const MeshObject& object, TextOut& out) {
    out.Tabs(2).Put("*MESH_NUMTVERTEX ").Int(static_cast<int64_t>(object.tverts.size())).Eol();
    out.Tabs(2).Put("*MESH_TVERTLIST {").Eol();
    int64_t i = 0;
    for (Vec2 t : object.tverts) {
        out.Tabs(3).Put("*MESH_TVERT ").Int(i++).Put("\t");
        Triple(out, {t.u, t.v, 0.0});
        out.Eol();
    }
    out.Tabs(2).Put("}").Eol();
    out.Tabs(2).Put("*MESH_NUMTVFACES ").Int(static_cast<int64_t>(object.faces.size())).Eol();
    out.Tabs(2).Put("*MESH_TFACELIST {").Eol();
    i = 0;
    for (const MeshFace& f : object.faces) {
        out.Tabs(3).Put("*MESH_TFACE ").Int(i++).Put("\t").Int(f.ta).Put("\t").Int(f.tb);
        out.Put("\t").Int(f.tc).Eol();
    }
    out.Tabs(2).Put("}").Eol();
}

// Flat shading: every corner takes its face's normal.
void WriteNormals(const MeshObject& object, TextOut& out) {
    out.Tabs(2).Put("*MESH_NORMALS {").Eol();
    int64_t i = 0;
    for (const MeshFace& f : object.faces) {
        const Vec3 a = object.vertices[static_cast<std::size_t>(f.a)];
        const Vec3 b = object.vertices[static_cast<std::size_t>(f.b)];
        const Vec3 c = object.vertices[static_cast<std::size_t>(f.c)];
        const Vec3 n = Normalize(Cross(b - a, c - a));
        out.Tabs(3).Put("*MESH_FACENORMAL ").Int(i++).Put("\t");
        Triple(out, n);
        out.Eol();
        for (int32_t corner : {f.a, f.b, f.c}) {
            out.Tabs(4).Put("*MESH_VERTEXNORMAL ").Int(corner).Put("\t");
            Triple(out, n);
            out.Eol();
        }
    }
    out.Tabs(2).Put("}").Eol();
}

void WriteGeomObject(const MeshObject& object, TextOut& out) {
    out.Put("*GEOMOBJECT {").Eol();
    Quoted(out, 1, "NODE_NAME", object.name);
    WriteNodeTm(object, out);
    out.Tabs(1).Put("*MESH {").Eol();
    Line(out, 2, "TIMEVALUE", "0");
    out.Tabs(2).Put("*MESH_NUMVERTEX ").Int(static_cast<int64_t>(object.vertices.size())).Eol();
    out.Tabs(2).Put("*MESH_NUMFACES ").Int(static_cast<int64_t>(object.faces.size())).Eol();
    WriteVertices(object, out);
    WriteFaces(object, out);
    WriteTexture(object, out);
    Line(out, 2, "MESH_NUMCVERTEX", "0");
    WriteNormals(object, out);
    out.Tabs(1).Put("}").Eol();
    Line(out, 1, "PROP_MOTIONBLUR", "0");
    Line(out, 1, "PROP_CASTSHADOW", "1");
    Line(out, 1, "PROP_RECVSHADOW", "1");
    out.Tabs(1).Put("*MATERIAL_REF ").Int(object.materialRef).Eol();
    ColourLine(out, 1, "WIREFRAME_COLOR", object.wireColour);
    out.Put("}").Eol();
}

}  // namespace

void WriteAse(const GeneratedScene& scene, TextOut& out) {
    WriteHeader(scene, out);
    WriteMaterialList(scene, out);
    for (const MeshObject& object : scene.objects) {
        WriteGeomObject(object, out);
    }
}

}  // namespace tarvel::scenegen
