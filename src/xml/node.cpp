// Tree operations of TXMLNode and TXMLNodes: construction, look-up, text and numbers.
#include "xml/node.h"

#include <charconv>

#include "xml/error.h"

namespace {

const std::string EmptyText;

std::string_view KindName(TNodeType Type) {
  switch (Type) {
  case TNodeType::ndComment:
    return "#comment";
  case TNodeType::ndText:
    return "#text";
  case TNodeType::ndCData:
    return "#cdata";
  case TNodeType::ndTag:
    break;
  }
  return {};
}

// Optional sign, then decimal digits only, within the 32-bit range.
bool ParseInteger(std::string_view S, int& Value) {
  std::string_view digits = S;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    digits.remove_prefix(1);
  }
  if (digits.empty()) {
    return false;
  }
  for (char c : digits) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  // from_chars takes "-" but not "+".
  const char* first = S.front() == '+' ? S.data() + 1 : S.data();
  const auto result = std::from_chars(first, S.data() + S.size(), Value);
  return result.ec == std::errc() && result.ptr == S.data() + S.size();
}

void QueryInto(const TXMLNodes& Nodes, std::string_view Q, std::vector<TXMLNode*>& Out) {
  for (const auto& child : Nodes) {
    if (child->Name == Q) {
      Out.push_back(child.get());
    }
    QueryInto(child->Children, Q, Out);
  }
}

} // namespace

std::unique_ptr<TXMLNode>& TXMLNodes::At(int Index) {
  if (Index < 0 || Index >= Count()) {
    throw std::out_of_range("node index " + std::to_string(Index) + " out of range");
  }
  return Data()[Index];
}

TXMLNode* TXMLNodes::GetNode(int Index) const {
  return const_cast<TXMLNodes*>(this)->At(Index).get();
}

void TXMLNodes::SetNode(int Index, std::unique_ptr<TXMLNode> O) {
  if (!O) {
    throw std::invalid_argument("a node list holds no null nodes");
  }
  At(Index) = std::move(O);
}

TXMLNode* TXMLNodes::Add(std::unique_ptr<TXMLNode> O) {
  if (!O) {
    throw std::invalid_argument("a node list holds no null nodes");
  }
  if (Empty() && FMany.capacity() == 0) {
    FSingle = std::move(O);
    return FSingle.get();
  }
  Reserve(Count() + 1);
  FMany.push_back(std::move(O));
  return FMany.back().get();
}

std::unique_ptr<TXMLNode> TXMLNodes::Extract(int Index) {
  std::unique_ptr<TXMLNode> node = std::move(At(Index));
  if (!FMany.empty()) {
    FMany.erase(FMany.begin() + Index);
  }
  return node;
}

void TXMLNodes::Clear() {
  FSingle.reset();
  FMany.clear();
}

// Room for Capacity nodes in FMany; a lone node moves there first.
void TXMLNodes::Reserve(int Capacity) {
  if (Capacity < 2) {
    return;
  }
  FMany.reserve(static_cast<std::size_t>(Capacity));
  if (FSingle) {
    FMany.push_back(std::move(FSingle));
  }
}

TXMLNode* TXMLNodes::Query(std::string_view Q) const {
  for (const auto& node : *this) {
    if (node->Name == Q) {
      return node.get();
    }
  }
  return nullptr;
}

TXMLNode::TXMLNode(std::string_view ANodeName, TNodeType ANodeType)
    : NodeType(ANodeType), Name(ANodeType == TNodeType::ndTag ? ANodeName : KindName(ANodeType)) {}

const std::string& TXMLNode::GetText() const {
  if (NodeType != TNodeType::ndTag) {
    return FText;
  }
  if (Children.Count() == 1 && Children[0]->NodeType != TNodeType::ndTag) {
    return Children[0]->FText;
  }
  return EmptyText;
}

void TXMLNode::SetText(std::string T) {
  if (NodeType != TNodeType::ndTag) {
    FText = std::move(T);
  } else if (Children.Count() == 1 && Children[0]->NodeType != TNodeType::ndTag) {
    Children[0]->FText = std::move(T);
  } else if (Children.Empty()) {
    auto text = std::make_unique<TXMLNode>(std::string_view{}, TNodeType::ndText);
    text->FText = std::move(T);
    Children.Add(std::move(text));
  } else {
    throw TXMLError(XMLMessage::NoTextPlace);
  }
}

int TXMLNode::GetNumber() const {
  const std::string& text = GetText();
  int value = 0;
  if (!ParseInteger(text, value)) {
    throw TXMLConvertError("\"" + text + "\" is not a valid integer value");
  }
  return value;
}

void TXMLNode::SetNumber(int T) {
  SetText(std::to_string(T));
}

void TXMLNode::QueryRecursive(std::string_view Q, std::vector<TXMLNode*>& OutputList) const {
  QueryInto(Children, Q, OutputList);
}

std::vector<TXMLNode*> TXMLNode::QueryRecursive(std::string_view Q) const {
  std::vector<TXMLNode*> found;
  QueryInto(Children, Q, found);
  return found;
}

TXMLNode* TXMLNode::AppendChildText(std::string_view Node, std::string Text) {
  auto element = std::make_unique<TXMLNode>(Node, TNodeType::ndTag);
  auto text = std::make_unique<TXMLNode>(std::string_view{}, TNodeType::ndText);
  text->FText = std::move(Text);
  element->Children.Add(std::move(text));
  return Children.Add(std::move(element));
}

TXMLNode* TXMLNode::AppendChildNumber(std::string_view Node, int Number) {
  return AppendChildText(Node, std::to_string(Number));
}
