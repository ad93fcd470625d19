// Hierarchical models: a tree of named nodes, each with a rest transformation, a colour, an
// optional texture and an optional graphical element (usually a mesh); poses (per-node offsets
// added to the rest transformations) and animations (timed sequences of poses). Loaded from and
// saved to the XML ".model" format. Meshes and textures come from a media manager and are
// shared with it, never owned.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "game/list.h"
#include "math3d/vector.h"

class TGenericMediaManager;
class TMesh;
class TModel;
class TTexture;
class TXMLNode;

// Translation, rotation (degrees about X, Y and Z) and scale. As a rest transformation the
// neutral value is Rest(); as a pose offset it is all zero (the default).
struct TTransformation {
  TVector Pos;
  TVector Rot;
  TVector Sca;

  static TTransformation Rest() { return {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}}; }
  void SetZero() { *this = TTransformation{}; }
  bool IsZero() const;
  // True when an odd number of axes is mirrored (the scale product is negative).
  bool MustToggleFaces() const { return Sca.X * Sca.Y * Sca.Z < 0; }
  // Pos, Rot and Sca each added component by component.
  TTransformation Sum(const TTransformation& X) const;
  TTransformation Clone() const { return *this; }
};

enum TGraphicElementType { geNone = 0, geMesh = 1, geModel = 2, geReference = 3 };

// What a node draws. Mesh and Model are shared, not owned. MeshName keeps the name the file
// asked for, and is what a save writes back: the mesh's stored name may differ from it, and a
// mesh the manager could not supply has none. A node built in code may leave it empty; then the
// mesh's stored name is saved.
struct TGraphicElement {
  TGraphicElementType Type_ = geNone;
  TMesh* Mesh = nullptr;
  TModel* Model = nullptr;
  std::int32_t Reference = 0;
  std::string MeshName;
};

struct TRGB {
  float R = 1, G = 1, B = 1;
};

class TModelTreeNode;
using TModelTreeNodeList = TOwnedList<TModelTreeNode>;

class TModelTreeNode {
public:
  // Fills this node and its subtree from a "NODE" element; meshes and textures are requested
  // from Man (which may be null: then there are none). Throws on a missing required element
  // or a malformed number. Always true.
  bool Load(const TXMLNode& XML, TGenericMediaManager* Man);
  // A new "NODE" element for the subtree.
  std::unique_ptr<TXMLNode> Save() const;
  // A copy of the subtree without names and textures (transformations, colours and graphical
  // elements copied).
  std::unique_ptr<TModelTreeNode> CloneDeep() const;

  std::string Name;
  TTransformation Transf = TTransformation::Rest();
  TRGB Color;
  TGraphicElement GraphicalElement;
  TTexture* Texture = nullptr; // shared with the media manager
  // The texture name the file asked for ("nil" for none); kept when the look-up failed.
  std::string TextureName = "nil";
  TModelTreeNodeList Children;
};

class TPoseItem {
public:
  bool Load(const TXMLNode& XML);
  std::unique_ptr<TXMLNode> Save() const;

  std::string MovedNode;
  TTransformation Diff; // added to the rest transformation of MovedNode
};

class TPose {
public:
  // The offset for NodeName (the first item that moves it). When there is none: with
  // CreateIfNotFound a new zero item is appended and its offset answered, else nullptr.
  TTransformation* GetTransfForNode(const std::string& NodeName, bool CreateIfNotFound);
  const TTransformation* GetTransfForNode(const std::string& NodeName) const;
  // True when the first item for NodeName exists and its offset is not zero.
  bool IsMoved(const std::string& NodeName) const;
  bool Load(const TXMLNode& XML);
  // Items whose offset is all zero are left out.
  std::unique_ptr<TXMLNode> Save() const;

  std::string Name = "A pose";
  TOwnedList<TPoseItem> Items;
};

class TAnimationKey {
public:
  bool Load(const TXMLNode& XML);
  std::unique_ptr<TXMLNode> Save() const;

  std::string PoseName;
  std::int32_t Time = 0; // hundredths of the unit of TRuntimeAnimator::Interpolate's value
};

class TAnimation {
public:
  bool Load(const TXMLNode& XML);
  std::unique_ptr<TXMLNode> Save() const;

  std::string Name = "Animation";
  TOwnedList<TAnimationKey> Keys; // in file order
};

class TModel {
public:
  TModel();

  // Loads from a root element (its name is ignored). Throws like TModelTreeNode::Load; what
  // was loaded before the failure stays. Always true.
  bool Load(const TXMLNode& XML, TGenericMediaManager* Man);
  // Parses an XML document from the stream and loads its root element. True.
  bool Load(std::istream& Stream, TGenericMediaManager* Man);
  // False, with the model untouched, when the file does not exist; otherwise loads it.
  bool Load(const std::string& FileName, TGenericMediaManager* Man);

  // A new "MODEL" element: "NAME", the root "NODE", every "POSE", every "ANIMATION".
  std::unique_ptr<TXMLNode> Save() const;
  bool Save(std::ostream& Stream) const;
  // Creates or truncates the file; throws when it cannot be written.
  bool Save(const std::string& FileName) const;

  // Index of the first pose named PoseName, -1 when there is none.
  int IndexOfPose(const std::string& PoseName) const;
  bool HasPose(const std::string& PoseName) const { return IndexOfPose(PoseName) >= 0; }

  std::string Name = "Amodel";
  std::unique_ptr<TModelTreeNode> Root;
  TOwnedList<TPose> Poses;
  TOwnedList<TAnimation> Animations;
};

// The transformation Node is drawn with under Pose: its rest transformation plus the pose's
// offset for the node's name, or the rest transformation when Pose is null or does not move it.
TTransformation EffectiveTransformation(const TModelTreeNode& Node, const TPose* Pose);
