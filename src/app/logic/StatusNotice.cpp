#include "app/logic/StatusNotice.h"

void StatusNotice::Post(const std::string& text, std::uint32_t now) {
    if (text.empty()) return;
    text_ = text;
    postedAt_ = now;
}

std::string StatusNotice::Text(const std::string& usual, std::uint32_t now) const {
    // Unsigned subtraction keeps the age right across the counter's wrap.
    if (text_.empty() || static_cast<std::uint32_t>(now - postedAt_) >= ShowMs) return usual;
    return text_;
}
