// The group file read field by field, groups and clients placed by walking
// the tree from the root each time.
#include "cp949.h"
#include "dcModel.h"

namespace dcmodel {

namespace {

const std::string ROOT_NAME = "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC";  // 전체 그룹

struct TooShort {};

class Bytes {
 public:
  explicit Bytes(const std::string& bytes) : bytes_(bytes) {}

  std::string take(std::size_t n) {
    if (n > bytes_.size() - at_) throw TooShort{};
    at_ += n;
    return bytes_.substr(at_ - n, n);
  }
  std::uint32_t number(std::size_t n) {
    const std::string b = take(n);
    std::uint32_t v = 0;
    for (std::size_t i = n; i-- > 0;) v = v << 8 | static_cast<unsigned char>(b[i]);
    return v;
  }
  std::uint32_t u32() { return number(4); }

  // A length: one byte below 0xFF; else a word below 0xFFFE; 0xFFFF and a
  // 32-bit length. unicode, when given, learns of a 0xFFFE mark, after
  // which a length follows (a second mark there counts as no text).
  std::size_t length(bool* unicode) {
    const std::uint32_t b = number(1);
    if (b < 0xFF) return b;
    const std::uint32_t w = number(2);
    if (w == 0xFFFF) return u32();
    if (w != 0xFFFE) return w;
    if (!unicode) return 0;
    *unicode = true;
    return length(nullptr);
  }

  // A text record; names end at their first NUL.
  std::string whole() {
    bool unicode = false;
    const std::size_t n = length(&unicode);
    if (!unicode) return take(n);
    const std::string raw = take(2 * n);
    auto unit = [&](std::size_t i) {
      return static_cast<char32_t>(static_cast<unsigned char>(raw[2 * i]) |
                                   static_cast<unsigned char>(raw[2 * i + 1]) << 8);
    };
    std::string utf8;
    for (std::size_t i = 0; i < n; ++i) {
      char32_t c = unit(i);
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000)
        c = 0x10000 + ((c - 0xD800) << 10) + (unit(++i) - 0xDC00);
      else if (c >= 0xD800 && c < 0xE000)
        c = 0xFFFD;
      mb::appendUtf8(utf8, c);
    }
    return mb::fromUtf8(utf8);
  }
  std::string text() { return whole().c_str(); }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

// The first group, the root first and each group before its children, that
// is the one wanted.
Group* findGroup(Group& g, const std::function<bool(const Group&)>& wanted) {
  if (wanted(g)) return &g;
  for (const auto& child : g.children)
    if (Group* found = findGroup(*child, wanted)) return found;
  return nullptr;
}

void readCurrent(Bytes& in, Group& root) {
  in.text();
  for (std::uint32_t n = in.u32(); n > 0; --n) {
    const auto parentId = static_cast<std::int32_t>(in.u32());
    const auto id = static_cast<std::int32_t>(in.u32());
    const std::string name = in.text();
    in.text();
    in.u32();
    if (equalNoCase(name, ROOT_NAME)) continue;
    Group* parent = findGroup(root, [&](const Group& g) { return g.id == parentId; });
    (parent ? *parent : root).addChild(name, id);
  }
  for (std::uint32_t n = in.u32(); n > 0; --n) {
    const auto groupId = static_cast<std::int32_t>(in.u32());
    const std::string name = in.text();
    in.take(16);
    for (int i = 0; i < 7; ++i) in.text();
    if (Group* group = findGroup(root, [&](const Group& g) { return g.id == groupId; }))
      group->addClient(name);
  }
}

void readLegacy(Bytes& in, Group& root) {
  for (std::uint32_t n = in.u32(); n > 0; --n) {
    const std::string name = in.text();
    in.text();
    in.u32();
    root.addChild(name);
  }
  for (std::uint32_t n = in.u32(); n > 0; --n) {
    const std::string name = in.text();
    in.take(16);
    in.text();
    in.text();
    // Only a text of no bytes names the root; one that starts with a NUL
    // names the group without name.
    const std::string groupName = in.whole();
    for (int i = 0; i < 3; ++i) in.text();
    const std::string wanted = groupName.empty() ? ROOT_NAME : groupName.c_str();
    if (Group* group = findGroup(root, [&](const Group& g) { return g.name == wanted; }))
      group->addClient(name);
  }
}

}  // namespace

bool readGroupFile(const std::string& bytes, Group& root) {
  bool current = false;
  try {
    Bytes first(bytes);
    current = equalNoCase(first.text(), "!!QSDATFILE!!");
  } catch (const TooShort&) {
  }
  Bytes in(bytes);
  try {
    current ? readCurrent(in, root) : readLegacy(in, root);
  } catch (const TooShort&) {
    return false;
  }
  return true;
}

}  // namespace dcmodel
