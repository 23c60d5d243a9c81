#include "ase/ase_parser.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "log/log.h"

namespace tarvel {

namespace {

// Numbering wraps instead of overflowing: no file holds 2^31 materials, but a
// hostile one must not reach undefined behaviour.
int32_t Plus(int32_t value, int32_t step) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(step));
}

class AseParser {
  public:
    AseParser(AseReader& reader, Scene& scene, Cupboard& cupboard)
        : in_(reader), scene_(scene), cupboard_(cupboard) {}

    void Run();

    using Handler = void (AseParser::*)();
    struct Keyword {
        std::string_view name;
        Handler handler;
    };

    void SceneAmbientStatic();
    void MaterialCount();
    void MaterialStart();
    void MaterialDiffuse();
    void NumSubMaterials();
    void SubMaterialStart();
    void Bitmap();
    void GeomObjectStart();
    void MeshVertex();
    void MeshFace();
    void MeshTVert();
    void MeshTFace();
    void MeshFaceMap();
    void MeshFaceMapVert();
    void MeshFaceNormal();
    void MaterialRef();
    void WireframeColor();
    void Skip() { in_.SkipLine(); }

    // Three floats in file order (statements, because the order of function
    // arguments is unspecified).
    void ReadFloats(float& x, float& y, float& z) {
        x = in_.ReadFloat();
        y = in_.ReadFloat();
        z = in_.ReadFloat();
    }

  private:
    void Dispatch(const std::string& name);
    void Finish();
    void StoreMaterial();

    AseReader& in_;
    Scene& scene_;
    Cupboard& cupboard_;
    std::optional<Material> material_;
    int32_t materialNumber_ = -1;
    int32_t subMaterialNumber_ = -1;
    std::optional<GeomObject> geom_;
    int32_t faceMaps_ = 0;
    int32_t faceMapVerts_ = 0;
    std::string token_;
};

// Sorted by name for the binary search; compared exactly and case-sensitively
// with the whole token. The counts and vertex normals are listed to say that
// they are skipped on purpose; any other token is skipped the same way.
constexpr std::array<AseParser::Keyword, 23> kKeywords = {{
    {"BITMAP", &AseParser::Bitmap},
    {"GEOMOBJECT", &AseParser::GeomObjectStart},
    {"MATERIAL", &AseParser::MaterialStart},
    {"MATERIAL_COUNT", &AseParser::MaterialCount},
    {"MATERIAL_DIFFUSE", &AseParser::MaterialDiffuse},
    {"MATERIAL_REF", &AseParser::MaterialRef},
    {"MESH_FACE", &AseParser::MeshFace},
    {"MESH_FACEMAP", &AseParser::MeshFaceMap},
    {"MESH_FACEMAPVERT", &AseParser::MeshFaceMapVert},
    {"MESH_FACENORMAL", &AseParser::MeshFaceNormal},
    {"MESH_NUMCVERTEX", &AseParser::Skip},
    {"MESH_NUMFACES", &AseParser::Skip},
    {"MESH_NUMTVERTEX", &AseParser::Skip},
    {"MESH_NUMTVFACES", &AseParser::Skip},
    {"MESH_NUMVERTEX", &AseParser::Skip},
    {"MESH_TFACE", &AseParser::MeshTFace},
    {"MESH_TVERT", &AseParser::MeshTVert},
    {"MESH_VERTEX", &AseParser::MeshVertex},
    {"MESH_VERTEXNORMAL", &AseParser::Skip},
    {"NUMSUBMTLS", &AseParser::NumSubMaterials},
    {"SCENE_AMBIENT_STATIC", &AseParser::SceneAmbientStatic},
    {"SUBMATERIAL", &AseParser::SubMaterialStart},
    {"WIREFRAME_COLOR", &AseParser::WireframeColor},
}};

constexpr bool ByName(const AseParser::Keyword& x, const AseParser::Keyword& y) {
    return x.name < y.name;
}
static_assert(std::is_sorted(kKeywords.begin(), kKeywords.end(), ByName));

void AseParser::Run() {
    LogMemo("Parsing file...");
    bool done = false;
    // Each step takes at least one character and at most about one line.
    constexpr uint32_t kStepsBetweenStopChecks = 4096;
    uint32_t steps = 0;
    while (!in_.AtEnd() && !done) {
        if (++steps % kStepsBetweenStopChecks == 0) {
            ThrowIfStopped();
        }
        const char c = in_.ReadChar();
        if (c == '*') {
            in_.ReadToken(token_);
            Dispatch(token_);
        } else if (c == '}') {
            in_.SkipLine();
        } else if (c == '\n') {
            // Only blanks were left before the end of a file that ends with a
            // line break: the reader hands back that final line feed.
            LogMemo("\\n, assuming eof");
            done = true;
        }
        // Anything else (an opening brace, a stray value) is dropped.
    }
    Finish();
}

void AseParser::Dispatch(const std::string& name) {
    const auto* found = std::lower_bound(kKeywords.begin(), kKeywords.end(),
                                         AseParser::Keyword{name, nullptr}, ByName);
    if (found != kKeywords.end() && found->name == name) {
        (this->*found->handler)();
    } else {
        in_.SkipLine();
    }
}

void AseParser::Finish() {
    if (MemoSink* memo = CurrentLog().memo) {
        while (memo->LineCount() > kMemoLinesAfterParse) {
            memo->DeleteFirstLine();
        }
    }
    StoreMaterial();
    if (geom_) {
        LogMemo("Adding last geom to scene");
        scene_.AddGeom(std::move(*geom_));
        geom_.reset();
    }
    LogMemo("Compiling geoms into scene");
    scene_.Compile();
    cupboard_.Dump();
}

// A material enters the cupboard when the next block starts, so a parent
// always stands before its sub-materials.
void AseParser::StoreMaterial() {
    if (material_) {
        cupboard_.Add(std::move(*material_));
        material_.reset();
    }
}

// Read and dropped, without skipping the rest of the line.
void AseParser::SceneAmbientStatic() {
    float r = 0, g = 0, b = 0;
    ReadFloats(r, g, b);
}

void AseParser::MaterialCount() {
    const int32_t count = in_.ReadInt();
    in_.SkipLine();
    LogMemoF("MATERIAL_COUNT: %d", count);
}

// Materials are numbered in file order; the number the file writes is unused.
void AseParser::MaterialStart() {
    StoreMaterial();
    materialNumber_ = Plus(materialNumber_, 1);
    material_.emplace();
    material_->id = materialNumber_;
    subMaterialNumber_ = -1;
    in_.SkipLine();
}

void AseParser::MaterialDiffuse() {
    float r = 0, g = 0, b = 0;
    ReadFloats(r, g, b);
    if (material_) {
        material_->colour = Colour{r, g, b};
    }
    LogMemoF("MATERIAL_DIFFUSE: %f, %f, %f", r, g, b);
    in_.SkipLine();
}

void AseParser::NumSubMaterials() {
    in_.ReadInt();
    in_.SkipLine();
}

void AseParser::SubMaterialStart() {
    StoreMaterial();
    subMaterialNumber_ = Plus(subMaterialNumber_, 1);
    material_.emplace();
    material_->id = materialNumber_;
    material_->submtlid = subMaterialNumber_;
    in_.SkipLine();
}

// Every map block's BITMAP lands here, so the last one of a material wins.
void AseParser::Bitmap() {
    std::string text = in_.ReadQuoted();
    if (material_) {
        material_->SetBitmap(std::move(text));
    }
    in_.SkipLine();
}

void AseParser::GeomObjectStart() {
    StoreMaterial();
    if (geom_) {
        scene_.AddGeom(std::move(*geom_));
    }
    in_.SkipLine();
    geom_.emplace();
    faceMaps_ = 0;
    faceMapVerts_ = 0;
}

void AseParser::MeshVertex() {
    Vertex v;
    v.index = in_.ReadInt();
    ReadFloats(v.x, v.y, v.z);
    if (geom_) {
        geom_->AddVertex(v);
    }
}

// "0:  A: 0 B: 2 C: 3 AB: 1 BC: 1 CA: 0  *MESH_SMOOTHING 2  *MESH_MTLID 1".
// The field names are read as tokens and not checked, so a value missing
// from the line shifts the reads: a comma list after MESH_SMOOTHING leaves
// mtlid at 0 and the MESH_MTLID keyword to the main loop. The rest of the
// line is not skipped.
void AseParser::MeshFace() {
    Face face;
    face.index = in_.ReadInt();
    in_.ReadChar();
    int32_t* const corners[3] = {&face.a, &face.b, &face.c};
    for (int32_t* corner : corners) {
        in_.ReadToken(token_);
        *corner = in_.ReadInt();
    }
    for (int edge = 0; edge < 3; ++edge) {
        in_.ReadToken(token_);
        in_.ReadInt();
    }
    in_.ReadToken(token_);
    face.smoothing = in_.ReadInt();
    in_.ReadToken(token_);
    face.mtlid = in_.ReadInt();
    if (geom_) {
        geom_->AddFace(face);
    }
}

void AseParser::MeshTVert() {
    TVertex t;
    t.index = in_.ReadInt();
    ReadFloats(t.u, t.v, t.w);
    if (geom_) {
        geom_->AddTVertex(t);
    }
}

void AseParser::MeshTFace() {
    TFace t;
    t.index = in_.ReadInt();
    t.a = in_.ReadInt();
    t.b = in_.ReadInt();
    t.c = in_.ReadInt();
    if (geom_) {
        geom_->AddTFace(t);
    }
}

// Face maps give each face three texture vertices of its own, in the order
// of the MESH_FACEMAPVERT lines that follow.
void AseParser::MeshFaceMap() {
    TFace t;
    t.index = faceMaps_;
    t.a = faceMapVerts_;
    t.b = Plus(faceMapVerts_, 1);
    t.c = Plus(faceMapVerts_, 2);
    if (geom_) {
        geom_->AddTFace(t);
    }
    faceMaps_ = Plus(faceMaps_, 1);
    in_.SkipLine();
}

void AseParser::MeshFaceMapVert() {
    TVertex t;
    t.index = faceMapVerts_;
    ReadFloats(t.u, t.v, t.w);
    faceMapVerts_ = Plus(faceMapVerts_, 1);
    in_.SkipLine();
    if (geom_) {
        geom_->AddTVertex(t);
    }
}

void AseParser::MeshFaceNormal() {
    Normal n;
    n.index = in_.ReadInt();
    ReadFloats(n.x, n.y, n.z);
    if (geom_) {
        geom_->AddNormal(n);
    }
    in_.SkipLine();
}

// MATERIAL_REF and WIREFRAME_COLOR follow the mesh, so they stamp every face.
void AseParser::MaterialRef() {
    const int32_t ref = in_.ReadInt();
    if (geom_) {
        geom_->SetMaterialRef(ref);
    }
    in_.SkipLine();
}

void AseParser::WireframeColor() {
    float r = 0, g = 0, b = 0;
    ReadFloats(r, g, b);
    if (geom_) {
        geom_->SetWireframeColour(r, g, b);
    }
    in_.SkipLine();
}

}  // namespace

void ParseAse(AseReader& reader, Scene& scene, Cupboard& cupboard) {
    scene = Scene{};
    cupboard = Cupboard{};
    AseParser(reader, scene, cupboard).Run();
}

}  // namespace tarvel
