#include "gui/ui_loader.h"

#include "gui/gui.h"
#include "xml/document.h"
#include "xml/node.h"

#include <string_view>

namespace {

template <class T>
std::unique_ptr<TUIWidget> Make() {
  return std::make_unique<T>();
}

struct TWidgetTag {
  std::string_view Tag;
  std::unique_ptr<TUIWidget> (*Create)();
};

constexpr TWidgetTag WidgetTags[] = {
    {"WINDOW", Make<TUIWindow>},
    {"ROLLABLEWINDOW", Make<TUIRollableWindow>},
    {"BUTTON", Make<TUIButton>},
    {"LAYERED", Make<TUILayered>},
    {"PAGE", Make<TUIPage>},
    {"TRACKER", Make<TUITracker>},
    {"EDIT", Make<TUIEdit>},
    {"LIST", Make<TUIList>},
    {"IMAGE", Make<TUIImage>},
    {"LABEL", Make<TUILabel>},
    {"CHECKBOX", Make<TUICheckBox>},
    {"BAR", Make<TUIBar>},
    {"MULTITRACKER", Make<TUIMultiTracker>},
};

bool IsElement(const TXMLNode& Node) {
  return Node.NodeType == TNodeType::ndTag;
}

} // namespace

std::unique_ptr<TUIWidget> CreateWidget(const TXMLNode& Node) {
  if (!IsElement(Node))
    return nullptr;
  for (const TWidgetTag& Entry : WidgetTags)
    if (Node.Name == Entry.Tag)
      return Entry.Create();
  return nullptr;
}

bool LoadGUI(TUIContainer& Container, const TXMLNode& Node) {
  for (const auto& Child : Node.Children) {
    if (!IsElement(*Child))
      continue;
    std::unique_ptr<TUIWidget> W = CreateWidget(*Child);
    if (W == nullptr || !W->LoadFromNode(*Child))
      return false;
    Container.Add(std::move(W));
  }
  return true;
}

bool LoadGUI(TUIContainer& Container, const std::string& FileName) {
  TXMLDocument Document;
  Document.Load(FileName);
  return LoadGUI(Container, *Document.Node);
}

std::unique_ptr<TUIWidget> LoadWidget(const TXMLNode& Node, const std::string& Name) {
  for (const auto& Child : Node.Children) {
    if (!IsElement(*Child) || Child->Attributes.GetAttribute("name") != Name)
      continue;
    std::unique_ptr<TUIWidget> W = CreateWidget(*Child);
    if (W != nullptr)
      W->LoadFromNode(*Child);
    return W;
  }
  return nullptr;
}

std::unique_ptr<TUIWidget> LoadWidget(const std::string& FileName, const std::string& Name) {
  TXMLDocument Document;
  Document.Load(FileName);
  return LoadWidget(*Document.Node, Name);
}
