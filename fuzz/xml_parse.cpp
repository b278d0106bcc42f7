// The XML parser on any text, with each option set the console uses, then a
// check of the whole tree (parents, counts, borrowed texts inside the text)
// and the name matcher with a pattern taken from the input.

#include "dcPointerArray.h"
#include "dcXml.h"
#include "xmlTestUtil.h"

constexpr std::uint32_t OPTION_SETS[] = {
    XOPT_INVENTORY,                                // every loader
    0xFFFF,                                        // a new document
    XOPT_INVENTORY | XOPT_SUBSET | XOPT_COLLAPSE,  // subset parsed, values collapsed
    0xFFFF & ~XOPT_SUBSET_ONLY,                    // everything but the early stop
};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const char* text = reinterpret_cast<const char*>(data + 1);
  const std::size_t length = size - 1;

  dcXmlDocument_t doc;
  doc.options = OPTION_SETS[data[0] % std::size(OPTION_SETS)];
  if (!doc.loadText(text, length)) return 0;
  if (doc.textEnd < doc.buffer || doc.textEnd > doc.buffer + length ||
      !xmltest::consistent(doc.root, doc.buffer, doc.buffer + length))
    __builtin_trap();

  // A pattern from the input's first line (sets may be left open).
  const std::string_view head(text, std::min<std::size_t>(length, 64));
  const std::string pattern(head.substr(0, head.find('\n')));
  dcXmlHandle_t root(doc.root);
  dcPointerArray_t found(16);
  root.findAll(pattern.c_str(), &found);
  root.findFirst(pattern.c_str());
  root.findFirst("*");
  for (auto it = childBegin(root), end = childEnd(root); it < end; ++it) {
    dcXmlHandle_t child = *it;
    (void)child.name();
    (void)child.value();
    child.attribute(pattern.c_str());
  }
  return 0;
}
