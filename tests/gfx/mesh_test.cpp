// Meshes: the .mesh format's loading rules and refusals, geometry helpers, xml3d conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "../support/scratch_dir.h"
#include "gfx/gl_mesh.h"
#include "gfx/mesh.h"
#include "gfx/xml3d.h"
#include "xml/document.h"
#include "xml/error.h"

namespace {

// A mesh that is never drawn.
class TDataMesh : public TMesh {
public:
  void Draw() override {}
};

std::string Vertex(int Id, const std::string& Body) {
  return "<VERTEX id=\"" + std::to_string(Id) + "\">" + Body + "</VERTEX>";
}

std::string Face(int Id, const std::string& Body) {
  return "<FACE id=\"" + std::to_string(Id) + "\">" + Body + "</FACE>";
}

std::string MeshText(int Faces, int Points, const std::string& PointsBody,
                     const std::string& FacesBody, const std::string& Name = "box") {
  return "<MESH><NAME>" + Name + "</NAME><FACECOUNT>" + std::to_string(Faces) +
         "</FACECOUNT><POINTCOUNT>" + std::to_string(Points) + "</POINTCOUNT><POINTS>" +
         PointsBody + "</POINTS><FACES>" + FacesBody + "</FACES></MESH>";
}

void Load(TMesh& Mesh, const std::string& Text) {
  std::istringstream in(Text);
  Mesh.LoadFrom(in);
}

const std::string P0 = "<X>0</X><Y>0</Y><Z>0</Z>";
const std::string P1 = "<X>1</X><Y>0</Y><Z>0</Z>";
const std::string P2 = "<X>0</X><Y>1</Y><Z>0</Z>";
const std::string ABC = "<A>0</A><B>1</B><C>2</C>";

TEST(MeshLoading, ReadsEveryFieldOfTheFormat) {
  TDataMesh mesh;
  Load(mesh, "<?xml version=\"1.0\"?><anything><NAME>tri</NAME><FACECOUNT>1</FACECOUNT>"
             "<POINTCOUNT>3</POINTCOUNT><POINTS>" +
                 Vertex(0, "<X>1.5</X><Y>-2</Y><Z>3e2</Z><NX>0</NX><NY>0</NY><NZ>1</NZ>"
                           "<U>0.25</U><V>0.75</V>") +
                 Vertex(1, P1) + Vertex(2, P2) + "</POINTS><FACES>" +
                 Face(0, ABC + "<AU>0.1</AU><AV>0.2</AV><BU>0.3</BU><BV>0.4</BV><CU>0.5</CU>"
                               "<CV>0.6</CV><NX>0</NX><NY>-1</NY><NZ>0</NZ><SMOOTH>0</SMOOTH>") +
                 "</FACES></anything>");
  EXPECT_EQ(mesh.GetName(), "tri");
  ASSERT_EQ(mesh.FNumVertex, 3);
  ASSERT_EQ(mesh.FNumFace, 1);
  const TVertex& v = mesh.Vertex[0];
  EXPECT_FLOAT_EQ(v.X, 1.5f);
  EXPECT_FLOAT_EQ(v.Y, -2);
  EXPECT_FLOAT_EQ(v.Z, 300);
  EXPECT_FLOAT_EQ(v.NZ, 1);
  EXPECT_FLOAT_EQ(v.TU, 0.25f);
  EXPECT_FLOAT_EQ(v.TV, 0.75f);
  const TFace& f = mesh.Face[0];
  EXPECT_EQ(f.Point, (std::array<std::int32_t, 3>{0, 1, 2}));
  EXPECT_FLOAT_EQ(f.UV[0].U, 0.1f);
  EXPECT_FLOAT_EQ(f.UV[1].V, 0.4f);
  EXPECT_FLOAT_EQ(f.UV[2].U, 0.5f);
  EXPECT_FLOAT_EQ(f.NY, -1);
  EXPECT_FALSE(f.Smooth);
  EXPECT_EQ(mesh.Radius, 0) << "the radius is not computed at load";
}

TEST(MeshLoading, IdsInAnyOrderLaterDuplicatesWinMissingSlotsStayZero) {
  TDataMesh mesh;
  Load(mesh, MeshText(1, 4,
                      Vertex(2, P2) + Vertex(0, "<X>9</X><Y>9</Y><Z>9</Z>") + Vertex(1, P1) +
                          Vertex(0, P0) + "<COMMENTISH/>",
                      Face(0, "<A>3</A><B>1</B><C>2</C>")));
  EXPECT_EQ(mesh.Vertex[0].X, 0) << "the later element with id 0 overwrote the first";
  EXPECT_EQ(mesh.Vertex[1].X, 1);
  EXPECT_EQ(mesh.Vertex[2].Y, 1);
  EXPECT_EQ(mesh.Vertex[3].X, 0);
  EXPECT_EQ(mesh.Vertex[3].Y, 0);
  EXPECT_EQ(mesh.Face[0].Point[0], 3);
}

TEST(MeshLoading, SmoothRulesAndOptionalChildren) {
  struct TCase {
    const char* Smooth; // nullptr: no SMOOTH element
    bool Expected;
  };
  const TCase cases[] = {{nullptr, true}, {"0", false}, {"1", true},
                         {"no", true},    {"00", true}, {"", true}};
  for (const TCase& c : cases) {
    TDataMesh mesh;
    const std::string smooth = c.Smooth ? std::string("<SMOOTH>") + c.Smooth + "</SMOOTH>" : "";
    Load(mesh,
         MeshText(1, 3, Vertex(0, P0) + Vertex(1, P1) + Vertex(2, P2), Face(0, ABC + smooth)));
    EXPECT_EQ(mesh.Face[0].Smooth, c.Expected) << (c.Smooth ? c.Smooth : "(absent)");
    EXPECT_EQ(mesh.Face[0].UV[1].U, 0) << "left-out corner coordinates are zero";
    EXPECT_EQ(mesh.Face[0].NX, 0);
    EXPECT_EQ(mesh.Vertex[1].NX, 0) << "left-out vertex normals are zero";
    EXPECT_EQ(mesh.Vertex[1].TU, 0);
  }
}

// Each broken document makes LoadFrom raise.
TEST(MeshLoading, RefusesBrokenDocuments) {
  const std::string points = Vertex(0, P0) + Vertex(1, P1) + Vertex(2, P2);
  const struct {
    const char* What;
    std::string Text;
  } cases[] = {
      {"not XML", "<MESH><NAME>x</NAME>"},
      {"no NAME", "<MESH><FACECOUNT>0</FACECOUNT><POINTCOUNT>0</POINTCOUNT></MESH>"},
      {"no FACECOUNT", "<MESH><NAME>x</NAME><POINTCOUNT>0</POINTCOUNT></MESH>"},
      {"count not a number",
       "<MESH><NAME>x</NAME><FACECOUNT>z</FACECOUNT><POINTCOUNT>0</POINTCOUNT></MESH>"},
      {"negative count", MeshText(-1, 3, points, "")},
      {"count larger than the document could hold", MeshText(1, 100000000, points, "")},
      {"vertex without id", MeshText(0, 1, "<VERTEX>" + P0 + "</VERTEX>", "")},
      {"vertex id not decimal", MeshText(0, 1, "<VERTEX id=\"0x0\">" + P0 + "</VERTEX>", "")},
      {"vertex id past the end", MeshText(0, 3, points + Vertex(3, P0), "")},
      {"negative vertex id", MeshText(0, 3, Vertex(-1, P0), "")},
      {"face id past the end", MeshText(1, 3, points, Face(1, ABC))},
      {"corner index past the vertices",
       MeshText(1, 3, points, Face(0, "<A>0</A><B>1</B><C>3</C>"))},
      {"negative corner index", MeshText(1, 3, points, Face(0, "<A>-1</A><B>1</B><C>2</C>"))},
      {"unnamed face slot points at no vertex", MeshText(2, 0, "", "")},
      {"vertex without Z", MeshText(0, 1, Vertex(0, "<X>0</X><Y>0</Y>"), "")},
      {"NX without NY", MeshText(0, 1, Vertex(0, P0 + "<NX>1</NX><NZ>0</NZ>"), "")},
      {"U without V", MeshText(0, 1, Vertex(0, P0 + "<U>1</U>"), "")},
      {"face without C", MeshText(1, 3, points, Face(0, "<A>0</A><B>1</B>"))},
      {"AU without the rest", MeshText(1, 3, points, Face(0, ABC + "<AU>0</AU><AV>0</AV>"))},
      {"float with a comma", MeshText(0, 1, Vertex(0, "<X>1,5</X><Y>0</Y><Z>0</Z>"), "")},
      {"float that is not finite", MeshText(0, 1, Vertex(0, "<X>inf</X><Y>0</Y><Z>0</Z>"), "")},
      {"corner index not an integer",
       MeshText(1, 3, points, Face(0, "<A>0.5</A><B>1</B><C>2</C>"))},
  };
  for (const auto& c : cases) {
    TDataMesh mesh;
    EXPECT_ANY_THROW(Load(mesh, c.Text)) << c.What;
  }
}

TEST(MeshLoading, FileLoadingWritesItsLine) {
  const TScratchDir dir("mesh-test");
  const auto path = dir / "file.mesh";
  {
    std::ofstream out(path);
    out << MeshText(1, 3, Vertex(0, P0) + Vertex(1, P1) + Vertex(2, P2), Face(0, ABC), "file");
  }
  TDataMesh mesh;
  testing::internal::CaptureStdout();
  mesh.LoadFrom(path.string());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading " + path.string() + "\n");
  EXPECT_EQ(mesh.Nome, "file");
  std::filesystem::remove(path);
  testing::internal::CaptureStdout();
  EXPECT_THROW(mesh.LoadFrom(path.string()), std::runtime_error);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading " + path.string() + "\n");
}

TEST(MeshGeometry, ScaleTranslateAndRadius) {
  TDataMesh mesh;
  EXPECT_EQ(mesh.GetBoundingSphereRadius(), 0);
  mesh.SetNumVertex(2);
  mesh.Vertex[0] = {1, 2, 2, 0, 0, 1};
  mesh.Vertex[1] = {0, 0, -1};
  mesh.Scale(2);
  EXPECT_EQ(mesh.Vertex[0].Y, 4);
  EXPECT_EQ(mesh.Vertex[0].NZ, 1) << "normals are not scaled";
  EXPECT_FLOAT_EQ(mesh.GetBoundingSphereRadius(), 6);
  mesh.Translate(0, 0, -6);
  EXPECT_FLOAT_EQ(mesh.GetBoundingSphereRadius(), 6) << "a computed radius is kept";
  mesh.CalculateBoundingSphereRadius();
  EXPECT_FLOAT_EQ(mesh.Radius, 8);
  EXPECT_THROW(mesh.SetNumVertex(-1), std::invalid_argument);
  mesh.SetNumVertex(3);
  EXPECT_EQ(mesh.Vertex[2].X, 0) << "new elements are zero";
}

TEST(MeshGeometry, OriginOnlyMeshRecomputesItsZeroRadius) {
  TDataMesh mesh;
  mesh.SetNumVertex(1);
  EXPECT_EQ(mesh.GetBoundingSphereRadius(), 0);
  mesh.Vertex[0].X = 3;
  EXPECT_FLOAT_EQ(mesh.GetBoundingSphereRadius(), 3) << "0 means not computed yet";
}

TEST(MeshGeometry, NormalsFromFacesAveragedAtVertices) {
  TDataMesh mesh;
  mesh.SetNumVertex(5);
  // Two triangles folded along the X axis: one in the z = 0 plane, one in the y = 0 plane.
  mesh.Vertex[0] = {0, 0, 0};
  mesh.Vertex[1] = {1, 0, 0};
  mesh.Vertex[2] = {0, 1, 0};
  mesh.Vertex[3] = {0, 0, 1};
  mesh.Vertex[4] = {5, 5, 5, 7, 7, 7}; // used by no face
  mesh.SetNumFace(3);
  mesh.Face[0].Point = {0, 1, 2};
  mesh.Face[1].Point = {0, 3, 1};
  mesh.Face[2].Point = {1, 1, 1}; // degenerate
  mesh.CalcolateNormals();
  EXPECT_FLOAT_EQ(mesh.Face[0].NZ, 1);
  EXPECT_FLOAT_EQ(mesh.Face[1].NY, 1);
  EXPECT_EQ(mesh.Face[2].NX, 0) << "a face without area has no direction";
  EXPECT_FLOAT_EQ(mesh.Vertex[0].NY, 0.5f) << "a plain average, not normalized";
  EXPECT_FLOAT_EQ(mesh.Vertex[0].NZ, 0.5f);
  EXPECT_FLOAT_EQ(mesh.Vertex[2].NZ, 1);
  EXPECT_FLOAT_EQ(mesh.Vertex[1].NZ, 1.0f / 3)
      << "face 2 uses vertex 1 three times but counts once";
  EXPECT_EQ(mesh.Vertex[4].NX, 0) << "an unused vertex gets a zero normal";
  EXPECT_FALSE(std::isnan(mesh.Vertex[4].NY));
}

TEST(MeshList, FindsTheFirstByExactStoredName) {
  TDataMesh a, b, c;
  a.Nome = "tree";
  b.Nome = "tree";
  c.Nome = "Tree";
  TMeshList list;
  EXPECT_EQ(list.GetMeshByName("tree"), nullptr);
  list.Add(&a);
  list.Add(&b);
  list.Add(&c);
  EXPECT_EQ(list.GetMeshByName("tree"), &a);
  EXPECT_EQ(list.GetMeshByName("Tree"), &c);
  EXPECT_EQ(list.GetMesh(1), &b);
}

TEST(Xml3d, VectorsAndNumbers) {
  auto node = VectorToXML(TVector{32, 0.1f, -1.5e-7f});
  EXPECT_EQ(node->ToString(), "<VECTOR><X>32</X><Y>0.1</Y><Z>-1.5e-07</Z></VECTOR>");
  const TVector back = XMLToVector(*node);
  EXPECT_EQ(back.X, 32);
  EXPECT_EQ(back.Y, 0.1f);
  EXPECT_EQ(back.Z, -1.5e-7f);
  EXPECT_EQ(XMLTextToFloat("+2.5"), 2.5f);
  EXPECT_EQ(XMLTextToFloat(" 1E3 "), 1000);
  EXPECT_EQ(XMLTextToInt("-12"), -12);
  for (const char* bad : {"", "abc", "1.5.2", "nan", "--1", "1e99"})
    EXPECT_THROW(XMLTextToFloat(bad), std::runtime_error) << bad;
  for (const char* bad : {"", "1.0", "99999999999", "+-3", "7x"})
    EXPECT_THROW(XMLTextToInt(bad), std::runtime_error) << bad;
}

TEST(Xml3d, SavedMeshLoadsBackTheSame) {
  TDataMesh mesh;
  mesh.Nome = "saved";
  mesh.SetNumVertex(3);
  mesh.Vertex[0] = {1, 2, 3, 0.6f, 0, 0.8f, 0.125f, 0.875f};
  mesh.Vertex[1] = {-1, 0.333333f, 1e-5f};
  mesh.Vertex[2] = {4, 5, 6};
  mesh.SetNumFace(2);
  mesh.Face[0] = {{0, 1, 2}, 0, 0, 1, {TUV{0.1f, 0.2f}, TUV{0.3f, 0.4f}, TUV{0.5f, 0.6f}}, false};
  mesh.Face[1] = {{2, 1, 0}, 1, 0, 0, {}, true};
  TXMLDocument doc;
  doc.Node = MeshToXML(mesh);
  std::ostringstream out;
  doc.Save(out);
  TDataMesh back;
  Load(back, out.str());
  EXPECT_EQ(back.Nome, "saved");
  ASSERT_EQ(back.FNumVertex, 3);
  ASSERT_EQ(back.FNumFace, 2);
  for (int i = 0; i < 3; ++i) {
    const TVertex &a = mesh.Vertex[i], &b = back.Vertex[i];
    EXPECT_EQ(std::tie(a.X, a.Y, a.Z, a.NX, a.NY, a.NZ, a.TU, a.TV),
              std::tie(b.X, b.Y, b.Z, b.NX, b.NY, b.NZ, b.TU, b.TV));
  }
  for (int i = 0; i < 2; ++i) {
    const TFace &a = mesh.Face[i], &b = back.Face[i];
    EXPECT_EQ(a.Point, b.Point);
    EXPECT_EQ(std::tie(a.NX, a.NY, a.NZ, a.Smooth), std::tie(b.NX, b.NY, b.NZ, b.Smooth));
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(std::tie(a.UV[k].U, a.UV[k].V), std::tie(b.UV[k].U, b.UV[k].V));
  }
}

} // namespace
