// The walk that the hardware and Windows information loaders share: each
// root element of the given name (any letter case), each key element under
// it ("pcname" skipped; a node without name ends the keys of that root), each
// value of a key (the first child without value ends the key).
#pragma once

#include "cp949.h"
#include "dcStatus.h"
#include "dcXml.h"

// visit(key, text) returns 0 to go on, or the status that ends the walk.
template <class Visit>
dcStatus_t forEachInventoryValue(const dcXmlDocument_t& document, const char* rootName, Visit visit) {
  const dcXmlHandle_t top(document.root);
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
        if (const dcStatus_t stop = visit(key, text); stop != dcStatus::OK) return stop;
      }
    }
  }
  return dcStatus::OK;
}
