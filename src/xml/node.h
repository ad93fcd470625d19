// The document tree: elements, text, comments and CDATA sections, each owning its children.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/attributes.h"
#include "xml/reader.h"

enum class TNodeType { ndTag, ndComment, ndText, ndCData };

class TXMLNode;
class TXMLNodeBlocks;

// An ordered list of nodes that owns them; destroying the list destroys every node in it.
// Iteration yields const std::unique_ptr<TXMLNode>&: for (const auto& child : node.Children).
class TXMLNodes {
public:
  int Count() const { return static_cast<int>(Size()); }
  bool Empty() const { return Size() == 0; }

  // The node at Index (std::out_of_range past the end).
  TXMLNode* GetNode(int Index) const;
  // Puts O at Index; the node that was there is destroyed.
  void SetNode(int Index, std::unique_ptr<TXMLNode> O);
  // Appends O and answers it.
  TXMLNode* Add(std::unique_ptr<TXMLNode> O);
  // Takes the node at Index out of the list and hands it to the caller.
  std::unique_ptr<TXMLNode> Extract(int Index);
  void Clear();
  void Reserve(int Capacity);
  // The first node whose Name equals Q exactly, or nullptr.
  TXMLNode* Query(std::string_view Q) const;

  TXMLNode* operator[](int Index) const { return GetNode(Index); }
  const std::unique_ptr<TXMLNode>* begin() const { return FMany.empty() ? &FSingle : FMany.data(); }
  const std::unique_ptr<TXMLNode>* end() const { return begin() + Size(); }

private:
  friend class TElementReader;

  std::size_t Size() const { return FMany.empty() ? (FSingle ? 1 : 0) : FMany.size(); }
  std::unique_ptr<TXMLNode>* Data() { return FMany.empty() ? &FSingle : FMany.data(); }
  std::unique_ptr<TXMLNode>& At(int Index);

  // A lone node is kept in place (the common case: an element holding its text), which saves
  // an allocation; from two nodes on, all of them live in FMany and FSingle is empty.
  std::unique_ptr<TXMLNode> FSingle;
  std::vector<std::unique_ptr<TXMLNode>> FMany;
};

// One node. Elements (ndTag) have a Name, Attributes and Children; text, comment and CDATA
// nodes keep their content in FText and are named "#text", "#comment" and "#cdata".
//
//   Load(S)                  reads the next item (skipping "<?...>" and "<!...>" markup)
//   LoadTag/LoadText/LoadComment/LoadCData/SkipTag   read one item of that kind
//   Save(S) / SaveTo(Out)    writes the node and its subtree, without added whitespace
//   GetText()                own text; for an element, the text of its only non-element child
//   SetText(T)               the same place; an element without children gets a text child
//   GetNumber()/SetNumber()  GetText/SetText as a decimal 32-bit integer
//   Query(Q)                 the first direct child named Q (any kind), or nullptr
//   QueryRecursive(Q, Out)   appends every descendant named Q, depth-first pre-order
//   AppendChildText(N, T)    appends <N>T</N>; AppendChildNumber the same with a number
//
// White space between elements is kept as text nodes, so Save writes back what Load read.
class TXMLNode {
public:
  std::string FText;
  TNodeType NodeType = TNodeType::ndTag;
  std::string Name;
  TXMLAttributes Attributes;
  TXMLNodes Children;

  // ANodeName is used for elements only; other kinds get their fixed name.
  explicit TXMLNode(std::string_view ANodeName = {}, TNodeType ANodeType = TNodeType::ndTag);
  TXMLNode(const TXMLNode&) = delete;
  TXMLNode& operator=(const TXMLNode&) = delete;

  // Nodes read from input share blocks of memory; every node, however made, is freed with
  // plain delete (as std::unique_ptr does).
  static void* operator new(std::size_t Size);
  static void* operator new(std::size_t Size, TXMLNodeBlocks& Blocks);
  static void operator delete(void* Node) noexcept;
  static void operator delete(void* Node, TXMLNodeBlocks& Blocks) noexcept;

  // Reading. The stream forms read the rest of the stream into memory, parse one item and
  // leave the stream positioned just after it when it can seek. Errors raise TXMLError.
  void Load(TXMLSource& S);
  void Load(std::istream& S);
  void LoadTag(TXMLSource& S);
  void LoadText(TXMLSource& S);
  void LoadComment(TXMLSource& S);
  void LoadCData(TXMLSource& S);
  void SkipTag(TXMLSource& S);

  // Writing. The stream forms raise "Cannot write to stream!" when the stream fails.
  void Save(std::ostream& S) const;
  void SaveTag(std::ostream& S) const;
  void SaveText(std::ostream& S) const;
  void SaveComment(std::ostream& S) const;
  void SaveCData(std::ostream& S) const;
  void SaveTo(std::string& Out) const;
  std::string ToString() const;

  const std::string& GetText() const;
  void SetText(std::string T);
  int GetNumber() const;
  void SetNumber(int T);

  TXMLNode* Query(std::string_view Q) const { return Children.Query(Q); }
  void QueryRecursive(std::string_view Q, std::vector<TXMLNode*>& OutputList) const;
  std::vector<TXMLNode*> QueryRecursive(std::string_view Q) const;

  // Each answers the node it appended.
  TXMLNode* AppendChild(std::unique_ptr<TXMLNode> Child) { return Children.Add(std::move(Child)); }
  TXMLNode* AppendChildText(std::string_view Node, std::string Text);
  TXMLNode* AppendChildNumber(std::string_view Node, int Number);
};
