#include <gtest/gtest.h>

#include "xml/entities.h"

TEST(Entities, EncodeReplacesTheFiveCharacters) {
  EXPECT_EQ(EncodeStantardEntities("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
  EXPECT_EQ(EncodeStantardEntities("&amp;"), "&amp;amp;");
  EXPECT_EQ(EncodeStantardEntities(""), "");
  EXPECT_EQ(EncodeStantardEntities("plain text\n"), "plain text\n");
}

TEST(Entities, DecodeIsOneLevelDeep) {
  const struct {
    const char* In;
    const char* Out;
  } cases[] = {
      {"&apos;&quot;&gt;&lt;&amp;", "'\"><&"},
      {"&amp;lt;", "&lt;"},
      {"&amp;amp;", "&amp;"},
      {"&lt;b&gt; &amp;amp;", "<b> &amp;"},
      {"&#65; &nbsp; &unknown;", "&#65; &nbsp; &unknown;"},
      {"&", "&"},
      {"&&lt;", "&<"},
      {"&lt", "&lt"},
      {"a&b", "a&b"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeStantardEntities(c.In), c.Out) << c.In;
  }
}

TEST(Entities, DecodeUndoesEncodeForEveryByte) {
  std::string all;
  for (int c = 0; c < 256; ++c) {
    all.push_back(static_cast<char>(c));
  }
  all += "&amp;&lt;&quot;";
  EXPECT_EQ(DecodeStantardEntities(EncodeStantardEntities(all)), all);
}

TEST(Entities, LastChar) {
  EXPECT_EQ(LastChar("abc"), 'c');
  EXPECT_EQ(LastChar(""), '\0');
}
