// Everything of the XML library in one include.
#pragma once

#include "xml/attributes.h"
#include "xml/document.h"
#include "xml/entities.h"
#include "xml/error.h"
#include "xml/node.h"
#include "xml/reader.h"
#include "xml/stream.h"
