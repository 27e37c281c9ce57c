#include "xmlstore/TSYXML.h"

const XMLClassInfo& TTSYXMLObject::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TTSYXMLObject, TXMLObject>("TTSYXMLObject");
  return info;
}

const XMLClassInfo& TTSYXMLCollectionItem::StaticXMLClass() {
  static const XMLClassInfo info = XMLClassBuilder<TTSYXMLCollectionItem, TXMLCollectionItem>("TTSYXMLCollectionItem");
  return info;
}

const XMLClassInfo& TTSYXMLCollection::StaticXMLClass() {
  static const XMLClassInfo info =
      XMLClassBuilder<TTSYXMLCollection, TXMLCollection>("TTSYXMLCollection").Items<TTSYXMLCollectionItem>();
  return info;
}
