// A generated mesh-shaped XML document, indented as the project's writers indent.
#pragma once

#include <cstddef>
#include <string>

// A root "MESH" with NAME, FACECOUNT and POINTCOUNT, then POINTS of VERTEX elements (X, Y, Z,
// NX, NY, NZ, U, V) and FACES of FACE elements (A, B, C, texture coordinates, a normal,
// SMOOTH), twice as many faces as vertices, one element per line. At least MinBytes long;
// the same bytes on every run.
std::string MakeMeshDocument(std::size_t MinBytes);
