// Sections: [colours] seats and marks; [models] loading and painting; [lists] ground, field,
// grid, trees and the flat shapes; [frame] Update and Draw; [marks] lit tiles, bases and rings;
// [units] the models posed and placed; [bars] the health bars.
#include "app/match_view.h"

#include "gfx/gl_map.h"
#include "gfx/media_manager.h"
#include "gfx/model_batch.h"
#include "gfx/opengl_helpers.h"
#include "gfx/runtime_animator.h"
#include "gfx/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <span>
#include <stdexcept>
#include <string_view>

namespace {

// ---- [colours] ----

constexpr std::array<TRGB, MaxSeats> SEAT_COLOURS = {{
    {0.16f, 0.42f, 0.95f}, // blue
    {0.90f, 0.14f, 0.12f}, // red
    {0.98f, 0.82f, 0.10f}, // yellow
    {0.72f, 0.26f, 0.92f}, // violet
}};
constexpr TRGB NO_SEAT_COLOUR = {0.6f, 0.6f, 0.6f};
// A tank's armour texture is multiplied by its paint: a lighter paint keeps the texture visible.
constexpr float TANK_PAINT_WHITENESS = 0.3f;

// The parts of each model painted in the seat's colour.
constexpr std::string_view VIKING_PAINTED[] = {"torso", "arm_l", "arm_r", "shield"};
constexpr std::string_view TANK_PAINTED[] = {"hull", "turret"};

// The ground around the field is darker than the field.
constexpr TRGB GROUND_COLOUR = {0.42f, 0.46f, 0.38f};
constexpr TRGB FIELD_COLOUR = {1.0f, 1.0f, 0.92f};
// The grid is a line along each tile's edges, this share of the tile's texels wide (at least
// one) and this much darker; a band of BORDER_WIDTH world units frames the field.
constexpr int GRID_LINE_PER_TEXELS = 64;
constexpr float GRID_DARKNESS = 0.3f;
constexpr TRGB BORDER_COLOUR = {0.12f, 0.1f, 0.06f};
constexpr float BORDER_WIDTH = 0.3f;
// Tiles a unit can move to, and the tiles of enemies it can attack.
constexpr float LIT_TILE[4] = {0.55f, 0.9f, 1.0f, 0.5f};
constexpr float TARGET_TILE[4] = {1.0f, 0.25f, 0.15f, 0.45f};
constexpr float TARGET_RING[4] = {1.0f, 0.1f, 0.05f, 1.0f};
constexpr float SELECTED_RING[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// The colour a unit turns to when it is hit, at full flash.
constexpr TRGB FLASH_COLOUR = {1.0f, 0.92f, 0.75f};

// ---- geometry, in world units ----

// Ground cells are this size, and the field is drawn in squares of this many tiles a side (the
// tile texture repeats across them): large, for few triangles, yet small enough that the light's
// fall-off shows across the ground.
constexpr float GROUND_CELL = 8 * TILE_SIZE;
constexpr int32_t FIELD_CELL_TILES = 4;
// Heights above the ground of the flat layers, so that each shows above the one below.
constexpr float GRID_LIFT = 0.02f;
constexpr float MARK_LIFT = 0.03f;
constexpr float BASE_LIFT = 0.05f;
constexpr float RING_LIFT = 0.06f;
constexpr float BASE_RADIUS = 1.55f;
constexpr float RING_INNER = 1.65f;
constexpr float RING_OUTER = 1.95f;
// Units are drawn at this size (the tank model is longer than a tile).
constexpr float VIKING_SCALE = 1.0f;
constexpr float TANK_SCALE = 0.8f;
// The bounding sphere a unit is culled by, and where its health bar hangs.
constexpr float UNIT_CENTRE_HEIGHT = 1.2f;
constexpr float UNIT_RADIUS = 3.0f;
constexpr float VIKING_BAR_HEIGHT = 3.0f;
constexpr float TANK_BAR_HEIGHT = 2.6f;
constexpr float TREE_TURN_PER_TILE = 47.0f;
constexpr float RADIANS_PER_DEGREE = std::numbers::pi_v<float> / 180.0f;

// ---- health bars, in window pixels ----

// A bar is as wide as its unit is drawn high, within these bounds, so that far bars crowd less.
constexpr float BAR_WIDTH_PER_UNIT_HEIGHT = 0.7f;
constexpr float BAR_MIN_WIDTH = 14;
constexpr float BAR_MAX_WIDTH = 30;
constexpr float BAR_HEIGHT = 4;
constexpr float BAR_FRAME = 1;
constexpr float BAR_SEAT_STRIP = 2;
constexpr float BAR_RAISE = 6; // pixels above the projected point
constexpr float HEALTHY_SHARE = 0.6f;
constexpr float WOUNDED_SHARE = 0.3f;
constexpr TRGB BAR_HEALTHY = {0.2f, 0.85f, 0.2f};
constexpr TRGB BAR_WOUNDED = {0.95f, 0.8f, 0.1f};
constexpr TRGB BAR_DYING = {0.9f, 0.15f, 0.1f};
constexpr TRGB BAR_EMPTY = {0.25f, 0.06f, 0.06f};

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SetMaterial(const TRGB& C) {
  SetMaterialColor(C.R, C.G, C.B);
}

// A rectangle of ground from (X0, Z0) to (X1, Z1), facing up, the tile texture once per tile.
void GroundQuad(float X0, float Z0, float X1, float Z1) {
  if (X1 <= X0 || Z1 <= Z0) {
    return;
  }
  glTexCoord2f(X0 / TILE_SIZE, Z0 / TILE_SIZE);
  glVertex3f(X0, 0, Z0);
  glTexCoord2f(X0 / TILE_SIZE, Z1 / TILE_SIZE);
  glVertex3f(X0, 0, Z1);
  glTexCoord2f(X1 / TILE_SIZE, Z1 / TILE_SIZE);
  glVertex3f(X1, 0, Z1);
  glTexCoord2f(X1 / TILE_SIZE, Z0 / TILE_SIZE);
  glVertex3f(X1, 0, Z0);
}

// An untextured flat quad at height Y.
void FlatQuad(float X0, float Z0, float X1, float Z1, float Y) {
  glVertex3f(X0, Y, Z0);
  glVertex3f(X0, Y, Z1);
  glVertex3f(X1, Y, Z1);
  glVertex3f(X1, Y, Z0);
}

// A flat window-pixel rectangle.
void PixelRect(float X, float Y, float W, float H, const TRGB& C) {
  glColor3f(C.R, C.G, C.B);
  glVertex2f(X, Y);
  glVertex2f(X + W, Y);
  glVertex2f(X + W, Y + H);
  glVertex2f(X, Y + H);
}

void Paint(TModelTreeNode& Node, std::span<const std::string_view> Names, const TRGB& C) {
  if (std::find(Names.begin(), Names.end(), Node.Name) != Names.end()) {
    Node.Color = C;
  }
  for (const auto& child : Node.Children) {
    Paint(*child, Names, C);
  }
}

std::unique_ptr<TModel> LoadModelFile(const std::string& FileName, TGenericMediaManager* Man) {
  auto model = std::make_unique<TModel>();
  bool loaded = false;
  try {
    loaded = model->Load(FileName, Man);
  } catch (const std::exception& E) {
    throw std::runtime_error(FileName + ": " + E.what());
  }
  if (!loaded) {
    throw std::runtime_error(FileName + ": the file cannot be opened");
  }
  return model;
}

int AnimationNamed(const TModel& Model, const char* Name) {
  for (int i = 0; i < Model.Animations.Count(); ++i) {
    if (Model.Animations.Get(i)->Name == Name) {
      return i;
    }
  }
  return -1;
}

void DeleteList(uint32_t& List) {
  if (List != 0) {
    glDeleteLists(List, 1);
    List = 0;
  }
}

} // namespace

TRGB SeatColour(int32_t Seat) {
  return Seat >= 0 && Seat < MaxSeats ? SEAT_COLOURS[static_cast<std::size_t>(Seat)]
                                      : NO_SEAT_COLOUR;
}

TRGB HealthBarColour(float Share) {
  return Share >= HEALTHY_SHARE ? BAR_HEALTHY : Share >= WOUNDED_SHARE ? BAR_WOUNDED : BAR_DYING;
}

// ---- [models] ----

TMatchView::TMatchView(TGenericMediaManager* Man, const std::string& MediaDirectory)
    : Clock(SteadySeconds), FMan(Man), FMediaDirectory(MediaDirectory) {
  FTree = LoadModelFile(FMediaDirectory + TREE_MODEL, FMan);
  LoadUnitModels(FVikings, VIKING_MODEL, VIKING_FAR_MODEL, "idle", "walk", "attack");
  LoadUnitModels(FTanks, TANK_MODEL, TANK_FAR_MODEL, "scan", nullptr, "fire");
  for (int32_t seat = 0; seat < MaxSeats; ++seat) {
    const TRGB c = SeatColour(seat);
    const GLubyte texel[3] = {static_cast<GLubyte>(c.R * 255), static_cast<GLubyte>(c.G * 255),
                              static_cast<GLubyte>(c.B * 255)};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    FSeatTextures[static_cast<std::size_t>(seat)] = name;
  }
}

TMatchView::~TMatchView() {
  DeleteList(FGroundList);
  DeleteList(FTreeList);
  DeleteList(FRingList);
  for (uint32_t name : {FGroundTexture, FFieldTexture}) {
    const GLuint texture = name;
    glDeleteTextures(1, &texture);
  }
  for (uint32_t& name : FSeatTextures) {
    const GLuint texture = name;
    glDeleteTextures(1, &texture);
  }
}

void TMatchView::LoadUnitModels(TUnitModels& Models, const std::string& FileName,
                                const std::string& FarFileName, const char* Idle, const char* Move,
                                const char* Attack) {
  Models.Base = LoadModelFile(FMediaDirectory + FileName, FMan);
  const bool tank = FileName == TANK_MODEL;
  for (int32_t seat = 0; seat < MaxSeats; ++seat) {
    TRGB paint = SeatColour(seat);
    if (tank) {
      paint = {paint.R + (1 - paint.R) * TANK_PAINT_WHITENESS,
               paint.G + (1 - paint.G) * TANK_PAINT_WHITENESS,
               paint.B + (1 - paint.B) * TANK_PAINT_WHITENESS};
    }
    const auto index = static_cast<std::size_t>(seat);
    Models.Seats[index] = LoadModelFile(FMediaDirectory + FileName, FMan);
    Models.FarSeats[index] = LoadModelFile(FMediaDirectory + FarFileName, FMan);
    for (TModel* copy : {Models.Seats[index].get(), Models.FarSeats[index].get()}) {
      if (tank) {
        Paint(*copy->Root, TANK_PAINTED, paint);
      } else {
        Paint(*copy->Root, VIKING_PAINTED, paint);
      }
    }
  }
  Models.Animator = std::make_unique<TRuntimeAnimator>();
  Models.Animator->Build(*Models.Base);
  Models.Idle = Idle ? AnimationNamed(*Models.Base, Idle) : -1;
  Models.Move = Move ? AnimationNamed(*Models.Base, Move) : -1;
  Models.Attack = Attack ? AnimationNamed(*Models.Base, Attack) : -1;
}

// ---- [lists] ----

void TMatchView::BuildGroundTextures() {
  // The tile's pixels, read back from the texture the media manager made of it.
  TTexture* tile = FMan ? FMan->GetTextureByName(GROUND_TEXTURE) : nullptr;
  if (!tile || tile->Texture == 0) {
    return;
  }
  glBindTexture(GL_TEXTURE_2D, tile->Texture);
  GLint width = 0;
  GLint height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  if (width <= 0 || height <= 0) {
    return;
  }
  std::vector<GLubyte> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  // The field's texture: the tile with a faint dark line along its edges, which make the grid.
  std::vector<GLubyte> field = pixels;
  const int line = std::max(1, width / GRID_LINE_PER_TEXELS);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (x < line || y < line || x >= width - line || y >= height - line) {
        GLubyte* p = field.data() + (static_cast<std::size_t>(y) * width + x) * 3;
        for (int k = 0; k < 3; ++k) {
          p[k] = static_cast<GLubyte>(static_cast<float>(p[k]) * (1 - GRID_DARKNESS));
        }
      }
    }
  }
  // Mipmaps keep the far ground calm and cheap to sample; the nearest texel of the nearest
  // level is as good as a blend where the ground is seen from afar, and much cheaper.
  auto make = [&](uint32_t& Name, const std::vector<GLubyte>& Pixels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, width, height, GL_RGB, GL_UNSIGNED_BYTE,
                      Pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    Name = name;
  };
  make(FGroundTexture, pixels);
  make(FFieldTexture, field);
}

void TMatchView::BuildGround() {
  if (FGroundTexture == 0) {
    BuildGroundTextures();
  }
  DeleteList(FGroundList);
  FGroundList = glGenLists(1);
  glNewList(FGroundList, GL_COMPILE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, FGroundTexture);
  glNormal3f(0, 1, 0);
  // The ground map in cells, less the field's rectangle.
  const float fieldRight = FField.Left + TILE_SIZE * static_cast<float>(FField.Columns);
  const float fieldBottom = FField.Top + TILE_SIZE * static_cast<float>(FField.Rows);
  const float groundSide = TILE_SIZE * static_cast<float>(GROUND_TILES);
  SetMaterial(GROUND_COLOUR);
  glBegin(GL_QUADS);
  for (float z = 0; z < groundSide; z += GROUND_CELL) {
    for (float x = 0; x < groundSide; x += GROUND_CELL) {
      const float x1 = x + GROUND_CELL;
      const float z1 = z + GROUND_CELL;
      GroundQuad(x, z, x1, std::min(z1, FField.Top));
      GroundQuad(x, std::max(z, fieldBottom), x1, z1);
      const float bandTop = std::max(z, FField.Top);
      const float bandBottom = std::min(z1, fieldBottom);
      GroundQuad(x, bandTop, std::min(x1, FField.Left), bandBottom);
      GroundQuad(std::max(x, fieldRight), bandTop, x1, bandBottom);
    }
  }
  glEnd();
  // The field in squares of a few tiles (a software renderer fills a few large triangles much
  // faster than many small ones), the grid texture once per tile.
  glBindTexture(GL_TEXTURE_2D, FFieldTexture);
  SetMaterial(FIELD_COLOUR);
  glBegin(GL_QUADS);
  for (int32_t y = 0; y < FField.Rows; y += FIELD_CELL_TILES) {
    for (int32_t x = 0; x < FField.Columns; x += FIELD_CELL_TILES) {
      const auto x0 = static_cast<float>(x);
      const auto y0 = static_cast<float>(y);
      const auto x1 = static_cast<float>(std::min(x + FIELD_CELL_TILES, FField.Columns));
      const auto y1 = static_cast<float>(std::min(y + FIELD_CELL_TILES, FField.Rows));
      const TVector a = FField.At(x0, y0);
      const TVector b = FField.At(x1, y1);
      glTexCoord2f(x0, y0);
      glVertex3f(a.X, 0, a.Z);
      glTexCoord2f(x0, y1);
      glVertex3f(a.X, 0, b.Z);
      glTexCoord2f(x1, y1);
      glVertex3f(b.X, 0, b.Z);
      glTexCoord2f(x1, y0);
      glVertex3f(b.X, 0, a.Z);
    }
  }
  glEnd();
  // A dark band round the field.
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glColor3f(BORDER_COLOUR.R, BORDER_COLOUR.G, BORDER_COLOUR.B);
  glBegin(GL_QUADS);
  const float w = BORDER_WIDTH;
  FlatQuad(FField.Left - w, FField.Top - w, fieldRight + w, FField.Top, GRID_LIFT);
  FlatQuad(FField.Left - w, fieldBottom, fieldRight + w, fieldBottom + w, GRID_LIFT);
  FlatQuad(FField.Left - w, FField.Top, FField.Left, fieldBottom, GRID_LIFT);
  FlatQuad(fieldRight, FField.Top, fieldRight + w, fieldBottom, GRID_LIFT);
  glEnd();
  glEndList();
  FGroundStale = false;
}

void TMatchView::BuildTrees() {
  DeleteList(FTreeList);
  const TGame* shown = FPicture.Shown();
  // Every tree placed in one batch, compiled once.
  TModelBatch trees;
  if (shown && shown->Map) {
    for (int32_t y = 0; y < shown->Map->SizeY; ++y) {
      for (int32_t x = 0; x < shown->Map->SizeX; ++x) {
        if (!HasTree(*shown, x, y)) {
          continue;
        }
        const TVector c = FField.Centre(x, y);
        const float turn =
            TREE_TURN_PER_TILE * RADIANS_PER_DEGREE * static_cast<float>(x * 7 + y * 3);
        trees.Add(*FTree->Root, *FTree->Root,
                  Multiply(TranslationMatrix(c.X, 0, c.Z), RotationMatrix(turn, 0, 1, 0)));
      }
    }
  }
  FTreeList = glGenLists(1);
  glNewList(FTreeList, GL_COMPILE);
  trees.Draw();
  glEndList();
  FTreesStale = false;
}

void TMatchView::BuildShapes() {
  const float step = 2 * std::numbers::pi_v<float> / CIRCLE_STEPS;
  for (int i = 0; i <= CIRCLE_STEPS; ++i) {
    const float a = step * static_cast<float>(i);
    FCircle[static_cast<std::size_t>(i)] = {std::sin(a), std::cos(a)};
  }
  FRingList = glGenLists(1);
  glNewList(FRingList, GL_COMPILE);
  glBegin(GL_TRIANGLE_STRIP);
  // Inner edge first, so that the strip faces up.
  for (const auto& [sine, cosine] : FCircle) {
    glVertex3f(RING_INNER * sine, 0, RING_INNER * cosine);
    glVertex3f(RING_OUTER * sine, 0, RING_OUTER * cosine);
  }
  glEnd();
  glEndList();
}

// ---- [frame] ----

void TMatchView::Reset(const TGame& Game, int32_t Seat) {
  if (Seat != FSeat) {
    FPicture = TMatchPicture(Seat);
    FSeat = Seat;
    Selection.Deselect();
  }
  FPicture.Reset(Game);
  const int32_t columns = Game.Map ? Game.Map->SizeX : 0;
  const int32_t rows = Game.Map ? Game.Map->SizeY : 0;
  if (columns != FField.Columns || rows != FField.Rows) {
    FField = PlaceField(columns, rows);
    FGroundStale = true;
  }
  FTreesStale = true;
  ++FGeneration;
}

void TMatchView::Push(const TMatchEvent& Event) {
  FPicture.Push(Event);
  ++FGeneration;
}

void TMatchView::Update(const TGame& Mirror) {
  const double now = Clock ? Clock() : 0;
  if (!FClockStarted) {
    FLastClock = now;
    FClockStarted = true;
  }
  FPicture.Advance(std::max(0.0, now - FLastClock));
  FLastClock = now;
  if (!FPicture.Consistent()) {
    FPicture.Reset(Mirror);
    ++FGeneration;
  }
  Selection.Forget(Mirror);
}

void TMatchView::Draw(const TGame& Mirror) {
  glGetFloatv(GL_PROJECTION_MATRIX, FProjection.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, FModelView.data());
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  FViewport = {viewport[0], viewport[1], viewport[2], viewport[3]};
  FCuller.Calculate(FProjection, FModelView);
  const bool lighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;

  if (FGroundStale) {
    BuildGround();
  }
  if (FTreesStale) {
    BuildTrees();
  }
  if (FRingList == 0) {
    BuildShapes();
  }
  // Opaque surfaces are drawn without blending, which spares reading back every pixel. The
  // ground lies under everything else, so it needs no depth test either.
  const bool blending = glIsEnabled(GL_BLEND) == GL_TRUE;
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glCallList(FGroundList);
  glEnable(GL_DEPTH_TEST);

  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  DrawBases();
  glEnable(GL_BLEND);
  DrawMarks(Mirror);
  DrawRings();

  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glCallList(FTreeList);
  DrawUnits();

  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  DrawHealthBars();

  glColor4f(1, 1, 1, 1);
  glEnable(GL_TEXTURE_2D);
  if (blending) {
    glEnable(GL_BLEND);
  }
  if (lighting) {
    glEnable(GL_LIGHTING);
  }
}

void TMatchView::Click(const TGame& Mirror, int MX, int MY) {
  TTilePos tile;
  Selection.Click(Mirror, FSeat, TileAt(MX, MY, tile) ? std::optional(tile) : std::nullopt);
}

bool TMatchView::TileAt(int MX, int MY, TTilePos& Tile) const {
  return PickTile(FProjection, FModelView, FViewport, MX, MY, FField, Tile);
}

// ---- [marks] ----

void TMatchView::DrawMarks(const TGame& Mirror) {
  const TUnit* selected = FindUnit(Mirror, Selection.Selected());
  if (!selected) {
    return;
  }
  if (FMarksUnit != selected->Id || FMarksGeneration != FGeneration) {
    FMarks = MarksOf(Mirror, *selected);
    FMarksUnit = selected->Id;
    FMarksGeneration = FGeneration;
  }
  glBegin(GL_QUADS);
  glColor4fv(LIT_TILE);
  for (const TTilePos& tile : FMarks.Lit) {
    const TVector a = FField.At(static_cast<float>(tile.X), static_cast<float>(tile.Y));
    FlatQuad(a.X, a.Z, a.X + TILE_SIZE, a.Z + TILE_SIZE, MARK_LIFT);
  }
  glColor4fv(TARGET_TILE);
  for (int32_t id : FMarks.Targets) {
    if (const TUnit* target = FindUnit(Mirror, id)) {
      const TVector a = FField.At(static_cast<float>(target->X), static_cast<float>(target->Y));
      FlatQuad(a.X, a.Z, a.X + TILE_SIZE, a.Z + TILE_SIZE, MARK_LIFT);
    }
  }
  glEnd();
}

void TMatchView::DrawBases() {
  // Every unit's disc in one batch of triangles.
  glBegin(GL_TRIANGLES);
  for (const TUnitLook& look : FPicture.Looks()) {
    const TVector at = FField.At(look.X, look.Y);
    if (!FCuller.IsSphereWithin(at.X, UNIT_CENTRE_HEIGHT, at.Z, UNIT_RADIUS)) {
      continue;
    }
    const TRGB c = SeatColour(look.Seat);
    glColor4f(c.R, c.G, c.B, 1);
    const float r = BASE_RADIUS * look.Size;
    for (int i = 0; i < CIRCLE_STEPS; ++i) {
      const auto& a = FCircle[static_cast<std::size_t>(i)];
      const auto& b = FCircle[static_cast<std::size_t>(i + 1)];
      glVertex3f(at.X, BASE_LIFT, at.Z);
      glVertex3f(at.X + r * a[0], BASE_LIFT, at.Z + r * a[1]);
      glVertex3f(at.X + r * b[0], BASE_LIFT, at.Z + r * b[1]);
    }
  }
  glEnd();
}

void TMatchView::DrawRings() {
  const int32_t selected = Selection.Selected();
  for (const TUnitLook& look : FPicture.Looks()) {
    const bool target = FMarksUnit == selected && selected != 0 &&
                        std::binary_search(FMarks.Targets.begin(), FMarks.Targets.end(), look.Id);
    if (look.Id != selected && !target) {
      continue;
    }
    const TVector at = FField.At(look.X, look.Y);
    glPushMatrix();
    glTranslatef(at.X, RING_LIFT, at.Z);
    glScalef(look.Size, 1, look.Size);
    glColor4fv(look.Id == selected ? SELECTED_RING : TARGET_RING);
    glCallList(FRingList);
    glPopMatrix();
  }
}

// ---- [units] ----

void TMatchView::DrawUnits() {
  FUnitsDrawn = 0;
  FUnitBatch.Clear();
  for (const TUnitLook& look : FPicture.Looks()) {
    const TVector at = FField.At(look.X, look.Y);
    if (FCuller.IsSphereWithin(at.X, UNIT_CENTRE_HEIGHT, at.Z, UNIT_RADIUS)) {
      AddUnit(look);
      ++FUnitsDrawn;
    }
  }
  FUnitBatch.Draw();
}

void TMatchView::AddUnit(const TUnitLook& Look) {
  const bool tank = Look.Kind == TUnitKind::Tank;
  TUnitModels& models = tank ? FTanks : FVikings;
  int animation = models.Idle;
  if (Look.Action == TUnitAction::Walk) {
    animation = models.Move;
  } else if (Look.Action == TUnitAction::Attack) {
    animation = models.Attack;
  }
  if (animation >= 0) {
    models.Animator->Interpolate(animation, Look.Phase);
  } else {
    models.Animator->InterpolatePose(-1, -1, 0); // at rest
  }
  const TVector at = FField.At(Look.X, Look.Y);
  const float scale = (tank ? TANK_SCALE : VIKING_SCALE) * Look.Size;
  const float height = tank ? TANK_BAR_HEIGHT : VIKING_BAR_HEIGHT;
  const bool far = PixelsHigh(at, height * scale) < FULL_DETAIL_PIXELS;
  const TModel* model = models.Base.get();
  if (Look.Seat >= 0 && Look.Seat < MaxSeats) {
    const auto seat = static_cast<std::size_t>(Look.Seat);
    model = far ? models.FarSeats[seat].get() : models.Seats[seat].get();
  }
  const TMatrix4 place =
      Multiply(Multiply(TranslationMatrix(at.X, 0, at.Z),
                        RotationMatrix(Look.Facing * RADIANS_PER_DEGREE, 0, 1, 0)),
               ScaleMatrix(scale, scale, scale));
  FUnitBatch.Add(*model->Root, *models.Animator->FActualPose, place, FLASH_COLOUR, Look.Flash);
}

float TMatchView::PixelsHigh(const TVector& At, float Height) const {
  TVector foot, head;
  if (!ProjectPoint(FProjection, FModelView, FViewport, At, foot) ||
      !ProjectPoint(FProjection, FModelView, FViewport, {At.X, At.Y + Height, At.Z}, head)) {
    return 0;
  }
  return std::hypot(head.X - foot.X, head.Y - foot.Y);
}

// ---- [bars] ----

void TMatchView::DrawHealthBars() {
  FBars.clear();
  for (const TUnitLook& look : FPicture.Looks()) {
    const TVector at = FField.At(look.X, look.Y);
    if (look.MaxHealth <= 0 || look.Size <= 0 ||
        !FCuller.IsSphereWithin(at.X, UNIT_CENTRE_HEIGHT, at.Z, UNIT_RADIUS)) {
      continue;
    }
    const float height =
        (look.Kind == TUnitKind::Tank ? TANK_BAR_HEIGHT : VIKING_BAR_HEIGHT) * look.Size;
    TVector window;
    if (!ProjectPoint(FProjection, FModelView, FViewport, {at.X, height, at.Z}, window) ||
        window.Z < 0 || window.Z > 1) {
      continue;
    }
    const float share = std::clamp(
        static_cast<float>(look.Health) / static_cast<float>(look.MaxHealth), 0.0f, 1.0f);
    const float width = std::round(std::clamp(BAR_WIDTH_PER_UNIT_HEIGHT * PixelsHigh(at, height),
                                              BAR_MIN_WIDTH, BAR_MAX_WIDTH));
    FBars.push_back({window.X, window.Y, window.Z, width, share, look.Seat});
  }
  // Far bars first, so that nearer ones cover them.
  std::sort(FBars.begin(), FBars.end(),
            [](const TBar& A, const TBar& B) { return A.Depth > B.Depth; });

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(FViewport.X, FViewport.X + FViewport.Width, FViewport.Y, FViewport.Y + FViewport.Height,
          -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glBegin(GL_QUADS);
  for (const TBar& bar : FBars) {
    // Whole pixels, so that every bar is as crisp as the next.
    const float left = std::floor(bar.X - bar.Width / 2);
    const float bottom = std::floor(bar.Y + BAR_RAISE);
    const TRGB fill = HealthBarColour(bar.Share);
    const float filled = std::round(bar.Width * bar.Share);
    PixelRect(left - BAR_FRAME, bottom - BAR_FRAME, bar.Width + 2 * BAR_FRAME,
              BAR_HEIGHT + BAR_SEAT_STRIP + 3 * BAR_FRAME, {0, 0, 0});
    PixelRect(left, bottom, filled, BAR_HEIGHT, fill);
    PixelRect(left + filled, bottom, bar.Width - filled, BAR_HEIGHT, BAR_EMPTY);
    PixelRect(left, bottom + BAR_HEIGHT + BAR_FRAME, bar.Width, BAR_SEAT_STRIP,
              SeatColour(bar.Seat));
  }
  glEnd();
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
