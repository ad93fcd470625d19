// Internal to the XML library: where the memory of nodes comes from.
//
// Every node carries a small header saying where it lives. Nodes made one by one come from
// the general heap; nodes read from input are placed side by side in blocks, which saves an
// allocation per node. A block counts its live nodes and frees itself when the last one goes,
// so each node is still owned and freed on its own (std::unique_ptr<TXMLNode> works as usual)
// and a node may outlive the document it was read into. Nodes placed in one block must be
// freed on one thread.
#pragma once

#include <cstddef>

struct TXMLNodeBlock;

// The allocator the reader uses while it reads one document.
class TXMLNodeBlocks {
public:
  TXMLNodeBlocks() = default;
  TXMLNodeBlocks(const TXMLNodeBlocks&) = delete;
  TXMLNodeBlocks& operator=(const TXMLNodeBlocks&) = delete;
  ~TXMLNodeBlocks();

  void* Allocate(std::size_t Size);

private:
  void StartBlock(std::size_t Need);

  TXMLNodeBlock* FBlock = nullptr;
  char* FNext = nullptr;
  char* FEnd = nullptr;
  std::size_t FNextBlockBytes = 4096;
};

// Node memory from the general heap, and the release of any node's memory.
void* AllocateSingleNode(std::size_t Size);
void ReleaseNode(void* Node) noexcept;
