// Loading and saving of models, poses and animations in the .model format.
#include "gfx/model.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "gfx/media_manager.h"
#include "gfx/mesh.h"
#include "gfx/texture.h"
#include "gfx/xml3d.h"
#include "xml/document.h"

namespace {

constexpr float COLOR_SCALE = 255.0f;
constexpr const char* NO_TEXTURE = "nil";

std::unique_ptr<TXMLNode> NamedVector(const char* Name, const TVector& V) {
  auto node = VectorToXML(V);
  node->Name = Name;
  return node;
}

void LoadTransformation(const TXMLNode& XML, TTransformation& T) {
  T.Pos = XMLToVector(RequiredChild(XML, "POS"));
  T.Rot = XMLToVector(RequiredChild(XML, "ROT"));
  T.Sca = XMLToVector(RequiredChild(XML, "SCA"));
}

void SaveTransformation(TXMLNode& XML, const TTransformation& T) {
  XML.AppendChild(NamedVector("POS", T.Pos));
  XML.AppendChild(NamedVector("ROT", T.Rot));
  XML.AppendChild(NamedVector("SCA", T.Sca));
}

const char* ElementTypeName(TGraphicElementType Type) {
  switch (Type) {
  case geMesh:
    return "mesh";
  case geModel:
    return "model";
  case geReference:
    return "reference";
  case geNone:
    break;
  }
  return "none";
}

TGraphicElementType ElementTypeFromName(const std::string& Name) {
  if (Name == "mesh")
    return geMesh;
  if (Name == "model")
    return geModel;
  if (Name == "reference")
    return geReference;
  return geNone;
}

// Colour components are 0..255 in files and 0..1 in memory; values outside are clamped.
float ColorFromXML(const TXMLNode& Color, const char* Name) {
  return static_cast<float>(std::clamp(ChildInt(Color, Name), 0, 255)) / COLOR_SCALE;
}

// Saved truncated toward zero, as 255 * component.
int ColorToXML(float Component) {
  return static_cast<int>(std::clamp(Component, 0.0f, 1.0f) * COLOR_SCALE);
}

bool IsElement(const std::unique_ptr<TXMLNode>& Child, const char* Name) {
  return Child->NodeType == TNodeType::ndTag && Child->Name == Name;
}

// Clears List, then appends one item per child element named Name, each loaded from it.
template <class TItem>
void LoadChildren(const TXMLNode& XML, const char* Name, TOwnedList<TItem>& List) {
  List.Clear();
  for (const auto& child : XML.Children)
    if (IsElement(child, Name)) {
      auto item = std::make_unique<TItem>();
      item->Load(*child);
      List.Add(std::move(item));
    }
}

} // namespace

bool TTransformation::IsZero() const {
  return Pos.X == 0 && Pos.Y == 0 && Pos.Z == 0 && Rot.X == 0 && Rot.Y == 0 && Rot.Z == 0 &&
         Sca.X == 0 && Sca.Y == 0 && Sca.Z == 0;
}

TTransformation TTransformation::Sum(const TTransformation& X) const {
  return {Add(Pos, X.Pos), Add(Rot, X.Rot), Add(Sca, X.Sca)};
}

TTransformation EffectiveTransformation(const TModelTreeNode& Node, const TPose* Pose) {
  const TTransformation* diff = Pose ? Pose->GetTransfForNode(Node.Name) : nullptr;
  return diff ? Node.Transf.Sum(*diff) : Node.Transf.Clone();
}

// ---- Nodes ----

bool TModelTreeNode::Load(const TXMLNode& XML, TGenericMediaManager* Man) {
  Name = RequiredChild(XML, "NAME").GetText();
  TextureName = RequiredChild(XML, "TEXTURE").GetText();
  Texture = TextureName != NO_TEXTURE && Man ? Man->GetTextureByName(TextureName) : nullptr;
  LoadTransformation(XML, Transf);
  const TXMLNode& color = RequiredChild(XML, "COLOR");
  Color.R = ColorFromXML(color, "RED");
  Color.G = ColorFromXML(color, "GREEN");
  Color.B = ColorFromXML(color, "BLUE");
  const TXMLNode& element = RequiredChild(XML, "GRAPHICALELEMENT");
  GraphicalElement = TGraphicElement{};
  GraphicalElement.Type_ = ElementTypeFromName(RequiredChild(element, "TYPE").GetText());
  if (GraphicalElement.Type_ == geMesh) {
    GraphicalElement.MeshName = RequiredChild(element, "MESH").GetText();
    GraphicalElement.Mesh = Man ? Man->GetMeshByName(GraphicalElement.MeshName) : nullptr;
  }
  for (const auto& child : XML.Children)
    if (IsElement(child, "NODE")) {
      auto node = std::make_unique<TModelTreeNode>();
      TModelTreeNode* added = node.get();
      Children.Add(std::move(node));
      added->Load(*child, Man);
    }
  return true;
}

std::unique_ptr<TXMLNode> TModelTreeNode::Save() const {
  auto xml = std::make_unique<TXMLNode>("NODE");
  xml->AppendChildText("NAME", Name);
  xml->AppendChildText("TEXTURE", Texture ? Texture->Name : TextureName);
  SaveTransformation(*xml, Transf);
  TXMLNode* color = xml->AppendChild(std::make_unique<TXMLNode>("COLOR"));
  color->AppendChildNumber("RED", ColorToXML(Color.R));
  color->AppendChildNumber("GREEN", ColorToXML(Color.G));
  color->AppendChildNumber("BLUE", ColorToXML(Color.B));
  TXMLNode* element = xml->AppendChild(std::make_unique<TXMLNode>("GRAPHICALELEMENT"));
  element->AppendChildText("TYPE", ElementTypeName(GraphicalElement.Type_));
  switch (GraphicalElement.Type_) {
  case geMesh:
    element->AppendChildText("MESH", GraphicalElement.MeshName.empty() && GraphicalElement.Mesh
                                         ? GraphicalElement.Mesh->Nome
                                         : GraphicalElement.MeshName);
    break;
  case geModel:
    element->AppendChildText("MODEL", GraphicalElement.Model ? GraphicalElement.Model->Name : "");
    break;
  case geReference:
    element->AppendChildNumber("REFERENCE", GraphicalElement.Reference);
    break;
  case geNone:
    break;
  }
  for (const auto& child : Children)
    xml->AppendChild(child->Save());
  return xml;
}

std::unique_ptr<TModelTreeNode> TModelTreeNode::CloneDeep() const {
  auto copy = std::make_unique<TModelTreeNode>();
  copy->Transf = Transf.Clone();
  copy->Color = Color;
  copy->GraphicalElement = GraphicalElement;
  for (const auto& child : Children)
    copy->Children.Add(child->CloneDeep());
  return copy;
}

// ---- Poses ----

bool TPoseItem::Load(const TXMLNode& XML) {
  MovedNode = RequiredChild(XML, "MOVEDNODE").GetText();
  LoadTransformation(XML, Diff);
  return true;
}

std::unique_ptr<TXMLNode> TPoseItem::Save() const {
  auto xml = std::make_unique<TXMLNode>("POSEITEM");
  xml->AppendChildText("MOVEDNODE", MovedNode);
  SaveTransformation(*xml, Diff);
  return xml;
}

TTransformation* TPose::GetTransfForNode(const std::string& NodeName, bool CreateIfNotFound) {
  for (const auto& item : Items)
    if (item->MovedNode == NodeName)
      return &item->Diff;
  if (!CreateIfNotFound)
    return nullptr;
  auto item = std::make_unique<TPoseItem>();
  item->MovedNode = NodeName;
  TTransformation* diff = &item->Diff;
  Items.Add(std::move(item));
  return diff;
}

const TTransformation* TPose::GetTransfForNode(const std::string& NodeName) const {
  for (const auto& item : Items)
    if (item->MovedNode == NodeName)
      return &item->Diff;
  return nullptr;
}

bool TPose::IsMoved(const std::string& NodeName) const {
  const TTransformation* diff = GetTransfForNode(NodeName);
  return diff && !diff->IsZero();
}

bool TPose::Load(const TXMLNode& XML) {
  Name = RequiredChild(XML, "NAME").GetText();
  LoadChildren(XML, "POSEITEM", Items);
  return true;
}

std::unique_ptr<TXMLNode> TPose::Save() const {
  auto xml = std::make_unique<TXMLNode>("POSE");
  xml->AppendChildText("NAME", Name);
  for (const auto& item : Items)
    if (!item->Diff.IsZero())
      xml->AppendChild(item->Save());
  return xml;
}

// ---- Animations ----

bool TAnimationKey::Load(const TXMLNode& XML) {
  PoseName = RequiredChild(XML, "POSENAME").GetText();
  Time = ChildInt(XML, "TIME");
  return true;
}

std::unique_ptr<TXMLNode> TAnimationKey::Save() const {
  auto xml = std::make_unique<TXMLNode>("ANIMITEM");
  xml->AppendChildText("POSENAME", PoseName);
  xml->AppendChildNumber("TIME", Time);
  return xml;
}

bool TAnimation::Load(const TXMLNode& XML) {
  Name = RequiredChild(XML, "NAME").GetText();
  LoadChildren(XML, "ANIMITEM", Keys);
  return true;
}

std::unique_ptr<TXMLNode> TAnimation::Save() const {
  auto xml = std::make_unique<TXMLNode>("ANIMATION");
  xml->AppendChildText("NAME", Name);
  for (const auto& key : Keys)
    xml->AppendChild(key->Save());
  return xml;
}

// ---- Models ----

TModel::TModel() : Root(std::make_unique<TModelTreeNode>()) {
  Root->Name = "root";
}

bool TModel::Load(const TXMLNode& XML, TGenericMediaManager* Man) {
  Name = RequiredChild(XML, "NAME").GetText();
  const TXMLNode& rootNode = RequiredChild(XML, "NODE");
  Root = std::make_unique<TModelTreeNode>();
  Root->Load(rootNode, Man);
  LoadChildren(XML, "POSE", Poses);
  LoadChildren(XML, "ANIMATION", Animations);
  return true;
}

bool TModel::Load(std::istream& Stream, TGenericMediaManager* Man) {
  TXMLDocument doc;
  doc.Load(Stream);
  return Load(*doc.Node, Man);
}

bool TModel::Load(const std::string& FileName, TGenericMediaManager* Man) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(FileName, error))
    return false;
  std::ifstream file(FileName, std::ios::binary);
  if (!file)
    throw std::runtime_error("cannot open model file " + FileName);
  return Load(file, Man);
}

std::unique_ptr<TXMLNode> TModel::Save() const {
  auto xml = std::make_unique<TXMLNode>("MODEL");
  xml->AppendChildText("NAME", Name);
  xml->AppendChild(Root->Save());
  for (const auto& pose : Poses)
    xml->AppendChild(pose->Save());
  for (const auto& animation : Animations)
    xml->AppendChild(animation->Save());
  return xml;
}

bool TModel::Save(std::ostream& Stream) const {
  TXMLDocument doc;
  doc.Node = Save();
  doc.Save(Stream);
  return true;
}

bool TModel::Save(const std::string& FileName) const {
  TXMLDocument doc;
  doc.Node = Save();
  doc.Save(FileName);
  return true;
}

int TModel::IndexOfPose(const std::string& PoseName) const {
  for (int i = 0; i < Poses.Count(); ++i)
    if (Poses.Get(i)->Name == PoseName)
      return i;
  return -1;
}
