#pragma once
// A small XML collection of named values (`TVXStoreItems`), used by the game data for
// per-bet counters: each item is keyed by `DataInt` and holds its value in `DataInt2`.
#include <cstdint>
#include <string>

#include "xmlstore/TSYXML.h"

class TVXStoreItem : public TTSYXMLCollectionItem {
public:
  std::string Title;
  int32_t DataInt = 0;
  std::string DataStr;
  int32_t DataInt2 = 0;
  VX_XML_PUBLISHED
};

class TVXStoreItems : public TTSYXMLCollection {
public:
  TVXStoreItem* Add() { return AddAs<TVXStoreItem>(); }
  // Throws for an index outside 0..Count()-1.
  TVXStoreItem* Items(int index) const { return ItemAs<TVXStoreItem>(index); }
  VX_XML_PUBLISHED
};
