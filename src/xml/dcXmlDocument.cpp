// The document object and the whole-file reader every loader goes through.
#include <cstdio>
#include <cstring>
#include <memory>

#include "dcXml.h"
#include "dcXmlAlloc.h"
#include "winfs.h"

bool readWholeFile(const char* path, char** buffer, std::size_t* size, std::size_t chunkSize) {
  if (!path || !buffer || !size) return false;
  *size = 0;
  *buffer = nullptr;
  std::unique_ptr<std::FILE, winfs::FileCloser> file(winfs::openFile(path, "rb"));
  if (!file) return false;
  if (chunkSize < 2) return false;  // a chunk must hold at least one byte and its NUL
  std::unique_ptr<char, decltype(&dcxml::release)> chunk(static_cast<char*>(dcxml::allocate(chunkSize)),
                                                         &dcxml::release);
  if (!chunk) return false;
  // The buffer is the concatenation of the chunks read, each as a string
  // (up to its first NUL); its storage grows geometrically underneath so
  // that big files stay linear.
  char* text = nullptr;
  std::size_t length = 0;
  std::size_t held = 0;
  for (;;) {
    std::memset(chunk.get(), 0, chunkSize);
    const std::size_t got = std::fread(chunk.get(), 1, chunkSize - 1, file.get());
    if (got == 0) break;
    const std::size_t part = strnlen(chunk.get(), got);
    if (length + part + 1 > held) {
      std::size_t wanted = held ? held * 2 : chunkSize;
      if (wanted < length + part + 1) wanted = length + part + 1;
      auto* grown = static_cast<char*>(dcxml::reallocate(text, wanted));
      if (!grown) break;
      text = grown;
      held = wanted;
    }
    std::memcpy(text + length, chunk.get(), part);
    length += part;
    text[length] = '\0';
    *size += got;
    if (std::ferror(file.get())) break;
  }
  *buffer = text;
  return *size != 0;
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

namespace {

// A fresh document node (its own parent) with text parsed under it.
bool parseInto(dcXmlDocument_t& doc) {
  doc.root = xmlNewNode(XN_DOCUMENT);
  if (!doc.root) return false;
  doc.root->parent = doc.root;
  doc.textEnd = xmlParse(doc.buffer, doc.root, doc.growBy, doc.options);
  return true;
}

}  // namespace

bool dcXmlDocument_t::load(const char* path) {
  clear();
  options = XOPT_INVENTORY;
  std::size_t size = 0;
  if (!readWholeFile(path, &buffer, &size, 4096) || size == 0 || !buffer) {
    clear();
    return false;
  }
  if (!parseInto(*this)) {
    clear();
    return false;
  }
  return true;
}

bool dcXmlDocument_t::loadText(const char* text, std::size_t size) {
  if (!text) return false;
  clear();
  buffer = static_cast<char*>(dcxml::allocate(size + 1));
  if (!buffer) return false;
  std::memcpy(buffer, text, size);
  buffer[size] = '\0';
  if (!parseInto(*this)) {
    clear();
    return false;
  }
  return true;
}
