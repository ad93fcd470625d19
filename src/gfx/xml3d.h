// Conversions between XML elements and the 3D records: vectors, vertices and faces, and the
// whole .mesh document. Children are found by exact name; numbers use '.' as decimal point.
#pragma once

#include <memory>
#include <string>

#include "gfx/mesh.h"
#include "math3d/vector.h"
#include "xml/node.h"

// The text of a float in the shortest form that reads back to the same value ("32", "0.1",
// "-1.5e-07").
std::string FloatToXMLText(float Value);
// A decimal float (plain or exponent notation, optional sign); throws std::runtime_error for
// anything else, for infinities and for NaN.
float XMLTextToFloat(const std::string& Text);
// A decimal 32-bit integer with optional sign; throws std::runtime_error otherwise.
std::int32_t XMLTextToInt(const std::string& Text);

// The first child element named Name; throws std::runtime_error when there is none.
const TXMLNode& RequiredChild(const TXMLNode& Node, const char* Name);
// The float or integer in the text of the child named Name (which must exist).
float ChildFloat(const TXMLNode& Node, const char* Name);
std::int32_t ChildInt(const TXMLNode& Node, const char* Name);

// A new element "VECTOR" with children "X", "Y", "Z".
std::unique_ptr<TXMLNode> VectorToXML(const TVector& V);
// The vector in the children "X", "Y", "Z" of Node.
TVector XMLToVector(const TXMLNode& Node);

// A "VERTEX" element: "X", "Y", "Z"; "NX", "NY", "NZ" when "NX" is present; "U", "V" when "U"
// is present. Left-out optional values are zero.
TVertex XMLToVertex(const TXMLNode& Node);
// A "FACE" element: "A", "B", "C"; the six corner coordinates when "AU" is present; the face
// normal when "NX" is present; "SMOOTH" false only for the text "0" (true when absent).
TFace XMLToFace(const TXMLNode& Node);

// The elements XMLToVertex and XMLToFace read, with an "id" attribute.
std::unique_ptr<TXMLNode> VertexToXML(const TVertex& V, int Id);
std::unique_ptr<TXMLNode> FaceToXML(const TFace& F, int Id);
// A whole .mesh document: root "MESH" with "NAME", "FACECOUNT", "POINTCOUNT", "POINTS" and
// "FACES"; TMesh::LoadFrom reads it back to the same mesh.
std::unique_ptr<TXMLNode> MeshToXML(const TMesh& Mesh);
