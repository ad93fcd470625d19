#include "xml/reader.h"

#include <cstring>

#include "xml/error.h"
#include "xml/tag_text.h"

// Tags are short, so a plain loop beats a library call here.
std::size_t FindTagEnd(const TXMLSource& S, std::size_t From) {
  const std::size_t size = S.Data.size();
  const char* data = S.Data.data();
  for (std::size_t i = From; i < size; ++i) {
    if (data[i] == '>') {
      return i;
    }
  }
  return std::string_view::npos;
}

TTagText SplitTagText(std::string_view T) {
  if (T.empty()) {
    throw TXMLError(XMLMessage::EmptyTag);
  }
  TTagText tag;
  if (T.back() == '/') {
    tag.Type = TTagType::ttUnique;
    T.remove_suffix(1);
  } else if (T.front() == '/') {
    tag.Type = TTagType::ttClose;
    T.remove_prefix(1);
  }
  // Only a blank ends the name; a tab or line break after it belongs to the name.
  std::size_t blank = 0;
  while (blank < T.size() && T[blank] != ' ') {
    ++blank;
  }
  if (blank == T.size()) {
    tag.Name = T;
  } else {
    tag.Name = T.substr(0, blank);
    tag.AttributeText = T.substr(blank + 1);
    tag.HasAttributes = !tag.AttributeText.empty();
  }
  return tag;
}

TWhatsNext WhatsNext(const TXMLSource& S) {
  const std::string_view data = S.Data;
  const std::size_t p = S.Position;
  if (p >= data.size()) {
    throw TXMLError(XMLMessage::FineStream);
  }
  if (data[p] != '<') {
    return TWhatsNext::wnText;
  }
  if (p + 1 >= data.size()) {
    throw TXMLError(XMLMessage::FineStream);
  }
  switch (data[p + 1]) {
  case '/':
    return TWhatsNext::wnTagClose;
  case '?':
    return TWhatsNext::wnSkippable;
  case '!':
    if (p + 2 >= data.size()) {
      throw TXMLError(XMLMessage::FineStream);
    }
    if (data[p + 2] == '[') {
      return TWhatsNext::wnCData;
    }
    return data[p + 2] == '-' ? TWhatsNext::wnComment : TWhatsNext::wnSkippable;
  default:
    break;
  }
  const std::size_t close = FindTagEnd(S, p + 1);
  if (close == std::string_view::npos) {
    throw TXMLError(XMLMessage::StreamEndInTag);
  }
  return data[close - 1] == '/' ? TWhatsNext::wnTagUnique : TWhatsNext::wnTagOpen;
}

TTag ReadTag(TXMLSource& S) {
  if (S.AtEnd()) {
    throw TXMLError(XMLMessage::EndWhileTagExpected);
  }
  if (S.Data[S.Position] != '<') {
    throw TXMLError(XMLMessage::NoTag);
  }
  if (S.Position + 1 >= S.Data.size()) {
    S.Position = S.Data.size();
    throw TXMLError(XMLMessage::EndAfterLess);
  }
  const std::size_t close = FindTagEnd(S, S.Position + 1);
  if (close == std::string_view::npos) {
    S.Position = S.Data.size();
    throw TXMLError(XMLMessage::EndBeforeGreater);
  }
  const TTagText text = SplitTagText(S.Data.substr(S.Position + 1, close - S.Position - 1));
  S.Position = close + 1;
  TTag tag;
  tag.Name = std::string(text.Name);
  tag.TagType = text.Type;
  if (text.HasAttributes) {
    tag.At = std::make_unique<TXMLAttributes>();
    tag.At->ReadFrom(text.AttributeText);
  }
  return tag;
}
