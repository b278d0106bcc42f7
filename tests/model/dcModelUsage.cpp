// Program usage as trees: load, merge and the period summary, each step
// walking the whole tree the way the agents' file is described.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>

#include "cp949.h"
#include "dcModel.h"
#include "dcSoftwareUsage.h"

namespace dcmodel {

namespace {

bool matches(const char* pattern, const std::optional<std::string>& text) {
  return text && xmlNameMatch(pattern, text->c_str());
}

std::string firstChildValue(const Node& node) {
  if (node.children.empty()) return "";
  const Node& child = node.children.front();
  return (child.kind != XN_NONE && child.value) ? *child.value : "";
}

std::string firstAttributeValue(const Node& node) {
  if (node.attributes.empty() || !node.attributes.front().second) return "";
  return *node.attributes.front().second;
}

std::int64_t clampTicks(std::int64_t value) {
  return std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max());
}

// A tick count as a decimal number after blanks, as far as it goes; beyond
// 32 bits it stops at their limits.
std::int64_t readTicks(const std::string& text) {
  return clampTicks(std::strtoll(text.c_str(), nullptr, 10));
}

// The first node under top named like namePattern with a child whose value
// matches textPattern, as its parent and place; a named node that has no
// such child is not entered.
std::pair<Node*, std::size_t> findByNameAndText(Node& top, const char* namePattern, const char* textPattern) {
  for (std::size_t i = 0; i < top.children.size(); ++i) {
    Node& element = top.children[i];
    if (matches(namePattern, element.name)) {
      for (const Node& child : element.children)
        if (matches(textPattern, child.value)) return {&top, i};
      continue;
    }
    if (auto found = findByNameAndText(element, namePattern, textPattern); found.first) return found;
  }
  return {nullptr, 0};
}

// Each program of the tree with each of its days: the first date element
// (or processing instruction) among the program's siblings, then every later
// sibling named date.
void forEachProgramDay(const Node& root,
                       const std::function<void(const std::string& name, const Node* day)>& onDay) {
  forEachNamed(root, "progname", [&](const Node& parent, std::size_t at) {
    const std::string name = firstChildValue(parent.children[at]);
    onDay(name, nullptr);
    for (std::size_t i = 0; i < parent.children.size(); ++i) {
      const Node& child = parent.children[i];
      if ((child.kind == XN_ELEMENT || child.kind == XN_PI) && matches("date", child.name)) {
        onDay(name, &child);
        at = i;
        break;
      }
    }
    for (std::size_t i = at + 1; i < parent.children.size(); ++i)
      if (matches("date", parent.children[i].name)) onDay(name, &parent.children[i]);
  });
}

void appendDay(Node& parent, const std::string& day, const std::string& ticks) {
  if (parent.kind != XN_DOCUMENT && parent.kind != XN_ELEMENT) return;
  Node& date = parent.append(XN_ELEMENT);
  date.name = "date";
  date.attributes.emplace_back("tick", ticks);
  date.append(XN_TEXT).value = day;
}

}  // namespace

std::uint32_t UsageDocument::load(const std::string& path) {
  if (std::ifstream in{path, std::ios::binary}) {
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    stream_ += bytes.substr(0, bytes.find('\0'));
  }
  stream_ += '\0';
  std::string text = stream_.c_str();
  hasDocument_ = true;
  tree_.reset();
  static constexpr const char* closing = "</softwareusage>";
  const std::size_t at = text.find(closing);
  if (at == std::string::npos) return 0;
  text.resize(at + std::strlen(closing));
  bool complete = false;
  tree_ = parse(std::move(text), &complete);
  return complete ? 1 : 0;
}

void UsageDocument::merge(const Node* other) {
  if (!hasDocument_) {
    hasDocument_ = true;
    tree_ = std::make_unique<Node>(XN_DOCUMENT);
    if (other) tree_->children = other->children;
    return;
  }
  if (!other) return;
  forEachProgramDay(*other, [&](const std::string& name, const Node* day) {
    if (day) mergeUsage(name, firstChildValue(*day), firstAttributeValue(*day));
  });
}

void UsageDocument::mergeUsage(const std::string& progName, const std::string& day,
                               const std::string& ticks) {
  if (!tree_) return;
  const auto [programParent, program] = findByNameAndText(*tree_, "progname", progName.c_str());
  if (!programParent) {
    Node& unit = tree_->append(XN_ELEMENT);
    unit.name = "unit";
    Node& name = unit.append(XN_ELEMENT);
    name.name = "progname";
    name.append(XN_CDATA).value = progName;
    appendDay(unit, day, ticks);
    return;
  }
  const auto [dateParent, date] = findByNameAndText(*programParent, "date", day.c_str());
  if (!dateParent) {
    appendDay(*programParent, day, ticks);
    return;
  }
  auto& attributes = dateParent->children[date].attributes;
  if (attributes.empty()) return;
  auto& value = attributes.front().second;
  // Sums beyond 32 bits stop at its limits.
  value = std::to_string(clampTicks(readTicks(value.value_or("")) + readTicks(ticks)));
}

std::string UsageDocument::summarize(const std::string& firstDay, const std::string& lastDay) const {
  std::string lines;
  if (!tree_) return lines;
  std::int64_t total = 0;
  std::string current;
  auto flush = [&] {
    if (total <= 0) return;
    char minutes[32];
    std::snprintf(minutes, sizeof minutes, "%7lld min", static_cast<long long>(total * 3));
    lines += current + "|" + minutes + "\n";
  };
  forEachProgramDay(*tree_, [&](const std::string& name, const Node* day) {
    if (!day) {
      flush();
      total = 0;
      current = name;
      return;
    }
    const std::string text = firstChildValue(*day);
    if (mb::compareNoCase(text.c_str(), firstDay.c_str()) >= 0 &&
        mb::compareNoCase(text.c_str(), lastDay.c_str()) <= 0)
      total += readTicks(firstAttributeValue(*day));
  });
  flush();
  return lines;
}

void Group::gatherUsage() {
  for (const auto& client : clients)
    if (client->usage.root()) usage.merge(client->usage.root());
  for (const auto& child : children) {
    child->gatherUsage();
    usage.merge(child->usage.root());
  }
}

std::string usageDifference(const dcSoftwareUsageDocument_t& product, const UsageDocument& model,
                            const std::vector<std::pair<std::string, std::string>>& periods) {
  for (const auto& [first, last] : periods) {
    std::string got;
    for (const auto& line : product.summarize(first.c_str(), last.c_str()))
      got += line.name + "|" + line.minutes + "\n";
    if (const std::string want = model.summarize(first, last); got != want)
      return first + ".." + last + ":\n" + got + "model:\n" + want;
  }
  const std::string got = describe(product.getRootNode().node()), want = describe(model.root());
  return got == want ? "" : "tree:\n" + got + "model:\n" + want;
}

}  // namespace dcmodel
