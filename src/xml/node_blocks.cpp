#include "xml/node_blocks.h"

#include <algorithm>
#include <new>

#include "xml/node.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) && !defined(__SANITIZE_ADDRESS__)
#define __SANITIZE_ADDRESS__ 1
#endif
#endif

// Freed nodes are poisoned so that the address sanitizer reports a use after free inside a
// block as it would for memory of their own.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define XML_POISON(Address, Size) ASAN_POISON_MEMORY_REGION(Address, Size)
#else
#define XML_POISON(Address, Size) ((void)(Address), (void)(Size))
#endif

struct TXMLNodeBlock {
  std::size_t Live = 0; // placed nodes not yet freed, plus one while the reader fills it
};

namespace {

// In front of every node: the block it lives in, or null for a node of its own.
struct alignas(alignof(std::max_align_t)) TNodeHeader {
  TXMLNodeBlock* Block = nullptr;
};

constexpr std::size_t Align = alignof(std::max_align_t);
constexpr std::size_t MaxBlockBytes = 256 * 1024;

constexpr std::size_t RoundUp(std::size_t Bytes) {
  return (Bytes + Align - 1) / Align * Align;
}

constexpr std::size_t BlockHeaderBytes = RoundUp(sizeof(TXMLNodeBlock));

void ReleaseBlock(TXMLNodeBlock* Block) noexcept {
  if (--Block->Live == 0) {
    Block->~TXMLNodeBlock();
    ::operator delete(Block);
  }
}

} // namespace

TXMLNodeBlocks::~TXMLNodeBlocks() {
  if (FBlock) {
    XML_POISON(FNext, static_cast<std::size_t>(FEnd - FNext));
    ReleaseBlock(FBlock);
  }
}

void TXMLNodeBlocks::StartBlock(std::size_t Need) {
  const std::size_t bytes = std::max(FNextBlockBytes, BlockHeaderBytes + Need);
  FNextBlockBytes = std::min(FNextBlockBytes * 2, MaxBlockBytes);
  char* memory = static_cast<char*>(::operator new(bytes));
  auto* block = new (memory) TXMLNodeBlock{1};
  if (FBlock) {
    XML_POISON(FNext, static_cast<std::size_t>(FEnd - FNext));
    ReleaseBlock(FBlock);
  }
  FBlock = block;
  FNext = memory + BlockHeaderBytes;
  FEnd = memory + bytes;
}

void* TXMLNodeBlocks::Allocate(std::size_t Size) {
  const std::size_t need = sizeof(TNodeHeader) + RoundUp(Size);
  if (static_cast<std::size_t>(FEnd - FNext) < need) {
    StartBlock(need);
  }
  auto* header = new (FNext) TNodeHeader{FBlock};
  ++FBlock->Live;
  FNext += need;
  return header + 1;
}

void* AllocateSingleNode(std::size_t Size) {
  void* memory = ::operator new(sizeof(TNodeHeader) + Size);
  return new (memory) TNodeHeader{} + 1;
}

void ReleaseNode(void* Node) noexcept {
  if (!Node) {
    return;
  }
  TNodeHeader* header = static_cast<TNodeHeader*>(Node) - 1;
  TXMLNodeBlock* block = header->Block;
  if (!block) {
    ::operator delete(header);
    return;
  }
  XML_POISON(header, sizeof(TNodeHeader) + sizeof(TXMLNode));
  ReleaseBlock(block);
}

void* TXMLNode::operator new(std::size_t Size) {
  return AllocateSingleNode(Size);
}

void* TXMLNode::operator new(std::size_t Size, TXMLNodeBlocks& Blocks) {
  return Blocks.Allocate(Size);
}

void TXMLNode::operator delete(void* Node) noexcept {
  ReleaseNode(Node);
}

void TXMLNode::operator delete(void* Node, TXMLNodeBlocks&) noexcept {
  ReleaseNode(Node);
}
