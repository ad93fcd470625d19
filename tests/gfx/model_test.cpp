// Models: the .model format read and written, poses and transformations.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../support/scratch_dir.h"
#include "fake_media_manager.h"
#include "gfx/model.h"
#include "xml/document.h"

namespace {

std::string VectorText(const char* Name, const char* X, const char* Y, const char* Z) {
  return std::string("<") + Name + "><X>" + X + "</X><Y>" + Y + "</Y><Z>" + Z + "</Z></" + Name +
         ">";
}

std::string NodeText(const std::string& Name, const std::string& Texture,
                     const std::string& Element, const std::string& Children = "",
                     const std::string& Color = "<RED>255</RED><GREEN>128</GREEN><BLUE>0</BLUE>") {
  return "<NODE><NAME>" + Name + "</NAME><TEXTURE>" + Texture + "</TEXTURE>" +
         VectorText("POS", "1", "2", "3") + VectorText("ROT", "0", "90", "0") +
         VectorText("SCA", "1", "1", "1") + "<COLOR>" + Color + "</COLOR><GRAPHICALELEMENT>" +
         Element + "</GRAPHICALELEMENT>" + Children + "</NODE>";
}

const std::string FIGURE =
    "<MODEL><NAME>figure</NAME>" +
    NodeText("root", "nil", "<TYPE>none</TYPE>",
             NodeText("body", "skin", "<TYPE>mesh</TYPE><MESH>torso</MESH>",
                      NodeText("arm", "nil", "<TYPE>mesh</TYPE><MESH>missing</MESH>")) +
                 NodeText("ghost", "nil", "<TYPE>model</TYPE><MODEL>other</MODEL>") +
                 NodeText("ref", "nil", "<TYPE>reference</TYPE><REFERENCE>4</REFERENCE>") +
                 NodeText("odd", "nil", "<TYPE>sprite</TYPE>")) +
    "<POSE><NAME>raise</NAME><POSEITEM><MOVEDNODE>arm</MOVEDNODE>" +
    VectorText("POS", "0", "0", "0") + VectorText("ROT", "-90", "0", "0") +
    VectorText("SCA", "0", "0", "0") + "</POSEITEM></POSE>" +
    "<ANIMATION><NAME>wave</NAME><ANIMITEM><POSENAME>raise</POSENAME><TIME>50</TIME></ANIMITEM>"
    "<ANIMITEM><POSENAME>rest</POSENAME><TIME>0</TIME></ANIMITEM></ANIMATION></MODEL>";

void Load(TModel& Model, const std::string& Text, TGenericMediaManager* Man) {
  std::istringstream in(Text);
  EXPECT_TRUE(Model.Load(in, Man));
}

TEST(Transformation, ZeroSumAndMirroring) {
  TTransformation t = TTransformation::Rest();
  EXPECT_FALSE(t.IsZero());
  EXPECT_FALSE(t.MustToggleFaces());
  t.SetZero();
  EXPECT_TRUE(t.IsZero());
  t.Rot.Z = 1e-30f;
  EXPECT_FALSE(t.IsZero());

  const struct {
    TVector Sca;
    bool Toggle;
  } cases[] = {{{-1, 1, 1}, true},    {{-1, -1, 1}, false}, {{-1, -1, -1}, true},
               {{1, 1, -0.5f}, true}, {{2, 3, 4}, false},   {{0, -1, 1}, false}};
  for (const auto& c : cases) {
    TTransformation m;
    m.Sca = c.Sca;
    EXPECT_EQ(m.MustToggleFaces(), c.Toggle) << c.Sca.X << " " << c.Sca.Y << " " << c.Sca.Z;
  }

  TTransformation a = TTransformation::Rest(), d;
  a.Pos = {1, 2, 3};
  d.Pos = {1, 1, 1};
  d.Rot = {0, 45, 0};
  const TTransformation s = a.Sum(d);
  EXPECT_EQ(s.Pos.Z, 4);
  EXPECT_EQ(s.Rot.Y, 45);
  EXPECT_EQ(s.Sca.X, 1) << "a scale offset of 0 keeps the scale";
  EXPECT_EQ(a.Pos.Z, 3) << "Sum makes a new transformation";
}

TEST(ModelDefaults, ConstructorsSetTheDocumentedValues) {
  TModel model;
  EXPECT_EQ(model.Name, "Amodel");
  ASSERT_NE(model.Root, nullptr);
  EXPECT_EQ(model.Root->Name, "root");
  EXPECT_EQ(model.Root->GraphicalElement.Type_, geNone);
  EXPECT_EQ(model.Root->Texture, nullptr);
  EXPECT_EQ(model.Root->Transf.Sca.Y, 1);
  EXPECT_EQ(model.Root->Color.G, 1);
  EXPECT_EQ(TPose().Name, "A pose");
  EXPECT_EQ(TAnimation().Name, "Animation");
  EXPECT_TRUE(TPoseItem().Diff.IsZero());
}

TEST(ModelLoading, ReadsTreeElementsPosesAndAnimations) {
  TFakeMediaManager man;
  man.Meshes = {"torso"};
  man.Textures = {"skin"};
  TModel model;
  Load(model, FIGURE, &man);
  EXPECT_EQ(model.Name, "figure");
  const TModelTreeNode& root = *model.Root;
  EXPECT_EQ(root.Name, "root");
  ASSERT_EQ(root.Children.Count(), 4);
  const TModelTreeNode& body = *root.Children.Get(0);
  EXPECT_EQ(body.Name, "body");
  EXPECT_EQ(body.Transf.Pos.Y, 2);
  EXPECT_EQ(body.Transf.Rot.Y, 90);
  EXPECT_FLOAT_EQ(body.Color.R, 1);
  EXPECT_FLOAT_EQ(body.Color.G, 128.0f / 255);
  EXPECT_EQ(body.Color.B, 0);
  ASSERT_NE(body.Texture, nullptr);
  EXPECT_EQ(body.Texture->Name, "skin");
  EXPECT_EQ(body.GraphicalElement.Type_, geMesh);
  ASSERT_NE(body.GraphicalElement.Mesh, nullptr);
  EXPECT_EQ(body.GraphicalElement.Mesh->Nome, "torso");
  const TModelTreeNode& arm = *body.Children.Get(0);
  EXPECT_EQ(arm.GraphicalElement.Type_, geMesh) << "a missing mesh keeps the node's type";
  EXPECT_EQ(arm.GraphicalElement.Mesh, nullptr);
  EXPECT_EQ(arm.Texture, nullptr);
  EXPECT_EQ(root.Children.Get(1)->GraphicalElement.Type_, geModel);
  EXPECT_EQ(root.Children.Get(1)->GraphicalElement.Model, nullptr) << "no payload is loaded";
  EXPECT_EQ(root.Children.Get(2)->GraphicalElement.Type_, geReference);
  EXPECT_EQ(root.Children.Get(2)->GraphicalElement.Reference, 0);
  EXPECT_EQ(root.Children.Get(3)->GraphicalElement.Type_, geNone) << "unknown type text";

  ASSERT_EQ(model.Poses.Count(), 1);
  EXPECT_EQ(model.Poses.Get(0)->Name, "raise");
  EXPECT_EQ(model.Poses.Get(0)->GetTransfForNode("arm")->Rot.X, -90);
  EXPECT_EQ(model.IndexOfPose("raise"), 0);
  EXPECT_EQ(model.IndexOfPose("Raise"), -1);
  EXPECT_FALSE(model.HasPose("rest"));
  ASSERT_EQ(model.Animations.Count(), 1);
  const TAnimation& wave = *model.Animations.Get(0);
  EXPECT_EQ(wave.Name, "wave");
  ASSERT_EQ(wave.Keys.Count(), 2);
  EXPECT_EQ(wave.Keys.Get(0)->PoseName, "raise");
  EXPECT_EQ(wave.Keys.Get(0)->Time, 50) << "keys stay in file order";
}

TEST(ModelLoading, LoadingAgainReplacesPosesAndAnimations) {
  TFakeMediaManager man;
  TModel model;
  Load(model, FIGURE, &man);
  Load(model, FIGURE, &man);
  EXPECT_EQ(model.Poses.Count(), 1);
  EXPECT_EQ(model.Animations.Count(), 1);
  EXPECT_EQ(model.Root->Children.Count(), 4);
}

TEST(ModelLoading, RefusesIncompleteDocuments) {
  const struct {
    const char* What;
    std::string Text;
  } cases[] = {
      {"not XML", "<MODEL><NAME>x</NAME>"},
      {"no NAME", "<MODEL>" + NodeText("root", "nil", "<TYPE>none</TYPE>") + "</MODEL>"},
      {"no root NODE", "<MODEL><NAME>x</NAME></MODEL>"},
      {"node without TEXTURE", "<MODEL><NAME>x</NAME><NODE><NAME>r</NAME></NODE></MODEL>"},
      {"colour not a number", "<MODEL><NAME>x</NAME>" +
                                  NodeText("r", "nil", "<TYPE>none</TYPE>", "",
                                           "<RED>1.5</RED><GREEN>0</GREEN><BLUE>0</BLUE>") +
                                  "</MODEL>"},
      {"mesh element without MESH",
       "<MODEL><NAME>x</NAME>" + NodeText("r", "nil", "<TYPE>mesh</TYPE>") + "</MODEL>"},
      {"vector without Z", "<MODEL><NAME>x</NAME><NODE><NAME>r</NAME><TEXTURE>nil</TEXTURE>"
                           "<POS><X>1</X><Y>2</Y></POS></NODE></MODEL>"},
      {"pose item without MOVEDNODE", "<MODEL><NAME>x</NAME>" +
                                          NodeText("r", "nil", "<TYPE>none</TYPE>") +
                                          "<POSE><NAME>p</NAME><POSEITEM/></POSE></MODEL>"},
      {"animation key time not a number",
       "<MODEL><NAME>x</NAME>" + NodeText("r", "nil", "<TYPE>none</TYPE>") +
           "<ANIMATION><NAME>a</NAME><ANIMITEM><POSENAME>p</POSENAME><TIME>soon</TIME>"
           "</ANIMITEM></ANIMATION></MODEL>"},
  };
  for (const auto& c : cases) {
    TModel model;
    std::istringstream in(c.Text);
    EXPECT_ANY_THROW(model.Load(in, nullptr)) << c.What;
  }
}

TEST(ModelLoading, MissingFileAnswersFalseAndKeepsTheModel) {
  TModel model;
  model.Name = "kept";
  EXPECT_FALSE(model.Load(std::string("/no/such/file.model"), nullptr));
  EXPECT_EQ(model.Name, "kept");
  const TScratchDir dir("model-test");
  const auto path = dir / "load.model";
  std::ofstream(path) << FIGURE;
  EXPECT_TRUE(model.Load(path.string(), nullptr));
  EXPECT_EQ(model.Name, "figure");
  std::filesystem::remove(path);
}

TEST(ModelSaving, WritesElementsInTheDocumentedOrder) {
  TFakeMediaManager man;
  man.Meshes = {"torso"};
  TModel model;
  Load(model, FIGURE, &man);
  const std::string text = model.Save()->ToString();
  auto before = [&](const std::string& A, const std::string& B) {
    const auto a = text.find(A), b = text.find(B);
    return a != std::string::npos && b != std::string::npos && a < b;
  };
  EXPECT_EQ(text.rfind("<MODEL><NAME>figure</NAME><NODE><NAME>root</NAME><TEXTURE>nil</TEXTURE>"
                       "<POS><X>1</X><Y>2</Y><Z>3</Z></POS><ROT>",
                       0),
            0u)
      << text;
  EXPECT_TRUE(before("</SCA><COLOR><RED>255</RED><GREEN>128</GREEN><BLUE>0</BLUE></COLOR>"
                     "<GRAPHICALELEMENT><TYPE>none</TYPE></GRAPHICALELEMENT><NODE>",
                     "<POSE>"));
  EXPECT_TRUE(before("<TYPE>mesh</TYPE><MESH>torso</MESH>", "<TYPE>mesh</TYPE><MESH>missing"));
  EXPECT_NE(text.find("<TYPE>model</TYPE><MODEL></MODEL>"), std::string::npos);
  EXPECT_NE(text.find("<TYPE>reference</TYPE><REFERENCE>0</REFERENCE>"), std::string::npos);
  EXPECT_NE(text.find("<POSEITEM><MOVEDNODE>arm</MOVEDNODE><POS>"), std::string::npos);
  EXPECT_TRUE(before("</POSE>", "<ANIMATION><NAME>wave</NAME><ANIMITEM><POSENAME>raise"
                                "</POSENAME><TIME>50</TIME></ANIMITEM>"));
}

TEST(ModelSaving, RoundTripKeepsTreePosesAndAnimations) {
  TFakeMediaManager man;
  man.Meshes = {"torso"};
  man.Textures = {"skin"};
  TModel model;
  Load(model, FIGURE, &man);
  TPose& pose = *model.Poses.Get(0);
  pose.GetTransfForNode("body", true); // all zero: left out on save
  pose.GetTransfForNode("ghost", true)->Pos.Y = 0.5f;
  model.Root->Children.Get(0)->Color = {0.5f, 0.999f, 0.2f};

  std::stringstream file;
  ASSERT_TRUE(model.Save(file));
  TModel back;
  Load(back, file.str(), &man);
  EXPECT_EQ(back.Save()->ToString(), model.Save()->ToString()) << "stable after one cycle";

  const TModelTreeNode& body = *back.Root->Children.Get(0);
  EXPECT_FLOAT_EQ(body.Color.R, 127.0f / 255) << "colours are truncated on save";
  EXPECT_FLOAT_EQ(body.Color.G, 254.0f / 255);
  EXPECT_FLOAT_EQ(body.Color.B, 51.0f / 255);
  EXPECT_EQ(body.Texture, man.GetTextureByName("skin"));
  EXPECT_EQ(back.Root->Texture, nullptr);
  EXPECT_EQ(body.Children.Get(0)->GraphicalElement.MeshName, "missing")
      << "a mesh name that did not load survives the round trip";
  ASSERT_EQ(back.Poses.Count(), 1);
  const TPose& p = *back.Poses.Get(0);
  ASSERT_EQ(p.Items.Count(), 2) << "the all-zero item was left out";
  EXPECT_EQ(p.Items.Get(0)->MovedNode, "arm");
  EXPECT_EQ(p.Items.Get(1)->MovedNode, "ghost");
  EXPECT_EQ(p.Items.Get(1)->Diff.Pos.Y, 0.5f);
  EXPECT_EQ(back.Animations.Get(0)->Keys.Get(1)->PoseName, "rest");
}

TEST(ModelSaving, AMeshWhoseStoredNameDiffersIsSavedAndFoundByTheNameAskedFor) {
  TFakeMediaManager man;
  man.Meshes = {"torso"};
  man.StoredMeshName["torso"] = "Torso v2";
  TModel model;
  Load(model, FIGURE, &man);
  TMesh* torso = model.Root->Children.Get(0)->GraphicalElement.Mesh;
  ASSERT_NE(torso, nullptr);
  std::stringstream file;
  ASSERT_TRUE(model.Save(file));
  EXPECT_NE(file.str().find("<MESH>torso</MESH>"), std::string::npos) << file.str();
  TModel back;
  Load(back, file.str(), &man);
  EXPECT_EQ(back.Root->Children.Get(0)->GraphicalElement.Mesh, torso);
  EXPECT_EQ(man.Loads["mesh:torso"], 1);
}

TEST(ModelLoading, ColoursOutsideTheRangeAreClamped) {
  TModel model;
  Load(model,
       "<MODEL><NAME>x</NAME>" +
           NodeText("r", "nil", "<TYPE>none</TYPE>", "",
                    "<RED>300</RED><GREEN>-4</GREEN><BLUE>2147483647</BLUE>") +
           "</MODEL>",
       nullptr);
  EXPECT_EQ(model.Root->Color.R, 1);
  EXPECT_EQ(model.Root->Color.G, 0);
  EXPECT_EQ(model.Root->Color.B, 1);
  model.Root->Color = {2.5f, -1, 0.5f};
  EXPECT_NE(model.Root->Save()->ToString().find("<RED>255</RED><GREEN>0</GREEN><BLUE>127</BLUE>"),
            std::string::npos);
}

TEST(ModelSaving, TextureNamedNilMeansNoneAndSavesBackAsNil) {
  TFakeMediaManager man;
  man.Textures = {"nil"}; // even a texture file called nil is not looked up
  TModel model;
  Load(model, FIGURE, &man);
  EXPECT_EQ(model.Root->Texture, nullptr);
  EXPECT_EQ(man.Loads["texture:nil"], 0);
  EXPECT_NE(model.Root->Save()->ToString().find("<TEXTURE>nil</TEXTURE>"), std::string::npos);
}

TEST(ModelSaving, SavesToAFile) {
  const TScratchDir dir("model-test");
  const auto path = dir / "save.model";
  TModel model;
  model.Name = "small";
  ASSERT_TRUE(model.Save(path.string()));
  TModel back;
  ASSERT_TRUE(back.Load(path.string(), nullptr));
  EXPECT_EQ(back.Name, "small");
  EXPECT_EQ(back.Root->Name, "root");
  std::filesystem::remove(path);
  EXPECT_ANY_THROW(model.Save(std::string("/no/such/dir/x.model")));
}

TEST(Pose, GetTransfForNodeCreatesOneItemOnce) {
  TPose pose;
  EXPECT_EQ(pose.GetTransfForNode("arm", false), nullptr);
  EXPECT_EQ(pose.Items.Count(), 0);
  TTransformation* created = pose.GetTransfForNode("arm", true);
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->IsZero());
  EXPECT_EQ(pose.Items.Count(), 1);
  EXPECT_EQ(pose.GetTransfForNode("arm", true), created);
  EXPECT_EQ(pose.Items.Count(), 1);
  EXPECT_FALSE(pose.IsMoved("arm")) << "a zero offset moves nothing";
  created->Rot.X = 10;
  EXPECT_TRUE(pose.IsMoved("arm"));
  EXPECT_FALSE(pose.IsMoved("Arm"));
}

TEST(Pose, EffectiveTransformationAddsTheOffset) {
  TModelTreeNode node;
  node.Name = "arm";
  node.Transf.Pos = {1, 0, 0};
  TPose pose;
  EXPECT_EQ(EffectiveTransformation(node, &pose).Pos.X, 1) << "a pose that does not move it";
  EXPECT_EQ(EffectiveTransformation(node, nullptr).Sca.Z, 1);
  pose.GetTransfForNode("arm", true)->Pos.X = 2;
  EXPECT_EQ(EffectiveTransformation(node, &pose).Pos.X, 3);
  EXPECT_EQ(EffectiveTransformation(node, &pose).Sca.Z, 1);
}

TEST(ModelTree, CloneDeepCopiesTransformsWithoutNamesOrTextures) {
  TFakeMediaManager man;
  man.Meshes = {"torso"};
  man.Textures = {"skin"};
  TModel model;
  Load(model, FIGURE, &man);
  auto copy = model.Root->CloneDeep();
  ASSERT_EQ(copy->Children.Count(), 4);
  const TModelTreeNode& body = *copy->Children.Get(0);
  EXPECT_EQ(body.Name, "");
  EXPECT_EQ(body.Texture, nullptr);
  EXPECT_EQ(body.GraphicalElement.Mesh, model.Root->Children.Get(0)->GraphicalElement.Mesh);
  EXPECT_EQ(body.Transf.Rot.Y, 90);
  EXPECT_FLOAT_EQ(body.Color.G, 128.0f / 255);
  copy->Children.Get(0)->Transf.Pos.X = 99;
  EXPECT_EQ(model.Root->Children.Get(0)->Transf.Pos.X, 1) << "an independent tree";
}

} // namespace
