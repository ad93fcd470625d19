// Reading nodes. The input is in memory, so every search for a delimiter is one memchr and
// every text is copied once; the results and messages are those of a reader that takes one
// byte at a time and peeks by stepping back.
//
// Elements are read without recursion: the open elements wait on an explicit stack, which
// also bounds the depth a hostile document can reach.
#include <cstring>
#include <vector>

#include "xml/entities.h"
#include "xml/error.h"
#include "xml/node.h"
#include "xml/stream.h"
#include "xml/tag_text.h"

namespace {

[[noreturn]] void Fail(TXMLSource& S, const char* Message) {
  S.Position = S.Data.size();
  throw TXMLError(Message);
}

std::size_t Find(const TXMLSource& S, std::size_t From, char C) {
  if (From >= S.Data.size()) {
    return std::string_view::npos;
  }
  const void* hit = std::memchr(S.Data.data() + From, C, S.Data.size() - From);
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - S.Data.data())
             : std::string_view::npos;
}

// Text is decoded only when it holds an entity; most text holds none.
void AssignDecoded(std::string& Out, std::string_view Raw) {
  if (std::memchr(Raw.data(), '&', Raw.size())) {
    Out = DecodeStantardEntities(Raw);
  } else {
    Out.assign(Raw);
  }
}

// Comments and CDATA: everything up to the first Terminator, which must begin with Opening.
void LoadDelimited(TXMLNode& Node, TXMLSource& S, std::string_view Opening,
                   std::string_view Terminator, const char* Error) {
  Node.FText.clear();
  const std::size_t end = S.Data.find(Terminator, S.Position);
  if (end == std::string_view::npos) {
    Fail(S, XMLMessage::FineStream);
  }
  const std::string_view raw = S.Data.substr(S.Position, end - S.Position);
  S.Position = end + Terminator.size();
  if (raw.substr(0, Opening.size()) != Opening) {
    throw TXMLError(Error);
  }
  Node.FText.assign(raw.substr(Opening.size()));
}

std::unique_ptr<TXMLNode> NewElement(const TTagText& Tag) {
  if (Tag.Name.empty()) {
    throw TXMLError(XMLMessage::NamelessTag);
  }
  auto element = std::make_unique<TXMLNode>(Tag.Name, TNodeType::ndTag);
  if (Tag.HasAttributes) {
    element->Attributes.ReadFrom(Tag.AttributeText);
  }
  return element;
}

} // namespace

void TXMLNode::Load(TXMLSource& S) {
  for (;;) {
    switch (WhatsNext(S)) {
    case TWhatsNext::wnComment:
      return LoadComment(S);
    case TWhatsNext::wnCData:
      return LoadCData(S);
    case TWhatsNext::wnText:
      return LoadText(S);
    case TWhatsNext::wnTagOpen:
    case TWhatsNext::wnTagUnique:
      return LoadTag(S);
    case TWhatsNext::wnTagClose:
      throw TXMLError(XMLMessage::CloseTagWrongPlace);
    case TWhatsNext::wnSkippable:
      SkipTag(S);
      break;
    }
  }
}

void TXMLNode::Load(std::istream& S) {
  ParseStream(S, [this](TXMLSource& source) { Load(source); });
}

void TXMLNode::LoadText(TXMLSource& S) {
  NodeType = TNodeType::ndText;
  Name = "#text";
  FText.clear();
  const std::size_t less = Find(S, S.Position, '<');
  if (less == std::string_view::npos) {
    Fail(S, XMLMessage::FineStream);
  }
  AssignDecoded(FText, S.Data.substr(S.Position, less - S.Position));
  S.Position = less;
}

void TXMLNode::LoadComment(TXMLSource& S) {
  NodeType = TNodeType::ndComment;
  Name = "#comment";
  LoadDelimited(*this, S, "<!--", "-->", XMLMessage::ErrorComment);
}

void TXMLNode::LoadCData(TXMLSource& S) {
  NodeType = TNodeType::ndCData;
  Name = "#cdata";
  LoadDelimited(*this, S, "<![CDATA[", "]]>", XMLMessage::ErrorCData);
}

void TXMLNode::SkipTag(TXMLSource& S) {
  const std::size_t greater = Find(S, S.Position, '>');
  if (greater == std::string_view::npos) {
    Fail(S, XMLMessage::FineStream);
  }
  S.Position = greater + 1;
}

void TXMLNode::LoadTag(TXMLSource& S) {
  NodeType = TNodeType::ndTag;
  FText.clear();
  TTag tag = ReadTag(S);
  if (tag.TagType != TTagType::ttClose && tag.Name.empty()) {
    throw TXMLError(XMLMessage::NamelessTag);
  }
  if (tag.At) {
    Attributes = std::move(*tag.At);
  }
  Name = std::move(tag.Name);
  if (tag.TagType == TTagType::ttClose) {
    throw TXMLError(XMLMessage::CloseTagFoundWrongPlace);
  }
  if (tag.TagType == TTagType::ttUnique) {
    return;
  }

  std::vector<TXMLNode*> open;
  open.reserve(64);
  open.push_back(this);
  const std::string_view data = S.Data;
  while (!open.empty()) {
    TXMLNode& parent = *open.back();
    std::vector<std::unique_ptr<TXMLNode>>& siblings = parent.Children.FItems;
    const std::size_t p = S.Position;
    if (p >= data.size()) {
      Fail(S, XMLMessage::FineStream);
    }
    if (data[p] != '<') {
      auto text = std::make_unique<TXMLNode>(std::string_view{}, TNodeType::ndText);
      const std::size_t less = Find(S, p, '<');
      if (less == std::string_view::npos) {
        Fail(S, XMLMessage::FineStream);
      }
      AssignDecoded(text->FText, data.substr(p, less - p));
      siblings.push_back(std::move(text));
      S.Position = less;
      continue;
    }
    if (p + 1 >= data.size()) {
      Fail(S, XMLMessage::FineStream);
    }
    const char second = data[p + 1];
    if (second == '/') {
      const TTag close = ReadTag(S);
      if (close.Name != parent.Name) {
        throw TXMLError(std::string(XMLMessage::CloseTagDifferent) + close.Name + "<>" +
                        parent.Name);
      }
      open.pop_back();
      continue;
    }
    if (second == '?') {
      SkipTag(S);
      continue;
    }
    if (second == '!') {
      if (p + 2 >= data.size()) {
        Fail(S, XMLMessage::FineStream);
      }
      const char third = data[p + 2];
      if (third == '[' || third == '-') {
        const TNodeType type = third == '[' ? TNodeType::ndCData : TNodeType::ndComment;
        auto child = std::make_unique<TXMLNode>(std::string_view{}, type);
        if (type == TNodeType::ndCData) {
          child->LoadCData(S);
        } else {
          child->LoadComment(S);
        }
        siblings.push_back(std::move(child));
      } else {
        SkipTag(S);
      }
      continue;
    }
    const std::size_t greater = FindTagEnd(S, p + 1);
    if (greater == std::string_view::npos) {
      Fail(S, XMLMessage::StreamEndInTag);
    }
    const TTagText tagText = SplitTagText(data.substr(p + 1, greater - p - 1));
    std::unique_ptr<TXMLNode> element = NewElement(tagText);
    TXMLNode* added = element.get();
    siblings.push_back(std::move(element));
    S.Position = greater + 1;
    if (tagText.Type == TTagType::ttOpen) {
      if (static_cast<int>(open.size()) >= MaxXMLDepth) {
        throw TXMLError(XMLMessage::TooDeep);
      }
      open.push_back(added);
    }
  }
}
