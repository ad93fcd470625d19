// An XML document: the root element and its tree, read from and written to streams or files.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "xml/node.h"

// Load reads up to the end of the first element: text, comments, CDATA, "<?...?>" and
// "<!...>" before it are passed over, nothing after it is read. When Load fails (TXMLError
// with the reader's message; TXMLFileError for a file that cannot be opened) the document
// keeps the tree it had. Save writes the root element only, with no XML declaration.
class TXMLDocument {
public:
  // The root element; a new document holds an empty element named "Main".
  std::unique_ptr<TXMLNode> Node;

  TXMLDocument();
  TXMLDocument(const TXMLDocument&) = delete;
  TXMLDocument& operator=(const TXMLDocument&) = delete;

  void Load(TXMLSource& S);
  void Load(std::istream& S);
  void Load(const std::string& FileName);
  void LoadFromMemory(std::string_view Text);

  void Save(std::ostream& S) const;
  void Save(const std::string& FileName) const;

  // Node when its name equals Q, otherwise nullptr.
  TXMLNode* Query(std::string_view Q) const;
};
