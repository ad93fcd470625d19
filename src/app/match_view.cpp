// Sections: [colours] seats and marks; [models] loading and painting; [lists] ground, field,
// grid, trees and the flat shapes; [frame] Update and Draw; [marks] lit tiles, bases and rings;
// [units] the models posed and placed; [bars] the health bars.
#include "app/match_view.h"

#include "gfx/draw_model.h"
#include "gfx/gl_map.h"
#include "gfx/gl_mesh.h"
#include "gfx/media_manager.h"
#include "gfx/opengl_helpers.h"
#include "gfx/runtime_animator.h"
#include "gfx/texture.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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

// The ground around the field is darker than the field, whose tiles alternate faintly.
constexpr TRGB GROUND_COLOUR = {0.42f, 0.46f, 0.38f};
constexpr TRGB FIELD_COLOUR = {1.0f, 1.0f, 0.92f};
constexpr TRGB FIELD_COLOUR_ALTERNATE = {0.9f, 0.93f, 0.82f};
constexpr float GRID_ALPHA = 0.28f;
constexpr float BORDER_ALPHA = 0.6f;
constexpr float BORDER_WIDTH = 2.0f;
// Tiles a unit can move to, and the tiles of enemies it can attack.
constexpr float LIT_TILE[4] = {0.55f, 0.9f, 1.0f, 0.5f};
constexpr float TARGET_TILE[4] = {1.0f, 0.25f, 0.15f, 0.45f};
constexpr float TARGET_RING[4] = {1.0f, 0.1f, 0.05f, 1.0f};
constexpr float SELECTED_RING[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// The colour a unit glows in when it is hit, at full flash.
constexpr float FLASH_GLOW[3] = {1.0f, 0.45f, 0.3f};

// ---- geometry, in world units ----

// Ground cells are this size (the tile texture repeats across them).
constexpr float GROUND_CELL = 2 * TILE_SIZE;
// Heights above the ground of the flat layers, so that each shows above the one below.
constexpr float GRID_LIFT = 0.02f;
constexpr float MARK_LIFT = 0.03f;
constexpr float BASE_LIFT = 0.05f;
constexpr float RING_LIFT = 0.06f;
constexpr float BASE_RADIUS = 1.55f;
constexpr float RING_INNER = 1.65f;
constexpr float RING_OUTER = 1.95f;
constexpr int CIRCLE_STEPS = 24;
// Units are drawn at this size (the tank model is longer than a tile).
constexpr float VIKING_SCALE = 1.0f;
constexpr float TANK_SCALE = 0.8f;
// The bounding sphere a unit is culled by, and where its health bar hangs.
constexpr float UNIT_CENTRE_HEIGHT = 1.2f;
constexpr float UNIT_RADIUS = 3.0f;
constexpr float VIKING_BAR_HEIGHT = 3.0f;
constexpr float TANK_BAR_HEIGHT = 2.6f;
constexpr float TREE_TURN_PER_TILE = 47.0f;

// ---- health bars, in window pixels ----

constexpr float BAR_WIDTH = 30;
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

// Compiles every mesh of the subtree now, so that the subtree can be drawn into another list.
void CompileMeshes(const TModelTreeNode& Node) {
  if (auto* mesh = dynamic_cast<TGLMesh*>(Node.GraphicalElement.Mesh)) {
    mesh->BuildDisplayList();
  }
  for (const auto& child : Node.Children) {
    CompileMeshes(*child);
  }
}

void Paint(TModelTreeNode& Node, std::span<const std::string_view> Names, const TRGB& C) {
  if (std::find(Names.begin(), Names.end(), Node.Name) != Names.end()) {
    Node.Color = C;
  }
  for (const auto& child : Node.Children) {
    Paint(*child, Names, C);
  }
}

// Draws Source's nodes (their meshes, colours and textures) where the posed copy Posed puts
// them; the two trees have the same shape.
void DrawPosed(const TModelTreeNode& Source, const TModelTreeNode& Posed) {
  glPushMatrix();
  ApplyTrans(Posed.Transf);
  const bool toggle = Posed.Transf.MustToggleFaces();
  if (toggle) {
    ToggleFaceMode();
  }
  DrawTreeNode(Source);
  const int children = std::min(Source.Children.Count(), Posed.Children.Count());
  for (int i = 0; i < children; ++i) {
    DrawPosed(*Source.Children.Get(i), *Posed.Children.Get(i));
  }
  if (toggle) {
    ToggleFaceMode();
  }
  glPopMatrix();
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

// ---- [models] ----

TMatchView::TMatchView(TGenericMediaManager* Man, const std::string& MediaDirectory)
    : Clock(SteadySeconds), FMan(Man), FMediaDirectory(MediaDirectory) {
  FTree = LoadModelFile(FMediaDirectory + TREE_MODEL, FMan);
  LoadUnitModels(FVikings, VIKING_MODEL, "idle", "walk", "attack");
  LoadUnitModels(FTanks, TANK_MODEL, "scan", nullptr, "fire");
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
  DeleteList(FDiscList);
  DeleteList(FRingList);
  for (uint32_t& name : FSeatTextures) {
    const GLuint texture = name;
    glDeleteTextures(1, &texture);
  }
}

void TMatchView::LoadUnitModels(TUnitModels& Models, const std::string& FileName, const char* Idle,
                                const char* Move, const char* Attack) {
  const std::string path = FMediaDirectory + FileName;
  Models.Base = LoadModelFile(path, FMan);
  const bool tank = FileName == TANK_MODEL;
  for (int32_t seat = 0; seat < MaxSeats; ++seat) {
    auto& copy = Models.Seats[static_cast<std::size_t>(seat)];
    copy = LoadModelFile(path, FMan);
    TRGB paint = SeatColour(seat);
    if (tank) {
      paint = {paint.R + (1 - paint.R) * TANK_PAINT_WHITENESS,
               paint.G + (1 - paint.G) * TANK_PAINT_WHITENESS,
               paint.B + (1 - paint.B) * TANK_PAINT_WHITENESS};
      Paint(*copy->Root, TANK_PAINTED, paint);
    } else {
      Paint(*copy->Root, VIKING_PAINTED, paint);
    }
  }
  Models.Animator = std::make_unique<TRuntimeAnimator>();
  Models.Animator->Build(*Models.Base);
  Models.Idle = Idle ? AnimationNamed(*Models.Base, Idle) : -1;
  Models.Move = Move ? AnimationNamed(*Models.Base, Move) : -1;
  Models.Attack = Attack ? AnimationNamed(*Models.Base, Attack) : -1;
}

// ---- [lists] ----

void TMatchView::BuildGround() {
  DeleteList(FGroundList);
  FGroundList = glGenLists(1);
  glNewList(FGroundList, GL_COMPILE);
  TTexture* tile = FMan ? FMan->GetTextureByName(GROUND_TEXTURE) : nullptr;
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, tile ? tile->Texture : 0);
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
  // The field's tiles, alternating faintly like a board.
  for (int parity = 0; parity < 2; ++parity) {
    SetMaterial(parity == 0 ? FIELD_COLOUR : FIELD_COLOUR_ALTERNATE);
    glBegin(GL_QUADS);
    for (int32_t y = 0; y < FField.Rows; ++y) {
      for (int32_t x = 0; x < FField.Columns; ++x) {
        if ((x + y) % 2 != parity) {
          continue;
        }
        const TVector a = FField.At(static_cast<float>(x), static_cast<float>(y));
        glTexCoord2f(0, 0);
        glVertex3f(a.X, 0, a.Z);
        glTexCoord2f(0, 1);
        glVertex3f(a.X, 0, a.Z + TILE_SIZE);
        glTexCoord2f(1, 1);
        glVertex3f(a.X + TILE_SIZE, 0, a.Z + TILE_SIZE);
        glTexCoord2f(1, 0);
        glVertex3f(a.X + TILE_SIZE, 0, a.Z);
      }
    }
    glEnd();
  }
  // The grid: a faint line between tiles, a stronger one round the field.
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glColor4f(0, 0, 0, GRID_ALPHA);
  glBegin(GL_LINES);
  for (int32_t x = 1; x < FField.Columns; ++x) {
    const TVector a = FField.At(static_cast<float>(x), 0);
    glVertex3f(a.X, GRID_LIFT, FField.Top);
    glVertex3f(a.X, GRID_LIFT, fieldBottom);
  }
  for (int32_t y = 1; y < FField.Rows; ++y) {
    const TVector a = FField.At(0, static_cast<float>(y));
    glVertex3f(FField.Left, GRID_LIFT, a.Z);
    glVertex3f(fieldRight, GRID_LIFT, a.Z);
  }
  glEnd();
  glLineWidth(BORDER_WIDTH);
  glColor4f(0, 0, 0, BORDER_ALPHA);
  glBegin(GL_LINE_LOOP);
  glVertex3f(FField.Left, GRID_LIFT, FField.Top);
  glVertex3f(FField.Left, GRID_LIFT, fieldBottom);
  glVertex3f(fieldRight, GRID_LIFT, fieldBottom);
  glVertex3f(fieldRight, GRID_LIFT, FField.Top);
  glEnd();
  glLineWidth(1);
  glEndList();
  FGroundStale = false;
}

void TMatchView::BuildTrees() {
  DeleteList(FTreeList);
  const TGame* shown = FPicture.Shown();
  FTreeList = glGenLists(1);
  CompileMeshes(*FTree->Root);
  glNewList(FTreeList, GL_COMPILE);
  if (shown && shown->Map) {
    for (int32_t y = 0; y < shown->Map->SizeY; ++y) {
      for (int32_t x = 0; x < shown->Map->SizeX; ++x) {
        if (!HasTree(*shown, x, y)) {
          continue;
        }
        const TVector c = FField.Centre(x, y);
        glPushMatrix();
        glTranslatef(c.X, 0, c.Z);
        glRotatef(TREE_TURN_PER_TILE * static_cast<float>(x * 7 + y * 3), 0, 1, 0);
        DrawModel(*FTree);
        glPopMatrix();
      }
    }
  }
  glEndList();
  FTreesStale = false;
}

void TMatchView::BuildShapes() {
  const float step = 2 * std::numbers::pi_v<float> / CIRCLE_STEPS;
  FDiscList = glGenLists(1);
  glNewList(FDiscList, GL_COMPILE);
  glBegin(GL_TRIANGLE_FAN);
  glVertex3f(0, 0, 0);
  for (int i = 0; i <= CIRCLE_STEPS; ++i) {
    const float a = step * static_cast<float>(i);
    glVertex3f(BASE_RADIUS * std::sin(a), 0, BASE_RADIUS * std::cos(a));
  }
  glEnd();
  glEndList();
  FRingList = glGenLists(1);
  glNewList(FRingList, GL_COMPILE);
  glBegin(GL_TRIANGLE_STRIP);
  for (int i = 0; i <= CIRCLE_STEPS; ++i) {
    const float a = step * static_cast<float>(i);
    glVertex3f(RING_OUTER * std::sin(a), 0, RING_OUTER * std::cos(a));
    glVertex3f(RING_INNER * std::sin(a), 0, RING_INNER * std::cos(a));
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
  if (FDiscList == 0) {
    BuildShapes();
  }
  glEnable(GL_LIGHTING);
  glCallList(FGroundList);

  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  DrawMarks(Mirror);
  DrawBases();

  glEnable(GL_LIGHTING);
  glCallList(FTreeList);
  DrawUnits();

  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  DrawHealthBars();

  glColor4f(1, 1, 1, 1);
  glEnable(GL_TEXTURE_2D);
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
  const int32_t selected = Selection.Selected();
  for (const TUnitLook& look : FPicture.Looks()) {
    const TVector at = FField.At(look.X, look.Y);
    if (!FCuller.IsSphereWithin(at.X, UNIT_CENTRE_HEIGHT, at.Z, UNIT_RADIUS)) {
      continue;
    }
    glPushMatrix();
    glTranslatef(at.X, 0, at.Z);
    glScalef(look.Size, 1, look.Size);
    const TRGB c = SeatColour(look.Seat);
    glColor4f(c.R, c.G, c.B, 1);
    glTranslatef(0, BASE_LIFT, 0);
    glCallList(FDiscList);
    const bool target = FMarksUnit == selected && selected != 0 &&
                        std::binary_search(FMarks.Targets.begin(), FMarks.Targets.end(), look.Id);
    if (look.Id == selected || target) {
      glColor4fv(look.Id == selected ? SELECTED_RING : TARGET_RING);
      glTranslatef(0, RING_LIFT - BASE_LIFT, 0);
      glCallList(FRingList);
    }
    glPopMatrix();
  }
}

// ---- [units] ----

void TMatchView::DrawUnits() {
  FUnitsDrawn = 0;
  glEnable(GL_RESCALE_NORMAL);
  for (const TUnitLook& look : FPicture.Looks()) {
    const TVector at = FField.At(look.X, look.Y);
    if (FCuller.IsSphereWithin(at.X, UNIT_CENTRE_HEIGHT, at.Z, UNIT_RADIUS)) {
      DrawUnit(look);
      ++FUnitsDrawn;
    }
  }
  glDisable(GL_RESCALE_NORMAL);
}

void TMatchView::DrawUnit(const TUnitLook& Look) {
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
  const TModel* model = Look.Seat >= 0 && Look.Seat < MaxSeats
                            ? models.Seats[static_cast<std::size_t>(Look.Seat)].get()
                            : models.Base.get();
  const TVector at = FField.At(Look.X, Look.Y);
  const float scale = (tank ? TANK_SCALE : VIKING_SCALE) * Look.Size;
  glPushMatrix();
  glTranslatef(at.X, 0, at.Z);
  glRotatef(Look.Facing, 0, 1, 0);
  glScalef(scale, scale, scale);
  if (Look.Flash > 0) {
    const GLfloat glow[4] = {FLASH_GLOW[0] * Look.Flash, FLASH_GLOW[1] * Look.Flash,
                             FLASH_GLOW[2] * Look.Flash, 1};
    glMaterialfv(GL_FRONT, GL_EMISSION, glow);
  }
  DrawPosed(*model->Root, *models.Animator->FActualPose);
  if (Look.Flash > 0) {
    const GLfloat none[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT, GL_EMISSION, none);
  }
  glPopMatrix();
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
    FBars.push_back({window.X, window.Y, window.Z, share, look.Seat});
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
    const float left = std::floor(bar.X - BAR_WIDTH / 2);
    const float bottom = std::floor(bar.Y + BAR_RAISE);
    const TRGB fill = bar.Share >= HEALTHY_SHARE   ? BAR_HEALTHY
                      : bar.Share >= WOUNDED_SHARE ? BAR_WOUNDED
                                                   : BAR_DYING;
    const float filled = std::round(BAR_WIDTH * bar.Share);
    PixelRect(left - BAR_FRAME, bottom - BAR_FRAME, BAR_WIDTH + 2 * BAR_FRAME,
              BAR_HEIGHT + BAR_SEAT_STRIP + 3 * BAR_FRAME, {0, 0, 0});
    PixelRect(left, bottom, filled, BAR_HEIGHT, fill);
    PixelRect(left + filled, bottom, BAR_WIDTH - filled, BAR_HEIGHT, BAR_EMPTY);
    PixelRect(left, bottom + BAR_HEIGHT + BAR_FRAME, BAR_WIDTH, BAR_SEAT_STRIP,
              SeatColour(bar.Seat));
  }
  glEnd();
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}
