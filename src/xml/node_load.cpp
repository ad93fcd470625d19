// Reading nodes. The input is in memory, so every search for a delimiter is one pass and
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
#include "xml/node_blocks.h"
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
    Out = std::string(Raw);
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

} // namespace

// Reads the content of an open element up to its end tag. Children wait on one shared stack
// until their element ends and then move into it in one allocation of the exact size; the
// stack owns them until then.
class TElementReader {
public:
  TElementReader(TXMLSource& S, TXMLNode& Root) : FS(S), FData(S.Data) {
    FOpen.reserve(64);
    FPending.reserve(256);
    FOpen.push_back({&Root, 0});
  }
  TElementReader(const TElementReader&) = delete;
  TElementReader& operator=(const TElementReader&) = delete;
  ~TElementReader() {
    for (TXMLNode* node : FPending) {
      delete node;
    }
  }

  void Run() {
    while (!FOpen.empty()) {
      Step();
    }
  }

private:
  struct TOpenElement {
    TXMLNode* Node;
    std::size_t FirstChild; // index into FPending
  };

  // The new node goes on the stack at once, so it is owned even if reading it fails.
  TXMLNode* NewNode(std::string_view Name, TNodeType Type) {
    std::unique_ptr<TXMLNode> node(new (FBlocks) TXMLNode(Name, Type));
    FPending.push_back(node.get());
    return node.release();
  }

  void Step() {
    const std::size_t p = FS.Position;
    if (p >= FData.size()) {
      Fail(FS, XMLMessage::FineStream);
    }
    if (FData[p] != '<') {
      return ReadText(p);
    }
    if (p + 1 >= FData.size()) {
      Fail(FS, XMLMessage::FineStream);
    }
    switch (FData[p + 1]) {
    case '/':
      return ReadEndTag();
    case '?':
      return SkipMarkup();
    case '!':
      return ReadExclamation(p);
    default:
      return ReadStartTag(p);
    }
  }

  void ReadText(std::size_t P) {
    const std::size_t less = Find(FS, P, '<');
    if (less == std::string_view::npos) {
      Fail(FS, XMLMessage::FineStream);
    }
    TXMLNode* text = NewNode({}, TNodeType::ndText);
    AssignDecoded(text->FText, FData.substr(P, less - P));
    FS.Position = less;
  }

  void SkipMarkup() {
    const std::size_t greater = Find(FS, FS.Position, '>');
    if (greater == std::string_view::npos) {
      Fail(FS, XMLMessage::FineStream);
    }
    FS.Position = greater + 1;
  }

  void ReadExclamation(std::size_t P) {
    if (P + 2 >= FData.size()) {
      Fail(FS, XMLMessage::FineStream);
    }
    const char third = FData[P + 2];
    if (third == '[') {
      NewNode({}, TNodeType::ndCData)->LoadCData(FS);
    } else if (third == '-') {
      NewNode({}, TNodeType::ndComment)->LoadComment(FS);
    } else {
      SkipMarkup();
    }
  }

  void ReadStartTag(std::size_t P) {
    const std::size_t greater = FindTagEnd(FS, P + 1);
    if (greater == std::string_view::npos) {
      Fail(FS, XMLMessage::StreamEndInTag);
    }
    const TTagText tag = SplitTagText(FData.substr(P + 1, greater - P - 1));
    if (tag.Name.empty()) {
      throw TXMLError(XMLMessage::NamelessTag);
    }
    TXMLNode* element = NewNode(tag.Name, TNodeType::ndTag);
    if (tag.HasAttributes) {
      element->Attributes.ReadFrom(tag.AttributeText);
    }
    FS.Position = greater + 1;
    if (tag.Type == TTagType::ttOpen) {
      if (static_cast<int>(FOpen.size()) >= MaxXMLDepth) {
        throw TXMLError(XMLMessage::TooDeep);
      }
      FOpen.push_back({element, FPending.size()});
    }
  }

  // Read as ReadTag reads it: the same kind rules and the same attribute checks.
  void ReadEndTag() {
    const std::size_t greater = FindTagEnd(FS, FS.Position + 1);
    if (greater == std::string_view::npos) {
      Fail(FS, XMLMessage::EndBeforeGreater);
    }
    const TTagText tag = SplitTagText(FData.substr(FS.Position + 1, greater - FS.Position - 1));
    if (tag.HasAttributes) {
      TXMLAttributes().ReadFrom(tag.AttributeText);
    }
    FS.Position = greater + 1;
    const TOpenElement open = FOpen.back();
    if (tag.Name != open.Node->Name) {
      throw TXMLError(std::string(XMLMessage::CloseTagDifferent) + std::string(tag.Name) + "<>" +
                      open.Node->Name);
    }
    TXMLNodes& children = open.Node->Children;
    const std::size_t count = FPending.size() - open.FirstChild;
    if (count == 1 && children.Empty()) {
      children.FSingle.reset(FPending.back());
    } else if (count > 0) {
      children.Reserve(children.Count() + static_cast<int>(count));
      for (std::size_t i = open.FirstChild; i < FPending.size(); ++i) {
        children.FMany.emplace_back(FPending[i]);
      }
    }
    FPending.resize(open.FirstChild);
    FOpen.pop_back();
  }

  TXMLSource& FS;
  const std::string_view FData;
  TXMLNodeBlocks FBlocks;
  std::vector<TOpenElement> FOpen;
  std::vector<TXMLNode*> FPending;
};

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
  TElementReader(S, *this).Run();
}
