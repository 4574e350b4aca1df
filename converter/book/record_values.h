// The values of the record being read, and where each lies. This is the one place that sets a
// value, so that its view, the string it may be built in and what is known of it stay in step.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "cp932_chars.h"
#include "reader.h"
#include "scan.h"
#include "trim.h"

namespace tamarack {

// How long the text that a value is taken from stays as it is, which decides how the value
// keeps it.
enum class Lifetime {
  kLine,    // until the next line (a line gathered across reads, converted or cut): copied
  kFeed,    // until Feed returns (the data being fed): pointed at, and copied at Feed's end
  kRecord,  // until the record ends (a value converted into a place of its own): pointed at
};

// What a join did besides joining, for the warnings.
struct Joined {
  bool cut = false;       // the value reached kMaxValue, and the rest of the piece was left out
  bool replaced = false;  // broken characters became '?'
};

class RecordValues {
 public:
  const Record& Contents() const { return record_; }
  bool HasText() const { return hasText_; }
  // The record holds text from this line on, unless it did already.
  void NoteText(long line) {
    if (hasText_) return;
    hasText_ = true;
    record_.line = line;
  }

  // Opens the value of item (-1: a line of no kept item). False, with no value open, when there is
  // no item or the record has it already: a repeated item keeps its first value, and the
  // repetition's continuations are ignored.
  bool Open(int item) {
    current_ = -1;
    if (item < 0 || record_.present[item]) return false;
    record_.present[item] = true;
    current_ = item;
    endsDouble_ = false;
    return true;
  }
  // The lines that follow continue no value.
  void Close() { current_ = -1; }
  bool IsOpen() const { return current_ >= 0; }
  int Current() const { return current_; }

  // Sets the open value, still empty, to text: whole characters without NUL, trimmed.
  // endsDouble: its last character is a double-byte one.
  void Set(std::string_view text, bool endsDouble, Lifetime lifetime) {
    std::string_view& view = record_.values[current_];
    if (lifetime == Lifetime::kLine) {
      view = own_[current_].assign(text);
    } else {
      view = text;
      if (lifetime == Lifetime::kFeed) inFeed_ |= 1u << current_;
    }
    endsDouble_ = endsDouble;
  }

  // Joins a piece of the open value (its first, or a continuation line), trimmed, whose shape
  // ShapeOf gave: with one blank, unless a double-byte character meets the join. Broken
  // characters become '?', so that a value is always well-formed code page 932. A value of one
  // clean piece is set as Set does; any other is built in its own string.
  Joined Join(std::string_view piece, const Shape& shape, Lifetime lifetime) {
    if (record_.values[current_].empty() && shape.clean && piece.size() <= kMaxValue) {
      Set(piece, shape.endsDouble, lifetime);
      return {};
    }
    std::string& value = Own();
    Joined joined;
    if (!value.empty() && !endsDouble_ && !shape.startsDouble) {
      if (value.size() == kMaxValue) {
        joined.cut = true;
        return joined;
      }
      value += ' ';
    }
    if (shape.clean && value.size() + piece.size() <= kMaxValue) {
      value.append(piece);
      endsDouble_ = shape.endsDouble;
    } else {
      for (size_t i = 0; i < piece.size();) {
        const CharKind kind = CharKindOf(piece, i);
        const size_t length = kind == kDouble ? 2 : 1;
        if (value.size() + length > kMaxValue) {
          joined.cut = true;
          break;
        }
        if (kind == kBroken) {
          value += '?';
        } else {
          value.append(piece.data() + i, length);
        }
        endsDouble_ = kind == kDouble;
        i += length;
      }
      joined.replaced = !shape.clean;
    }
    record_.values[current_] = value;
    return joined;
  }

  // Copies the values that point into the data being fed, before it goes.
  void KeepFed() {
    for (; inFeed_ != 0; inFeed_ &= inFeed_ - 1) {
      const unsigned item = LowestBit(inFeed_);
      record_.values[item] = own_[item].assign(record_.values[item]);
    }
  }

  // Empties the record for the next.
  void Clear() {
    record_.values.fill(std::string_view());
    for (std::string& value : own_) value.clear();
    record_.present.fill(false);
    inFeed_ = 0;
    hasText_ = false;
    current_ = -1;
  }

 private:
  // The open value in its own string, where pieces are joined.
  std::string& Own() {
    std::string& value = own_[current_];
    std::string_view& view = record_.values[current_];
    if (view.data() != value.data()) {
      value.assign(view);
      view = value;
      inFeed_ &= ~(1u << current_);
    }
    return value;
  }

  Record record_;
  // Each value's own string: for a value built of pieces, taken from a line that goes, or
  // pointing into the data being fed when Feed returns.
  std::array<std::string, kKeptItemCount> own_;
  unsigned inFeed_ = 0;  // a bit for each value pointing into the data being fed
  bool hasText_ = false;
  int current_ = -1;         // the open value's item: the one a continuation line extends
  bool endsDouble_ = false;  // the open value ends with a double-byte character
};

}  // namespace tamarack
