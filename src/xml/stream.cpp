#include "xml/stream.h"

#include <cstdio>
#include <istream>
#include <memory>
#include <ostream>

#include "xml/error.h"

void Write(std::ostream& S, std::string_view ST) {
  S.write(ST.data(), static_cast<std::streamsize>(ST.size()));
  if (!S) {
    throw TXMLError(XMLMessage::CannotWrite);
  }
}

std::string ReadStreamRest(std::istream& S) {
  std::string data;
  char buffer[1 << 16];
  while (S.read(buffer, sizeof buffer) || S.gcount() > 0) {
    data.append(buffer, static_cast<std::size_t>(S.gcount()));
  }
  return data;
}

std::string ReadWholeFile(const std::string& FileName) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(FileName.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) {
    throw TXMLFileError("Unable to open file \"" + FileName + "\"");
  }
  std::string data;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    data.append(buffer, got);
  }
  if (std::ferror(file.get())) {
    throw TXMLFileError("Unable to read file \"" + FileName + "\"");
  }
  return data;
}

void ParseStream(std::istream& S, const std::function<void(TXMLSource&)>& Parse) {
  const std::streampos start = S.tellg();
  const std::string data = ReadStreamRest(S);
  TXMLSource source(data);
  Parse(source);
  if (start != std::streampos(-1)) {
    S.clear();
    S.seekg(start + static_cast<std::streamoff>(source.Position));
  }
}
