#include "xml/attributes.h"

#include "xml/error.h"

namespace {

const std::string EmptyValue;

bool IsTrimmed(char C) {
  return static_cast<unsigned char>(C) <= ' ';
}

std::string_view Trim(std::string_view S) {
  while (!S.empty() && IsTrimmed(S.front())) {
    S.remove_prefix(1);
  }
  while (!S.empty() && IsTrimmed(S.back())) {
    S.remove_suffix(1);
  }
  return S;
}

} // namespace

const std::string& TXMLAttributes::GetAttribute(std::string_view Index) const {
  const TXMLAttribute* attribute = GetAttributeString(Index);
  return attribute ? attribute->Value : EmptyValue;
}

void TXMLAttributes::SetAttribute(std::string_view Index, std::string O) {
  if (TXMLAttribute* attribute = GetAttributeString(Index)) {
    attribute->Value = std::move(O);
  } else {
    FItems.push_back({std::string(Index), std::move(O)});
  }
}

TXMLAttribute* TXMLAttributes::GetAttributeString(std::string_view Index) {
  for (TXMLAttribute& attribute : FItems) {
    if (attribute.Key == Index) {
      return &attribute;
    }
  }
  return nullptr;
}

const TXMLAttribute* TXMLAttributes::GetAttributeString(std::string_view Index) const {
  return const_cast<TXMLAttributes*>(this)->GetAttributeString(Index);
}

TXMLAttribute& TXMLAttributes::GetAttributeInt(int Index) {
  return FItems.at(static_cast<std::size_t>(Index));
}

const TXMLAttribute& TXMLAttributes::GetAttributeInt(int Index) const {
  return FItems.at(static_cast<std::size_t>(Index));
}

void TXMLAttributes::SetAttributeInt(int Index, TXMLAttribute O) {
  FItems.at(static_cast<std::size_t>(Index)) = std::move(O);
}

// Each attribute is: key, "=", an opening quote right after it, the value, the same quote.
// After the closing quote one separator byte is skipped; further blanks are trimmed off the
// next key. Blanks after the last attribute are allowed; any other leftover byte is an
// attribute without "=".
void TXMLAttributes::ReadFrom(std::string_view S) {
  std::size_t i = 0;
  while (i < S.size()) {
    while (i < S.size() && IsTrimmed(S[i])) {
      ++i;
    }
    if (i >= S.size()) {
      break;
    }
    const std::size_t equals = S.find('=', i);
    if (equals == std::string_view::npos) {
      throw TXMLError(std::string(XMLMessage::ExpectedEquals) + std::string(S.substr(i)));
    }
    const std::string_view key = Trim(S.substr(i, equals - i));
    const std::size_t open = equals + 1;
    if (open >= S.size() || (S[open] != '"' && S[open] != '\'')) {
      throw TXMLError(std::string(XMLMessage::ExpectedQuote) + std::string(S.substr(open, 1)));
    }
    const std::size_t close = S.find(S[open], open + 1);
    if (close == std::string_view::npos) {
      throw TXMLError(std::string(XMLMessage::UnclosedValue) + std::string(key));
    }
    FItems.push_back({std::string(key), std::string(S.substr(open + 1, close - open - 1))});
    i = close + 2;
  }
}
