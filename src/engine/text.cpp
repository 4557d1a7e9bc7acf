#include "engine/text.h"

namespace lk {

void replaceAll(std::u16string& s, std::u16string_view find, std::u16string_view repl) {
  if (find.empty() || s.size() < find.size()) return;
  std::size_t pos = s.find(find.data(), 0, find.size());
  if (pos == std::u16string::npos) return;
  std::u16string out;
  out.reserve(s.size() + 16);
  std::size_t from = 0;
  while (pos != std::u16string::npos) {
    out.append(s, from, pos - from);
    out.append(repl);
    from = pos + find.size();
    pos = s.find(find.data(), from, find.size());
  }
  out.append(s, from, std::u16string::npos);
  s.swap(out);
}

void replaceLongestFirst(std::u16string& s, std::span<const Replacement> list) {
  std::u16string out;
  out.reserve(s.size() + 16);
  bool changed = false;
  std::size_t i = 0;
  while (i < s.size()) {
    const Replacement* best = nullptr;
    const std::u16string_view rest = std::u16string_view(s).substr(i);
    for (const auto& r : list) {
      if (r.find.empty() || (best && r.find.size() <= best->find.size())) continue;
      if (rest.starts_with(r.find)) best = &r;
    }
    if (best) {
      out.append(best->repl);
      i += best->find.size();
      changed = true;
    } else {
      out.push_back(s[i]);
      ++i;
    }
  }
  if (changed) s.swap(out);
}

std::u16string fromUtf8(std::string_view in) {
  std::u16string out;
  out.reserve(in.size());
  std::size_t i = 0;
  const std::size_t n = in.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c >> 5) == 0x6 && i + 1 < n) {
      len = 2;
      cp = ((c & 0x1F) << 6) | (in[i + 1] & 0x3F);
      if ((static_cast<unsigned char>(in[i + 1]) & 0xC0) != 0x80 || cp < 0x80) cp = 0xFFFD, len = 1;
    } else if ((c >> 4) == 0xE && i + 2 < n) {
      len = 3;
      unsigned char c1 = in[i + 1], c2 = in[i + 2];
      cp = ((c & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (c2 & 0x3F);
      if ((c1 & 0xC0) != 0x80 || (c2 & 0xC0) != 0x80 || cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD, len = 1;
    } else if ((c >> 3) == 0x1E && i + 3 < n) {
      len = 4;
      unsigned char c1 = in[i + 1], c2 = in[i + 2], c3 = in[i + 3];
      cp = ((c & 0x07) << 18) | ((c1 & 0x3F) << 12) | ((c2 & 0x3F) << 6) | (c3 & 0x3F);
      if ((c1 & 0xC0) != 0x80 || (c2 & 0xC0) != 0x80 || (c3 & 0xC0) != 0x80 || cp < 0x10000 || cp > 0x10FFFF)
        cp = 0xFFFD, len = 1;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string toUtf8(std::u16string_view in) {
  std::string out;
  out.reserve(in.size() * 3);
  for (std::size_t i = 0; i < in.size(); ++i) {
    char32_t cp = in[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string fromAscii(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace lk
