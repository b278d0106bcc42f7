// What the hardware, Windows and software loaders take from their files,
// and the walk that the hardware and Windows loaders share.
#pragma once

#include <cerrno>
#include <utility>
#include <vector>

#include "cp949.h"
#include "dcStatus.h"
#include "dcXml.h"
#include "winfs.h"

// A file read, parsed and walked on any thread, for its list to take on the
// loading thread: the pairs of texts the list's load takes, in the order it
// takes them, pointing into the file's text, which this holds. The tree is
// freed by the thread that made it, once walked.
struct dcInventoryValues_t {
  dcXmlPrepared_t file;  // the text, without its tree; file.error: errno as the read left it
  bool parsed = false;   // the file was read and parsed
  std::vector<std::pair<const char*, const char*>> values;
};

// The file read and parsed (dcXmlDocument_t::prepare), and its tree, when
// there is one, walked by walk(root, values).
template <class Walk>
dcInventoryValues_t prepareInventoryValues(winfs::ReadFile& file, Walk walk) {
  dcInventoryValues_t out;
  out.file = dcXmlDocument_t::prepare(file);
  out.parsed = out.file.root != nullptr;
  if (out.parsed) walk(dcXmlHandle_t(out.file.root), out.values);
  xmlFreeTree(out.file.root);
  out.file.root = nullptr;
  return out;
}

// prepare(file) for the file at fileName, opened as dcXmlDocument_t::load
// opens it (errno cleared first); nothing for a null name.
template <class Prepare>
dcInventoryValues_t prepareFileAt(const char* fileName, Prepare prepare) {
  if (!fileName) return {};
  errno = 0;
  winfs::ReadFile file(fileName);
  return prepare(file);
}

// visit(first, second) on each pair in order: 0 to go on, or the status that
// ends the walk.
template <class Visit>
dcStatus_t forEachValue(const dcInventoryValues_t& prepared, Visit visit) {
  for (const auto& [first, second] : prepared.values)
    if (const dcStatus_t stop = visit(first, second); stop != dcStatus::OK) return stop;
  return dcStatus::OK;
}

// Each root element of the given name (any letter case) under top, each
// key element under it ("pcname" skipped; a node without name ends the keys
// of that root), each value of a key (the first child without value ends
// the key), added to values as (key, text).
inline void collectInventoryValues(const dcXmlHandle_t& top, const char* rootName,
                                   std::vector<std::pair<const char*, const char*>>& values) {
  for (auto r = childBegin(top), rEnd = childEnd(top); r < rEnd; ++r) {
    const dcXmlHandle_t root = *r;
    if (mb::compareNoCase(root.name(), rootName) != 0) continue;
    for (auto k = childBegin(root), kEnd = childEnd(root); k < kEnd; ++k) {
      const dcXmlHandle_t element = *k;
      const char* key = element.name();
      if (mb::compareNoCase(key, "pcname") == 0) continue;
      if (*key == '\0') break;
      for (auto v = childBegin(element), vEnd = childEnd(element); v < vEnd; ++v) {
        const char* text = (*v).value();
        if (*text == '\0') break;
        values.emplace_back(key, text);
      }
    }
  }
}
