#include "gfx/xml3d.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

std::string_view Trimmed(const std::string& Text) {
  std::string_view s = Text;
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
    s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
    s.remove_suffix(1);
  if (s.size() > 1 && s.front() == '+' && s[1] != '-')
    s.remove_prefix(1);
  return s;
}

std::unique_ptr<TXMLNode> TextElement(const char* Name, std::string Text) {
  auto node = std::make_unique<TXMLNode>(Name);
  node->SetText(std::move(Text));
  return node;
}

void AppendFloat(TXMLNode& Parent, const char* Name, float Value) {
  Parent.AppendChild(TextElement(Name, FloatToXMLText(Value)));
}

} // namespace

std::string FloatToXMLText(float Value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, Value, std::chars_format::general);
  return std::string(buffer, result.ptr);
}

float XMLTextToFloat(const std::string& Text) {
  const std::string_view s = Trimmed(Text);
  float value = 0;
  const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || result.ec != std::errc() || result.ptr != s.data() + s.size() ||
      !std::isfinite(value))
    throw std::runtime_error("\"" + Text + "\" is not a valid floating point value");
  return value;
}

std::int32_t XMLTextToInt(const std::string& Text) {
  const std::string_view s = Trimmed(Text);
  std::int32_t value = 0;
  const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || result.ec != std::errc() || result.ptr != s.data() + s.size())
    throw std::runtime_error("\"" + Text + "\" is not a valid integer value");
  return value;
}

const TXMLNode& RequiredChild(const TXMLNode& Node, const char* Name) {
  const TXMLNode* child = Node.Query(Name);
  if (!child)
    throw std::runtime_error("element \"" + Node.Name + "\" has no child \"" + Name + "\"");
  return *child;
}

float ChildFloat(const TXMLNode& Node, const char* Name) {
  return XMLTextToFloat(RequiredChild(Node, Name).GetText());
}

std::int32_t ChildInt(const TXMLNode& Node, const char* Name) {
  return XMLTextToInt(RequiredChild(Node, Name).GetText());
}

std::unique_ptr<TXMLNode> VectorToXML(const TVector& V) {
  auto node = std::make_unique<TXMLNode>("VECTOR");
  AppendFloat(*node, "X", V.X);
  AppendFloat(*node, "Y", V.Y);
  AppendFloat(*node, "Z", V.Z);
  return node;
}

TVector XMLToVector(const TXMLNode& Node) {
  return TVector{ChildFloat(Node, "X"), ChildFloat(Node, "Y"), ChildFloat(Node, "Z")};
}

TVertex XMLToVertex(const TXMLNode& Node) {
  TVertex v;
  v.X = ChildFloat(Node, "X");
  v.Y = ChildFloat(Node, "Y");
  v.Z = ChildFloat(Node, "Z");
  if (Node.Query("NX")) {
    v.NX = ChildFloat(Node, "NX");
    v.NY = ChildFloat(Node, "NY");
    v.NZ = ChildFloat(Node, "NZ");
  }
  if (Node.Query("U")) {
    v.TU = ChildFloat(Node, "U");
    v.TV = ChildFloat(Node, "V");
  }
  return v;
}

TFace XMLToFace(const TXMLNode& Node) {
  TFace f;
  f.Point = {ChildInt(Node, "A"), ChildInt(Node, "B"), ChildInt(Node, "C")};
  if (Node.Query("AU")) {
    f.UV[0] = {ChildFloat(Node, "AU"), ChildFloat(Node, "AV")};
    f.UV[1] = {ChildFloat(Node, "BU"), ChildFloat(Node, "BV")};
    f.UV[2] = {ChildFloat(Node, "CU"), ChildFloat(Node, "CV")};
  }
  if (Node.Query("NX")) {
    f.NX = ChildFloat(Node, "NX");
    f.NY = ChildFloat(Node, "NY");
    f.NZ = ChildFloat(Node, "NZ");
  }
  const TXMLNode* smooth = Node.Query("SMOOTH");
  f.Smooth = !smooth || smooth->GetText() != "0";
  return f;
}

std::unique_ptr<TXMLNode> VertexToXML(const TVertex& V, int Id) {
  auto node = std::make_unique<TXMLNode>("VERTEX");
  node->Attributes.SetAttribute("id", std::to_string(Id));
  AppendFloat(*node, "X", V.X);
  AppendFloat(*node, "Y", V.Y);
  AppendFloat(*node, "Z", V.Z);
  AppendFloat(*node, "NX", V.NX);
  AppendFloat(*node, "NY", V.NY);
  AppendFloat(*node, "NZ", V.NZ);
  AppendFloat(*node, "U", V.TU);
  AppendFloat(*node, "V", V.TV);
  return node;
}

std::unique_ptr<TXMLNode> FaceToXML(const TFace& F, int Id) {
  static const char* const corners[] = {"A", "B", "C"};
  static const char* const us[] = {"AU", "BU", "CU"};
  static const char* const vs[] = {"AV", "BV", "CV"};
  auto node = std::make_unique<TXMLNode>("FACE");
  node->Attributes.SetAttribute("id", std::to_string(Id));
  for (int i = 0; i < 3; ++i)
    node->AppendChildNumber(corners[i], F.Point[i]);
  for (int i = 0; i < 3; ++i) {
    AppendFloat(*node, us[i], F.UV[i].U);
    AppendFloat(*node, vs[i], F.UV[i].V);
  }
  AppendFloat(*node, "NX", F.NX);
  AppendFloat(*node, "NY", F.NY);
  AppendFloat(*node, "NZ", F.NZ);
  node->AppendChildText("SMOOTH", F.Smooth ? "1" : "0");
  return node;
}

std::unique_ptr<TXMLNode> MeshToXML(const TMesh& Mesh) {
  auto root = std::make_unique<TXMLNode>("MESH");
  root->AppendChildText("NAME", Mesh.Nome);
  root->AppendChildNumber("FACECOUNT", Mesh.FNumFace);
  root->AppendChildNumber("POINTCOUNT", Mesh.FNumVertex);
  TXMLNode* points = root->AppendChild(std::make_unique<TXMLNode>("POINTS"));
  for (std::size_t i = 0; i < Mesh.Vertex.size(); ++i)
    points->AppendChild(VertexToXML(Mesh.Vertex[i], static_cast<int>(i)));
  TXMLNode* faces = root->AppendChild(std::make_unique<TXMLNode>("FACES"));
  for (std::size_t i = 0; i < Mesh.Face.size(); ++i)
    faces->AppendChild(FaceToXML(Mesh.Face[i], static_cast<int>(i)));
  return root;
}
