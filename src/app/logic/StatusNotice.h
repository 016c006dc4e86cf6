#pragma once
// A passing notice in the status bar, such as a capture overrun: shown in
// place of the usual text for a while, then the usual text returns. Times are
// millisecond ticks of a 32-bit counter, which may wrap.

#include <cstdint>
#include <string>

class StatusNotice {
public:
    static constexpr std::uint32_t ShowMs = 10000;

    // Shows `text` from `now` on; an empty text changes nothing.
    void Post(const std::string& text, std::uint32_t now);
    // The notice while it is shown, else `usual`.
    std::string Text(const std::string& usual, std::uint32_t now) const;

private:
    std::string text_;
    std::uint32_t postedAt_ = 0;
};
