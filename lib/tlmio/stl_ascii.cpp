#include "tlmio/stl_ascii.h"

#include <cmath>

#include "tlmio/stl_format.h"
#include "tlmio/stl_number.h"

namespace tlmio {

namespace {

constexpr std::size_t kShownTokenLength = 40;
// Typical exporters write 200 to 300 bytes per facet; reserving for 200 rarely has to grow.
constexpr std::size_t kTypicalBytesPerFacet = 200;

struct Token {
    const char* text = nullptr;
    std::size_t length = 0;  // 0: the end of the file

    bool AtEnd() const { return length == 0; }
};

// Character classes, by table: the scanner looks at every byte of the file.
enum CharClass : unsigned char { kWordChar, kBlank, kLineFeed, kCarriageReturn };

struct CharClasses {
    unsigned char of[256] = {};
    constexpr CharClasses()
    {
        of[static_cast<unsigned char>(' ')] = kBlank;
        of[static_cast<unsigned char>('\t')] = kBlank;
        of[static_cast<unsigned char>('\v')] = kBlank;
        of[static_cast<unsigned char>('\f')] = kBlank;
        of[static_cast<unsigned char>('\n')] = kLineFeed;
        of[static_cast<unsigned char>('\r')] = kCarriageReturn;
    }
};
constexpr CharClasses kCharClasses;

unsigned char ClassOf(char c)
{
    return kCharClasses.of[static_cast<unsigned char>(c)];
}

bool IsSpace(char c)
{
    return ClassOf(c) != kWordChar;
}

bool IsLineEnd(char c)
{
    return ClassOf(c) >= kLineFeed;
}

template <std::size_t N>
bool IsKeyword(const Token& token, const char (&keyword)[N])
{
    if (token.length != N - 1)
        return false;
    for (std::size_t i = 0; i + 1 < N; ++i)
        if ((token.text[i] | 0x20) != keyword[i])  // keywords are lower-case letters
            return false;
    return true;
}

CString Describe(const Token& token)
{
    if (token.AtEnd())
        return CString("the end of the file");
    CString shown("\"");
    const std::size_t length = token.length < kShownTokenLength ? token.length : kShownTokenLength;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(token.text[i]);
        if (c < 0x20 || c >= 0x7f)
            shown.AppendFormat("\\x%02X", c);
        else
            shown += static_cast<char>(c);
    }
    if (length < token.length)
        shown += "...";
    shown += '"';
    return shown;
}

class AsciiParser {
public:
    AsciiParser(const unsigned char* data, std::size_t size, StlAsciiContent& content, StlAsciiError& error)
        : m_p(reinterpret_cast<const char*>(data)),
          m_end(reinterpret_cast<const char*>(data) + size),
          m_content(content),
          m_error(error)
    {
        m_p += SkipByteOrderMark(data, size);
    }

    bool Parse()
    {
        m_content.facets.Reserve(static_cast<std::size_t>(m_end - m_p) / kTypicalBytesPerFacet + 4);
        Token token = Next();
        if (!IsKeyword(token, "solid"))
            return Syntax("\"solid\"", token);
        do {
            if (!ParseSolid())
                return false;
            token = Next();
            if (!token.AtEnd() && !IsKeyword(token, "solid"))
                return Syntax("\"solid\" or the end of the file", token);
        } while (!token.AtEnd());
        return true;
    }

private:
    // After "solid": the name, the facets and "endsolid" with its optional name.
    bool ParseSolid()
    {
        SkipSolidName();
        StlAsciiSolid solid;
        solid.firstFacet = static_cast<std::size_t>(m_content.facets.Count());
        for (;;) {
            Token token = Next();
            if (IsKeyword(token, "endsolid"))
                break;
            if (!IsKeyword(token, "facet"))
                return Syntax("\"facet\" or \"endsolid\"", token);
            if (!ParseFacet())
                return false;
        }
        SkipRestOfLine();
        solid.facetCount = static_cast<std::size_t>(m_content.facets.Count()) - solid.firstFacet;
        m_content.solids.Append(solid);
        return true;
    }

    // After "facet": the normal and the loop of exactly three vertices.
    bool ParseFacet()
    {
        StlFacet facet;
        if (!Expect("normal", "\"normal\"") || !ParseVector(facet.normal))
            return false;
        if (!Expect("outer", "\"outer\"") || !Expect("loop", "\"loop\""))
            return false;
        for (auto& corner : facet.corner) {
            if (!Expect("vertex", "\"vertex\""))
                return false;
            const std::size_t line = m_line;
            if (!ParseVector(corner))
                return false;
            if (!std::isfinite(corner[0]) || !std::isfinite(corner[1]) || !std::isfinite(corner[2])) {
                m_error.failure = StlAsciiFailure::kNonFiniteCoordinate;
                m_error.line = line;
                m_error.facet = static_cast<std::size_t>(m_content.facets.Count()) + 1;
                return false;
            }
        }
        if (!Expect("endloop", "\"endloop\"") || !Expect("endfacet", "\"endfacet\""))
            return false;
        if (static_cast<std::uint64_t>(m_content.facets.Count()) >= kMaxFacets) {
            m_error.failure = StlAsciiFailure::kTooManyFacets;
            m_error.line = m_line;
            return false;
        }
        m_content.facets.Append(facet);
        return true;
    }

    // Numbers are most of the text: they are read in place, and scanned as words only to be
    // shown in an error.
    bool ParseVector(float (&xyz)[3])
    {
        for (float& value : xyz) {
            SkipSpace();
            const char* numberEnd = ParseStlFloatAt(m_p, m_end, value);
            if (!numberEnd || numberEnd == m_p || (numberEnd < m_end && !IsSpace(*numberEnd)))
                return Syntax("a number", Next());
            m_p = numberEnd;
            m_lastWordLine = m_line;
        }
        return true;
    }

    template <std::size_t N>
    bool Expect(const char (&keyword)[N], const char* shown)
    {
        Token token = Next();
        return IsKeyword(token, keyword) || Syntax(shown, token);
    }

    bool Syntax(const char* expected, const Token& found)
    {
        m_error.failure = StlAsciiFailure::kSyntax;
        // The end of the file is reported on the last line that has a word, not on the empty
        // line that a final line end opens.
        m_error.line = found.AtEnd() ? m_lastWordLine : m_line;
        m_error.expected = expected;
        m_error.found = Describe(found);
        return false;
    }

    Token Next()
    {
        SkipSpace();
        Token token;
        token.text = m_p;
        while (m_p < m_end && !IsSpace(*m_p))
            ++m_p;
        token.length = static_cast<std::size_t>(m_p - token.text);
        if (token.length)
            m_lastWordLine = m_line;
        return token;
    }

    // Counts CRLF, LF and a lone CR as one line end each.
    void SkipSpace()
    {
        for (; m_p < m_end; ++m_p) {
            const unsigned char c = ClassOf(*m_p);
            if (c == kWordChar)
                break;
            if (c == kLineFeed || (c == kCarriageReturn && (m_p + 1 == m_end || m_p[1] != '\n')))
                ++m_line;
        }
    }

    void SkipBlanks()
    {
        while (m_p < m_end && IsSpace(*m_p) && !IsLineEnd(*m_p))
            ++m_p;
    }

    void SkipRestOfLine()
    {
        while (m_p < m_end && !IsLineEnd(*m_p))
            ++m_p;
    }

    // A solid's name runs to the end of its line, unless the facets follow on the same line,
    // as in files written on one line.
    void SkipSolidName()
    {
        for (;;) {
            SkipBlanks();
            if (m_p == m_end || IsLineEnd(*m_p))
                return;
            const char* wordStart = m_p;
            Token word = Next();
            if (IsKeyword(word, "facet")) {
                SkipBlanks();
                const char* afterBlanks = m_p;
                Token following;
                following.text = m_p;
                while (m_p < m_end && !IsSpace(*m_p))
                    ++m_p;
                following.length = static_cast<std::size_t>(m_p - afterBlanks);
                if (IsKeyword(following, "normal")) {
                    m_p = wordStart;
                    return;
                }
                m_p = afterBlanks;
            }
        }
    }

    const char* m_p;
    const char* m_end;
    std::size_t m_line = 1;
    std::size_t m_lastWordLine = 1;
    StlAsciiContent& m_content;
    StlAsciiError& m_error;
};

}  // namespace

StlFacetView StlAsciiContent::Facets(const StlAsciiSolid& solid) const
{
    StlFacetView view;
    view.first = reinterpret_cast<const unsigned char*>(facets.Array() + solid.firstFacet);
    view.stride = sizeof(StlFacet);
    view.count = solid.facetCount;
    return view;
}

bool ParseStlAscii(const unsigned char* data, std::size_t size, StlAsciiContent& content, StlAsciiError& error)
{
    error = StlAsciiError();
    return AsciiParser(data, size, content, error).Parse();
}

}  // namespace tlmio
