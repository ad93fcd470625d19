// Writing nodes. A tree is written exactly as it is, with no whitespace of its own; pieces
// this reader could not read back unchanged are refused instead of written.
#include <ostream>

#include "xml/entities.h"
#include "xml/error.h"
#include "xml/node.h"
#include "xml/stream.h"

namespace {

// Values are written between double quotes, or between apostrophes when they hold a double
// quote. A value holding both, or a ">", would end the tag early when read back.
char QuoteFor(const TXMLAttribute& Attribute) {
  const std::string& value = Attribute.Value;
  const bool hasDouble = value.find('"') != std::string::npos;
  if (value.find('>') != std::string::npos ||
      (hasDouble && value.find('\'') != std::string::npos)) {
    throw TXMLError(std::string(XMLMessage::UnwritableValue) + Attribute.Key);
  }
  return hasDouble ? '\'' : '"';
}

// Opening + Text + Terminator reads back as Text only if the first Terminator is the last.
void AppendDelimited(std::string& Out, std::string_view Opening, const std::string& Text,
                     std::string_view Terminator, const char* Error) {
  const std::size_t start = Out.size();
  Out.append(Opening).append(Text).append(Terminator);
  if (Out.find(Terminator, start) != Out.size() - Terminator.size()) {
    Out.resize(start);
    throw TXMLError(Error);
  }
}

void AppendTag(std::string& Out, const TXMLNode& Node) {
  Out.push_back('<');
  Out.append(Node.Name);
  for (const TXMLAttribute& attribute : Node.Attributes) {
    const char quote = QuoteFor(attribute);
    Out.push_back(' ');
    Out.append(attribute.Key);
    Out.push_back('=');
    Out.push_back(quote);
    Out.append(attribute.Value);
    Out.push_back(quote);
  }
  if (Node.Children.Empty()) {
    Out.append("/>");
    return;
  }
  Out.push_back('>');
  for (const auto& child : Node.Children) {
    child->SaveTo(Out);
  }
  Out.append("</");
  Out.append(Node.Name);
  Out.push_back('>');
}

void AppendText(std::string& Out, const TXMLNode& Node) {
  Out.append(EncodeStantardEntities(Node.FText));
}

void AppendComment(std::string& Out, const TXMLNode& Node) {
  AppendDelimited(Out, "<!--", Node.FText, "-->", XMLMessage::UnwritableComment);
}

void AppendCData(std::string& Out, const TXMLNode& Node) {
  AppendDelimited(Out, "<![CDATA[", Node.FText, "]]>", XMLMessage::UnwritableCData);
}

template <typename F>
void SaveWith(std::ostream& S, const TXMLNode& Node, F Append) {
  std::string out;
  Append(out, Node);
  Write(S, out);
}

} // namespace

void TXMLNode::SaveTo(std::string& Out) const {
  switch (NodeType) {
  case TNodeType::ndTag:
    return AppendTag(Out, *this);
  case TNodeType::ndText:
    return AppendText(Out, *this);
  case TNodeType::ndComment:
    return AppendComment(Out, *this);
  case TNodeType::ndCData:
    return AppendCData(Out, *this);
  }
}

std::string TXMLNode::ToString() const {
  std::string out;
  SaveTo(out);
  return out;
}

void TXMLNode::Save(std::ostream& S) const {
  Write(S, ToString());
}
void TXMLNode::SaveTag(std::ostream& S) const {
  SaveWith(S, *this, AppendTag);
}
void TXMLNode::SaveText(std::ostream& S) const {
  SaveWith(S, *this, AppendText);
}
void TXMLNode::SaveComment(std::ostream& S) const {
  SaveWith(S, *this, AppendComment);
}
void TXMLNode::SaveCData(std::ostream& S) const {
  SaveWith(S, *this, AppendCData);
}
