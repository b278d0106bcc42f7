#include "dcRowFilter.h"

#include <cstring>
#include <utility>

#include "cp949.h"

dcRowFilter_t::dcRowFilter_t(std::string text) : text_(std::move(text)) {
  // A NUL ends a cell, so the text can only be looked for up to its first.
  text_.resize(std::strlen(text_.c_str()));
  if (text_.empty()) return;
  const auto first = static_cast<unsigned char>(text_[0]);
  firstBytes_[0] = static_cast<char>(first);
  if (mb::isAsciiAlpha(first)) firstBytes_[1] = static_cast<char>(first ^ ('a' - 'A'));
}

dcRowFilter_t dcRowFilter_t::fromUtf8(std::string_view typed) {
  dcRowFilter_t filter(mb::fromUtf8(typed));
  // A character without a CP949 form comes back as '?': such a text cannot
  // occur in any cell.
  if (!mb::isValidUtf8(typed) || mb::toUtf8(filter.text_) != typed.substr(0, typed.find('\0')))
    filter.impossible_ = true;
  return filter;
}

bool dcRowFilter_t::matchesCell(const char* cell) const {
  if (impossible_ || !cell) return false;
  if (text_.empty()) return true;
  // Jump from one byte that can start a match to the next; the character
  // boundary is followed from the cell's start, so each byte is stepped
  // over once however many candidates there are.
  const char* boundary = cell;
  for (const char* q = cell + std::strcspn(cell, firstBytes_); *q != '\0';
       q += 1 + std::strcspn(q + 1, firstBytes_)) {
    while (boundary < q) boundary = mb::next(boundary);
    if (boundary != q) continue;  // a trail byte
    if (mb::compareNoCaseN(q, text_.c_str(), text_.size()) == 0) return true;
  }
  return false;
}

bool dcRowFilter_t::matches(const std::vector<std::string>& row) const {
  if (empty()) return true;
  for (const std::string& cell : row)
    if (matchesCell(cell)) return true;
  return false;
}

std::vector<std::size_t> dcRowFilter_t::matchingRows(const dcViewList_t& list) const {
  std::vector<std::size_t> kept;
  kept.reserve(empty() ? list.rows.size() : 0);
  for (std::size_t r = 0; r < list.rows.size(); ++r)
    if (matches(list.rows[r])) kept.push_back(r);
  return kept;
}

void dcRowFilter_t::keepMatching(dcViewList_t& list) const {
  if (empty()) return;
  std::erase_if(list.rows, [this](const std::vector<std::string>& row) { return !matches(row); });
}
