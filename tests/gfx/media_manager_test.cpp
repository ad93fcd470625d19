// The media manager's cache rules, with a fake loader and with files (meshes and sounds; the
// texture files are covered by the texture tests, which have an OpenGL window).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "../support/scratch_dir.h"
#include "fake_media_manager.h"
#include "gfx/gl_mesh.h"
#include "gfx/media_manager.h"
#include "sound/openal.h"

namespace {

namespace fs = std::filesystem;

TEST(CachedMediaManager, SameObjectTwiceLoadedOnce) {
  TFakeMediaManager man;
  man.Meshes = {"tree"};
  man.Textures = {"font"};
  TMesh* mesh = man.GetMeshByName("tree");
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(man.GetMeshByName("tree"), mesh);
  EXPECT_EQ(man.Loads["mesh:tree"], 1);
  TTexture* font = man.GetTextureByName("font");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(man.GetTextureByName("font"), font);
  EXPECT_EQ(man.Loads["texture:font"], 1);
  EXPECT_EQ(man.MeshList.Count(), 1);
  EXPECT_EQ(man.TextureList.Count(), 1);
}

TEST(CachedMediaManager, FailedLoadsAreRetriedAndNotListed) {
  TFakeMediaManager man;
  EXPECT_EQ(man.GetTextureByName("pointer"), nullptr);
  EXPECT_EQ(man.GetTextureByName("pointer"), nullptr);
  EXPECT_EQ(man.Loads["texture:pointer"], 2);
  EXPECT_EQ(man.TextureList.Count(), 0);
  man.Textures.insert("pointer");
  EXPECT_NE(man.GetTextureByName("pointer"), nullptr);
  EXPECT_EQ(man.Loads["texture:pointer"], 3);
}

TEST(CachedMediaManager, NamesAreCaseSensitive) {
  TFakeMediaManager man;
  man.Textures = {"font", "Font"};
  TTexture* lower = man.GetTextureByName("font");
  TTexture* upper = man.GetTextureByName("Font");
  ASSERT_NE(lower, nullptr);
  ASSERT_NE(upper, nullptr);
  EXPECT_NE(lower, upper);
  EXPECT_EQ(man.TextureList.Count(), 2);
}

TEST(CachedMediaManager, MeshesAreFoundByTheNameTheyWereAskedFor) {
  TFakeMediaManager man;
  man.Meshes = {"renamed"};
  man.StoredMeshName["renamed"] = "other";
  TMesh* first = man.GetMeshByName("renamed");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(man.GetMeshByName("renamed"), first) << "a stored name that differs is no miss";
  EXPECT_EQ(man.Loads["mesh:renamed"], 1);
  EXPECT_EQ(man.GetMeshByName("other"), nullptr) << "a name names a file, not a stored name";
  EXPECT_EQ(man.MeshList.Count(), 1);
}

TEST(CachedMediaManager, SoundFailuresReachTheCaller) {
  TFakeMediaManager man;
  EXPECT_THROW(man.GetSoundByName("click"), std::runtime_error);
  EXPECT_THROW(man.GetSoundByName("click"), std::runtime_error);
  EXPECT_EQ(man.Loads["sound:click"], 2);
  EXPECT_EQ(man.SoundList.Count(), 0);
}

class FileMediaManagerTest : public testing::Test {
protected:
  void Write(const std::string& Name, const std::string& Text) {
    std::ofstream(FDir / Name) << Text;
  }
  TScratchDir FScratch{"media-manager-test"};
  const fs::path& FDir = FScratch.Path();
};

TEST_F(FileMediaManagerTest, LoadsMeshesFromTheDirectory) {
  Write("hull.mesh", "<MESH><NAME>hull</NAME><FACECOUNT>0</FACECOUNT><POINTCOUNT>1</POINTCOUNT>"
                     "<POINTS><VERTEX id=\"0\"><X>1</X><Y>2</Y><Z>3</Z></VERTEX></POINTS>"
                     "<FACES/></MESH>");
  TFileMediaManager man(FDir.string() + "/");
  testing::internal::CaptureStdout();
  TMesh* mesh = man.GetMeshByName("hull");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Loading " + (FDir / "hull.mesh").string() + "\n");
  ASSERT_NE(mesh, nullptr);
  EXPECT_NE(dynamic_cast<TGLMesh*>(mesh), nullptr) << "the file manager makes drawable meshes";
  EXPECT_EQ(mesh->Vertex[0].Z, 3);
  testing::internal::CaptureStdout();
  EXPECT_EQ(man.GetMeshByName("hull"), mesh);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the file is read once";
}

TEST_F(FileMediaManagerTest, BrokenOrMissingMeshesAnswerNull) {
  Write("broken.mesh", "<MESH><NAME>broken</NAME><FACECOUNT>1</FACECOUNT>");
  Write("lying.mesh", "<MESH><NAME>lying</NAME><FACECOUNT>1</FACECOUNT><POINTCOUNT>0"
                      "</POINTCOUNT><FACES><FACE id=\"0\"><A>0</A><B>0</B><C>0</C></FACE>"
                      "</FACES></MESH>");
  TFileMediaManager man(FDir.string() + "/");
  testing::internal::CaptureStdout();
  EXPECT_EQ(man.GetMeshByName("broken"), nullptr);
  EXPECT_EQ(man.GetMeshByName("lying"), nullptr);
  EXPECT_EQ(man.GetMeshByName("absent"), nullptr);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Loading " + (FDir / "absent.mesh").string()), std::string::npos);
  EXPECT_EQ(man.MeshList.Count(), 0);
}

TEST_F(FileMediaManagerTest, SoundErrorsPropagate) {
  CloseOpenAL();
  TFileMediaManager man(FDir.string() + "/");
  testing::internal::CaptureStdout();
  EXPECT_THROW(man.GetSoundByName("click"), std::runtime_error);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(man.SoundList.Count(), 0);
}

TEST(FileMediaManager, ReadsFromMediaUnderTheWorkingDirectoryByDefault) {
  TFileMediaManager man;
  EXPECT_EQ(man.Directory(), "media/");
}

} // namespace
