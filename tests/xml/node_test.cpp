// Node text, numbers, queries, building trees and writing them.
#include <sstream>

#include <gtest/gtest.h>

#include "xml/document.h"
#include "xml/stream.h"
#include "xml_test_util.h"

namespace {

std::unique_ptr<TXMLNode> Parse(std::string_view Text) {
  TXMLSource source(Text);
  auto node = std::make_unique<TXMLNode>();
  node->Load(source);
  return node;
}

} // namespace

TEST(Node, ConstructorNamesTheKinds) {
  EXPECT_EQ(TXMLNode("x", TNodeType::ndTag).Name, "x");
  EXPECT_EQ(TXMLNode("x", TNodeType::ndText).Name, "#text");
  EXPECT_EQ(TXMLNode("x", TNodeType::ndComment).Name, "#comment");
  EXPECT_EQ(TXMLNode("x", TNodeType::ndCData).Name, "#cdata");
}

TEST(Node, GetTextRules) {
  const struct {
    const char* In;
    const char* Text;
  } cases[] = {
      {"<a>5</a>", "5"},
      {"<a> 5 </a>", " 5 "},
      {"<a>x<b/>y</a>", ""},
      {"<a><b>1</b></a>", ""},
      {"<a/>", ""},
      {"<a><!--c--></a>", "c"},
      {"<a><![CDATA[d]]></a>", "d"},
      {"<a>&amp;</a>", "&"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Parse(c.In)->GetText(), c.Text) << c.In;
  }
  EXPECT_EQ(Parse("<a>x<b/>y</a>")->Children.Count(), 3);
  EXPECT_EQ(Parse("plain<")->GetText(), "plain");
}

TEST(Node, SetTextRules) {
  auto a = Parse("<a>old</a>");
  a->SetText("new");
  EXPECT_EQ(a->ToString(), "<a>new</a>");

  auto empty = Parse("<a/>");
  empty->SetText("");
  EXPECT_EQ(empty->Children.Count(), 1);
  EXPECT_EQ(empty->ToString(), "<a></a>");

  auto comment = Parse("<a><!--c--></a>");
  comment->SetText("d");
  EXPECT_EQ(comment->ToString(), "<a><!--d--></a>");

  auto text = Parse("t<");
  text->SetText("u");
  EXPECT_EQ(text->FText, "u");

  for (const char* in : {"<a><b/></a>", "<a>x<b/></a>", "<a><!--c-->x</a>"}) {
    auto node = Parse(in);
    EXPECT_EQ(ErrorOf([&] { node->SetText("x"); }), "Can't put text in a tag without text.") << in;
    EXPECT_EQ(node->ToString(), in);
  }
}

TEST(Node, GetNumber) {
  const struct {
    const char* In;
    int Value;
  } good[] = {{"<a>5</a>", 5},
              {"<a>-12</a>", -12},
              {"<a>+7</a>", 7},
              {"<a>007</a>", 7},
              {"<a>2147483647</a>", 2147483647},
              {"<a>-2147483648</a>", -2147483647 - 1}};
  for (const auto& c : good) {
    EXPECT_EQ(Parse(c.In)->GetNumber(), c.Value) << c.In;
  }
  for (const char* in :
       {"<a> 5 </a>", "<a></a>", "<a/>", "<a>5 </a>", "<a>2147483648</a>", "<a>-</a>", "<a>+-1</a>",
        "<a>1e3</a>", "<a>0x10</a>", "<a>1.5</a>", "<a><b>1</b></a>"}) {
    EXPECT_THROW(Parse(in)->GetNumber(), TXMLConvertError) << in;
  }
  EXPECT_EQ(ErrorOf([] { Parse("<a> 5 </a>")->GetNumber(); }),
            "\" 5 \" is not a valid integer value");
}

TEST(Node, SetNumberAndAppendChildren) {
  TXMLNode model("model");
  model.Attributes.SetAttribute("v", "2");
  model.AppendChildNumber("FRAMES", 12);
  EXPECT_EQ(model.ToString(), "<model v=\"2\"><FRAMES>12</FRAMES></model>");
  model.Query("FRAMES")->SetNumber(-3);
  TXMLNode* name = model.AppendChildText("NAME", "<&>");
  EXPECT_EQ(name, model.Children[1]);
  EXPECT_EQ(name->GetText(), "<&>");
  EXPECT_EQ(model.ToString(),
            "<model v=\"2\"><FRAMES>-3</FRAMES><NAME>&lt;&amp;&gt;</NAME></model>");
}

TEST(Node, QueryLooksAtDirectChildrenOnly) {
  auto root = Parse("<r><a><b/></a>text<b>1</b><b>2</b></r>");
  EXPECT_EQ(root->Query("b")->GetText(), "1");
  EXPECT_EQ(root->Query("#text")->FText, "text");
  EXPECT_EQ(root->Query("B"), nullptr);
  EXPECT_EQ(root->Query("r"), nullptr);
  EXPECT_EQ(root->Query("a/b"), nullptr);
}

TEST(Node, QueryRecursiveIsDepthFirstPreOrder) {
  auto root = Parse("<x><x id='1'><a><x id='2'/></a><x id='3'><x id='4'/></x></x><x id='5'/></x>");
  std::vector<TXMLNode*> found;
  root->QueryRecursive("x", found);
  std::string ids;
  for (TXMLNode* node : found) {
    ids += node->Attributes.GetAttribute("id");
  }
  EXPECT_EQ(ids, "12345");
  // Appends to what is there.
  root->QueryRecursive("a", found);
  EXPECT_EQ(found.size(), 6u);
  EXPECT_EQ(found.back()->Name, "a");
  EXPECT_TRUE(root->QueryRecursive("none").empty());
}

TEST(Node, ListOwnershipOperations) {
  TXMLNode root("r");
  root.AppendChild(std::make_unique<TXMLNode>("a"));
  root.AppendChild(std::make_unique<TXMLNode>("b"));
  root.Children.SetNode(0, std::make_unique<TXMLNode>("c"));
  EXPECT_EQ(root.ToString(), "<r><c/><b/></r>");
  std::unique_ptr<TXMLNode> b = root.Children.Extract(1);
  EXPECT_EQ(b->Name, "b");
  EXPECT_EQ(root.ToString(), "<r><c/></r>");
  EXPECT_THROW(root.Children.GetNode(1), std::out_of_range);
  EXPECT_THROW(root.Children.Extract(-1), std::out_of_range);
}

TEST(Save, EachKindOfNode) {
  auto root = Parse("<r a='1' b=\"x'y\"><c/>t&amp;<!--m--><![CDATA[<d>]]></r>");
  EXPECT_EQ(root->ToString(), "<r a=\"1\" b=\"x'y\"><c/>t&amp;<!--m--><![CDATA[<d>]]></r>");
  std::ostringstream out;
  root->Children[1]->SaveText(out);
  root->Children[2]->SaveComment(out);
  root->Children[3]->SaveCData(out);
  root->Children[0]->SaveTag(out);
  EXPECT_EQ(out.str(), "t&amp;<!--m--><![CDATA[<d>]]><c/>");
}

TEST(Save, ValuesWithADoubleQuoteUseApostrophes) {
  TXMLNode node("a");
  node.Attributes.SetAttribute("q", "say \"hi\"");
  EXPECT_EQ(node.ToString(), "<a q='say \"hi\"'/>");
  EXPECT_EQ(Reformatted(node.ToString()), node.ToString());
}

TEST(Save, RefusesWhatWouldNotReadBack) {
  const struct {
    TNodeType Type;
    const char* Value;
    const char* Message;
  } cases[] = {
      {TNodeType::ndTag, "a>b", "Attribute value cannot be written back! Key:k"},
      {TNodeType::ndTag, "'\"", "Attribute value cannot be written back! Key:k"},
      {TNodeType::ndComment, "x-->y", "Comment text cannot contain \"-->\"!"},
      {TNodeType::ndComment, ">x", "Comment text cannot contain \"-->\"!"},
      {TNodeType::ndCData, "x]]>y", "CDATA text cannot contain \"]]>\"!"},
  };
  for (const auto& c : cases) {
    TXMLNode root("r");
    TXMLNode* child = root.AppendChild(std::make_unique<TXMLNode>("e", c.Type));
    if (c.Type == TNodeType::ndTag) {
      child->Attributes.SetAttribute("k", c.Value);
    } else {
      child->FText = c.Value;
    }
    std::ostringstream out;
    EXPECT_EQ(ErrorOf([&] { root.Save(out); }), c.Message) << c.Value;
    EXPECT_EQ(out.str(), "");
  }
  TXMLNode fine("r");
  fine.AppendChild(std::make_unique<TXMLNode>("", TNodeType::ndComment))->FText = "a-";
  EXPECT_EQ(Reformatted(fine.ToString()), "<r><!--a---></r>");
}

TEST(Save, FailingStream) {
  std::ostream broken(nullptr);
  TXMLDocument document;
  EXPECT_EQ(ErrorOf([&] { document.Save(broken); }), "Cannot write to stream!");
  EXPECT_EQ(ErrorOf([&] { Write(broken, "x"); }), "Cannot write to stream!");
}

TEST(Node, NodesReadTogetherCanOutliveTheirDocument) {
  std::unique_ptr<TXMLNode> kept;
  TXMLNode other("other");
  {
    TXMLDocument document;
    document.LoadFromMemory("<r><a>1</a><b><c>2</c></b><d/></r>");
    kept = document.Node->Children.Extract(1);
    other.AppendChild(document.Node->Children.Extract(0));
    document.LoadFromMemory("<s/>"); // frees the rest of the first tree
  }
  EXPECT_EQ(kept->ToString(), "<b><c>2</c></b>");
  kept->AppendChildText("e", "3");
  EXPECT_EQ(kept->ToString(), "<b><c>2</c><e>3</e></b>");
  EXPECT_EQ(other.ToString(), "<other><a>1</a></other>");
  kept.reset();
  EXPECT_EQ(other.Query("a")->GetNumber(), 1);
}

TEST(Node, ListsGrowFromOneNodeToManyAndBack) {
  auto root = Parse("<r>only</r>");
  ASSERT_EQ(root->Children.Count(), 1);
  root->AppendChildNumber("n", 1);
  root->AppendChildNumber("n", 2);
  EXPECT_EQ(root->ToString(), "<r>only<n>1</n><n>2</n></r>");
  root->Children.Extract(0);
  root->Children.Extract(0);
  EXPECT_EQ(root->GetText(), "");
  EXPECT_EQ(root->Query("n")->GetNumber(), 2);
  root->Children.Clear();
  EXPECT_TRUE(root->Children.Empty());
  root->SetText("again");
  EXPECT_EQ(root->ToString(), "<r>again</r>");
  EXPECT_THROW(root->Children.Add(nullptr), std::invalid_argument);
}
