// TGDIPPictureContainer: named TKelGDIPPicture items, the picture store of
// the GDI+ HTML renderer (the smooth panel publishes one).
#pragma once

#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/PictureCollection.h"

namespace kel {

namespace gdip_picture_container {
using TPictureItem = TPictureItemT<TKelGDIPPicture>;
using TPictureCollection = TPictureCollectionT<TKelGDIPPicture>;
}  // namespace gdip_picture_container

class TGDIPPictureContainer : public TPictureContainerT<TKelGDIPPicture> {
public:
    using TPictureContainerT::TPictureContainerT;
};

}  // namespace kel
