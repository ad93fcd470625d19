// The XML reader against tinyxml2 on the same bytes. tinyxml2 parses in place and drops
// whitespace-only text, so it does less work than this reader, which keeps every text node.
#include "xml_rows.h"

#include <stdexcept>

#include "mesh_document.h"
#include "xml/document.h"

#ifdef HAVE_TINYXML2
#include <tinyxml2.h>
#endif

namespace {

constexpr std::size_t MeshDocumentBytes = 1 << 20;

TLoaded LoadWithThisReader(const std::string& Input) {
  auto document = std::make_shared<TXMLDocument>();
  document->LoadFromMemory(Input);
  return document;
}

#ifdef HAVE_TINYXML2
TLoaded LoadWithTinyXML2(const std::string& Input) {
  auto document = std::make_shared<tinyxml2::XMLDocument>();
  if (document->Parse(Input.data(), Input.size()) != tinyxml2::XML_SUCCESS) {
    throw std::runtime_error("tinyxml2 refused the document");
  }
  return document;
}
#endif

} // namespace

void AddXMLRows(TBenchTable& Table) {
  TBenchRow row{"xml: 1 MB mesh-shaped document",
                [] { return MakeMeshDocument(MeshDocumentBytes); },
                {{"this reader", LoadWithThisReader}}};
#ifdef HAVE_TINYXML2
  row.Contenders.push_back({"tinyxml2", LoadWithTinyXML2});
#endif
  Table.push_back(std::move(row));
}
