#include "xml_pretty.h"

#include <memory>
#include <string>

#include "xml/node.h"

namespace {

bool HasElements(const TXMLNode& Node) {
  for (const auto& child : Node.Children)
    if (child->NodeType == TNodeType::ndTag)
      return true;
  return false;
}

} // namespace

void IndentXML(TXMLNode& Node, int Depth) {
  // Elements whose children are all plain values (a vector, a vertex) stay on one line.
  bool nested = false;
  for (const auto& child : Node.Children)
    nested = nested || HasElements(*child);
  if (!nested)
    return;
  const std::string inner = "\n" + std::string(static_cast<std::size_t>(Depth + 1) * 2, ' ');
  TXMLNodes indented;
  while (!Node.Children.Empty()) {
    std::unique_ptr<TXMLNode> child = Node.Children.Extract(0);
    auto space = std::make_unique<TXMLNode>("", TNodeType::ndText);
    space->FText = inner;
    indented.Add(std::move(space));
    IndentXML(*child, Depth + 1);
    indented.Add(std::move(child));
  }
  auto closing = std::make_unique<TXMLNode>("", TNodeType::ndText);
  closing->FText = "\n" + std::string(static_cast<std::size_t>(Depth) * 2, ' ');
  indented.Add(std::move(closing));
  while (!indented.Empty())
    Node.Children.Add(indented.Extract(0));
}
