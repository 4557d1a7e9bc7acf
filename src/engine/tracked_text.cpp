#include "engine/tracked_text.h"

#include <algorithm>

namespace lk {

TrackedText::TrackedText(std::u16string_view canonical) : text_(canonical) {
  sources_.reserve(text_.size());
  for (std::size_t i = 0; i < text_.size(); ++i) sources_.push_back({static_cast<int>(i), static_cast<int>(i)});
}

void TrackedText::emitWhole(std::u16string& out, std::vector<SourceRange>& src, std::size_t pos,
                            std::size_t length, std::u16string_view repl) const {
  out.append(repl);
  if (repl.empty()) return;
  // Text out of nothing (not made by the chains) sticks to its left neighbour.
  if (length == 0) {
    const SourceRange left = !src.empty() ? src.back() : (sources_.empty() ? SourceRange{} : sources_.front());
    src.insert(src.end(), repl.size(), left);
    return;
  }
  SourceRange whole = sources_[pos];
  for (std::size_t k = pos; k < pos + length; ++k) {
    whole.first = std::min(whole.first, sources_[k].first);
    whole.last = std::max(whole.last, sources_[k].last);
  }
  src.insert(src.end(), repl.size(), whole);
}

void TrackedText::replaceAll(std::u16string_view find, std::u16string_view repl) {
  replaceAll(find, repl, find.size(), repl.size());
}

void TrackedText::replaceAll(std::u16string_view find, std::u16string_view repl, std::size_t findHead,
                             std::size_t replHead) {
  if (find.empty() || text_.size() < find.size()) return;
  std::size_t pos = text_.find(find.data(), 0, find.size());
  if (pos == std::u16string::npos) return;
  std::u16string out;
  std::vector<SourceRange> src;
  out.reserve(text_.size() + 16);
  src.reserve(text_.size() + 16);
  std::size_t from = 0;
  while (pos != std::u16string::npos) {
    out.append(text_, from, pos - from);
    src.insert(src.end(), sources_.begin() + static_cast<std::ptrdiff_t>(from),
               sources_.begin() + static_cast<std::ptrdiff_t>(pos));
    if (find.size() == repl.size()) {
      out.append(repl);
      src.insert(src.end(), sources_.begin() + static_cast<std::ptrdiff_t>(pos),
                 sources_.begin() + static_cast<std::ptrdiff_t>(pos + find.size()));
    } else if (findHead >= find.size()) {
      emitWhole(out, src, pos, find.size(), repl);
    } else {
      emitWhole(out, src, pos, findHead, repl.substr(0, replHead));
      emitWhole(out, src, pos + findHead, find.size() - findHead, repl.substr(replHead));
    }
    from = pos + find.size();
    pos = text_.find(find.data(), from, find.size());
  }
  out.append(text_, from, std::u16string::npos);
  src.insert(src.end(), sources_.begin() + static_cast<std::ptrdiff_t>(from), sources_.end());
  text_.swap(out);
  sources_.swap(src);
}

void TrackedText::replaceSpans(std::span<const TextSpan> spans) {
  if (spans.empty()) return;
  std::u16string out;
  std::vector<SourceRange> src;
  out.reserve(text_.size() + 16);
  src.reserve(text_.size() + 16);
  std::size_t from = 0;
  for (const auto& span : spans) {
    out.append(text_, from, span.pos - from);
    src.insert(src.end(), sources_.begin() + static_cast<std::ptrdiff_t>(from),
               sources_.begin() + static_cast<std::ptrdiff_t>(span.pos));
    emitWhole(out, src, span.pos, span.length, span.repl);
    from = span.pos + span.length;
  }
  out.append(text_, from, std::u16string::npos);
  src.insert(src.end(), sources_.begin() + static_cast<std::ptrdiff_t>(from), sources_.end());
  text_.swap(out);
  sources_.swap(src);
}

void TrackedText::erase(char16_t c) {
  std::size_t to = 0;
  for (std::size_t i = 0; i < text_.size(); ++i) {
    if (text_[i] == c) continue;
    text_[to] = text_[i];
    sources_[to] = sources_[i];
    ++to;
  }
  text_.resize(to);
  sources_.resize(to);
}

void TrackedText::pushBackFromLast(char16_t c) {
  const SourceRange last = sources_.empty() ? SourceRange{} : sources_.back();
  text_.push_back(c);
  sources_.push_back(last);
}

}  // namespace lk
