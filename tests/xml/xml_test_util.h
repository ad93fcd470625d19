// Helpers shared by the XML tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "xml/document.h"
#include "xml/error.h"

// The message of the TXMLError that Action raises, or "(no error)".
inline std::string ErrorOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const TXMLError& error) {
    return error.what();
  }
  return "(no error)";
}

struct TErrorCase {
  std::string In;
  std::string Message;
};

// Runs Action on every case's input and checks the message it raises ("(no error)": none).
inline void ExpectErrors(const std::vector<TErrorCase>& Cases,
                         const std::function<void(std::string_view In)>& Action) {
  for (const TErrorCase& c : Cases) {
    EXPECT_EQ(ErrorOf([&] { Action(c.In); }), c.Message) << "input: " << c.In;
  }
}

inline std::string LoadError(std::string_view Text) {
  return ErrorOf([&] {
    TXMLDocument document;
    document.LoadFromMemory(Text);
  });
}

// Loads Text and answers the root written back.
inline std::string Reformatted(std::string_view Text) {
  TXMLDocument document;
  document.LoadFromMemory(Text);
  return document.Node->ToString();
}
