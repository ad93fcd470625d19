// Exceptions raised by the XML reader and writer. what() is the fixed message of each failure,
// so callers (and users reading a crash report) see exactly which rule the input broke.
#pragma once

#include <stdexcept>
#include <string>

// Malformed input, a failed write, or anything else the XML library refuses.
class TXMLError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// GetNumber on text that is not a decimal 32-bit integer.
class TXMLConvertError : public TXMLError {
public:
  using TXMLError::TXMLError;
};

// A file that cannot be opened for reading or created for writing.
class TXMLFileError : public TXMLError {
public:
  using TXMLError::TXMLError;
};

// The reader's and writer's messages, named once.
namespace XMLMessage {
inline constexpr const char* FineStream = "Fine stream!";
inline constexpr const char* StreamEndInTag = "Stream end while reading tag!";
inline constexpr const char* EndWhileTagExpected = "End stream while tag expected!";
inline constexpr const char* NoTag = "No tag while expected!";
inline constexpr const char* EndAfterLess = "End stream after \"<\"!";
inline constexpr const char* EndBeforeGreater = "End stream before finding \">\" !";
inline constexpr const char* CloseTagWrongPlace = "Close tag in wrong place!";
inline constexpr const char* CloseTagFoundWrongPlace = "Close tag find in wrong place!";
inline constexpr const char* CloseTagDifferent = "Close tag different from open! ";
inline constexpr const char* ErrorComment = "Error reading comment!";
inline constexpr const char* ErrorCData = "Error reading cdata!";
inline constexpr const char* ExpectedQuote = "Expected \" or ' as attribute value begin! Found:";
inline constexpr const char* NoTextPlace = "Can't put text in a tag without text.";
inline constexpr const char* CannotWrite = "Cannot write to stream!";
// Refusals of input the reader would otherwise misread.
inline constexpr const char* EmptyTag = "Empty tag \"<>\"!";
inline constexpr const char* NamelessTag = "Tag without name!";
inline constexpr const char* ExpectedEquals = "Expected = after attribute key! Found:";
inline constexpr const char* UnclosedValue = "Attribute value without closing quote! Key:";
inline constexpr const char* TooDeep = "Elements nested more than 1000 levels deep!";
// Refusals of trees that could not be read back as they are.
inline constexpr const char* UnwritableValue = "Attribute value cannot be written back! Key:";
inline constexpr const char* UnwritableComment = "Comment text cannot contain \"-->\"!";
inline constexpr const char* UnwritableCData = "CDATA text cannot contain \"]]>\"!";
} // namespace XMLMessage

// Most open elements the reader accepts, so that hostile input cannot exhaust the stack of
// code that walks the tree recursively.
inline constexpr int MaxXMLDepth = 1000;
