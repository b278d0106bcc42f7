// The group file reader against the plain model, on generated files of both
// layouts: every length form, lengths the file cannot hold, UTF-16 texts with
// stray surrogates, duplicate names and ids, parents that come late, the
// root's own name, NULs inside texts, long Korean names, and files that end
// anywhere.
#include <gtest/gtest.h>

#include "dcDataLoad.h"
#include "randomInput.h"

namespace {

constexpr int CASES = 600;
const std::string ROOT = dcQsGroup_t::ROOT_NAME;

// Group files of either layout, written record by record into bytes.
class Gen : public Random {
 public:
  using Random::Random;

  std::string bytes;

  void u32(std::uint32_t v) { bytes.append({char(v), char(v >> 8), char(v >> 16), char(v >> 24)}); }
  void u16(std::uint32_t v) { bytes.append({char(v), char(v >> 8)}); }

  // A length in any form that can hold it, now and then a claim of 4 GB
  // that the file cannot hold (read in pieces, never allocated at once).
  void length(std::size_t n) {
    if (pick(1000) == 0) n = 0xFFFFFFF0;
    const std::size_t form = pick(4);
    if (n < 255 && form < 2) {
      bytes += char(n);
    } else if (n < 0xFFFE && form < 3) {
      bytes += '\xFF';
      u16(static_cast<std::uint32_t>(n));
    } else {
      bytes += "\xFF\xFF\xFF";
      u32(static_cast<std::uint32_t>(n));
    }
  }

  // A text record, now and then as UTF-16 (with a stray surrogate anywhere,
  // which takes nothing after it) or as the mark twice, which reads as no text.
  void text(const std::string& s) {
    const std::size_t form = pick(10);
    if (form == 0) {
      bytes += "\xFF\xFE\xFF";
      std::vector<std::uint16_t> units;
      for (unsigned char c : s) units.push_back(c < 0x80 ? c : 0xAC00 + c);
      if (chance(33))
        units.insert(units.begin() + pick(units.size() + 1),
                     static_cast<std::uint16_t>(0xD800 + pick(0x800)));
      length(units.size());
      for (std::uint16_t u : units) u16(u);
    } else if (form == 1) {
      bytes += "\xFF\xFE\xFF\xFF\xFE\xFF";
    } else {
      length(s.size());
      bytes += s;
    }
  }

  // Duplicate names in any case, the root's own name, NULs inside names,
  // Korean names around the field's limit.
  std::string name() {
    return pick(12) ? oneOf<std::string>({"Seoul", "seoul", "Busan", "", "PC01", "PC02", ROOT,
                                          std::string("A\0B", 3), std::string("\0x", 2), "\xC7\xD1\xB1\xDB"})
                    : korean(253 + pick(6));
  }

  // Duplicate ids, parents that come late or never.
  std::uint32_t id() { return oneOf<std::uint32_t>({0, 1, 2, 3, 4, 5, 0xFFFFFFFF, 0x80000000}); }

  // A whole file, now and then with one record more counted than written,
  // then cut short one time in four.
  std::string file(bool current) {
    bytes.clear();
    if (current)
      text(pick(4) ? "!!QSDATFILE!!" : pick(2) ? "!!qsdatfile!!" : std::string("!!QSDATFILE!!\0x", 15));
    const std::size_t groups = pick(9);
    u32(static_cast<std::uint32_t>(groups + (pick(10) == 0)));
    for (std::size_t g = 0; g < groups; ++g) {
      if (current) u32(id()), u32(id());
      text(name());
      text("note");
      u32(7);
    }
    const std::size_t clients = pick(9);
    u32(static_cast<std::uint32_t>(clients + (pick(10) == 0)));
    for (std::size_t c = 0; c < clients; ++c) {
      if (current) u32(id());
      text(name());
      bytes += std::string(16, '\xEE');
      for (int t = 0; t < (current ? 7 : 2); ++t) text("t");
      if (!current) {
        text(name());
        for (int t = 0; t < 3; ++t) text("");
      }
    }
    if (pick(4) == 0) bytes.resize(pick(bytes.size() + 1));
    return bytes;
  }
};

TEST(GroupFileDiff, ReaderMatchesTheModel) {
  testutil::TempDir dir;
  testutil::DriveMapping drive('C', dir.str());
  dcAssetConsoleEngine_t engine;
  Gen gen(1604);
  for (int c = 0; c < CASES; ++c) {
    const std::string bytes = gen.file(gen.pick(2) == 0);
    testutil::writeFile(dir.path() / "qss" / "grp.dat", bytes);
    engine.root.clear();
    // The reader runs on a root named "root" or, as the data load has it,
    // already renamed.
    const std::string rootName = gen.pick(2) ? ROOT : "root";
    mb::copyBounded(engine.root.name, rootName.c_str());
    bool whole = true;
    try {
      readGroupFile("C:\\QSS\\grp.dat");
    } catch (const dcArchiveException_t&) {
      whole = false;
    }
    dcmodel::Group expected{rootName};
    ASSERT_EQ(whole, dcmodel::readGroupFile(bytes, expected)) << c;
    ASSERT_EQ(dcmodel::describeTree(engine.root), dcmodel::describeTree(expected)) << c;
  }
}

}  // namespace
