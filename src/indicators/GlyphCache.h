// Per-character bitmaps for the fine indicator's note and cents texts. Each
// distinct character is rasterised once per glyph size, colour scheme and
// display scale and then only copied, so ordinary paints never lay out text.
#pragma once

#include <cstdint>
#include <deque>

#include <wx/bitmap.h>
#include <wx/font.h>

class wxWindow;

struct Glyph {
    char character = 0;  // only 8 bits of a character take part in lookups
    int width = 0;       // advance width, logical pixels
    int height = 0;      // cell height with the cut-off top rows removed
    wxBitmap bitmap;     // width x height logical, at the window's scale; text colour on back colour
};

class GlyphCache {
public:
    // Sets the glyph cell size; a new size drops the font and every glyph.
    void SetSize(int size);
    int Size() const { return m_size; }

    // Text and back colour as 0xAARRGGBB; a change drops every glyph.
    void SetColours(std::uint32_t textArgb, std::uint32_t backArgb);

    // The glyph of a character for `window`, rendered on a miss (a window
    // now on a display of another scale drops every glyph first); nullptr
    // when the font or the bitmap cannot be made (the character is then
    // skipped).
    const Glyph* Get(char character, const wxWindow* window);

    std::size_t Count() const { return m_glyphs.size(); }
    void Clear();

private:
    const Glyph* Render(char character, const wxWindow* window);

    int m_size = 0;
    std::uint32_t m_textArgb = 0xFF000000;
    std::uint32_t m_backArgb = 0xFF000000;
    double m_scale = 0.0;        // content scale the glyphs were rendered at
    wxFont m_font;               // made on first use
    std::deque<Glyph> m_glyphs;  // a deque, so returned pointers survive later insertions
};
