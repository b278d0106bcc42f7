#include "dcTextPool.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <unordered_set>

#include "cp949.h"

namespace dcinv {

const char UNHELD[1] = "";

namespace {

struct Block {
  std::uint32_t references;
  std::uint32_t length;
  char* text() { return reinterpret_cast<char*>(this + 1); }
  std::string_view view() { return {text(), length}; }
};

struct BlockHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  std::size_t operator()(Block* b) const { return (*this)(b->view()); }
};

struct BlockEqual {
  using is_transparent = void;
  static std::string_view v(std::string_view s) { return s; }
  static std::string_view v(Block* b) { return b->view(); }
  template <class A, class B>
  bool operator()(const A& a, const B& b) const {
    return v(a) == v(b);
  }
};

// Never destroyed: lists may be freed by destructors that run at exit.
// Lists are built and freed on the loading thread only (the load's workers
// parse files and touch no list), so the table needs no lock.
struct Pool {
  std::unordered_set<Block*, BlockHash, BlockEqual> blocks;
};

Pool& pool() {
  static Pool& p = *new Pool;
  return p;
}

Block* blockOf(const char* text) { return reinterpret_cast<Block*>(const_cast<char*>(text)) - 1; }

}  // namespace

const char* holdText(const char* text, std::size_t fieldSize) noexcept {
  const std::string_view key(text, mb::boundedLength(text, fieldSize - 1));
  Pool& p = pool();
  if (auto found = p.blocks.find(key); found != p.blocks.end()) {
    ++(*found)->references;
    return (*found)->text();
  }
  void* memory = ::operator new(sizeof(Block) + key.size() + 1, std::nothrow);
  if (!memory) return UNHELD;
  auto* block = new (memory) Block{1, static_cast<std::uint32_t>(key.size())};
  std::memcpy(block->text(), key.data(), key.size());
  block->text()[key.size()] = '\0';
  try {
    p.blocks.insert(block);
  } catch (const std::bad_alloc&) {
    ::operator delete(block);
    return UNHELD;
  }
  return block->text();
}

void releaseText(const char* text) noexcept {
  if (!text || text == UNHELD) return;
  Pool& p = pool();
  Block* block = blockOf(text);
  if (--block->references > 0) return;
  p.blocks.erase(block);
  ::operator delete(block);
}

}  // namespace dcinv
