// The committed media set: every mesh loads under its own name and is wound with its normals,
// the three models find all their meshes and textures, the figure has the animations the game
// plays, and the font and cursor textures keep the layout the GUI relies on.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <set>

#include "gfx/gl_mesh.h"
#include "gfx/media_manager.h"
#include "gfx/model.h"

namespace {

namespace fs = std::filesystem;

const fs::path MEDIA = fs::path(SOURCE_DIR) / "media";

// Meshes from the media folder; textures only checked for their file (no OpenGL here).
class TMediaFolder : public TFileMediaManager {
public:
  TMediaFolder() : TFileMediaManager(MEDIA.string() + "/") {}

protected:
  std::unique_ptr<TTexture> LoadTexture(const std::string& Name) override {
    if (!fs::exists(MEDIA / (Name + ".png")))
      return nullptr;
    auto texture = std::make_unique<TTexture>();
    texture->Name = Name;
    return texture;
  }
};

struct TSurfaceFree {
  void operator()(SDL_Surface* S) const { SDL_FreeSurface(S); }
};
using TSurface = std::unique_ptr<SDL_Surface, TSurfaceFree>;

// The media set's interface textures are 8-bit RGBA PNG files, which SDL_image loads as they
// are: four bytes per pixel, alpha last.
TSurface LoadRGBA(const std::string& Name) {
  TSurface s(IMG_Load((MEDIA / (Name + ".png")).c_str()));
  if (s && s->format->BytesPerPixel != 4)
    return nullptr;
  return s;
}

Uint8 Alpha(SDL_Surface* S, int X, int Y) {
  return static_cast<const Uint8*>(S->pixels)[Y * S->pitch + X * 4 + 3];
}

TEST(MediaSet, EveryMeshLoadsUnderItsNameWoundWithItsNormals) {
  int meshes = 0;
  for (const auto& entry : fs::directory_iterator(MEDIA)) {
    if (entry.path().extension() != ".mesh")
      continue;
    ++meshes;
    TGLMesh mesh;
    testing::internal::CaptureStdout();
    ASSERT_NO_THROW(mesh.LoadFrom(entry.path().string())) << entry.path();
    testing::internal::GetCapturedStdout();
    const std::string file = entry.path().stem().string();
    EXPECT_EQ(mesh.Nome, file) << "a mesh file is named after the name stored in it";
    ASSERT_GT(mesh.FNumFace, 0) << file;
    for (const TFace& f : mesh.Face) {
      const TVertex &a = mesh.Vertex[f.Point[0]], &b = mesh.Vertex[f.Point[1]],
                    &c = mesh.Vertex[f.Point[2]];
      const TVector winding =
          Cross(TVector{b.X - a.X, b.Y - a.Y, b.Z - a.Z}, TVector{c.X - a.X, c.Y - a.Y, c.Z - a.Z});
      ASSERT_GT(Magnitude(winding), 0) << file << ": a face without area";
      EXPECT_GT(Dot(winding, TVector{f.NX, f.NY, f.NZ}), 0)
          << file << ": a face wound against its normal is culled away";
      EXPECT_NEAR(Magnitude(TVector{f.NX, f.NY, f.NZ}), 1, 2e-3) << file;
      if (f.Smooth) {
        for (const TVertex* v : {&a, &b, &c})
          EXPECT_NEAR(Magnitude(TVector{v->NX, v->NY, v->NZ}), 1, 2e-3) << file;
      }
    }
  }
  EXPECT_GE(meshes, 10);
}

TEST(MediaSet, ModelsFindAllTheirMeshesAndTextures) {
  TMediaFolder man;
  for (const char* file : {"tree.model", "viking_weapon.model", "tank_ok.model"}) {
    TModel model;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(model.Load((MEDIA / file).string(), &man)) << file;
    testing::internal::GetCapturedStdout();
    int nodes = 0;
    std::vector<const TModelTreeNode*> open = {model.Root.get()};
    while (!open.empty()) {
      const TModelTreeNode* node = open.back();
      open.pop_back();
      ++nodes;
      if (node->GraphicalElement.Type_ == geMesh) {
        EXPECT_NE(node->GraphicalElement.Mesh, nullptr) << file << ": " << node->Name;
      }
      if (node->TextureName != "nil") {
        EXPECT_NE(node->Texture, nullptr) << file << ": " << node->Name;
      }
      for (float s : {node->Transf.Sca.X, node->Transf.Sca.Y, node->Transf.Sca.Z})
        EXPECT_EQ(std::fabs(s), 1) << file << ": scaling would change the normals' length";
      for (const auto& child : node->Children)
        open.push_back(child.get());
    }
    EXPECT_GE(nodes, 4) << file;
    for (const auto& animation : model.Animations)
      for (const auto& key : animation->Keys)
        EXPECT_TRUE(model.HasPose(key->PoseName)) << file << ": " << key->PoseName;
  }
}

TEST(MediaSet, TheFigureHasTheAnimationsTheGamePlays) {
  TMediaFolder man;
  TModel model;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(model.Load((MEDIA / "viking_weapon.model").string(), &man));
  testing::internal::GetCapturedStdout();
  std::set<std::string> names;
  std::vector<const TModelTreeNode*> open = {model.Root.get()};
  while (!open.empty()) {
    const TModelTreeNode* node = open.back();
    open.pop_back();
    names.insert(node->Name);
    for (const auto& child : node->Children)
      open.push_back(child.get());
  }
  for (const char* part : {"torso", "head", "arm_l", "arm_r", "leg_l", "leg_r", "weapon"})
    EXPECT_TRUE(names.count(part)) << part;
  ASSERT_GE(model.Animations.Count(), 3);
  for (const auto& animation : model.Animations) {
    int first = 1000, last = -1000;
    for (const auto& key : animation->Keys) {
      first = std::min(first, key->Time);
      last = std::max(last, key->Time);
    }
    EXPECT_EQ(first, 0) << animation->Name;
    EXPECT_EQ(last, 100) << animation->Name;
  }
  // The third animation visibly moves joints: some pose in it turns a node by 30 degrees or more.
  float largest = 0;
  for (const auto& key : model.Animations.Get(2)->Keys) {
    const TPose* pose = model.Poses.Get(model.IndexOfPose(key->PoseName));
    for (const auto& item : pose->Items)
      for (float r : {item->Diff.Rot.X, item->Diff.Rot.Y, item->Diff.Rot.Z})
        largest = std::max(largest, std::fabs(r));
  }
  EXPECT_GE(largest, 30);
}

TEST(MediaSet, FontCellsLeaveTheLastColumnsFreeForThe7PixelAdvance) {
  TSurface font = LoadRGBA("font");
  ASSERT_NE(font, nullptr);
  ASSERT_EQ(font->w, 128);
  ASSERT_EQ(font->h, 128);
  for (int code = 32; code < 128; ++code) {
    const int column = (code - 32) % 16, row = (code - 32) / 16 + 8;
    int ink = 0;
    for (int y = 0; y < 8; ++y) {
      EXPECT_EQ(Alpha(font.get(), column * 8 + 7, row * 8 + y), 0) << "code " << code;
      for (int x = 0; x < 7; ++x)
        ink += Alpha(font.get(), column * 8 + x, row * 8 + y) > 0;
    }
    if (code == 32)
      EXPECT_EQ(ink, 0) << "space is blank";
    else
      EXPECT_GT(ink, 0) << "code " << code << " has a glyph";
  }
}

TEST(MediaSet, CursorsAreDrawnFromTheirTopLeftCorner) {
  const struct {
    const char* Name;
    int X, Y; // a pixel well inside the picture, next to the hot spot
  } cursors[] = {{"pointer", 2, 5}, {"hourglass", 4, 3}};
  for (const auto& c : cursors) {
    TSurface cursor = LoadRGBA(c.Name);
    ASSERT_NE(cursor, nullptr) << c.Name;
    EXPECT_EQ(cursor->w, 64);
    EXPECT_EQ(Alpha(cursor.get(), c.X, c.Y), 255) << c.Name << ": opaque near the hot spot";
    EXPECT_EQ(Alpha(cursor.get(), 62, 62), 0) << c.Name << ": transparent around it";
  }
}

} // namespace
