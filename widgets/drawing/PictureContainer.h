// TPictureContainer: named THTMLPicture items, the picture store of the GDI
// HTML renderer (the office check box and radio button publish one).
#pragma once

#include "widgets/drawing/HTMLPicture.h"
#include "widgets/drawing/PictureCollection.h"

namespace kel {

namespace picture_container {
using TPictureItem = TPictureItemT<THTMLPicture>;
using TPictureCollection = TPictureCollectionT<THTMLPicture>;
}  // namespace picture_container

class TPictureContainer : public TPictureContainerT<THTMLPicture> {
public:
    using TPictureContainerT::TPictureContainerT;
};

}  // namespace kel
