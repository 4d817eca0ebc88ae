// The text buffer with its gap.
#include "xml/text_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace barsetup {
namespace {

// Edits hop about and read back through every accessor; a plain string
// done the same way is the model.
TEST(TextBuffer, EditsAndReadsAgreeWithAPlainString) {
  std::string model = "<r>0123456789abcdefghijklmnopqrstuvwxyz</r>";
  TextBuffer text;
  text.Assign(std::string(model));
  uint32_t seed = 12345;
  auto next = [&seed](size_t bound) {
    seed = seed * 1103515245u + 12345u;
    return bound == 0 ? size_t{0} : (seed >> 8) % bound;
  };
  for (int step = 0; step < 4000; ++step) {
    const size_t pos = next(model.size() + 1);
    const size_t remove = next(std::min<size_t>(model.size() - pos, 40) + 1);
    // Mostly short inserts, now and then one larger than any gap so far.
    const std::string insert(step % 97 == 0 ? 9000 : next(30), static_cast<char>('A' + step % 26));
    ASSERT_TRUE(text.Replace(pos, remove, insert));
    model.replace(pos, remove, insert);
    ASSERT_EQ(text.size(), model.size());
    const size_t from = next(model.size() + 1);
    const size_t to = from + next(model.size() - from + 1);
    ASSERT_EQ(text.View(from, to), std::string_view(model).substr(from, to - from)) << step;
    const size_t at = next(model.size());
    ASSERT_EQ(text[at], model[at]) << step;
    if (step % 500 == 0) {
      ASSERT_EQ(text.Str(), model) << step;
    }
  }
  EXPECT_EQ(text.Str(), model);
  EXPECT_FALSE(text.Replace(model.size() + 1, 0, "x"));
  EXPECT_FALSE(text.Replace(model.size() - 2, 3, "x"));
  EXPECT_EQ(text.Str(), model);
}

TEST(TextBuffer, ViewsOutsideTheGapSurviveAMoveOfIt) {
  TextBuffer text;
  text.Assign("0123456789");
  ASSERT_TRUE(text.Replace(5, 0, "ab"));  // gap now after "01234ab"
  const std::string_view head = text.View(0, 3);
  EXPECT_EQ(text.View(4, 9), "4ab56");  // holds the gap: it moves
  EXPECT_EQ(head, "012");
  EXPECT_EQ(text.Str(), "01234ab56789");
}

}  // namespace
}  // namespace barsetup
