// The battlefield of a match on the game screen: the field's tiles on the ground with a faint
// grid, the trees, every unit from its model in its seat's colour (a coloured base under it and
// its tunic or armour tinted) with a health bar over it, the selected unit ringed, the tiles it
// can move to lit and the enemies it can attack marked. The units move as the match picture
// says (see match_picture.h), animated by real elapsed time.
//
// The game screen, in a match: Reset at the start (and after rebuilding its copy of the match),
// Push every event it applied to its copy, Update once a frame, Draw in its scene after the
// camera's transform and the light (instead of its own tile map), and Click for a press on the
// field; orders come out of Selection.OnOrder. Needs a current OpenGL context.
#pragma once

#include "app/match_field.h"
#include "app/match_picture.h"
#include "app/match_selection.h"
#include "gfx/model.h"
#include "gfx/model_batch.h"
#include "math3d/frustum.h"
#include "math3d/matrix4.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TGenericMediaManager;
class TRuntimeAnimator;

// The colour that marks Seat's units (and its line on the match panel); grey for no seat.
TRGB SeatColour(int32_t Seat);
// The colour of the filled part of a health bar for a unit with this share of its health left:
// green, yellow when wounded, red when dying.
TRGB HealthBarColour(float Share);

class TMatchView {
public:
  // The models, and the same with fewer facets ("far"), node for node alike: a unit drawn
  // smaller than FULL_DETAIL_PIXELS high, and every tree, is drawn from the far model.
  static constexpr const char* TREE_MODEL = "tree_far.model";
  static constexpr const char* VIKING_MODEL = "viking_weapon.model";
  static constexpr const char* VIKING_FAR_MODEL = "viking_weapon_far.model";
  static constexpr const char* TANK_MODEL = "tank_ok.model";
  static constexpr const char* TANK_FAR_MODEL = "tank_ok_far.model";
  static constexpr float FULL_DETAIL_PIXELS = 120;
  static constexpr const char* GROUND_TEXTURE = "tile0";

  // Loads the tree, viking and tank models from MediaDirectory (meshes and textures through
  // Man) and paints a copy of the viking and of the tank in each seat's colour. A model file
  // that is missing or broken raises an error naming it.
  explicit TMatchView(TGenericMediaManager* Man, const std::string& MediaDirectory = "media/");
  ~TMatchView();
  TMatchView(const TMatchView&) = delete;
  TMatchView& operator=(const TMatchView&) = delete;

  // Seconds from any fixed moment; animations advance by its difference between two Updates.
  // The steady clock by default; tests put a fake one here.
  std::function<double()> Clock;
  // The player's choice of unit; its OnOrder gives the orders of Click.
  TMatchSelection Selection;

  // Shows Game, everything at rest, for the player of Seat (-1 to watch); the selection is
  // dropped when the seat changes.
  void Reset(const TGame& Game, int32_t Seat);
  // The next event of the server, already applied to Mirror (the game screen's copy).
  void Push(const TMatchEvent& Event);
  // Once a frame: lets the time since the last Update pass, and shows Mirror afresh when the
  // picture has lost track of it. Drops a selection whose unit is gone.
  void Update(const TGame& Mirror);
  // Draws the battlefield under the current projection and modelview (the camera's view): the
  // marks of the selected unit are taken from Mirror, everything else from the picture. Leaves
  // lighting as it found it and 2D texturing on.
  void Draw(const TGame& Mirror);
  // A press at window pixel (MX, MY) on the field: the tile under it, through the camera of the
  // last Draw, goes to Selection for the player's seat (off the field: no tile).
  void Click(const TGame& Mirror, int MX, int MY);
  // The tile under window pixel (MX, MY) as the last Draw showed it; false off the field.
  bool TileAt(int MX, int MY, TTilePos& Tile) const;

  const TFieldPlacement& Field() const { return FField; }
  TMatchPicture& Picture() { return FPicture; }
  int32_t Seat() const { return FSeat; }
  // One-pixel textures of the seat colours, for the match panel's colour images.
  const std::array<uint32_t, MaxSeats>& SeatTextures() const { return FSeatTextures; }
  // Units drawn by the last Draw (the others were outside the view).
  int32_t UnitsDrawn() const { return FUnitsDrawn; }

private:
  // A unit model and one copy of it per seat, painted in the seat's colour, in full and far
  // detail; all share the animator, whose poses are the same for every copy.
  struct TUnitModels {
    std::unique_ptr<TModel> Base;
    std::array<std::unique_ptr<TModel>, MaxSeats> Seats;
    std::array<std::unique_ptr<TModel>, MaxSeats> FarSeats;
    std::unique_ptr<TRuntimeAnimator> Animator;
    int Idle = -1; // animation numbers by name; -1 when the model lacks one
    int Move = -1;
    int Attack = -1;
  };
  // A health bar to draw: window position, depth, width, health share and seat.
  struct TBar {
    float X = 0, Y = 0, Depth = 0;
    float Width = 0;
    float Share = 0;
    int32_t Seat = -1;
  };

  void LoadUnitModels(TUnitModels& Models, const std::string& FileName,
                      const std::string& FarFileName, const char* Idle, const char* Move,
                      const char* Attack);
  // The ground's and the field's textures, made from the tile texture with mipmaps; the
  // field's with the grid drawn in.
  void BuildGroundTextures();
  void BuildGround();
  void BuildTrees();
  void BuildShapes();
  void DrawMarks(const TGame& Mirror);
  void DrawBases();
  void DrawRings();
  void DrawUnits();
  // Adds the unit, posed and placed, to the batch of units.
  void AddUnit(const TUnitLook& Look);
  // How many pixels high a unit standing at At would be drawn.
  float PixelsHigh(const TVector& At, float Height) const;
  void DrawHealthBars();

  TGenericMediaManager* FMan = nullptr;
  std::string FMediaDirectory;
  std::unique_ptr<TModel> FTree;
  TUnitModels FVikings;
  TUnitModels FTanks;
  TMatchPicture FPicture;
  int32_t FSeat = -1;
  TFieldPlacement FField;
  double FLastClock = 0;
  bool FClockStarted = false;

  // Display lists (0 while not built): ground and field with the grid, the trees, and the
  // ring round a selected unit or a target.
  uint32_t FGroundList = 0;
  uint32_t FTreeList = 0;
  uint32_t FRingList = 0;
  // Sine and cosine round the circle of a unit's base and ring, both ends included.
  static constexpr int CIRCLE_STEPS = 16;
  std::array<std::array<float, 2>, CIRCLE_STEPS + 1> FCircle{};
  bool FGroundStale = true;
  bool FTreesStale = true;
  std::array<uint32_t, MaxSeats> FSeatTextures{};
  uint32_t FGroundTexture = 0;
  uint32_t FFieldTexture = 0;

  // The marks of the selected unit, kept until the selection or the match changes.
  TSelectionMarks FMarks;
  int32_t FMarksUnit = 0;
  uint64_t FMarksGeneration = 0;
  uint64_t FGeneration = 1;

  // The view of the last Draw.
  TMatrix4 FProjection{};
  TMatrix4 FModelView{};
  TViewport FViewport;
  TFrustumCuller FCuller;
  std::vector<TBar> FBars;
  TModelBatch FUnitBatch;
  int32_t FUnitsDrawn = 0;
};
