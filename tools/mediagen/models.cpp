// The media set's models, built node by node. Sizes are in world units (a map tile is 4 units
// wide); every model stands on the plane Y = 0 and faces +Z. Node scales stay 1 (or -1 for a
// mirrored part) so that normals keep their length under the game's lighting.
//
//   [helpers]  nodes, poses and animations
//   [tree]     a fir: trunk and three layers of crown, swaying
//   [viking]   a figure with an axe and a shield: idle, walk, attack
//   [tank]     hull, tracks with road wheels, turret, gun, hatch, antenna
#include "models.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "mesh_builder.h"

namespace {

constexpr float PI = 3.14159265358979f;
// The far models' share of the full models' segments and rings, and their names' ending.
constexpr float FAR_DETAIL = 0.3f;
constexpr const char* FAR_SUFFIX = "_far";

// ---- [helpers] ----

struct TPart {
  const char* Name;
  TVector Pos;
  TVector Rot;
};

// Makes a model's meshes and nodes at one level of detail. Below full detail, a mesh whose
// curved solids were coarsened is named with Suffix; one that came out the same at every detail
// is the full-detail mesh, made once and shared.
class TModelMaker {
public:
  explicit TModelMaker(TModelSet& Set, float ADetail = 1, std::string ASuffix = "")
      : Detail(ADetail), FSet(Set), FSuffix(std::move(ASuffix)) {}

  TGLMesh* Mesh(const std::string& Name, const TMeshBuilder& B) {
    const std::string name = B.Coarsened() ? Name + FSuffix : Name;
    for (const auto& made : FSet.Meshes)
      if (made->Nome == name)
        return made.get();
    FSet.Meshes.push_back(B.Finish(name));
    return FSet.Meshes.back().get();
  }
  // A model's name at this detail.
  std::string Named(const std::string& Name) const { return Name + FSuffix; }

  const float Detail;

  // A node drawing Mesh (none when null) with a colour from 0..255 components and an
  // optional texture name.
  static TModelTreeNode* Node(TModelTreeNode& Parent, const char* Name, TGLMesh* Mesh,
                              const TVector& Pos, const TVector& Rot, int R, int G, int B,
                              const char* Texture = "nil") {
    auto node = std::make_unique<TModelTreeNode>();
    node->Name = Name;
    node->Transf.Pos = Pos;
    node->Transf.Rot = Rot;
    node->Color = {R / 255.0f, G / 255.0f, B / 255.0f};
    node->TextureName = Texture;
    if (Mesh) {
      node->GraphicalElement.Type_ = geMesh;
      node->GraphicalElement.Mesh = Mesh;
      node->GraphicalElement.MeshName = Mesh->Nome;
    }
    TModelTreeNode* added = node.get();
    Parent.Children.Add(std::move(node));
    return added;
  }

private:
  TModelSet& FSet;
  std::string FSuffix;
};

// One node's offset in a pose: rotation in degrees, then translation.
struct TMove {
  TMove(const char* ANode, const TVector& ARot, const TVector& APos = {})
      : Node(ANode), Rot(ARot), Pos(APos) {}
  const char* Node;
  TVector Rot;
  TVector Pos;
};

void AddPose(TModel& Model, const char* Name, std::initializer_list<TMove> Moves) {
  auto pose = std::make_unique<TPose>();
  pose->Name = Name;
  for (const TMove& m : Moves) {
    TTransformation* diff = pose->GetTransfForNode(m.Node, true);
    diff->Rot = Add(diff->Rot, m.Rot);
    diff->Pos = Add(diff->Pos, m.Pos);
  }
  Model.Poses.Add(std::move(pose));
}

void AddAnimation(TModel& Model, const char* Name,
                  std::initializer_list<std::pair<const char*, int>> Keys) {
  auto animation = std::make_unique<TAnimation>();
  animation->Name = Name;
  for (const auto& [pose, time] : Keys) {
    auto key = std::make_unique<TAnimationKey>();
    key->PoseName = pose;
    key->Time = time;
    animation->Keys.Add(std::move(key));
  }
  Model.Animations.Add(std::move(animation));
}

// ---- [tree] ----

std::unique_ptr<TModel> MakeTree(TModelMaker& M) {
  auto model = std::make_unique<TModel>();
  model->Name = M.Named("tree");
  TMeshBuilder trunk(M.Detail);
  trunk.Cylinder(0, 0.27f, 2.3f, 0.12f, 9, true);
  trunk.Cylinder(0, 0.44f, 0.3f, 0.27f, 9, false); // root flare
  TModelTreeNode* stem = TModelMaker::Node(*model->Root, "trunk", M.Mesh("tree_trunk", trunk),
                                           {0, 0, 0}, {0, 0, 0}, 255, 240, 225, "bark");
  const struct {
    const char* Name;
    float Y, Radius, Height, Turn;
  } layers[] = {{"crown_low", 0.85f, 1.5f, 1.75f, 0},
                {"crown_mid", 1.7f, 1.18f, 1.55f, 15},
                {"crown_top", 2.5f, 0.82f, 1.4f, 30}};
  for (const auto& layer : layers) {
    TMeshBuilder crown(M.Detail);
    crown.Cylinder(0, layer.Radius, layer.Height, 0, 14, false, {}, 0.2f);
    crown.Cylinder(-0.28f, 0, 0, layer.Radius, 14, false, {}, 0.2f); // the underside
    const std::string mesh = std::string("tree_") + layer.Name;
    TModelMaker::Node(*stem, layer.Name, M.Mesh(mesh, crown), {0, layer.Y, 0}, {0, layer.Turn, 0},
                      225, 255, 225, "needles");
  }
  AddPose(*model, "sway_left",
          {{"trunk", {0, 0, 1}},
           {"crown_low", {0, 0, 1}},
           {"crown_mid", {0, 0, 1.5f}},
           {"crown_top", {0, 0, 2.5f}}});
  AddPose(*model, "sway_right",
          {{"trunk", {0, 0, -1}},
           {"crown_low", {0, 0, -1}},
           {"crown_mid", {0, 0, -1.5f}},
           {"crown_top", {0, 0, -2.5f}}});
  AddPose(*model, "rest", {});
  AddAnimation(*model, "sway",
               {{"rest", 0}, {"sway_left", 25}, {"rest", 50}, {"sway_right", 75}, {"rest", 100}});
  return model;
}

// ---- [viking] ----

std::unique_ptr<TModel> MakeViking(TModelMaker& M) {
  auto model = std::make_unique<TModel>();
  model->Name = M.Named("viking_weapon");

  const float d = M.Detail;
  TMeshBuilder eyes(d), hips(d), thigh(d), shin(d), boot(d), torso(d), belt(d), head(d), beard(d),
      helmet(d), horns(d), upperArm(d), forearm(d), hand(d), handle(d), axeHead(d), shield(d),
      boss(d);
  hips.Box({-0.25f, -0.16f, -0.15f}, {0.25f, 0.06f, 0.15f}, 1.04f, 1.04f);
  thigh.Box({-0.1f, -0.52f, -0.11f}, {0.1f, 0.02f, 0.11f}, 1.15f, 1.1f);
  shin.Box({-0.085f, -0.42f, -0.095f}, {0.085f, 0.02f, 0.095f}, 1.12f, 1.1f);
  boot.Box({-0.1f, -0.1f, -0.12f}, {0.1f, 0.05f, 0.21f}, 0.9f, 0.7f);
  torso.Box({-0.25f, 0, -0.15f}, {0.25f, 0.6f, 0.15f}, 1.28f, 1.08f);
  torso.Ellipsoid({0, 0.38f, 0.06f}, {0.27f, 0.22f, 0.13f}, 12, 6); // chest
  torso.Cylinder(0.58f, 0.09f, 0.7f, 0.08f, 8, true);               // neck
  belt.Box({-0.27f, -0.02f, -0.17f}, {0.27f, 0.08f, 0.17f});
  belt.Box({-0.06f, -0.03f, 0.16f}, {0.06f, 0.09f, 0.19f}); // buckle
  head.Ellipsoid({0, 0.17f, 0.01f}, {0.15f, 0.18f, 0.16f}, 14, 9);
  head.Box({-0.025f, 0.1f, 0.13f}, {0.025f, 0.2f, 0.2f}, 0.6f, 0.4f); // nose
  for (float side : {-1.0f, 1.0f})
    eyes.Box({side * 0.055f - 0.02f, 0.175f, 0.13f}, {side * 0.055f + 0.02f, 0.2f, 0.158f});
  beard.Box({-0.07f, -0.12f, 0.07f}, {0.07f, 0.1f, 0.19f}, 2.0f, 1.15f);
  helmet.Ellipsoid({0, 0, 0}, {0.175f, 0.16f, 0.185f}, 14, 8, {}, true);
  helmet.Cylinder(-0.025f, 0.183f, 0.025f, 0.183f, 14, true);        // rim
  helmet.Box({-0.022f, -0.15f, 0.15f}, {0.022f, 0.03f, 0.2f}, 1, 1); // nose guard
  for (float side : {-1.0f, 1.0f})
    horns.Cylinder(0, 0.055f, 0.26f, 0, 8, true, {{0, 0, -side * 58}, {side * 0.15f, 0.04f, 0}});
  upperArm.Ellipsoid({0, -0.02f, 0}, {0.12f, 0.1f, 0.12f}, 10, 6); // shoulder
  upperArm.Box({-0.075f, -0.38f, -0.075f}, {0.075f, 0, 0.075f}, 1.15f, 1.15f);
  forearm.Box({-0.065f, -0.32f, -0.065f}, {0.065f, 0.02f, 0.065f}, 1.1f, 1.1f);
  hand.Ellipsoid({0, 0, 0}, {0.065f, 0.075f, 0.07f}, 10, 6);
  // The axe: the handle along +Z through the fist, the blade at its end towards -Y.
  handle.Cylinder(-0.14f, 0.028f, 0.86f, 0.024f, 8, true, {{90, 0, 0}, {0, 0, 0}});
  axeHead.Extrusion({{-0.02f, 0.05f},
                     {-0.02f, -0.06f},
                     {-0.1f, -0.26f},
                     {0.16f, -0.3f},
                     {0.13f, -0.08f},
                     {0.07f, 0.05f}},
                    -0.025f, 0.025f, {{0, -90, 0}, {0, 0, 0.68f}});
  // The shield: a disc facing +X outwards from the left forearm, with a boss in its middle.
  shield.Cylinder(0, 0.34f, 0.045f, 0.34f, 18, true, {{0, 0, -90}, {0, 0, 0}});
  boss.Ellipsoid({0, 0, 0}, {0.07f, 0.09f, 0.09f}, 10, 6);

  TModelTreeNode& root = *model->Root;
  TModelTreeNode* pelvis = TModelMaker::Node(root, "hips", M.Mesh("viking_hips", hips),
                                             {0, 1.14f, 0}, {0, 0, 0}, 96, 82, 66);
  TGLMesh* thighMesh = M.Mesh("viking_thigh", thigh);
  TGLMesh* shinMesh = M.Mesh("viking_shin", shin);
  TGLMesh* bootMesh = M.Mesh("viking_boot", boot);
  for (const auto& [side, x] : {std::pair{"l", 0.14f}, std::pair{"r", -0.14f}}) {
    const std::string s = side;
    TModelTreeNode* leg = TModelMaker::Node(*pelvis, ("leg_" + s).c_str(), thighMesh, {x, -0.1f, 0},
                                            {0, 0, 0}, 96, 82, 66);
    TModelTreeNode* lower = TModelMaker::Node(*leg, ("shin_" + s).c_str(), shinMesh, {0, -0.52f, 0},
                                              {0, 0, 0}, 150, 128, 94);
    TModelMaker::Node(*lower, ("boot_" + s).c_str(), bootMesh, {0, -0.42f, 0}, {0, 0, 0}, 70, 46,
                      30);
  }
  TModelTreeNode* body = TModelMaker::Node(*pelvis, "torso", M.Mesh("viking_torso", torso),
                                           {0, 0.04f, 0}, {0, 0, 0}, 164, 50, 40);
  TModelMaker::Node(*body, "belt", M.Mesh("viking_belt", belt), {0, 0, 0}, {0, 0, 0}, 84, 54, 30);
  TModelTreeNode* face = TModelMaker::Node(*body, "head", M.Mesh("viking_head", head),
                                           {0, 0.68f, 0}, {0, 0, 0}, 236, 186, 146);
  TModelMaker::Node(*face, "eyes", M.Mesh("viking_eyes", eyes), {0, 0, 0}, {0, 0, 0}, 40, 30, 26);
  TModelMaker::Node(*face, "beard", M.Mesh("viking_beard", beard), {0, 0, 0}, {0, 0, 0}, 196, 104,
                    44);
  TModelTreeNode* cap = TModelMaker::Node(*face, "helmet", M.Mesh("viking_helmet", helmet),
                                          {0, 0.22f, 0.005f}, {0, 0, 0}, 168, 172, 182);
  TModelMaker::Node(*cap, "horns", M.Mesh("viking_horns", horns), {0, 0, 0}, {0, 0, 0}, 238, 228,
                    198);
  TGLMesh* upperArmMesh = M.Mesh("viking_upperarm", upperArm);
  TGLMesh* forearmMesh = M.Mesh("viking_forearm", forearm);
  TGLMesh* handMesh = M.Mesh("viking_hand", hand);
  TModelTreeNode* hands[2] = {};
  int i = 0;
  for (const auto& [side, x] : {std::pair{"l", 0.34f}, std::pair{"r", -0.34f}}) {
    const std::string s = side;
    TModelTreeNode* arm =
        TModelMaker::Node(*body, ("arm_" + s).c_str(), upperArmMesh, {x, 0.55f, 0},
                          {0, 0, x > 0 ? 6.0f : -6.0f}, 164, 50, 40);
    TModelTreeNode* lower = TModelMaker::Node(*arm, ("forearm_" + s).c_str(), forearmMesh,
                                              {0, -0.38f, 0}, {-70, 0, 0}, 120, 84, 52);
    // The right wrist tilts the axe forward, clear of the face.
    hands[i++] = TModelMaker::Node(*lower, ("hand_" + s).c_str(), handMesh, {0, -0.34f, 0},
                                   {x < 0 ? 20.0f : 0.0f, 0, 0}, 236, 186, 146);
  }
  TModelTreeNode* weapon = TModelMaker::Node(
      *hands[1], "weapon", M.Mesh("viking_axe_handle", handle), {0, 0, 0}, {0, 0, 0}, 132, 88, 50);
  TModelMaker::Node(*weapon, "axe_head", M.Mesh("viking_axe_head", axeHead), {0, 0, 0}, {0, 0, 0},
                    200, 204, 212);
  TModelTreeNode* guard = TModelMaker::Node(*hands[0], "shield", M.Mesh("viking_shield", shield),
                                            {0.06f, 0.1f, 0}, {0, 0, 0}, 186, 44, 36);
  TModelMaker::Node(*guard, "shield_boss", M.Mesh("viking_shield_boss", boss), {0.05f, 0, 0},
                    {0, 0, 0}, 190, 194, 204);

  // Poses: offsets from the rest stance (arms hanging, forearms forward, axe upright).
  AddPose(*model, "rest", {});
  AddPose(*model, "breathe",
          {{"torso", {-2, 0, 0}},
           {"head", {-4, 0, 0}},
           {"arm_l", {0, 0, 4}},
           {"arm_r", {0, 0, -4}},
           {"hips", {0, 0, 0}, {0, -0.012f, 0}}});
  AddPose(*model, "stride_left",
          {{"leg_l", {-28, 0, 0}},
           {"shin_l", {8, 0, 0}},
           {"leg_r", {24, 0, 0}},
           {"shin_r", {28, 0, 0}},
           {"boot_r", {-10, 0, 0}},
           {"arm_l", {22, 0, 0}},
           {"arm_r", {-18, 0, 0}},
           {"torso", {0, -6, 0}},
           {"hips", {0, 4, 0}, {0, -0.03f, 0}}});
  AddPose(*model, "pass_left",
          {{"leg_l", {4, 0, 0}},
           {"leg_r", {-16, 0, 0}},
           {"shin_r", {46, 0, 0}},
           {"hips", {0, 0, 0}, {0, 0.03f, 0}}});
  AddPose(*model, "stride_right",
          {{"leg_r", {-28, 0, 0}},
           {"shin_r", {8, 0, 0}},
           {"leg_l", {24, 0, 0}},
           {"shin_l", {28, 0, 0}},
           {"boot_l", {-10, 0, 0}},
           {"arm_r", {22, 0, 0}},
           {"arm_l", {-18, 0, 0}},
           {"torso", {0, 6, 0}},
           {"hips", {0, -4, 0}, {0, -0.03f, 0}}});
  AddPose(*model, "pass_right",
          {{"leg_r", {4, 0, 0}},
           {"leg_l", {-16, 0, 0}},
           {"shin_l", {46, 0, 0}},
           {"hips", {0, 0, 0}, {0, 0.03f, 0}}});
  AddPose(*model, "windup",
          {{"arm_r", {-165, 0, 4}},
           {"forearm_r", {10, 0, 0}},
           {"torso", {6, -18, 0}},
           {"head", {-6, 10, 0}},
           {"arm_l", {-30, 0, 10}},
           {"leg_l", {-14, 0, 0}},
           {"shin_l", {10, 0, 0}},
           {"leg_r", {10, 0, 0}},
           {"hips", {0, 0, 0}, {0, -0.02f, 0}}});
  AddPose(*model, "strike",
          {{"arm_r", {-52, 0, 6}},
           {"forearm_r", {62, 0, 0}},
           {"hand_r", {96, 0, 0}},
           {"torso", {-16, 14, 0}},
           {"head", {12, -6, 0}},
           {"arm_l", {18, 0, 8}},
           {"leg_l", {-30, 0, 0}},
           {"shin_l", {30, 0, 0}},
           {"leg_r", {18, 0, 0}},
           {"shin_r", {6, 0, 0}},
           {"hips", {12, 0, 0}, {0, -0.1f, 0.04f}}});
  AddPose(*model, "follow_through",
          {{"arm_r", {-30, 0, 6}},
           {"forearm_r", {50, 0, 0}},
           {"hand_r", {100, 0, 0}},
           {"torso", {-12, 10, 0}},
           {"head", {8, -4, 0}},
           {"arm_l", {14, 0, 6}},
           {"leg_l", {-24, 0, 0}},
           {"shin_l", {26, 0, 0}},
           {"leg_r", {14, 0, 0}},
           {"hips", {10, 0, 0}, {0, -0.08f, 0.03f}}});
  AddAnimation(*model, "idle", {{"rest", 0}, {"breathe", 50}, {"rest", 100}});
  AddAnimation(*model, "walk",
               {{"stride_left", 0},
                {"pass_left", 25},
                {"stride_right", 50},
                {"pass_right", 75},
                {"stride_left", 100}});
  AddAnimation(
      *model, "attack",
      {{"rest", 0}, {"windup", 35}, {"strike", 52}, {"follow_through", 66}, {"rest", 100}});
  return model;
}

// ---- [tank] ----

std::vector<TVector> Stadium(float HalfLength, float Radius, float CentreY, int Steps) {
  std::vector<TVector> outline;
  for (int end = 0; end < 2; ++end)
    for (int i = 0; i <= Steps; ++i) {
      const float a = -PI / 2 + PI * static_cast<float>(i) / static_cast<float>(Steps) + end * PI;
      const float cx = end == 0 ? HalfLength : -HalfLength;
      outline.push_back({cx + Radius * std::cos(a), CentreY + Radius * std::sin(a), 0});
    }
  return outline;
}

std::unique_ptr<TModel> MakeTank(TModelMaker& M) {
  auto model = std::make_unique<TModel>();
  model->Name = M.Named("tank_ok");
  // Side profiles are drawn with X forward and Y up, then turned so that X becomes +Z.
  const TPlacement sideways{{0, -90, 0}, {0, 0, 0}};
  const float d = M.Detail;
  TMeshBuilder hull(d), track(d), wheels(d), turret(d), gun(d), hatch(d), antenna(d);
  hull.Extrusion({{-2.0f, 0.05f},
                  {1.75f, 0.05f},
                  {2.2f, 0.45f},
                  {1.45f, 0.78f},
                  {-1.85f, 0.78f},
                  {-2.1f, 0.42f}},
                 -0.95f, 0.95f, sideways);
  hull.Box({-0.6f, 0.78f, -1.75f}, {0.6f, 0.86f, -1.05f}); // engine deck
  track.Extrusion(Stadium(1.78f, 0.4f, 0.4f, track.Detailed(6, 2)), -0.26f, 0.26f, sideways);
  for (int w = 0; w < 5; ++w) {
    const float z = -1.6f + 0.8f * static_cast<float>(w);
    wheels.Cylinder(0, 0.27f, 0.07f, 0.25f, 12, true, {{0, 0, 90}, {-0.26f, 0.36f, z}});
    if (M.Detail >= 1)
      wheels.Cylinder(0.07f, 0.1f, 0.11f, 0.08f, 8, true, {{0, 0, 90}, {-0.26f, 0.36f, z}});
    else
      wheels.Omit(); // hubs are too small to see from afar
  }
  turret.Box({-0.78f, 0, -1.0f}, {0.78f, 0.52f, 0.75f}, 0.82f, 0.8f);
  turret.Cylinder(-0.35f, 0.24f, 0.35f, 0.24f, 12, true, {{0, 0, 90}, {0, 0.25f, 0.72f}});
  gun.Cylinder(0, 0.085f, 2.1f, 0.075f, 12, true, {{90, 0, 0}, {0, 0, 0}});
  gun.Cylinder(1.9f, 0.12f, 2.15f, 0.12f, 12, true, {{90, 0, 0}, {0, 0, 0}});
  hatch.Cylinder(0, 0.24f, 0.09f, 0.22f, 12, true);
  hatch.Box({-0.04f, 0.09f, -0.12f}, {0.04f, 0.13f, 0.12f}); // handle
  antenna.Cylinder(0, 0.025f, 1.3f, 0.01f, 6, true);

  TModelTreeNode& root = *model->Root;
  TModelTreeNode* body = TModelMaker::Node(root, "hull", M.Mesh("tank_hull", hull), {0, 0.5f, 0},
                                           {0, 0, 0}, 168, 176, 128, "armour");
  TGLMesh* trackMesh = M.Mesh("tank_track", track);
  TGLMesh* wheelMesh = M.Mesh("tank_wheels", wheels);
  TModelTreeNode* right =
      TModelMaker::Node(root, "track_r", trackMesh, {-1.22f, 0, 0}, {0, 0, 0}, 64, 64, 60);
  TModelMaker::Node(*right, "wheels_r", wheelMesh, {0, 0, 0}, {0, 0, 0}, 118, 122, 100);
  // The left track is the right one mirrored: its wheels face outwards on the other side.
  TModelTreeNode* left =
      TModelMaker::Node(root, "track_l", trackMesh, {1.22f, 0, 0}, {0, 0, 0}, 64, 64, 60);
  left->Transf.Sca = {-1, 1, 1};
  TModelMaker::Node(*left, "wheels_l", wheelMesh, {0, 0, 0}, {0, 0, 0}, 118, 122, 100);
  TModelTreeNode* top = TModelMaker::Node(*body, "turret", M.Mesh("tank_turret", turret),
                                          {0, 0.78f, -0.25f}, {0, 0, 0}, 168, 176, 128, "armour");
  TModelMaker::Node(*top, "gun", M.Mesh("tank_gun", gun), {0, 0.25f, 0.8f}, {0, 0, 0}, 84, 90, 70);
  TModelMaker::Node(*top, "hatch", M.Mesh("tank_hatch", hatch), {0.28f, 0.48f, -0.35f}, {0, 0, 0},
                    150, 158, 112);
  TModelMaker::Node(*top, "antenna", M.Mesh("tank_antenna", antenna), {-0.45f, 0.45f, -0.75f},
                    {-8, 0, 0}, 60, 60, 56);

  AddPose(*model, "rest", {});
  AddPose(*model, "aim_left", {{"turret", {0, 35, 0}}, {"gun", {-6, 0, 0}}});
  AddPose(*model, "aim_right", {{"turret", {0, -35, 0}}, {"gun", {-3, 0, 0}}});
  AddPose(*model, "recoil",
          {{"gun", {-2, 0, 0}, {0, 0, -0.35f}}, {"hull", {-2, 0, 0}}, {"antenna", {-14, 0, 0}}});
  AddAnimation(*model, "scan",
               {{"rest", 0}, {"aim_left", 25}, {"rest", 50}, {"aim_right", 75}, {"rest", 100}});
  AddAnimation(*model, "fire", {{"rest", 0}, {"recoil", 6}, {"rest", 40}, {"rest", 100}});
  return model;
}

} // namespace

TModelSet MakeModels() {
  TModelSet set;
  TModelMaker full(set);
  set.Models.emplace_back("tree.model", MakeTree(full));
  set.Models.emplace_back("viking_weapon.model", MakeViking(full));
  set.Models.emplace_back("tank_ok.model", MakeTank(full));
  // The same models with fewer facets, for drawing many of them small (the battlefield).
  TModelMaker far(set, FAR_DETAIL, FAR_SUFFIX);
  set.Models.emplace_back(far.Named("tree") + ".model", MakeTree(far));
  set.Models.emplace_back(far.Named("viking_weapon") + ".model", MakeViking(far));
  set.Models.emplace_back(far.Named("tank_ok") + ".model", MakeTank(far));
  return set;
}
