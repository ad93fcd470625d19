#include "guidraw/retained_layer.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr int OPENGL_MAJOR_WITH_LABELS = 4, OPENGL_MINOR_WITH_LABELS = 3;
constexpr std::size_t MAX_LABEL = 64;

// Object labels come with OpenGL 4.3 or the KHR_debug extension.
bool DriverLabelsObjects() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0, minor = 0;
  if (version != nullptr && std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
      (major > OPENGL_MAJOR_WITH_LABELS ||
       (major == OPENGL_MAJOR_WITH_LABELS && minor >= OPENGL_MINOR_WITH_LABELS))) {
    return true;
  }
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return extensions != nullptr && std::strstr(extensions, "GL_KHR_debug") != nullptr;
}

// State that would change the picture's pixels, or drop some, on their way back.
constexpr GLenum FRAGMENT_STATE[] = {GL_BLEND,        GL_ALPHA_TEST,   GL_DEPTH_TEST,
                                     GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_FOG,
                                     GL_LIGHTING,     GL_CULL_FACE,    GL_COLOR_LOGIC_OP};

} // namespace

TRetainedLayer::~TRetainedLayer() {
  if (OwnsTexture()) {
    const GLuint texture = FTexture;
    glDeleteTextures(1, &texture);
  }
}

void TRetainedLayer::Draw(std::uint32_t Under, const TGUICommandList& GUI,
                          const std::function<void()>& DrawUnder) {
  std::array<int, 4> viewport{};
  glGetIntegerv(GL_VIEWPORT, viewport.data());
  if (!OwnsTexture()) {
    FTexture = 0; // gone with its context, or another's now: never ours to delete
    FPictureKept = false;
  }
  const bool repeated = FSeen && Under == FUnder && viewport == FViewport && GUI == FGUI;
  FLastKept = repeated && FPictureKept;
  if (FLastKept) {
    DrawPicture();
    return;
  }
  if (DrawUnder) {
    DrawUnder();
  }
  GUI.Replay(GLGUIOutput());
  if (repeated) {
    FPictureKept = Capture();
  } else {
    FSeen = true;
    FUnder = Under;
    FViewport = viewport;
    FGUI = GUI;
    FPictureKept = false;
  }
}

bool TRetainedLayer::OwnsTexture() const {
  if (FTexture == 0 || FGetObjectLabel == nullptr || !glIsTexture(FTexture)) {
    return false;
  }
  char label[MAX_LABEL] = {};
  int length = 0;
  FGetObjectLabel(GL_TEXTURE, FTexture, static_cast<int>(sizeof label), &length, label);
  return std::string_view(label, static_cast<std::size_t>(length)) == FLabel;
}

bool TRetainedLayer::Capture() {
  if (!FLabelsLooked) {
    FLabelsLooked = true;
    if (DriverLabelsObjects()) {
      FObjectLabel = reinterpret_cast<TObjectLabel>(SDL_GL_GetProcAddress("glObjectLabel"));
      FGetObjectLabel =
          reinterpret_cast<TGetObjectLabel>(SDL_GL_GetProcAddress("glGetObjectLabel"));
    }
  }
  if (FObjectLabel == nullptr || FGetObjectLabel == nullptr) {
    return false;
  }
  const int width = FViewport[2], height = FViewport[3];
  if (FTexture == 0) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    FTexture = texture;
    FTextureWidth = FTextureHeight = 0;
    glBindTexture(GL_TEXTURE_2D, FTexture);
    // Binding makes the object that the label names.
    FLabel = "retained GUI layer " + std::to_string(reinterpret_cast<std::uintptr_t>(this));
    FObjectLabel(GL_TEXTURE, FTexture, static_cast<int>(FLabel.size()), FLabel.c_str());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  glBindTexture(GL_TEXTURE_2D, FTexture);
  if (FTextureWidth != width || FTextureHeight != height) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    FTextureWidth = width;
    FTextureHeight = height;
  }
  // Read from the buffer that was drawn into, whatever the read buffer was.
  GLint drawBuffer = GL_BACK, readBuffer = GL_BACK;
  glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
  glGetIntegerv(GL_READ_BUFFER, &readBuffer);
  glReadBuffer(static_cast<GLenum>(drawBuffer));
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, FViewport[0], FViewport[1], width, height);
  glReadBuffer(static_cast<GLenum>(readBuffer));
  return true;
}

void TRetainedLayer::DrawPicture() const {
  glPushAttrib(GL_ENABLE_BIT | GL_TRANSFORM_BIT);
  for (GLenum state : FRAGMENT_STATE) {
    glDisable(state);
  }
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, FTexture);
  GLint envMode = GL_MODULATE;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  // The whole viewport in normalised device coordinates: texture row 0 is the bottom row,
  // as glCopyTexSubImage2D stored it.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glColor3f(1, 1, 1);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, -1);
  glTexCoord2f(0, 1);
  glVertex2f(-1, 1);
  glTexCoord2f(1, 1);
  glVertex2f(1, 1);
  glEnd();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
  glPopAttrib();
}
