// Indents an XML tree with line breaks and spaces between elements, so that the committed
// media files read well and show small diffs. The readers skip the added white space.
#pragma once

class TXMLNode;

// Adds the white space to Node's subtree. Elements whose children hold only text (vectors,
// vertices, faces) stay on one line.
void IndentXML(TXMLNode& Node, int Depth = 0);
