// mediagen: writes the game's whole media set (textures, meshes, models, sound) into a folder,
// or with --icons the game's icon in every size, as OUTPUT_DIR/NxN/apps/NAME.png (the layout of
// an icon theme).
// Usage: mediagen OUTPUT_DIR | mediagen --icons NAME OUTPUT_DIR
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "gfx/xml3d.h"
#include "icon.h"
#include "models.h"
#include "png_writer.h"
#include "sound_gen.h"
#include "textures.h"
#include "xml/document.h"
#include "xml_pretty.h"

namespace {

void WriteIcons(const std::string& Name, const std::filesystem::path& Dir) {
  for (int size : ICON_SIZES) {
    const std::string square = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = Dir / square / "apps";
    std::filesystem::create_directories(folder);
    WritePng((folder / (Name + ".png")).string(), MakeIcon(size), 4);
  }
}

} // namespace

int main(int argc, char** argv) {
  const bool icons = argc == 4 && std::string(argv[1]) == "--icons";
  if (argc != 2 && !icons) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR | %s --icons NAME OUTPUT_DIR\n", argv[0], argv[0]);
    return 2;
  }
  if (icons) {
    try {
      WriteIcons(argv[2], argv[3]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "mediagen: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  const std::string dir = std::string(argv[1]) + "/";
  try {
    for (const TTextureOutput& t : MakeTextures())
      WritePng(dir + t.Name + ".png", t.Image, t.Channels);
    const TModelSet set = MakeModels();
    for (const auto& mesh : set.Meshes) {
      TXMLDocument doc;
      doc.Node = MeshToXML(*mesh);
      IndentXML(*doc.Node);
      doc.Save(dir + mesh->Nome + ".mesh");
    }
    for (const auto& [file, model] : set.Models) {
      TXMLDocument doc;
      doc.Node = model->Save();
      IndentXML(*doc.Node);
      doc.Save(dir + file);
    }
    const std::vector<std::uint8_t> click = MakeClickWav();
    std::ofstream wav(dir + "click.wav", std::ios::binary);
    wav.write(reinterpret_cast<const char*>(click.data()),
              static_cast<std::streamsize>(click.size()));
    if (!wav)
      throw std::runtime_error("cannot write " + dir + "click.wav");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mediagen: %s\n", e.what());
    return 1;
  }
  return 0;
}
