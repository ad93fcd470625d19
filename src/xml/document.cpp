#include "xml/document.h"

#include <fstream>

#include "xml/error.h"
#include "xml/stream.h"

TXMLDocument::TXMLDocument() : Node(std::make_unique<TXMLNode>("Main", TNodeType::ndTag)) {}

// The new tree is built apart and replaces the old one only when it is complete.
void TXMLDocument::Load(TXMLSource& S) {
  auto root = std::make_unique<TXMLNode>();
  do {
    root->Load(S);
  } while (root->NodeType != TNodeType::ndTag);
  Node = std::move(root);
}

void TXMLDocument::Load(std::istream& S) {
  ParseStream(S, [this](TXMLSource& source) { Load(source); });
}

void TXMLDocument::Load(const std::string& FileName) {
  LoadFromMemory(ReadWholeFile(FileName));
}

void TXMLDocument::LoadFromMemory(std::string_view Text) {
  TXMLSource source(Text);
  Load(source);
}

void TXMLDocument::Save(std::ostream& S) const {
  Node->Save(S);
}

// The text is made before the file is touched, so a tree that cannot be written leaves the
// old file as it was.
void TXMLDocument::Save(const std::string& FileName) const {
  const std::string text = Node->ToString();
  std::ofstream out(FileName, std::ios::binary | std::ios::trunc);
  if (!out) {
    throw TXMLFileError("Unable to create file \"" + FileName + "\"");
  }
  Write(out, text);
  out.close();
  if (!out) {
    throw TXMLError(XMLMessage::CannotWrite);
  }
}

TXMLNode* TXMLDocument::Query(std::string_view Q) const {
  return Node && Node->Name == Q ? Node.get() : nullptr;
}
