// Reading ahead gives each load what reading the file itself would give,
// whatever order the load asks in.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "dcXmlReadAhead.h"
#include "testutil.h"
#include "xmlTestUtil.h"

namespace {

std::string loaded(const char* path) {
  dcXmlDocument_t doc;
  if (!doc.load(path)) return "(none)";
  return xmltest::dump(doc.root);
}

}  // namespace

TEST(XmlReadAhead, LoadsGiveWhatReadingGives) {
  testutil::TempDir dir;
  testutil::DriveMapping drive('Q', dir.str());
  std::vector<dcXmlReadAhead_t::File> files;
  std::vector<std::string> expected;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "f" + std::to_string(i) + ".xml";
    testutil::writeFile(dir.path() / name,
                        i % 7 == 3 ? std::string() : "<a n='" + std::to_string(i) + "'>x</a>");
    files.push_back({"Q:\\" + name, dcXmlReadAhead_t::Kind::Document});
  }
  files.push_back({"Q:\\missing.xml", dcXmlReadAhead_t::Kind::Document});
  testutil::writeFile(dir.path() / "usage.xml", std::string("<u>t</u>\0rest", 13));
  files.push_back({"Q:\\usage.xml", dcXmlReadAhead_t::Kind::Text});
  for (const auto& f : files)
    expected.push_back(f.kind == dcXmlReadAhead_t::Kind::Text ? "" : loaded(f.path.c_str()));

  const dcXmlReadAhead_t ahead(files, 4);
  ASSERT_EQ(dcXmlReadAhead_t::current(), &ahead);
  // In order, skipping some (a PC the group file does not know), asking for
  // one that was never announced, and one out of order (read directly).
  for (std::size_t i = 0; i < 40; ++i) {
    if (i % 5 == 1) continue;
    if (i == 20) EXPECT_EQ(loaded("Q:\\f2.xml"), expected[2]);
    EXPECT_EQ(loaded(files[i].path.c_str()), expected[i]) << i;
  }
  errno = 0;
  dcXmlDocument_t doc;
  EXPECT_FALSE(doc.load("Q:\\missing.xml"));
  EXPECT_EQ(errno, ENOENT);
  std::string text;
  EXPECT_EQ(ahead.current()->takeText("Q:\\usage.xml", text), dcXmlReadAhead_t::Taken::Done);
  EXPECT_EQ(text, "<u>t</u>");
  EXPECT_EQ(ahead.current()->takeText("Q:\\usage.xml", text), dcXmlReadAhead_t::Taken::NotReady);
}

TEST(XmlReadAhead, StopsWithFilesNotTaken) {
  testutil::TempDir dir;
  testutil::DriveMapping drive('Q', dir.str());
  std::vector<dcXmlReadAhead_t::File> files;
  for (int i = 0; i < 100; ++i) {
    testutil::writeFile(dir.path() / ("g" + std::to_string(i) + ".xml"), "<b/>");
    files.push_back({"Q:\\g" + std::to_string(i) + ".xml", dcXmlReadAhead_t::Kind::Document});
  }
  {
    const dcXmlReadAhead_t ahead(files, 8);
    EXPECT_EQ(loaded("Q:\\g0.xml"), "D{Eb}");
  }
  EXPECT_EQ(dcXmlReadAhead_t::current(), nullptr);
}
