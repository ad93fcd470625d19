// A manual page in the man macro language: name, synopsis, description, a table of options
// and further sections, with every text escaped for troff.
#pragma once

#include <string>
#include <vector>

struct TManualOption {
  std::string Option;  // "--port N": the name in bold, the value's name in italics
  std::string Text;    // what it does; a "\n" in it joins the words around it
  std::string Default; // "" when there is none
};

struct TManualSection {
  std::string Title;                   // "SIGNALS"
  std::vector<std::string> Paragraphs; // plain text
};

struct TManualPage {
  std::string Name;     // "fjordfront-server"
  int Section = 6;      // games
  std::string Source;   // "Fjordfront 1.0.0"
  std::string Summary;  // the NAME line after the dash
  std::string Synopsis; // after the program's name: "[options]"
  std::vector<std::string> Description;
  std::vector<TManualOption> Options;
  std::vector<TManualSection> Sections; // after OPTIONS
};

// Text safe to stand in a troff line: backslashes and dashes escaped, and a leading dot or
// quote kept from being read as a request.
std::string TroffText(const std::string& Text);

// The whole page.
std::string FormatManualPage(const TManualPage& Page);
