// Reading whole documents: what becomes which node, every error, streams and files.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "xml/document.h"
#include "xml_test_util.h"

namespace {

std::string Kinds(const TXMLNode& Node) {
  std::string kinds;
  for (const auto& child : Node.Children) {
    kinds += child->Name + "|";
  }
  return kinds;
}

} // namespace

TEST(Load, WhiteSpaceBetweenElementsBecomesTextNodes) {
  TXMLDocument document;
  document.LoadFromMemory("<a>\n  <b>1</b>\n  <c/>\n</a>");
  const TXMLNode& a = *document.Node;
  EXPECT_EQ(a.Name, "a");
  EXPECT_EQ(Kinds(a), "#text|b|#text|c|#text|");
  EXPECT_EQ(a.Children[0]->FText, "\n  ");
  EXPECT_EQ(a.Children[0]->NodeType, TNodeType::ndText);
  EXPECT_EQ(a.Children[1]->GetText(), "1");
  EXPECT_EQ(a.Children[3]->Children.Count(), 0);
  EXPECT_EQ(a.Children[4]->FText, "\n");
}

TEST(Load, TextIsDecodedOnceCommentsAndCDataAreNot) {
  TXMLDocument document;
  document.LoadFromMemory(
      "<a>&lt;b&gt; &amp;amp;<!-- &lt; -- - --><![CDATA[ <x> &amp; ]] ]]><b x='&lt;'/></a>");
  const TXMLNode& a = *document.Node;
  ASSERT_EQ(a.Children.Count(), 4);
  EXPECT_EQ(a.Children[0]->FText, "<b> &amp;");
  EXPECT_EQ(a.Children[1]->NodeType, TNodeType::ndComment);
  EXPECT_EQ(a.Children[1]->Name, "#comment");
  EXPECT_EQ(a.Children[1]->FText, " &lt; -- - ");
  EXPECT_EQ(a.Children[2]->NodeType, TNodeType::ndCData);
  EXPECT_EQ(a.Children[2]->Name, "#cdata");
  EXPECT_EQ(a.Children[2]->FText, " <x> &amp; ]] ");
  EXPECT_EQ(a.Children[3]->Attributes.GetAttribute("x"), "&lt;");
}

TEST(Load, EmptyCommentAndCData) {
  TXMLDocument document;
  document.LoadFromMemory("<a><!----><![CDATA[]]></a>");
  ASSERT_EQ(document.Node->Children.Count(), 2);
  EXPECT_EQ(document.Node->Children[0]->FText, "");
  EXPECT_EQ(document.Node->Children[1]->FText, "");
}

TEST(Load, MarkupBeforeTheRootIsSkippedAndNothingAfterItIsRead) {
  TXMLDocument document;
  document.LoadFromMemory("<?xml version=\"1.0\"?>\n<!-- made by hand -->\n"
                          "<!DOCTYPE model [<!ENTITY x 'y'>]>\n<![CDATA[x]]>"
                          "<model><?pi inside?><!DOCTYPE x><a/></model>trailing <garbage");
  EXPECT_EQ(document.Node->Name, "model");
  EXPECT_EQ(Kinds(*document.Node), "a|");
  EXPECT_EQ(document.Query("model"), document.Node.get());
  EXPECT_EQ(document.Query("a"), nullptr);
}

TEST(Load, NamesEndOnlyAtABlank) {
  TXMLDocument document;
  document.LoadFromMemory("<a\n>x</a\n>");
  EXPECT_EQ(document.Node->Name, "a\n");
  EXPECT_EQ(document.Node->GetText(), "x");
}

TEST(Load, ErrorMessages) {
  ExpectErrors(
      {
          {"", "Fine stream!"},
          {" \n\t ", "Fine stream!"},
          {"text only", "Fine stream!"},
          {"<", "Fine stream!"},
          {"<!", "Fine stream!"},
          {"<?xml", "Fine stream!"},
          {"<a", "Stream end while reading tag!"},
          {"<a>", "Fine stream!"},
          {"<a>text", "Fine stream!"},
          {"<a><", "Fine stream!"},
          {"<a><!", "Fine stream!"},
          {"<a><?pi", "Fine stream!"},
          {"<a><!-- open", "Fine stream!"},
          {"<a><![CDATA[ open", "Fine stream!"},
          {"<a><b", "Stream end while reading tag!"},
          {"<a></a", "End stream before finding \">\" !"},
          {"</a>", "Close tag in wrong place!"},
          {"<a></b>", "Close tag different from open! b<>a"},
          {"<a><b></a></b>", "Close tag different from open! a<>b"},
          {"<a></A>", "Close tag different from open! A<>a"},
          {"<a></>", "Close tag different from open! <>a"},
          {"<!-x-->", "Error reading comment!"},
          {"<!-->", "Error reading comment!"},
          {"<a><![x]]></a>", "Error reading cdata!"},
          {"<a x = \"1\"/>", "Expected \" or ' as attribute value begin! Found: "},
          {"<a x/>", "Expected = after attribute key! Found:x"},
          {"<a x=\"1/>", "Attribute value without closing quote! Key:x"},
          {"<a x=\"1>2\"/>", "Attribute value without closing quote! Key:x"},
          {"<>", "Empty tag \"<>\"!"},
          {"<a><></a>", "Empty tag \"<>\"!"},
          {"< />", "Tag without name!"},
          {"<a>< ></a>", "Tag without name!"},
      },
      [](std::string_view In) {
        TXMLDocument document;
        document.LoadFromMemory(In);
      });
}

TEST(Load, DepthIsLimited) {
  auto nested = [](int Depth) {
    std::string text;
    for (int i = 0; i < Depth; ++i) {
      text += "<e>";
    }
    for (int i = 0; i < Depth; ++i) {
      text += "</e>";
    }
    return text;
  };
  EXPECT_EQ(LoadError(nested(1000)), "(no error)");
  EXPECT_EQ(LoadError(nested(1001)), "Elements nested more than 1000 levels deep!");
  std::string hostile;
  for (int i = 0; i < 100000; ++i) {
    hostile += "<e>";
  }
  EXPECT_EQ(LoadError(hostile), "Elements nested more than 1000 levels deep!");
}

TEST(Load, FailureKeepsThePreviousTree) {
  TXMLDocument document;
  document.LoadFromMemory("<keep><x/></keep>");
  EXPECT_THROW(document.LoadFromMemory("<a><b></a>"), TXMLError);
  EXPECT_EQ(document.Node->ToString(), "<keep><x/></keep>");
}

TEST(Load, NewDocumentHoldsMain) {
  TXMLDocument document;
  EXPECT_EQ(document.Node->Name, "Main");
  EXPECT_EQ(document.Node->NodeType, TNodeType::ndTag);
  EXPECT_EQ(document.Node->ToString(), "<Main/>");
}

TEST(Load, StreamIsLeftJustAfterTheRoot) {
  std::istringstream in("<!-- c --><a>1</a><b>2</b> tail");
  TXMLDocument first;
  first.Load(in);
  EXPECT_EQ(first.Node->Name, "a");
  TXMLDocument second;
  second.Load(in);
  EXPECT_EQ(second.Node->Name, "b");
  std::string rest;
  std::getline(in, rest);
  EXPECT_EQ(rest, " tail");
}

TEST(Load, NodeLoadReadsOneItem) {
  std::istringstream in("text<!--c--><a/>");
  TXMLNode node;
  node.Load(in);
  EXPECT_EQ(node.NodeType, TNodeType::ndText);
  EXPECT_EQ(node.FText, "text");
  node.Load(in);
  EXPECT_EQ(node.NodeType, TNodeType::ndComment);
  EXPECT_EQ(node.FText, "c");
  node.Load(in);
  EXPECT_EQ(node.NodeType, TNodeType::ndTag);
  EXPECT_EQ(node.Name, "a");
}

TEST(Load, LoadTagRefusesAnEndTag) {
  TXMLSource source("</a>");
  TXMLNode node;
  EXPECT_EQ(ErrorOf([&] { node.LoadTag(source); }), "Close tag find in wrong place!");
}

TEST(RoundTrip, SaveWritesBackWhatWasRead) {
  const std::string text =
      "<mesh name=\"box\" v='a\"b'>\n  <NAME>box &amp; co</NAME>\n"
      "  <!-- points --><POINTS count=\"2\">\n    <VERTEX><X>1.5</X></VERTEX>\n"
      "    <VERTEX><X>-2</X></VERTEX>\n  </POINTS>\n"
      "  <![CDATA[<raw> & ]]><EMPTY/>\n</mesh>";
  EXPECT_EQ(Reformatted(text), text);
  EXPECT_EQ(Reformatted("<a x='1'></a>"), "<a x=\"1\"/>");
}

TEST(RoundTrip, FileSaveThenLoad) {
  const std::string path = "round_trip.xml";
  TXMLDocument document;
  document.Node->Name = "model";
  document.Node->Attributes.SetAttribute("v", "2");
  document.Node->AppendChildNumber("FRAMES", 12);
  document.Node->AppendChildText("NAME", "a < b & \"c\"");
  document.Save(path);

  TXMLDocument loaded;
  loaded.Load(path);
  EXPECT_EQ(loaded.Node->ToString(), document.Node->ToString());
  EXPECT_EQ(loaded.Node->Query("FRAMES")->GetNumber(), 12);
  EXPECT_EQ(loaded.Node->Query("NAME")->GetText(), "a < b & \"c\"");
  std::filesystem::remove(path);
}

TEST(RoundTrip, FilesThatCannotBeOpened) {
  TXMLDocument document;
  EXPECT_THROW(document.Load(std::string("no/such/file.xml")), TXMLFileError);
  EXPECT_THROW(document.Load(std::string(".")), TXMLFileError);
  EXPECT_THROW(document.Save(std::string("no/such/dir/out.xml")), TXMLFileError);
}

TEST(RoundTrip, ReadingAFileGivesTheSameTreeAsAStream) {
  const std::string path = std::string(SOURCE_DIR) + "/tests/fuzz/corpus/xml/mesh.xml";
  TXMLDocument fromFile;
  fromFile.Load(path);
  std::ifstream in(path, std::ios::binary);
  TXMLDocument fromStream;
  fromStream.Load(in);
  EXPECT_EQ(fromFile.Node->ToString(), fromStream.Node->ToString());
  EXPECT_GT(fromFile.Node->QueryRecursive("VERTEX").size(), 0u);
}
