#include "mesh_document.h"

#include <cstdio>
#include <random>

namespace {

// Floats are written as the mesh writer writes them: up to 15 significant digits.
void Value(std::string& Out, const char* Indent, const char* Name, float V) {
  char text[64];
  std::snprintf(text, sizeof text, "%s<%s>%.15g</%s>\n", Indent, Name, static_cast<double>(V),
                Name);
  Out += text;
}

void Value(std::string& Out, const char* Indent, const char* Name, int V) {
  char text[64];
  std::snprintf(text, sizeof text, "%s<%s>%d</%s>\n", Indent, Name, V, Name);
  Out += text;
}

std::string Generate(int Vertices) {
  std::mt19937 random(2024);
  std::uniform_real_distribution<float> coordinate(-10, 10);
  std::uniform_real_distribution<float> unit(0, 1);
  std::uniform_int_distribution<int> index(0, Vertices - 1);
  const int faces = 2 * Vertices;
  const char* field = "      ";
  std::string out = "<MESH>\n  <NAME>benchmark</NAME>\n";
  Value(out, "  ", "FACECOUNT", faces);
  Value(out, "  ", "POINTCOUNT", Vertices);
  out += "  <POINTS>\n";
  for (int v = 0; v < Vertices; ++v) {
    out += "    <VERTEX id=\"" + std::to_string(v) + "\">\n";
    for (const char* name : {"X", "Y", "Z"}) {
      Value(out, field, name, coordinate(random));
    }
    for (const char* name : {"NX", "NY", "NZ", "U", "V"}) {
      Value(out, field, name, unit(random));
    }
    out += "    </VERTEX>\n";
  }
  out += "  </POINTS>\n  <FACES>\n";
  for (int f = 0; f < faces; ++f) {
    out += "    <FACE id=\"" + std::to_string(f) + "\">\n";
    for (const char* name : {"A", "B", "C"}) {
      Value(out, field, name, index(random));
    }
    for (const char* name : {"AU", "AV", "BU", "BV", "CU", "CV", "NX", "NY", "NZ"}) {
      Value(out, field, name, unit(random));
    }
    Value(out, field, "SMOOTH", 1);
    out += "    </FACE>\n";
  }
  out += "  </FACES>\n</MESH>\n";
  return out;
}

} // namespace

std::string MakeMeshDocument(std::size_t MinBytes) {
  int vertices = 100;
  std::string document = Generate(vertices);
  while (document.size() < MinBytes) {
    const double scale = static_cast<double>(MinBytes) / static_cast<double>(document.size());
    vertices = static_cast<int>(vertices * scale) + 1;
    document = Generate(vertices);
  }
  return document;
}
