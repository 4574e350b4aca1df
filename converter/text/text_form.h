// The form of a book's text as the reader takes it, which the survey learns from the book's bytes
// and the decoder delivers.
#pragma once

namespace tamarack {

// The encoding of the text: code page 932, or UTF-8 (UTF-16 arrives decoded to UTF-8). A value
// of UTF-8 text is converted to code page 932 when the reader takes it.
enum class Encoding { kCp932, kUtf8 };

// Records are separated by form feeds, or by blank lines in a file without any form feed.
enum class Separation { kFormFeed, kBlankLine };

}  // namespace tamarack
