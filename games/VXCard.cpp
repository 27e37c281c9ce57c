#include "games/VXCard.h"

TVXCard::TVXCard(TVXComponent* owner) : TVXControl(owner) {}

void TVXCard::UpdateImage() { TextureInfo.SetNameAndNotify(Face_.PictureName()); }
