#include "manual_page.h"

#include <algorithm>
#include <cctype>

std::string TroffText(const std::string& Text) {
  std::string out;
  for (char c : Text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else if (c == '\n') {
      out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) {
    out.insert(0, "\\&");
  }
  return out;
}

namespace {

std::string Upper(std::string Text) {
  std::transform(Text.begin(), Text.end(), Text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return Text;
}

std::string Paragraphs(const std::vector<std::string>& Texts) {
  std::string out;
  for (std::size_t i = 0; i < Texts.size(); ++i) {
    out += (i > 0 ? ".PP\n" : "") + TroffText(Texts[i]) + "\n";
  }
  return out;
}

// ".TP", then the option's name in bold and its value's name in italics, then its text.
std::string OptionEntry(const TManualOption& Option) {
  const std::size_t space = Option.Option.find(' ');
  std::string tag = "\\fB" + TroffText(Option.Option.substr(0, space)) + "\\fR";
  if (space != std::string::npos) {
    tag += " \\fI" + TroffText(Option.Option.substr(space + 1)) + "\\fR";
  }
  std::string text = TroffText(Option.Text);
  if (!Option.Default.empty()) {
    text += " (default " + TroffText(Option.Default) + ")";
  }
  return ".TP\n" + tag + "\n" + text + "\n";
}

} // namespace

std::string FormatManualPage(const TManualPage& Page) {
  std::string out = ".TH " + TroffText(Upper(Page.Name)) + " " + std::to_string(Page.Section) +
                    " \"\" \"" + TroffText(Page.Source) + "\" \"Games\"\n";
  out += ".SH NAME\n" + TroffText(Page.Name) + " \\- " + TroffText(Page.Summary) + "\n";
  out += ".SH SYNOPSIS\n.B " + TroffText(Page.Name) + "\n" + TroffText(Page.Synopsis) + "\n";
  out += ".SH DESCRIPTION\n" + Paragraphs(Page.Description);
  if (!Page.Options.empty()) {
    out += ".SH OPTIONS\n";
    for (const TManualOption& option : Page.Options) {
      out += OptionEntry(option);
    }
  }
  for (const TManualSection& section : Page.Sections) {
    out += ".SH " + TroffText(Upper(section.Title)) + "\n" + Paragraphs(section.Paragraphs);
  }
  return out;
}
