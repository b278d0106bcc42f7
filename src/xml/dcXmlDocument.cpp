// The document object and the whole-file reader every loader goes through.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "dcXml.h"
#include "dcXmlAlloc.h"
#include "winfs.h"

bool readWholeFile(const char* path, char** buffer, std::size_t* size, std::size_t chunkSize) {
  if (!path || !buffer || !size) return false;
  winfs::ReadFile file(path);
  return readWholeFile(file, buffer, size, chunkSize);
}

bool readWholeFile(winfs::ReadFile& file, char** buffer, std::size_t* size, std::size_t chunkSize) {
  if (!buffer || !size) return false;
  *size = 0;
  *buffer = nullptr;
  if (!file.isOpen()) return false;
  if (chunkSize < 2) return false;  // a chunk must hold at least one byte and its NUL
  // The text is the concatenation of the file's chunks of chunkSize - 1
  // bytes, each up to its first NUL. The file is read in windows of about a
  // megabyte straight into the text, each cut in place where a chunk holds a
  // NUL; the text is sized from the file's size (growing geometrically when
  // the file grows while it is read), so a normal file is read into its
  // final place with no copy, and a file full of NULs touches little memory.
  const std::size_t piece = chunkSize - 1;
  constexpr std::size_t WINDOW = std::size_t{1} << 20;
  const std::size_t known = file.size();
  // Room for one byte more than the size, so that a file that keeps its
  // size is read whole by a read that comes short.
  std::size_t held = known ? known + 2 : chunkSize;
  char* text = static_cast<char*>(dcxml::allocate(held));
  if (!text) return false;
  std::size_t length = 0;     // bytes kept
  std::size_t raw = 0;        // bytes read
  std::size_t pieceUsed = 0;  // bytes of the current chunk read so far
  bool pieceCut = false;      // the current chunk has met its NUL
  // Keeps what the chunks allow of the n bytes just read at text + length.
  auto keep = [&](std::size_t n) {
    const char* from = text + length;
    char* to = text + length;
    while (n > 0) {
      const std::size_t run = std::min(n, piece - pieceUsed);
      if (!pieceCut) {
        const void* nul = std::memchr(from, '\0', run);
        const std::size_t kept = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - from) : run;
        if (to != from) std::memmove(to, from, kept);
        to += kept;
        pieceCut = nul != nullptr;
      }
      from += run;
      n -= run;
      pieceUsed += run;
      if (pieceUsed == piece) {
        pieceUsed = 0;
        pieceCut = false;
      }
    }
    length = static_cast<std::size_t>(to - text);
  };
  for (;;) {
    if (length + 1 >= held) {
      // The text is full: it grows only if the file goes on.
      char next = 0;
      if (file.read(&next, 1) == 0) break;
      auto* grown = static_cast<char*>(dcxml::reallocate(text, held * 2));
      if (!grown) break;
      text = grown;
      held *= 2;
      text[length] = next;
      ++raw;
      keep(1);
      continue;
    }
    const std::size_t wanted = std::min(held - 1 - length, WINDOW);
    const std::size_t got = file.read(text + length, wanted);
    raw += got;
    keep(got);
    if (got < wanted || file.failed()) break;
  }
  if (raw == 0) {
    dcxml::release(text);
    return false;
  }
  text[length] = '\0';
  *size = raw;
  *buffer = text;
  return true;
}

dcXmlDocument_t::~dcXmlDocument_t() {
  if (deleteTree && root) xmlFreeTree(root);
  dcxml::release(buffer);
}

void dcXmlDocument_t::clear() {
  xmlFreeTree(root);
  root = nullptr;
  dcxml::release(buffer);
  buffer = nullptr;
  textEnd = nullptr;
}

dcXmlPrepared_t::dcXmlPrepared_t(dcXmlPrepared_t&& other) noexcept
    : root(other.root), buffer(other.buffer), textEnd(other.textEnd), error(other.error) {
  other.root = nullptr;
  other.buffer = other.textEnd = nullptr;
}

dcXmlPrepared_t& dcXmlPrepared_t::operator=(dcXmlPrepared_t&& other) noexcept {
  if (this != &other) {
    this->~dcXmlPrepared_t();
    new (this) dcXmlPrepared_t(std::move(other));
  }
  return *this;
}

dcXmlPrepared_t::~dcXmlPrepared_t() {
  xmlFreeTree(root);
  dcxml::release(buffer);
}

dcXmlPrepared_t dcXmlDocument_t::prepare(const char* path, std::uint32_t growBy) {
  errno = 0;
  if (!path) return dcXmlPrepared_t();
  winfs::ReadFile file(path);
  return prepare(file, growBy);
}

dcXmlPrepared_t dcXmlDocument_t::prepare(winfs::ReadFile& file, std::uint32_t growBy) {
  dcXmlPrepared_t out;
  std::size_t size = 0;
  const bool read = readWholeFile(file, &out.buffer, &size, 4096) && size != 0 && out.buffer;
  out.error = errno;
  if (!read) return out;
  out.root = xmlNewNode(XN_DOCUMENT);
  if (!out.root) {
    out.error = ENOMEM;
    return out;
  }
  out.root->parent = out.root;
  out.textEnd = xmlParse(out.buffer, out.root, growBy, XOPT_INVENTORY);
  return out;
}

bool dcXmlDocument_t::adopt(dcXmlPrepared_t&& prepared) {
  clear();
  options = XOPT_INVENTORY;
  errno = prepared.error;
  if (!prepared.root) return false;
  root = prepared.root;
  buffer = prepared.buffer;
  textEnd = prepared.textEnd;
  prepared.root = nullptr;
  prepared.buffer = prepared.textEnd = nullptr;
  return true;
}

bool dcXmlDocument_t::load(const char* path) { return adopt(prepare(path, growBy)); }

bool dcXmlDocument_t::loadText(const char* text, std::size_t size) {
  if (!text) return false;
  clear();
  buffer = static_cast<char*>(dcxml::allocate(size + 1));
  if (!buffer) return false;
  std::memcpy(buffer, text, size);
  buffer[size] = '\0';
  root = xmlNewNode(XN_DOCUMENT);
  if (!root) {
    clear();
    return false;
  }
  root->parent = root;
  textEnd = xmlParse(buffer, root, growBy, options);
  return true;
}
