// Classifying items, reading tags and parsing attribute text.
#include <gtest/gtest.h>

#include "xml/reader.h"
#include "xml_test_util.h"

TEST(WhatsNext, ClassifiesWithoutConsuming) {
  const struct {
    const char* In;
    TWhatsNext Expected;
  } cases[] = {
      {"text<a>", TWhatsNext::wnText},        {" <a>", TWhatsNext::wnText},
      {"</a>", TWhatsNext::wnTagClose},       {"</", TWhatsNext::wnTagClose},
      {"<?xml ?>", TWhatsNext::wnSkippable},  {"<!DOCTYPE a>", TWhatsNext::wnSkippable},
      {"<![CDATA[x]]>", TWhatsNext::wnCData}, {"<!-- c -->", TWhatsNext::wnComment},
      {"<a>", TWhatsNext::wnTagOpen},         {"<a x='1'>", TWhatsNext::wnTagOpen},
      {"<a/>", TWhatsNext::wnTagUnique},      {"<a x='1' />", TWhatsNext::wnTagUnique},
      {"<a/ >", TWhatsNext::wnTagOpen},       {"<>", TWhatsNext::wnTagOpen},
  };
  for (const auto& c : cases) {
    TXMLSource source(c.In);
    EXPECT_EQ(WhatsNext(source), c.Expected) << c.In;
    EXPECT_EQ(source.Position, 0u) << c.In;
  }
}

TEST(WhatsNext, ErrorsAtTheEnd) {
  ExpectErrors(
      {
          {"", "Fine stream!"},
          {"<", "Fine stream!"},
          {"<!", "Fine stream!"},
          {"<a", "Stream end while reading tag!"},
          {"<a x='>'", "(no error)"},
      },
      [](std::string_view In) {
        TXMLSource source(In);
        WhatsNext(source);
      });
}

TEST(ReadTag, KindNameAndAttributes) {
  TXMLSource source("<a><b/></c><d x='1' y=\"2\"/><e\tf><g >rest");
  TTag tag = ReadTag(source);
  EXPECT_EQ(tag.Name, "a");
  EXPECT_EQ(tag.TagType, TTagType::ttOpen);
  EXPECT_EQ(tag.At, nullptr);

  tag = ReadTag(source);
  EXPECT_EQ(tag.Name, "b");
  EXPECT_EQ(tag.TagType, TTagType::ttUnique);

  tag = ReadTag(source);
  EXPECT_EQ(tag.Name, "c");
  EXPECT_EQ(tag.TagType, TTagType::ttClose);

  tag = ReadTag(source);
  EXPECT_EQ(tag.Name, "d");
  EXPECT_EQ(tag.TagType, TTagType::ttUnique);
  ASSERT_NE(tag.At, nullptr);
  ASSERT_EQ(tag.At->Count(), 2);
  EXPECT_EQ(tag.At->GetAttribute("x"), "1");
  EXPECT_EQ(tag.At->GetAttribute("y"), "2");

  // Only a blank ends a name.
  tag = ReadTag(source);
  EXPECT_EQ(tag.Name, "e\tf");
  EXPECT_EQ(tag.At, nullptr);

  // A blank with nothing after it gives no attribute list.
  tag = ReadTag(source);
  EXPECT_EQ(tag.Name, "g");
  EXPECT_EQ(tag.At, nullptr);
  EXPECT_EQ(source.Rest(), "rest");
}

TEST(ReadTag, Errors) {
  ExpectErrors(
      {
          {"", "End stream while tag expected!"},
          {"x<a>", "No tag while expected!"},
          {"<", "End stream after \"<\"!"},
          {"<a", "End stream before finding \">\" !"},
          {"<>", "Empty tag \"<>\"!"},
      },
      [](std::string_view In) {
        TXMLSource source(In);
        ReadTag(source);
      });
}

TEST(Attributes, ReadFromAcceptsBothQuotesAndKeepsValuesRaw) {
  TXMLAttributes attributes;
  attributes.ReadFrom("x=\"1\" y='2'  \t z='a\"b' w=\"&lt;'\"   ");
  ASSERT_EQ(attributes.Count(), 4);
  EXPECT_EQ(attributes.GetAttributeInt(0).Key, "x");
  EXPECT_EQ(attributes.GetAttributeInt(0).Value, "1");
  EXPECT_EQ(attributes.GetAttributeInt(1).Key, "y");
  EXPECT_EQ(attributes.GetAttributeInt(1).Value, "2");
  EXPECT_EQ(attributes.GetAttributeInt(2).Key, "z");
  EXPECT_EQ(attributes.GetAttributeInt(2).Value, "a\"b");
  EXPECT_EQ(attributes.GetAttribute("w"), "&lt;'");
  EXPECT_EQ(attributes.GetAttribute("missing"), "");
}

TEST(Attributes, OneSeparatorByteIsSkippedAfterAValue) {
  // The byte after a closing quote is taken as the separator, whatever it is.
  TXMLAttributes attributes;
  attributes.ReadFrom("x=\"1\"y=\"2\"");
  ASSERT_EQ(attributes.Count(), 2);
  EXPECT_EQ(attributes.GetAttributeInt(1).Key, "");
  EXPECT_EQ(attributes.GetAttributeInt(1).Value, "2");
}

TEST(Attributes, MalformedTextIsRefused) {
  ExpectErrors(
      {
          {"x = \"1\"", "Expected \" or ' as attribute value begin! Found: "},
          {"x=1", "Expected \" or ' as attribute value begin! Found:1"},
          {"x=", "Expected \" or ' as attribute value begin! Found:"},
          {"x", "Expected = after attribute key! Found:x"},
          {"x='1' y", "Expected = after attribute key! Found:y"},
          {"x='1", "Attribute value without closing quote! Key:x"},
          {"x=\"1'", "Attribute value without closing quote! Key:x"},
      },
      [](std::string_view In) { TXMLAttributes().ReadFrom(In); });
}

TEST(Attributes, SetAndGetByKeyAndPosition) {
  TXMLAttributes attributes;
  attributes.SetAttribute("a", "1");
  attributes.SetAttribute("b", "2");
  attributes.SetAttribute("a", "3");
  ASSERT_EQ(attributes.Count(), 2);
  EXPECT_EQ(attributes.GetAttribute("a"), "3");
  EXPECT_EQ(attributes.GetAttribute("A"), "");
  ASSERT_NE(attributes.GetAttributeString("b"), nullptr);
  EXPECT_EQ(attributes.GetAttributeString("b")->Value, "2");
  EXPECT_EQ(attributes.GetAttributeString("c"), nullptr);
  attributes.SetAttributeInt(1, {"c", "4"});
  EXPECT_EQ(attributes.GetAttribute("c"), "4");
  EXPECT_EQ(attributes.GetAttribute("b"), "");
  EXPECT_THROW(attributes.GetAttributeInt(2), std::out_of_range);
}
