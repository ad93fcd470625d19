// A batch draws what the node-by-node drawing draws: the media set's tank (textured, with a
// mirrored track) at rest and the viking in a pose, compared pixel by pixel. Runs under a
// virtual display.
#include "gfx/model_batch.h"

#include "gfx/draw_model.h"
#include "gfx/media_manager.h"
#include "gfx/runtime_animator.h"

#include "../support/gl_window.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <numbers>
#include <vector>

namespace {

const std::string MEDIA = std::string(SOURCE_DIR) + "/media/";
constexpr int SIZE = 200; // the square of the window the model is drawn in

class ModelBatchTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Window.Open());
    Man = std::make_unique<TFileMediaManager>(MEDIA);
    glViewport(0, 0, SIZE, SIZE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 1, 1, 100);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
  }

  // The frame Draw makes of a model Distance in front of the camera.
  std::vector<unsigned char> Frame(const std::function<void()>& Draw, float Distance = 8) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const GLfloat light[4] = {3, 8, 6, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glTranslatef(0, -1, -Distance);
    glRotatef(25, 1, 0, 0);
    Draw();
    std::vector<unsigned char> pixels(SIZE * SIZE * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, SIZE, SIZE, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  // The two frames agree where the model is: few pixels differ by more than rounding, and the
  // model covers the same pixels.
  void ExpectSame(const std::vector<unsigned char>& A, const std::vector<unsigned char>& B) {
    int covered = 0, coveredB = 0, differing = 0;
    for (std::size_t i = 0; i < A.size(); i += 3) {
      const bool a = A[i] || A[i + 1] || A[i + 2];
      const bool b = B[i] || B[i + 1] || B[i + 2];
      covered += a;
      coveredB += b;
      for (int k = 0; k < 3; ++k) {
        if (std::abs(A[i + k] - B[i + k]) > 6) {
          ++differing;
          break;
        }
      }
    }
    ASSERT_GT(covered, 2000) << "the model is in view";
    EXPECT_NEAR(coveredB, covered, covered / 100);
    EXPECT_LT(differing, covered / 50) << "of " << covered;
  }

  TTestGLWindow Window;
  std::unique_ptr<TFileMediaManager> Man;
};

TEST_F(ModelBatchTest, DrawsTheTankAsDrawModelDoes) {
  TModel tank;
  ASSERT_TRUE(tank.Load(MEDIA + "tank_ok.model", Man.get()));
  const float turn = 140;
  const auto direct = Frame([&] {
    glRotatef(turn, 0, 1, 0);
    DrawModel(tank);
  });
  TModelBatch batch;
  batch.Add(*tank.Root, *tank.Root,
            RotationMatrix(turn * std::numbers::pi_v<float> / 180, 0, 1, 0));
  EXPECT_GT(batch.Triangles(), 500u);
  ExpectSame(direct, Frame([&] { batch.Draw(); }));
}

TEST_F(ModelBatchTest, DrawsAPosedModelAsTheAnimatorsPoseIsDrawn) {
  TModel viking;
  ASSERT_TRUE(viking.Load(MEDIA + "viking_weapon.model", Man.get()));
  TRuntimeAnimator animator;
  animator.Build(viking);
  animator.Interpolate(2, 0.45f); // the attack, the axe high
  const float near = 4;
  const auto direct = Frame([&] { DrawRuntimeModel(animator); }, near);
  TModelBatch batch;
  batch.Add(*viking.Root, *animator.FActualPose, IdentityMatrix4());
  ExpectSame(direct, Frame([&] { batch.Draw(); }, near));
  // Cleared, it draws nothing; the tint takes a node's colour towards it.
  batch.Clear();
  EXPECT_EQ(batch.Triangles(), 0u);
  batch.Add(*viking.Root, *animator.FActualPose, IdentityMatrix4(), {1, 1, 1}, 1);
  const auto white = Frame([&] { batch.Draw(); }, near);
  int grey = 0;
  for (std::size_t i = 0; i < white.size(); i += 3) {
    grey += (white[i] > 0 && white[i] == white[i + 1] && white[i + 1] == white[i + 2]) ? 1 : 0;
  }
  EXPECT_GT(grey, 2000) << "every part lit white";
}

} // namespace
