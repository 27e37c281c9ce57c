#pragma once
// The XML bases of the system's own persistent classes. They add nothing to the library's
// bases; settings, players, statistics, store items and game data derive from these.
#include "xmlstore/XMLStore.h"

class TTSYXMLObject : public TXMLObject {
  VX_XML_PUBLISHED
};

class TTSYXMLCollectionItem : public TXMLCollectionItem {
  VX_XML_PUBLISHED
};

class TTSYXMLCollection : public TXMLCollection {
  VX_XML_PUBLISHED
};
