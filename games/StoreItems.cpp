#include "games/StoreItems.h"

const XMLClassInfo& TVXStoreItem::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXStoreItem, TTSYXMLCollectionItem>("TVXStoreItem")
                                       .Prop("Title", &TVXStoreItem::Title)
                                       .Prop("DataInt", &TVXStoreItem::DataInt)
                                       .Prop("DataStr", &TVXStoreItem::DataStr)
                                       .Prop("DataInt2", &TVXStoreItem::DataInt2);
  return info;
}

const XMLClassInfo& TVXStoreItems::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TVXStoreItems, TTSYXMLCollection>("TVXStoreItems").Items<TVXStoreItem>();
  return info;
}
